#include "app/main_form.h"

#include "app/quillon_application.h"

#include "embedded_theme.h"
#include "joblist/list_file.h"
#include "platform/app_errors.h"
#include "platform/file_system.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

namespace quillon {

const FileFilter AddFileFilters[6] = {
    {"Supported Files",
     "*.rm;*.rmvb;*.avi;*.mpg;*.mpeg;*.vob;*.wmv;*.wma;*.asf;*.mov;*.qt;*.3gp;*.3g2;*.m2v;*m4v;*.mp4"},
    {"Real Media Files(*.rm;*.rmvb)", "*.rm;*.rmvb"},
    {"AVI Files(*.avi)", "*.avi"},
    {"MPEG Files(*.mpg;*.mpeg;*.vob;*.m2v;*m4v;*.mp4)", "*.mpg;*.mpeg;*.vob;*.m2v;*m4v;*.mp4"},
    {"Windows Media Files(*.wmv;*.wma;*.asf)", "*.wmv;*.wma;*.asf"},
    {"QuickTime Files(*.mov;*.qt)", "*.mov;*.qt"},
};

namespace {

constexpr int ClientWidth = 522, ClientHeight = 410, LeftWidth = 113;
constexpr int HeadingHeight = 46, ButtonStripHeight = 95, StatusBarHeight = 25;

QString qs(const std::string &s) { return QString::fromStdString(s); }

// The window's fonts by their classic names, and metric-compatible faces
// standing in for them where those are not installed.
void installFontSubstitutes()
{
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "Arial", "DejaVu Sans Condensed"});
    QFont::insertSubstitutions("Georgia", {"Liberation Serif", "DejaVu Serif Condensed"});
}

QFont windowFont()
{
    QFont font("MS Sans Serif");
    font.setPixelSize(11); // 8 points on the classic 96-dpi screen
    return font;
}

QFont georgia(int pixelHeight, bool bold = false)
{
    QFont font("Georgia");
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

QLabel *label(QWidget *parent, const QString &text, int x, int y)
{
    auto *l = new QLabel(text, parent);
    l->move(x, y);
    l->adjustSize();
    return l;
}

// A button with picture image of the window's image list (-1: none).
QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QString &hint, int image,
                    QRect place)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    static const TTeImageList images = ProgramImageList();
    if (image >= 0 && image < int(images.size())) {
        QImage picture = images[size_t(image)].convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if ((picture.pixel(x, y) & 0xFFFFFF) == 0xFF00FF)
                    picture.setPixel(x, y, 0); // the image list's clear colour
        b->setIcon(QIcon(QPixmap::fromImage(picture)));
    }
    b->setGeometry(place);
    return b;
}

// The Qt form of a filter: the description, then its patterns in brackets.
QString qtFilter(const FileFilter &f)
{
    return QString(f.Description) + " (" + QString(f.Patterns).replace(';', ' ') + ")";
}

} // namespace

TfrmMain::TfrmMain(std::vector<std::string> arguments, std::string programDir) : ProgramDir(std::move(programDir))
{
    setObjectName("frmMain");
    installFontSubstitutes();
    setFont(windowFont());
    resize(ClientWidth, ClientHeight);
    move(301, 184);
    // Everything of the window lies in its client area; the frame around it
    // is the skin's when the theme has one.
    Client = new QWidget(this);
    Client->setObjectName("clientArea");
    Client->resize(ClientWidth, ClientHeight);
    CreateControls();
    CreateThemeComponents();
    CreateFrame();
    FormCreate(arguments);
}

TfrmMain::~TfrmMain()
{
    // FormDestroy: the settings first; a failure there keeps nothing else
    // from happening. The engine's runner stops a running converter.
    if (Settings)
        Settings->SaveSettings(CurrentOptions());
    SetApplicationErrorHandler(nullptr);
    ThemeEngine.reset();
    ThemeLink.reset();
    ThemeList.reset();
    TteThemeManager::Instance().ClearCurrentTheme();
    lvFiles->setModel(nullptr);
    delete Model;
    Engine_.reset();
    Settings.reset();
}

