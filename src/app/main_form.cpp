#include "app/main_form.h"

#include "app/desktop_notifier.h"
#include "app/quillon_application.h"

#include "embedded_theme.h"
#include "extract/sound_track.h"
#include "joblist/list_file.h"
#include "platform/app_errors.h"
#include "platform/file_system.h"
#include "platform/program_layout.h"
#include "platform/translation.h"
#include "skin/te_checkbox.h"
#include "skin/te_combobox.h"
#include "skin/te_extctrls.h"
#include "skin/te_groupbox.h"
#include "skin/te_label.h"
#include "skin/te_listview.h"
#include "skin/te_panel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace quillon {

const FileFilter AddFileFilters[7] = {
    {QT_TRANSLATE_NOOP("Window", "Supported Files"),
     "*.rm;*.rmvb;*.avi;*.mpg;*.mpeg;*.vob;*.wmv;*.wma;*.asf;*.mov;*.qt;*.3gp;*.3g2;*.m2v;*m4v;*.mp4"},
    {QT_TRANSLATE_NOOP("Window", "Real Media Files(*.rm;*.rmvb)"), "*.rm;*.rmvb"},
    {QT_TRANSLATE_NOOP("Window", "AVI Files(*.avi)"), "*.avi"},
    {QT_TRANSLATE_NOOP("Window", "MPEG Files(*.mpg;*.mpeg;*.vob;*.m2v;*m4v;*.mp4)"),
     "*.mpg;*.mpeg;*.vob;*.m2v;*m4v;*.mp4"},
    {QT_TRANSLATE_NOOP("Window", "Windows Media Files(*.wmv;*.wma;*.asf)"), "*.wmv;*.wma;*.asf"},
    {QT_TRANSLATE_NOOP("Window", "QuickTime Files(*.mov;*.qt)"), "*.mov;*.qt"},
    {QT_TRANSLATE_NOOP("Window", "3GP Files(*.3gp;*.3g2)"), "*.3gp;*.3g2"},
};

namespace {

constexpr int ClientWidth = 522, ClientHeight = 410, LeftWidth = 113;
constexpr int HeadingHeight = 46, ButtonStripHeight = 95, StatusBarHeight = 25;

QString qs(const std::string &s) { return QString::fromStdString(s); }

// The window's fonts by their classic names, and metric-compatible faces
// standing in for them where those are not installed; names in Chinese,
// Japanese and Korean fall back to a CJK face.
void installFontSubstitutes()
{
    const QStringList cjk = {"WenQuanYi Micro Hei", "Droid Sans Fallback", "Noto Sans CJK SC"};
    QFont::insertSubstitutions("MS Sans Serif", QStringList{"Liberation Sans", "Arial", "DejaVu Sans Condensed"} + cjk);
    QFont::insertSubstitutions("Georgia", QStringList{"Liberation Serif", "DejaVu Serif Condensed"} + cjk);
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

const TTeImageList &windowImages()
{
    static const TTeImageList images = ProgramImageList();
    return images;
}

TTeLabel *label(QWidget *parent, const QString &caption, int x, int y, QWidget *names = nullptr)
{
    auto *l = new TTeLabel(parent);
    l->move(x, y);
    l->SetCaption(caption);
    if (!names)
        return l;
    l->SetFocusControl(names);
    if (names->y() == y) {
        // Beside its control: the text on the control's middle line.
        l->AutoSize = false;
        l->Layout = tlCenter;
        l->setGeometry(x, y, l->MeasuredSize().width(), names->height());
    }
    return l;
}

// A heading in a font of its own, whatever the theme.
TTeAdvancedLabel *heading(QWidget *parent, const QString &caption, int x, int y, QFont font, QColor colour)
{
    auto *l = new TTeAdvancedLabel(parent);
    l->DefaultFont = l->DefaultDisabledFont = std::move(font);
    l->DefaultColor = colour;
    l->AlwaysUseDefaultFont = true;
    l->move(x, y);
    l->SetCaption(caption);
    return l;
}

// The items of a box from the table the command builder reads them by.
template <size_t N>
QStringList texts(const std::array<const char *, N> &items)
{
    QStringList list;
    for (const char *item : items)
        list << item;
    return list;
}

// The languages the track box offers, by their bibliographic codes; a file
// that names one by its other code is matched all the same.
constexpr std::pair<const char *, const char *> TrackLanguages[] = {
    {QT_TRANSLATE_NOOP("Window", "English"), "eng"},  {QT_TRANSLATE_NOOP("Window", "German"), "ger"},
    {QT_TRANSLATE_NOOP("Window", "French"), "fre"},   {QT_TRANSLATE_NOOP("Window", "Spanish"), "spa"},
    {QT_TRANSLATE_NOOP("Window", "Italian"), "ita"},  {QT_TRANSLATE_NOOP("Window", "Portuguese"), "por"},
    {QT_TRANSLATE_NOOP("Window", "Dutch"), "dut"},    {QT_TRANSLATE_NOOP("Window", "Polish"), "pol"},
    {QT_TRANSLATE_NOOP("Window", "Russian"), "rus"},  {QT_TRANSLATE_NOOP("Window", "Swedish"), "swe"},
    {QT_TRANSLATE_NOOP("Window", "Japanese"), "jpn"}, {QT_TRANSLATE_NOOP("Window", "Chinese"), "chi"},
    {QT_TRANSLATE_NOOP("Window", "Korean"), "kor"},   {QT_TRANSLATE_NOOP("Window", "Hindi"), "hin"},
    {QT_TRANSLATE_NOOP("Window", "Arabic"), "ara"}};

template <class Box>
Box *comboBox(QWidget *parent, const char *name, const QStringList &items, QRect place)
{
    auto *box = new Box(parent);
    box->setObjectName(name);
    box->setGeometry(place);
    if constexpr (std::is_same_v<Box, TTeComboBox>)
        box->SetItems(items);
    else
        box->addItems(items);
    return box;
}

TTeCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption, QRect place)
{
    auto *box = new TTeCheckBox(parent);
    box->setObjectName(name);
    box->SetCaption(caption);
    box->setGeometry(place);
    return box;
}

// The Qt form of a filter: the description, then its patterns in brackets.
QString qtFilter(const FileFilter &f)
{
    return QTr("Window", f.Description) + " (" + QString(f.Patterns).replace(';', ' ') + ")";
}

} // namespace