void TfrmMain::CreateControls()
{
    panelLeft = new QWidget(Client);
    panelLeft->setObjectName("panelLeft");
    btnBatch = button(panelLeft, "btnBatch", "&Batch      ", "Batch conversion", 15, {16, 8, 84, 25});
    btnOption = button(panelLeft, "btnOption", "&Options  ", "Set program options", 1, {16, 48, 84, 25});
    btnHelp = button(panelLeft, "btnHelp", "&Help        ", "Get help information", 3, {16, 88, 84, 25});
    labelInfo = new QLabel(panelLeft);
    labelInfo->setObjectName("labelInfo");
    labelInfo->setWordWrap(true);
    labelInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labelInfo->setGeometry(14, 208, 99, 73);
    labelHome = new QLabel("Orvella Software", panelLeft);
    labelHome->setObjectName("labelHome");
    labelHome->setToolTip("Visit company site");
    labelHome->setAlignment(Qt::AlignCenter);
    labelHome->setWordWrap(true);
    labelHome->setFont(georgia(16, true));
    labelHome->setGeometry(8, 288, 97, 105);
    labelHome->setCursor(Qt::PointingHandCursor);
    labelHome->installEventFilter(this);
    SetLabelHomeColor(false);

    // The batch panel: heading strip, job list, button strip with status bar.
    panelBatch = new QWidget(Client);
    panelBatch->setObjectName("panelBatch");
    batchHeading = new QWidget(panelBatch);
    auto *heading = label(batchHeading, "Batch Ripping Audio", 6, 5);
    heading->setFont(georgia(21));
    heading->setStyleSheet("color: rgb(255, 0, 0);");
    heading->adjustSize();
    label(batchHeading, "Video File List:", 9, 33);

    lvFiles = new QTreeView(panelBatch);
    lvFiles->setObjectName("lvFiles");
    lvFiles->setRootIsDecorated(false);
    lvFiles->setItemsExpandable(false);
    lvFiles->setUniformRowHeights(true);
    lvFiles->setAllColumnsShowFocus(true);
    lvFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvFiles->setFont(windowFont());
    QPalette listPalette = lvFiles->palette();
    listPalette.setColor(QPalette::Base, Qt::white);
    listPalette.setColor(QPalette::Text, Qt::black);
    // The selection stays visible when the list loses the focus.
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        listPalette.setColor(QPalette::Inactive, role, listPalette.color(QPalette::Active, role));
    lvFiles->setPalette(listPalette);
    lvFiles->installEventFilter(this);
    lvFiles->viewport()->installEventFilter(this);
    lvFiles->viewport()->setAcceptDrops(true);
    lvFiles->setDragDropMode(QAbstractItemView::DropOnly);

    batchButtons = new QWidget(panelBatch);
    btnLoadList = button(batchButtons, "btnLoadList", "&Load List  ", "Load file list", 11, {8, 6, 81, 25});
    btnSaveList = button(batchButtons, "btnSaveList", "&Save List  ", "Save file list", 12, {104, 6, 81, 25});
    btnClear = button(batchButtons, "btnClear", "&Clear List    ", "Clear file list", -1, {200, 6, 81, 25});
    btnConvert = button(batchButtons, "btnConvert", "&Extract", "Start batch conversion", 17, {297, 6, 81, 25});
    btnAddFile = button(batchButtons, "btnAddFile", "&Add File    ", "Add file to list", 9, {8, 38, 81, 25});
    btnOutput = button(batchButtons, "btnOutput", "&Folder       ", "Open output folder", 6, {104, 38, 81, 25});
    btnStopConvert = button(batchButtons, "btnStopConvert", "&Stop         ", "Stop conversion", 8, {297, 38, 81, 25});
    sbConvert = new QFrame(batchButtons);
    sbConvert->setObjectName("sbConvert");
    sbConvert->setFrameStyle(QFrame::Panel | QFrame::Raised);
    progConvert = new QProgressBar(sbConvert);
    progConvert->setObjectName("progConvert");
    progConvert->setRange(0, 100);
    progConvert->setValue(0);
    progConvert->setTextVisible(false);
    progConvert->setGeometry(2, 3, 96, StatusBarHeight - 6);
    sbConvertStatus = new QLabel(sbConvert);
    sbConvertStatus->setObjectName("sbConvertStatus");
    sbConvertStatus->setGeometry(104, 2, 300, StatusBarHeight - 4);

    // The options panel.
    panelOption = new QWidget(Client);
    panelOption->setObjectName("panelOption");
    auto *optionHeading = label(panelOption, "Quillon Options", 8, 8);
    optionHeading->setFont(georgia(21));
    optionHeading->setStyleSheet("color: rgb(255, 0, 0);");
    optionHeading->adjustSize();
    auto *groupOutput = new QGroupBox("Output", panelOption);
    groupOutput->setGeometry(8, 48, 393, 121);
    label(groupOutput, "Ouput Directory:", 16, 24);
    edtDirectory = new QLineEdit(groupOutput);
    edtDirectory->setObjectName("edtDirectory");
    edtDirectory->setToolTip("Set the output directory");
    edtDirectory->setGeometry(104, 24, 249, 21);
    btnDir = button(groupOutput, "btnDir", "...", "Select output directory", -1, {360, 24, 25, 20});
    label(groupOutput, "Name output file", 16, 56);
    cbNaming = new QComboBox(groupOutput);
    cbNaming->setObjectName("cbNaming");
    cbNaming->addItems({"according to input file name", "with number"});
    cbNaming->setToolTip("Set the naming method for the output file");
    cbNaming->setGeometry(104, 56, 249, 21);
    checkOverWrite = new QCheckBox("Overwrite existing file", groupOutput);
    checkOverWrite->setObjectName("checkOverWrite");
    checkOverWrite->setGeometry(14, 88, 129, 20);

    auto *groupEncoding = new QGroupBox("Encoding:", panelOption);
    groupEncoding->setGeometry(10, 184, 393, 105);
    label(groupEncoding, "Audio file format(kHz):", 16, 24);
    auto combo = [&](const char *name, auto values, QRect place) {
        auto *c = new QComboBox(groupEncoding);
        c->setObjectName(name);
        for (const char *v : values)
            c->addItem(v);
        c->setCurrentIndex(-1); // the settings choose
        c->setGeometry(place);
        return c;
    };
    cbFileFormat = combo("cbFileFormat", FileFormats, {144, 24, 57, 22});
    ckMono = new QCheckBox("Mono", groupEncoding);
    ckMono->setObjectName("ckMono");
    ckMono->setGeometry(216, 24, 98, 20);
    label(groupEncoding, "Audio sample rate(kHz):", 16, 56);
    cbAudioSampleRate = combo("cbAudioSampleRate", SampleRates, {144, 56, 57, 22});
    label(groupEncoding, "Audio bit rate:", 216, 56);
    cbAudioBitRate = combo("cbAudioBitRate", BitRates, {296, 56, 49, 22});
    panelOption->hide();

    connect(btnBatch, &QPushButton::clicked, this, [this] { Guard([this] { btnBatchClick(); }); });
    connect(btnOption, &QPushButton::clicked, this, [this] { Guard([this] { btnOptionClick(); }); });
    connect(btnHelp, &QPushButton::clicked, this, [this] { Guard([this] { btnHelpClick(); }); });
    connect(btnDir, &QPushButton::clicked, this, [this] { Guard([this] { btnDirClick(); }); });
    connect(btnOutput, &QPushButton::clicked, this, [this] { Guard([this] { btnFolderClick(); }); });
    connect(btnAddFile, &QPushButton::clicked, this, [this] { Guard([this] { btnAddFileClick(); }); });
    connect(btnLoadList, &QPushButton::clicked, this, [this] { Guard([this] { btnLoadListClick(); }); });
    connect(btnSaveList, &QPushButton::clicked, this, [this] { Guard([this] { btnSaveListClick(); }); });
    connect(btnClear, &QPushButton::clicked, this, [this] { Guard([this] { btnClearClick(); }); });
    connect(btnConvert, &QPushButton::clicked, this, [this] { Guard([this] { Engine_->Batch.btnConvertClick(); }); });
    connect(btnStopConvert, &QPushButton::clicked, this,
            [this] { Guard([this] { Engine_->Batch.btnStopConvertClick(); }); });
    connect(lvFiles, &QTreeView::doubleClicked, this, [this] { Guard([this] { lvFilesDblClick(); }); });
    LayoutPanels();
}

void TfrmMain::CreateFrame()
{
    // One skinned frame, on the form's theme link: close, system menu,
    // minimize, maximize and tray buttons; it snaps to the desktop's edges.
    Frame = new TTeForm(*this);
    Frame->BorderIcons = kbiClose | kbiSystemMenu | kbiMinimize | kbiMaximize | kbiTray;
    Frame->Binding.SetThemeLink(ThemeLink.get());
    Frame->Attach(*Client);
    Client->installEventFilter(this); // its size lays the panels out, from now on
    LayoutPanels();
}

void TfrmMain::CreateThemeComponents()
{
    // As the form is read: the list receives the packed theme, the link and
    // the engine select its item 0, and then each is told the form is loaded,
    // in form order. A theme that cannot be loaded leaves the window as it is.
    TteThemeManager::Instance().ProgramDir = ProgramDir;
    ThemeList = std::make_unique<TTeThemeList>();
    ThemeLink = std::make_unique<TTeThemeLink>();
    ThemeEngine = std::make_unique<TTeThemeEngine>();
    try {
        ThemeList->AddThemeStream(EmbeddedThemeStream());
        ThemeLink->Loading = ThemeEngine->Loading = true;
        ThemeLink->SetThemeList(ThemeList.get());
        ThemeLink->SetThemeIndex(0);
        ThemeEngine->SetThemeList(ThemeList.get());
        ThemeEngine->SetThemeIndex(0);
        ThemeLink->Loaded();
        ThemeEngine->Loaded();
        if (!TteThemeManager::Instance().CurrentTheme())
            ThemeError = "The theme of the program could not be loaded";
    } catch (const std::exception &e) {
        ThemeError = e.what();
    }
}