struct TfrmMain::ButtonSpec {
    TTeButton *TfrmMain::*Slot;
    const char *Name, *Caption, *Hint;
    int Image; // in the window's image list; -1: none
    QRect Place;
    void (TfrmMain::*Action)();
};

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
    CreateThemeComponents();
    CreateControls();
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

TTeButton *TfrmMain::MakeButton(QWidget *parent, const ButtonSpec &spec)
{
    auto *b = new TTeButton(parent);
    b->setObjectName(spec.Name);
    b->SetCaption(QTr("Window", spec.Caption));
    b->setToolTip(QTr("Window", spec.Hint));
    b->Images = &windowImages();
    b->ImageIndex = spec.Image;
    b->setGeometry(spec.Place);
    b->OnClick = [this, action = spec.Action] { Guard([this, action] { (this->*action)(); }); };
    this->*spec.Slot = b;
    return b;
}

void TfrmMain::CreateControls()
{
    CreateLeftPanel();
    CreateBatchPanel();
    CreateOptionsPanel();
    LayoutPanels();
}

void TfrmMain::CreateLeftPanel()
{
    panelLeft = new TTeTransparentPanel(Client);
    panelLeft->setObjectName("panelLeft");
    static const ButtonSpec buttons[] = {
        // clang-format off
        {&TfrmMain::btnBatch,  "btnBatch",  QT_TRANSLATE_NOOP("Window", "&Batch      "), QT_TRANSLATE_NOOP("Window", "Batch conversion"),     15, {16, 8, 84, 25},  &TfrmMain::btnBatchClick},
        {&TfrmMain::btnOption, "btnOption", QT_TRANSLATE_NOOP("Window", "&Options  "),   QT_TRANSLATE_NOOP("Window", "Set program options"),  1,  {16, 48, 84, 25}, &TfrmMain::btnOptionClick},
        {&TfrmMain::btnHelp,   "btnHelp",   QT_TRANSLATE_NOOP("Window", "&Help        "), QT_TRANSLATE_NOOP("Window", "Get help information"), 3, {16, 88, 84, 25}, &TfrmMain::btnHelpClick},
        // clang-format on
    };
    for (const ButtonSpec &spec : buttons)
        MakeButton(panelLeft, spec);
    labelInfo = label(panelLeft, "", 14, 208);
    labelInfo->setObjectName("labelInfo");
    labelInfo->AutoSize = false;
    labelInfo->WordWrap = true;
    labelInfo->setGeometry(14, 208, 99 - 6, 73); // a margin on the right: the strip ends at 113
    labelHome = heading(panelLeft, QTr("Window", "Orvella Software"), 8, 288, georgia(16, true), QColor(0, 0, 255));
    labelHome->setObjectName("labelHome");
    labelHome->setToolTip(QTr("Window", "Visit company site"));
    labelHome->AutoSize = false;
    labelHome->WordWrap = true;
    labelHome->Alignment = taCenter;
    labelHome->Layout = tlCenter;
    labelHome->setGeometry(8, 288, 97, 105);
    labelHome->setCursor(Qt::PointingHandCursor);
    labelHome->OnMouseEnter = [this] { labelHomeMouseEnter(); };
    labelHome->OnMouseLeave = [this] { labelHomeMouseLeave(); };
    labelHome->installEventFilter(this); // the click
}