void TfrmMain::FormCreate(const std::vector<std::string> &arguments)
{
    Engine_ = std::make_unique<Engine>(ProgramDir, *this);
    CurrentPanel = Panel::None;
    LayoutPanels();
    SetApplicationErrorHandler([this](const std::string &message) { AppException(message); });

    Model = new JobListModel(Engine_->Jobs);
    lvFiles->setModel(Model);
    lvFiles->header()->resizeSection(0, 200);
    lvFiles->header()->resizeSection(1, 150);
    lvFiles->header()->resizeSection(2, 50);
    lvFiles->header()->setStretchLastSection(false);
    connect(lvFiles->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        for (int i = 0; i < Engine_->Jobs.Count(); ++i)
            Engine_->Jobs.SetSelected(i, lvFiles->selectionModel()->isRowSelected(i, {}));
        ShowStatusLine();
    });
    // A close that arrived while an add's probe ran is carried out once the
    // add is over, whichever way the add came (a queued one too).
    Engine_->Adder.OnRequestDone = [this] {
        if (CloseRequested)
            QTimer::singleShot(0, this, [this] { close(); });
    };

    VersionInfo = ReadFileVersionInfo(QCoreApplication::applicationFilePath().toStdString());
    Settings = std::make_unique<SettingsStore>(ProgramDir + "strings.ini");
    Title = "Quillon " + VersionInfo.ProductVersion;
    setWindowTitle(qs(Title));
    setMinimumSize(size());
    OutputOptions options = CurrentOptions();
    Settings->LoadSettings(options);
    ApplySettings(options);
    if (!ThemeError.empty())
        MsgBox(ThemeError); // once; the program goes on unskinned
    HandleCommandLine(arguments);
}