void TfrmMain::CreateBatchPanel()
{
    // Heading strip, job list, button strip with the status bar.
    panelBatch = new TTeTransparentPanel(Client);
    panelBatch->setObjectName("panelBatch");
    batchHeading = new TTeTransparentPanel(panelBatch);
    heading(batchHeading, QTr("Window", "Batch Ripping Audio"), 6, 5, georgia(21), QColor(255, 0, 0));

    lvFiles = new TTeListView(panelBatch);
    lvFiles->setObjectName("lvFiles");
    label(batchHeading, QTr("Window", "Video File List:"), 9, 33, lvFiles);
    lvFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvFiles->setFont(windowFont());
    lvFiles->installEventFilter(this);
    lvFiles->viewport()->installEventFilter(this);
    lvFiles->viewport()->setAcceptDrops(true);
    lvFiles->setDragDropMode(QAbstractItemView::DropOnly);
    connect(lvFiles, &QTreeView::doubleClicked, this, [this] { Guard([this] { lvFilesDblClick(); }); });

    batchButtons = new TTeTransparentPanel(panelBatch);
    static const ButtonSpec buttons[] = {
        // clang-format off
        {&TfrmMain::btnLoadList,    "btnLoadList",    QT_TRANSLATE_NOOP("Window", "&Load List  "),    QT_TRANSLATE_NOOP("Window", "Load file list"),         11, {8, 6, 81, 25},    &TfrmMain::btnLoadListClick},
        {&TfrmMain::btnSaveList,    "btnSaveList",    QT_TRANSLATE_NOOP("Window", "&Save List  "),    QT_TRANSLATE_NOOP("Window", "Save file list"),         12, {104, 6, 81, 25},  &TfrmMain::btnSaveListClick},
        {&TfrmMain::btnClear,       "btnClear",       QT_TRANSLATE_NOOP("Window", "&Clear List    "), QT_TRANSLATE_NOOP("Window", "Clear file list"),        -1, {200, 6, 81, 25},  &TfrmMain::btnClearClick},
        {&TfrmMain::btnConvert,     "btnConvert",     QT_TRANSLATE_NOOP("Window", "&Extract"),        QT_TRANSLATE_NOOP("Window", "Start batch conversion"), 17, {297, 6, 81, 25},  &TfrmMain::btnConvertClick},
        {&TfrmMain::btnAddFile,     "btnAddFile",     QT_TRANSLATE_NOOP("Window", "&Add File    "),   QT_TRANSLATE_NOOP("Window", "Add file to list"),       9,  {8, 38, 81, 25},   &TfrmMain::btnAddFileClick},
        {&TfrmMain::btnOutput,      "btnOutput",      QT_TRANSLATE_NOOP("Window", "&Folder       "),  QT_TRANSLATE_NOOP("Window", "Open output folder"),     6,  {104, 38, 81, 25}, &TfrmMain::btnFolderClick},
        {&TfrmMain::btnStopConvert, "btnStopConvert", QT_TRANSLATE_NOOP("Window", "&Stop         "),  QT_TRANSLATE_NOOP("Window", "Stop conversion"),        8,  {297, 38, 81, 25}, &TfrmMain::btnStopConvertClick},
        // clang-format on
    };
    for (const ButtonSpec &spec : buttons)
        MakeButton(batchButtons, spec);

    // The status bar: the progress bar in panel 0, the status text in panel 1.
    sbConvert = new TTeStatusBar(batchButtons);
    sbConvert->setObjectName("sbConvert");
    sbConvert->Panels.resize(2);
    sbConvert->Panels[0].Width = 100;
    sbConvert->Panels[1].Width = 300;
    sbConvert->Panels[1].ElideMode = Qt::ElideMiddle; // a long path keeps its name
    progConvert = new TTeProgressBar(sbConvert);
    progConvert->setObjectName("progConvert");
    progConvert->setAccessibleName(QTr("Window", "Progress"));
    sbConvert->SetPanelControl(0, progConvert);
}