void TfrmMain::ApplySettings(const OutputOptions &o)
{
    NamingMethod = o.NamingMethod;
    OverwriteExisting = o.OverwriteExisting;
    OutputDir = o.OutputDir;
    cbFileFormat->setCurrentIndex(o.FormatIndex);
    cbAudioSampleRate->setCurrentIndex(o.SampleRateIndex);
    cbAudioBitRate->setCurrentIndex(o.BitRateIndex);
    ckMono->setChecked(o.Mono);
}

void TfrmMain::HandleCommandLine(const std::vector<std::string> &arguments)
{
    if (arguments.empty())
        return;
    std::vector<AddItem> items;
    for (const std::string &a : arguments)
        items.push_back({a, AddKind::ByExtension});
    try {
        Add(items);
    } catch (const std::exception &e) {
        // The window opens with what was admitted so far.
        AppException(e.what());
        return;
    }
    if (Engine_->Jobs.Count() == 0)
        TerminateRequested_ = true;
    else
        btnBatchClick();
}

void TfrmMain::LayoutPanels()
{
    const int w = Client->width(), h = Client->height();
    panelLeft->setGeometry(0, 0, LeftWidth, h);
    for (QWidget *panel : {panelBatch, panelOption})
        panel->setGeometry(LeftWidth, 0, w - LeftWidth, h);
    const int pw = w - LeftWidth;
    batchHeading->setGeometry(0, 0, pw, HeadingHeight);
    lvFiles->setGeometry(0, HeadingHeight, pw, h - HeadingHeight - ButtonStripHeight);
    batchButtons->setGeometry(0, h - ButtonStripHeight, pw, ButtonStripHeight);
    sbConvert->setGeometry(0, ButtonStripHeight - StatusBarHeight, pw, StatusBarHeight);
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutPanels();
}

// ---- Panels

bool TfrmMain::SwitchPanel(Panel target)
{
    if (target == CurrentPanel)
        return true;
    if (CurrentPanel == Panel::Options) {
        const std::string dir = edtDirectory->text().toStdString();
        if (!DirectoryExists(dir)) {
            MsgBox("Please make sure the directory exists");
            edtDirectory->setFocus();
            return false;
        }
        OutputDir = dir.back() == '/' ? dir : dir + "/";
        OverwriteExisting = checkOverWrite->isChecked();
        NamingMethod = cbNaming->currentIndex();
    }
    CurrentPanel = target;
    return true;
}

void TfrmMain::btnBatchClick()
{
    if (!SwitchPanel(Panel::Batch))
        return;
    labelInfo->setText(btnBatch->toolTip());
    panelOption->hide();
    panelBatch->show();
    panelBatch->raise();
}

void TfrmMain::btnOptionClick()
{
    if (!SwitchPanel(Panel::Options))
        return;
    edtDirectory->setText(qs(OutputDir));
    checkOverWrite->setChecked(OverwriteExisting);
    cbNaming->setCurrentIndex(NamingMethod >= 0 && NamingMethod < cbNaming->count() ? NamingMethod : -1);
    labelInfo->setText("Set options to control Quillon");
    panelBatch->hide();
    panelOption->show();
    panelOption->raise();
}

void TfrmMain::btnHelpClick()
{
    labelInfo->setText(btnHelp->toolTip());
    const std::string help = ProgramDir + "help.chm";
    if (FileExists(help))
        QDesktopServices::openUrl(QUrl::fromLocalFile(qs(help)));
    else
        QDesktopServices::openUrl(QUrl(ProductPageUrl));
}

void TfrmMain::btnDirClick()
{
    const QString dir = QFileDialog::getExistingDirectory(this, "Select output directory", edtDirectory->text());
    if (!dir.isEmpty())
        edtDirectory->setText(dir);
}