void TfrmMain::CreateOptionsPanel()
{
    panelOption = new TTeTransparentPanel(Client);
    panelOption->setObjectName("panelOption");
    heading(panelOption, QTr("Window", "Quillon Options"), 8, 8, georgia(21), QColor(255, 0, 0));

    auto *groupOutput = new TTeGroupBox(panelOption);
    groupOutput->Caption = QTr("Window", "Output");
    groupOutput->setGeometry(8, 48, 393, 121);
    edtDirectory = new TTeSEdit(groupOutput);
    edtDirectory->setObjectName("edtDirectory");
    edtDirectory->setToolTip(QTr("Window", "Set the output directory"));
    edtDirectory->setGeometry(104, 24, 249, 21);
    label(groupOutput, QTr("Window", "Ouput Directory:"), 16, 24, edtDirectory);
    // clang-format off
    MakeButton(groupOutput, {&TfrmMain::btnDir, "btnDir", QT_TRANSLATE_NOOP("Window", "..."), QT_TRANSLATE_NOOP("Window", "Select output directory"), -1, {360, 24, 25, 20}, &TfrmMain::btnDirClick});
    // clang-format on
    btnDir->setAccessibleName(QTr("Window", "Select output directory"));
    cbNaming = comboBox<TTeComboBox>(groupOutput, "cbNaming",
                                     {QTr("Window", "according to input file name"), QTr("Window", "with number")},
                                     {104, 56, 249, 21});
    cbNaming->SetItemIndex(0);
    cbNaming->ReadOnly = true;
    cbNaming->AutoComplete = false;
    cbNaming->setToolTip(QTr("Window", "Set the naming method for the output file"));
    label(groupOutput, QTr("Window", "Name output file"), 16, 56, cbNaming);
    // Wider than the 129 pixels of old: the caption whole in the window's font.
    checkOverWrite =
        checkBox(groupOutput, "checkOverWrite", QTr("Window", "Overwrite existing file"), {14, 88, 180, 20});
    checkKeepDates =
        checkBox(groupOutput, "checkKeepDates", QTr("Window", "Keep the source's date"), {216, 88, 170, 20});
    checkKeepDates->setToolTip(QTr("Window", "Give each audio file the modification time of its video"));

    auto *groupEncoding = new TTeGroupBox(panelOption);
    groupEncoding->Caption = QTr("Window", "Encoding:");
    groupEncoding->setGeometry(10, 184, 393, 121);
    cbFileFormat = comboBox<TTeSComboBox>(groupEncoding, "cbFileFormat", texts(FileFormats), {144, 24, 65, 22});
    // The other formats are names of file types; this one is a word.
    cbFileFormat->setItemText(OriginalFormat, QTr("Window", "Original"));
    label(groupEncoding, QTr("Window", "Audio file format(kHz):"), 16, 24, cbFileFormat);
    ckMono = checkBox(groupEncoding, "ckMono", QTr("Window", "Mono"), {216, 24, 98, 20});
    cbAudioSampleRate =
        comboBox<TTeSComboBox>(groupEncoding, "cbAudioSampleRate", texts(SampleRates), {144, 56, 57, 22});
    label(groupEncoding, QTr("Window", "Audio sample rate(kHz):"), 16, 56, cbAudioSampleRate);
    cbAudioBitRate = comboBox<TTeSComboBox>(groupEncoding, "cbAudioBitRate", texts(BitRates), {296, 56, 49, 22});
    label(groupEncoding, QTr("Window", "Audio bit rate:"), 216, 56, cbAudioBitRate);
    for (TTeSComboBox *box : {cbFileFormat, cbAudioSampleRate, cbAudioBitRate})
        box->setCurrentIndex(-1); // the settings choose
    cbTrack = new TTeSComboBox(groupEncoding);
    cbTrack->setObjectName("cbTrack");
    cbTrack->setGeometry(144, 88, 129, 22);
    cbTrack->addItem(QTr("Window", "First"), QString());
    cbTrack->addItem(QTr("Window", "All"), QString(AllTracks));
    for (const auto &[name, code] : TrackLanguages)
        cbTrack->addItem(QString("%1 (%2)").arg(QTr("Window", name), code), QString(code));
    cbTrack->setToolTip(
        QTr("Window", "Which sound track of a video with several: the first, one in a language, or all"));
    label(groupEncoding, QTr("Window", "Sound track:"), 16, 88, cbTrack);
    // A track copied as it is keeps its own rate and channels.
    connect(cbFileFormat, &QComboBox::currentIndexChanged, this, [this](int format) {
        const bool encoded = format != OriginalFormat;
        for (QWidget *box : std::initializer_list<QWidget *>{cbAudioSampleRate, cbAudioBitRate, ckMono})
            box->setEnabled(encoded);
    });

    auto *groupBatch = new TTeGroupBox(panelOption);
    groupBatch->Caption = QTr("Window", "Batch:");
    groupBatch->setGeometry(10, 320, 393, 57);
    QStringList counts;
    for (int n = 1; n <= MaxSimultaneousExtractions; ++n)
        counts << QString::number(n);
    cbSimultaneous = comboBox<TTeSComboBox>(groupBatch, "cbSimultaneous", counts, {144, 24, 57, 22});
    cbSimultaneous->setToolTip(QTr("Window", "How many files are extracted at the same time"));
    label(groupBatch, QTr("Window", "Simultaneous extractions:"), 16, 24, cbSimultaneous);

    // The keyboard walks the options in reading order.
    QWidget *order[] = {edtDirectory,   btnDir,       cbNaming,      checkOverWrite,
                        checkKeepDates, cbFileFormat, ckMono,        cbAudioSampleRate,
                        cbAudioBitRate, cbTrack,      cbSimultaneous};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    panelOption->hide();
}

void TfrmMain::CreateFrame()
{
    // One skinned frame, on the form's theme link: close, system menu,
    // minimize, maximize and tray buttons; it snaps to the desktop's edges.
    Frame = new TTeForm(*this);
    Frame->BorderIcons = kbiClose | kbiSystemMenu | kbiMinimize | kbiMaximize | kbiTray;
    Frame->Binding.SetThemeLink(ThemeLink.get());
    static const TTeImageList menuImages = FrameMenuImages();
    Frame->MenuImages = &menuImages;
    Frame->Attach(*Client);
    // The message box: a fixed dialog with close and system-menu buttons,
    // in the window's font.
    MessageBox.BorderIcons = kbiClose | kbiSystemMenu;
    MessageBox.ButtonFont = MessageBox.MessageFont = windowFont();
    MessageBox.ThemeLink = ThemeLink.get();
    DirectoryDialog.ThemeLink = ThemeLink.get();
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
            ThemeError = Tr("Window", "The theme of the program could not be loaded");
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
    // File Name takes what the other two leave of the list's width, so the
    // three columns fit, with the scroll bar shown too.
    QHeaderView *header = lvFiles->header();
    header->setStretchLastSection(false);
    header->resizeSection(1, 150);
    header->resizeSection(2, 57); // "Progress" whole in the window's font
    header->setMinimumSectionSize(40);
    lvFiles->AutoSizeColumn = true;
    lvFiles->FitColumns();
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
    const ProgramLayout layout = LayoutOf(ProgramDir);
    Settings = std::make_unique<SettingsStore>(layout.Settings);
    Settings->MakesItsFolder = !layout.Portable;
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
    ckMono->SetChecked(o.Mono);
    cbSimultaneous->setCurrentIndex(SimultaneousWithinRange(o.Simultaneous) - 1);
    checkKeepDates->SetChecked(o.KeepDates);
    // A language the list does not offer (chosen in quillon-cli) joins it.
    if (cbTrack->findData(qs(o.Track)) < 0)
        cbTrack->addItem(qs(o.Track), qs(o.Track));
    cbTrack->setCurrentIndex(cbTrack->findData(qs(o.Track)));
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

// ---- Panels

bool TfrmMain::SwitchPanel(Panel target)
{
    if (target == CurrentPanel)
        return true;
    if (CurrentPanel == Panel::Options) {
        const std::string dir = edtDirectory->text().toStdString();
        if (!DirectoryExists(dir)) {
            MsgBox(Tr("Window", "Please make sure the directory exists"));
            edtDirectory->setFocus();
            return false;
        }
        OutputDir = dir.back() == '/' ? dir : dir + "/";
        OverwriteExisting = checkOverWrite->Checked();
        NamingMethod = cbNaming->ItemIndex();
    }
    CurrentPanel = target;
    return true;
}

void TfrmMain::btnBatchClick()
{
    if (!SwitchPanel(Panel::Batch))
        return;
    labelInfo->SetCaption(btnBatch->toolTip());
    panelOption->hide();
    panelBatch->show();
    panelBatch->raise();
}

void TfrmMain::btnOptionClick()
{
    if (!SwitchPanel(Panel::Options))
        return;
    edtDirectory->setText(qs(OutputDir));
    checkOverWrite->SetChecked(OverwriteExisting);
    cbNaming->SetItemIndex(NamingMethod >= 0 && NamingMethod < int(cbNaming->Items.size()) ? NamingMethod : -1);
    labelInfo->SetCaption(QTr("Window", "Set options to control Quillon"));
    panelBatch->hide();
    panelOption->show();
    panelOption->raise();
}

void TfrmMain::btnHelpClick()
{
    labelInfo->SetCaption(btnHelp->toolTip());
    const std::string help = ProgramDir + "help.chm";
    if (FileExists(help))
        QDesktopServices::openUrl(QUrl::fromLocalFile(qs(help)));
    else
        QDesktopServices::openUrl(QUrl(ProductPageUrl));
}

void TfrmMain::btnDirClick()
{
    if (DirectoryDialog.Execute())
        edtDirectory->setText(DirectoryDialog.Directory);
}

void TfrmMain::btnFolderClick() { QDesktopServices::openUrl(QUrl::fromLocalFile(qs(OutputDir))); }

void TfrmMain::labelHomeClick() { QDesktopServices::openUrl(QUrl(MakerSiteUrl)); }

void TfrmMain::labelHomeMouseEnter()
{
    labelHome->DefaultColor = QColor(255, 0, 0);
    labelHome->repaint();
}

void TfrmMain::labelHomeMouseLeave()
{
    labelHome->DefaultColor = QColor(0, 0, 255);
    labelHome->repaint();
}

void TfrmMain::btnConvertClick() { Engine_->Batch.btnConvertClick(); }

void TfrmMain::btnStopConvertClick() { Engine_->Batch.btnStopConvertClick(); }

// ---- Job list

void TfrmMain::Add(std::vector<AddItem> items) { Engine_->Adder.Offer(std::move(items)); }

namespace {

// The standard open and save dialogs, in the toolkit's own form so that they
// look alike everywhere. Answers the chosen files; empty when cancelled.
QStringList askForFiles(QWidget *parent, const char *name, const QString &title, QFileDialog::FileMode mode,
                        QFileDialog::AcceptMode accept, const QStringList &filters, const QString &proposed,
                        QString *chosenFilter = nullptr)
{
    QFileDialog dialog(parent, title);
    dialog.setObjectName(name);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // the save dialog does not ask before replacing
    dialog.resize(760, 460);                             // the size, type and date columns whole
    dialog.setFileMode(mode);
    dialog.setAcceptMode(accept);
    dialog.setNameFilters(filters);
    // The first filter at first use; afterwards the one the user chose last.
    dialog.selectNameFilter(chosenFilter && !chosenFilter->isEmpty() ? *chosenFilter : filters.front());
    if (!proposed.isNull())
        dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    if (chosenFilter)
        *chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles();
}

const char *const ListFileFilter = QT_TRANSLATE_NOOP("Window", "File List(*.lst)");

} // namespace

void TfrmMain::btnAddFileClick()
{
    if (Engine_->Adder.Busy())
        return;
    QStringList filters;
    for (const FileFilter &f : AddFileFilters)
        filters << qtFilter(f);
    const QStringList files =
        askForFiles(this, "AddFileDialog", QTr("Window", "Add video file to batch convert to Flash"),
                    QFileDialog::ExistingFiles, QFileDialog::AcceptOpen, filters, " ", &AddFileFilter);
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
    const QStringList files =
        askForFiles(this, "LoadListDialog", QTr("Window", "Load file file list"), QFileDialog::AnyFile,
                    QFileDialog::AcceptOpen, {QTr("Window", ListFileFilter)}, QString());
    if (!files.isEmpty())
        Add({{files.front().toStdString(), AddKind::ListFile}});
}

void TfrmMain::btnSaveListClick()
{
    const QStringList files = askForFiles(this, "SaveListDialog", QTr("Window", "Save file list"), QFileDialog::AnyFile,
                                          QFileDialog::AcceptSave, {QTr("Window", ListFileFilter)}, "Quillon.lst");
    if (files.isEmpty())
        return;
    const std::string path = files.front().toStdString();
    if (ListWouldReplaceASource(path, Engine_->Jobs.SourcePaths())) {
        MsgBox(Arg(Tr("Window", "The list is not saved over one of its videos: %1"), {path}));
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
        if (event->type() == QEvent::MouseButtonRelease)
            Guard([this] { labelHomeClick(); });
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
        MsgBox(Tr("Window", "Busy! Please stop the conversion before exit"));
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

void TfrmMain::MsgBox(const std::string &text) { MessageBox.ShowMessage(qs(text)); }

// ---- BatchView

void TfrmMain::SetBatchButtons(bool running)
{
    for (TTeButton *b : {btnAddFile, btnLoadList, btnSaveList, btnConvert, btnOption, btnClear})
        b->setEnabled(!running);
    btnStopConvert->setEnabled(running);
    if (running)
        LastNotice.clear();
    else if (BatchShown && !isActiveWindow())
        NotifyBatchEnd();
    BatchShown = running;
}

void TfrmMain::NotifyBatchEnd()
{
    int done = 0, failed = 0, aborted = 0;
    for (int i = 0; i < Engine_->Jobs.Count(); ++i)
        switch (Engine_->Jobs.Entry(i).State) {
        case EntryState::Done: ++done; break;
        case EntryState::Error: ++failed; break;
        case EntryState::Abort: ++aborted; break;
        default: break;
        }
    LastNotice = BatchEndText(done, failed, aborted);
    DesktopNotifier().Notify(Tr("Window", "Quillon: the batch has ended"), LastNotice);
}

void TfrmMain::OpenFiles(const std::vector<std::string> &paths)
{
    if (!paths.empty()) {
        Guard([&] { FilesDropped(paths); });
        // As files named at start: the list they went to is shown.
        if (Engine_->Jobs.Count() > 0)
            btnBatchClick();
    }
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TfrmMain::SetProgressPosition(int percent) { progConvert->SetPosition(percent); }
void TfrmMain::SetStatusText(const std::string &text)
{
    StatusText = text;
    ShowStatusLine();
}

void TfrmMain::EntryFinished(int, EntryState, const std::vector<std::string> &, const std::string &)
{
    ShowStatusLine();
}

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
    sbConvert->Panels[1].Text = line;
    sbConvert->setToolTip(sbConvert->ShownText(1) == line ? QString() : qs(text));
    sbConvert->update();
}
QString TfrmMain::StatusLine() const { return sbConvert->ShownText(1); }
QString TfrmMain::StatusHint() const { return sbConvert->toolTip(); }

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
    o.Mono = ckMono->Checked();
    o.Simultaneous = cbSimultaneous->currentIndex() + 1;
    o.Track = cbTrack->currentData().toString().toStdString();
    o.KeepDates = checkKeepDates->Checked();
    return o;
}

} // namespace quillon