void TfrmMain::btnFolderClick() { QDesktopServices::openUrl(QUrl::fromLocalFile(qs(OutputDir))); }

void TfrmMain::labelHomeClick() { QDesktopServices::openUrl(QUrl(MakerSiteUrl)); }

void TfrmMain::SetLabelHomeColor(bool hover)
{
    QPalette p = labelHome->palette();
    p.setColor(QPalette::WindowText, hover ? QColor(255, 0, 0) : QColor(0, 0, 255));
    labelHome->setPalette(p);
    labelHome->repaint();
}

// ---- Job list

void TfrmMain::Add(std::vector<AddItem> items) { Engine_->Adder.Offer(std::move(items)); }

namespace {

// The standard open and save dialogs, in the toolkit's own form so that they
// look alike everywhere. Answers the chosen files; empty when cancelled.
QStringList askForFiles(QWidget *parent, const char *name, const QString &title, QFileDialog::FileMode mode,
                        QFileDialog::AcceptMode accept, const QStringList &filters, const QString &proposed)
{
    QFileDialog dialog(parent, title);
    dialog.setObjectName(name);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // the save dialog does not ask before replacing
    dialog.setFileMode(mode);
    dialog.setAcceptMode(accept);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.front());
    if (!proposed.isNull())
        dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

const QString ListFileFilter = "File List(*.lst)";

} // namespace

void TfrmMain::btnAddFileClick()
{
    if (Engine_->Adder.Busy())
        return;
    QStringList filters;
    for (const FileFilter &f : AddFileFilters)
        filters << qtFilter(f);
    const QStringList files = askForFiles(this, "AddFileDialog", "Add video file to batch convert to Flash",
                                          QFileDialog::ExistingFiles, QFileDialog::AcceptOpen, filters, " ");
    std::vector<AddItem> items;
    for (const QString &file : files)
        if (FileExists(file.toStdString()))
            items.push_back({file.toStdString(), AddKind::Source});
    if (!items.empty())
        Add(items);
}

void TfrmMain::btnLoadListClick()
{
    if (Engine_->Adder.Busy())
        return;
    // The file need not exist: a name that names nothing loads nothing.
    const QStringList files = askForFiles(this, "LoadListDialog", "Load file file list", QFileDialog::AnyFile,
                                          QFileDialog::AcceptOpen, {ListFileFilter}, QString());
    if (!files.isEmpty())
        Add({{files.front().toStdString(), AddKind::ListFile}});
}

void TfrmMain::btnSaveListClick()
{
    const QStringList files = askForFiles(this, "SaveListDialog", "Save file list", QFileDialog::AnyFile,
                                          QFileDialog::AcceptSave, {ListFileFilter}, "Quillon.lst");
    if (files.isEmpty())
        return;
    const std::string path = files.front().toStdString();
    if (ListWouldReplaceASource(path, Engine_->Jobs.SourcePaths())) {
        MsgBox("The list is not saved over one of its videos: " + path);
        return;
    }
    SaveListFile(path, Engine_->Jobs.SourcePaths()); // a failed save is not reported; the old list is kept
}

void TfrmMain::btnClearClick() { Engine_->ClearEntries(); }

void TfrmMain::lvFilesKeyDown(int key)
{
    if (key == Qt::Key_Delete)
        Engine_->DeleteSelectedEntries();
}

void TfrmMain::lvFilesDblClick()
{
    const int first = Engine_->Jobs.FirstSelected();
    if (first >= 0)
        QDesktopServices::openUrl(QUrl::fromLocalFile(qs(Engine_->Jobs.SourcePath(first))));
}

void TfrmMain::FilesDropped(const std::vector<std::string> &paths)
{
    std::vector<AddItem> items;
    for (const std::string &p : paths)
        items.push_back({p, AddKind::ByExtension});
    Add(items); // waits in the add queue while the converter is busy
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Client && event->type() == QEvent::Resize)
        LayoutPanels();
    if (watched == labelHome) {
        if (event->type() == QEvent::Enter)
            SetLabelHomeColor(true);
        else if (event->type() == QEvent::Leave)
            SetLabelHomeColor(false);
        else if (event->type() == QEvent::MouseButtonRelease)
            labelHomeClick();
    } else if (watched == lvFiles && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete) {
            lvFilesKeyDown(key->key());
            return true;
        }
    } else if (watched == lvFiles->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDropEvent *>(event);
            if (drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            std::vector<std::string> paths;
            for (const QUrl &url : drop->mimeData()->urls())
                if (url.isLocalFile())
                    paths.push_back(url.toLocalFile().toStdString());
            drop->acceptProposedAction();
            Guard([&] { FilesDropped(paths); });
            return true;
        }
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Closing and errors

void TfrmMain::closeEvent(QCloseEvent *event)
{
    event->ignore();
    if (!Idle()) {
        MsgBox("Busy! Please stop the conversion before exit");
        return;
    }
    if (Engine_->Adder.Busy()) {
        // The add's probe is waiting in a loop below us: close once it returns.
        CloseRequested = true;
        return;
    }
    CloseRequested = false;
    if (SwitchPanel(Panel::None))
        event->accept();
}

void TfrmMain::AppException(const std::string &message) { MsgBox(message); }

void TfrmMain::Guard(const std::function<void()> &handler)
{
    // Errors that escape a handler are shown, and the program goes on.
    try {
        handler();
    } catch (const std::exception &e) {
        AppException(e.what());
    }
}

void TfrmMain::MsgBox(const std::string &text)
{
    QMessageBox box(QMessageBox::NoIcon, "Quillon", qs(text), QMessageBox::Ok, isVisible() ? this : nullptr);
    box.setObjectName("MsgBox");
    box.exec();
}

// ---- BatchView

void TfrmMain::SetBatchButtons(bool running)
{
    for (QPushButton *b : {btnAddFile, btnLoadList, btnSaveList, btnConvert, btnOption, btnClear})
        b->setEnabled(!running);
    btnStopConvert->setEnabled(running);
}

void TfrmMain::SetProgressPosition(int percent) { progConvert->setValue(percent); }
void TfrmMain::SetStatusText(const std::string &text)
{
    StatusText = text;
    ShowStatusLine();
}

void TfrmMain::EntryFinished(int, const std::string &, const std::string &, const std::string &) { ShowStatusLine(); }

void TfrmMain::ShowStatusLine()
{
    const QModelIndex current = lvFiles->selectionModel() ? lvFiles->selectionModel()->currentIndex() : QModelIndex();
    std::string text = StatusText;
    if (current.isValid() && current.row() < Engine_->Jobs.Count() &&
        lvFiles->selectionModel()->isRowSelected(current.row(), {}) &&
        !Engine_->Jobs.Entry(current.row()).Reason.empty())
        text = Engine_->Jobs.Entry(current.row()).Reason;
    // One line in the panel; the whole text in its hint.
    const QString line = qs(text).replace('\n', ' ');
    sbConvertStatus->setText(
        sbConvertStatus->fontMetrics().elidedText(line, Qt::ElideMiddle, sbConvertStatus->width()));
    sbConvertStatus->setToolTip(line == sbConvertStatus->text() ? QString() : qs(text));
}
void TfrmMain::RestoreCaption() { setWindowTitle(qs(Title)); }

OutputOptions TfrmMain::CurrentOptions()
{
    OutputOptions o;
    o.OutputDir = OutputDir;
    o.NamingMethod = NamingMethod;
    o.OverwriteExisting = OverwriteExisting;
    o.FormatIndex = cbFileFormat->currentIndex();
    o.SampleRateIndex = cbAudioSampleRate->currentIndex();
    o.BitRateIndex = cbAudioBitRate->currentIndex();
    o.Mono = ckMono->isChecked();
    return o;
}

} // namespace quillon
