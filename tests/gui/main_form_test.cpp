#include "app/desktop_notifier.h"
#include "app/main_form.h"
#include "app/quillon_application.h"
#include "app/single_instance.h"
#include "support/golden.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLocalServer>
#include <QProcess>
#include <QUrl>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "skin/te_checkbox.h"
#include "skin/te_combobox.h"
#include "skin/te_extctrls.h"
#include "skin/te_label.h"
#include "skin/te_listview.h"
#include "skin/te_message.h"

#include <QAccessible>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest/QTest>

#include <filesystem>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

namespace {

// Answers every message box with OK and remembers its text.
class MessageBoxes {
public:
    MessageBoxes()
    {
        QObject::connect(&Timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<TTeMessageForm *>(QApplication::activeModalWidget())) {
                Texts.push_back(box->findChild<TTeLabel *>("Message")->Caption().toStdString());
                EXPECT_EQ(box->findChildren<TTeButton *>().size(), 1);
                box->findChild<TTeButton *>("OK")->Click();
            }
        });
        Timer.start(10);
    }
    std::vector<std::string> Texts;

private:
    QTimer Timer;
};

// A program directory of its own for each window: the converter beside it,
// its own settings file.
class Window : public ::testing::Test {
protected:
    ScratchDir programDir, out, sources;
    MessageBoxes boxes;
    std::unique_ptr<TfrmMain> form;

    void SetUp() override { fs::create_symlink(ProgramDir() + "videoenc.dll", programDir.file("videoenc.dll")); }
    void open(std::vector<std::string> arguments = {})
    {
        form = std::make_unique<TfrmMain>(std::move(arguments), programDir.path().string() + "/");
        form->OutputDir = out.path().string() + "/";
        form->show();
    }
    std::string source(const std::string &kind, const std::string &name)
    {
        const std::string path = sources.file(name);
        if (!fs::exists(path))
            fs::copy_file(Clip(kind), path);
        return path;
    }
    std::vector<std::string> progress()
    {
        std::vector<std::string> texts;
        for (int i = 0; i < form->Eng().Jobs.Count(); ++i)
            texts.push_back(form->Eng().Jobs.Entry(i).Progress);
        return texts;
    }
    // The window's controls, by their names.
    template <class T = QWidget>
    T *ctl(const char *name)
    {
        T *w = form->findChild<T *>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    TTeButton *button(const char *name) { return ctl<TTeButton>(name); }
    TTeListView *list() { return ctl<TTeListView>("lvFiles"); }
    QString info() { return ctl<TTeLabel>("labelInfo")->Caption(); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void drop(const std::vector<std::string> &paths)
    {
        auto *mime = new QMimeData;
        QList<QUrl> urls;
        for (const auto &p : paths)
            urls << QUrl::fromLocalFile(QString::fromStdString(p));
        mime->setUrls(urls);
        QWidget *target = list()->viewport();
        const QPoint at(20, 20);
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropEvent(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropEvent);
        delete mime;
    }
};

} // namespace

TEST_F(Window, LayoutCaptionsHintsAndPlaces)
{
    open();
    // The client area is 522 x 410; the skinned frame lies around it.
    const QSize frame = form->size() - form->Client->size();
    EXPECT_EQ(form->Client->size(), QSize(522, 410));
    EXPECT_EQ(form->Client->geometry(), form->Frame->GetClientAreaRect());
    EXPECT_EQ(form->minimumSize(), QSize(522, 410) + frame);
    EXPECT_EQ(form->windowTitle(), "Quillon " QUILLON_TEST_VERSION);
    EXPECT_EQ(ctl("panelLeft")->geometry(), QRect(0, 0, 113, 410));
    EXPECT_EQ(ctl("panelBatch")->geometry(), QRect(113, 0, 409, 410));
    EXPECT_TRUE(ctl("panelBatch")->isVisible());
    EXPECT_FALSE(ctl("panelOption")->isVisible());
    struct Control {
        const char *name;
        const char *caption, *hint;
        QRect place;
    };
    const Control controls[] = {
        {"btnBatch", "&Batch      ", "Batch conversion", {16, 8, 84, 25}},
        {"btnOption", "&Options  ", "Set program options", {16, 48, 84, 25}},
        {"btnLoadList", "&Load List  ", "Load file list", {8, 6, 81, 25}},
        {"btnSaveList", "&Save List  ", "Save file list", {104, 6, 81, 25}},
        {"btnClear", "&Clear List    ", "Clear file list", {200, 6, 81, 25}},
        {"btnConvert", "&Extract", "Start batch conversion", {297, 6, 81, 25}},
        {"btnAddFile", "&Add File    ", "Add file to list", {8, 38, 81, 25}},
        {"btnOutput", "&Folder       ", "Open output folder", {104, 38, 81, 25}},
        {"btnStopConvert", "&Stop         ", "Stop conversion", {297, 38, 81, 25}},
    };
    for (const Control &c : controls) {
        TTeButton *b = button(c.name);
        EXPECT_EQ(b->Caption(), c.caption);
        EXPECT_EQ(b->toolTip(), c.hint);
        EXPECT_EQ(b->geometry(), c.place) << c.caption;
        EXPECT_TRUE(b->isEnabled()) << c.caption; // Stop too, before any batch
    }
    EXPECT_EQ(button("btnHelp")->Caption(), "&Help        ");
    EXPECT_EQ(ctl<TTeLabel>("labelHome")->Caption(), "Orvella Software");
    EXPECT_EQ(ctl<TTeLabel>("labelHome")->toolTip(), "Visit company site");
    EXPECT_EQ(list()->model()->headerData(0, Qt::Horizontal).toString(), "File Name");
    // File Name takes what the other two leave of the list's width.
    EXPECT_EQ(list()->header()->sectionSize(1), 150);
    EXPECT_EQ(list()->header()->sectionSize(2), 57);
    EXPECT_EQ(list()->header()->length(), list()->viewport()->width());
    EXPECT_EQ(list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    // The status bar: the progress bar in panel 0, the status text in panel 1.
    auto *status = ctl<TTeStatusBar>("sbConvert");
    EXPECT_EQ(status->geometry(), QRect(0, 70, 409, 25));
    EXPECT_EQ(ctl<TTeProgressBar>("progConvert")->geometry(), QRect(3, 3, 96, 19));
    EXPECT_EQ(status->Panels[1].Width, 300);
    EXPECT_EQ(ctl<TTeSComboBox>("cbFileFormat")->count(), 9);
    EXPECT_EQ(ctl<TTeSComboBox>("cbAudioBitRate")->itemText(7), "128");
    // The window grows, the panels follow.
    form->resize(QSize(800, 600) + frame);
    QApplication::processEvents();
    EXPECT_EQ(ctl("panelBatch")->geometry(), QRect(113, 0, 687, 600));
    EXPECT_EQ(list()->height(), 600 - 46 - 95);
}

TEST_F(Window, TheEmbeddedThemeIsLoadedOnceForTheLinkAndOnceMoreCurrent)
{
    open();
    EXPECT_EQ(form->ThemeError, "");
    TteTheme *current = TteThemeManager::Instance().CurrentTheme();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->Name, "Quillon Light");
    EXPECT_EQ(form->ThemeEngine->ThemeIndex(), 0);
    ASSERT_NE(form->ThemeLink->GetTheme(), nullptr);
    EXPECT_NE(form->ThemeLink->GetTheme(), current) << "the link's theme is its own object";
    ASSERT_EQ(form->ThemeList->Themes.size(), 1u);
    EXPECT_NE(form->ThemeList->Themes[0].Parsed, nullptr) << "both were made from one parse";
    EXPECT_TRUE(boxes.Texts.empty());
}

TEST(ProgramIcon, EverySizeIsCarriedAndClearAtItsCorners)
{
    const QIcon icon = ProgramIcon();
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}}));
    const QImage big = icon.pixmap(128, 128).toImage();
    EXPECT_EQ(qAlpha(big.pixel(0, 0)), 0) << "rounded corners";
    EXPECT_EQ(qAlpha(big.pixel(64, 10)), 255);
}

TEST(ProgramImageList, PicturesForTheIndicesTheWindowUses)
{
    const TTeImageList images = ProgramImageList();
    ASSERT_EQ(images.size(), 18u);
    const auto painted = [](const QImage &image) {
        int count = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                count += (image.pixel(x, y) & 0xFFFFFF) != 0xFF00FF;
        return count;
    };
    for (size_t i = 0; i < images.size(); ++i) {
        EXPECT_EQ(images[i].size(), QSize(16, 16));
        const bool used = i == 1 || i == 3 || i == 6 || i == 8 || i == 9 || i == 11 || i == 12 || i == 15 || i == 17;
        if (used)
            EXPECT_GT(painted(images[i]), 20) << i;
        else
            EXPECT_EQ(painted(images[i]), 0) << i;
    }
}

TEST_F(Window, PanelSwitchingValidatesTheDirectory)
{
    open();
    const std::string dir = out.file("chosen");
    fs::create_directory(dir);
    click("btnOption");
    EXPECT_TRUE(ctl("panelOption")->isVisible());
    EXPECT_EQ(info(), "Set options to control Quillon");
    EXPECT_EQ(ctl<TTeSEdit>("edtDirectory")->text().toStdString(), form->OutputDir);

    struct Case {
        std::string typed;
        bool allowed;
    };
    const Case cases[] = {{out.file("missing"), false}, {"", false}, {dir, true}};
    for (const Case &c : cases) {
        ctl<TTeSEdit>("edtDirectory")->setText(QString::fromStdString(c.typed));
        boxes.Texts.clear();
        click("btnBatch");
        EXPECT_EQ(ctl("panelBatch")->isVisible(), c.allowed) << c.typed;
        if (!c.allowed) {
            EXPECT_EQ(boxes.Texts, std::vector<std::string>{"Please make sure the directory exists"});
            EXPECT_EQ(form->CurrentPanel, TfrmMain::Panel::Options);
        }
    }
    EXPECT_EQ(form->OutputDir, dir + "/");
    EXPECT_EQ(info(), "Batch conversion");

    // Edits that were never taken over are replaced by the stored values.
    click("btnOption");
    ctl<TTeSEdit>("edtDirectory")->setText("/somewhere/else");
    ctl<TTeCheckBox>("checkOverWrite")->SetChecked(true);
    click("btnHelp");
    EXPECT_EQ(info(), "Get help information");
    click("btnOption");
    EXPECT_EQ(ctl<TTeSEdit>("edtDirectory")->text().toStdString(), dir + "/");
    EXPECT_FALSE(ctl<TTeCheckBox>("checkOverWrite")->Checked());
}

TEST_F(Window, OriginalCopiesTheSoundTrackAndDisablesWhatDoesNotApply)
{
    open();
    auto *format = ctl<TTeSComboBox>("cbFileFormat");
    const std::vector<QWidget *> encoding{ctl<TTeSComboBox>("cbAudioSampleRate"), ctl<TTeSComboBox>("cbAudioBitRate"),
                                          ctl<TTeCheckBox>("ckMono")};
    format->setCurrentIndex(OriginalFormat);
    EXPECT_EQ(format->currentText(), "Original");
    for (QWidget *w : encoding)
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    const std::string a = source("mp4", "a.mp4");
    ASSERT_EQ(::system(("touch -d 2019-05-06 '" + a + "'").c_str()), 0);
    drop({a});
    ASSERT_EQ(form->Eng().Jobs.Count(), 1);
    EXPECT_EQ(list()->model()->index(0, 1).data().toString(), "AAC 44100 Hz mono 160X120 00:00:02");
    click("btnConvert");
    ASSERT_TRUE(PumpUntil([&] { return form->Idle() && !form->Eng().Batch.ConverterActive(); }, 60000));
    EXPECT_EQ(progress(), std::vector<std::string>{"Done"});
    EXPECT_EQ(FfprobeAudio(out.file("a.M4A")).codec, "aac");
    EXPECT_EQ(fs::last_write_time(out.file("a.M4A")), fs::last_write_time(a));
    format->setCurrentIndex(0);
    for (QWidget *w : encoding)
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
}

TEST_F(Window, ABatchFromTheExtractButton)
{
    open();
    drop({source("mp4", "a.mp4"), source("avi", "b.avi")});
    ASSERT_EQ(form->Eng().Jobs.Count(), 2);
    EXPECT_EQ(list()->model()->rowCount(), 2);
    click("btnConvert");
    EXPECT_TRUE(PumpUntil([&] { return form->Idle() && !form->Eng().Batch.ConverterActive(); }, 60000));
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", "Done"}));
    EXPECT_EQ(ctl<TTeProgressBar>("progConvert")->Position(), 100);
    EXPECT_EQ(form->StatusLine(), "Ready");
    EXPECT_TRUE(button("btnConvert")->isEnabled());
    EXPECT_FALSE(button("btnStopConvert")->isEnabled());
    EXPECT_TRUE(fs::exists(out.file("a.MP3")));
    EXPECT_TRUE(fs::exists(out.file("b.MP3")));
    EXPECT_EQ(list()->model()->index(0, 2).data().toString(), "Done");
}

TEST_F(Window, StopDeleteAndCloseDuringABatch)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(true, false));
    open();
    ctl<TTeSComboBox>("cbSimultaneous")->setCurrentIndex(0); // one at a time
    drop({source("four", "slow.mp4"), source("mp4", "b.mp4")});
    list()->selectAll();
    click("btnConvert");
    EXPECT_EQ(form->StatusLine(), "Batch converting");
    EXPECT_FALSE(button("btnConvert")->isEnabled());
    EXPECT_FALSE(button("btnAddFile")->isEnabled());
    EXPECT_FALSE(button("btnOption")->isEnabled());
    EXPECT_TRUE(button("btnStopConvert")->isEnabled());
    ASSERT_TRUE(PumpUntil([&] { return progress()[0].size() > 2 && progress()[0] != "0%"; }, 10000));

    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(form->Eng().Jobs.Count(), 2);
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(boxes.Texts, std::vector<std::string>{"Busy! Please stop the conversion before exit"});

    click("btnStopConvert");
    ASSERT_TRUE(PumpUntil([&] { return !form->Eng().Batch.ConverterActive(); }));
    EXPECT_EQ(progress(), (std::vector<std::string>{"Abort", ""}));
    EXPECT_TRUE(fs::is_empty(out.path()));
    EXPECT_TRUE(button("btnConvert")->isEnabled());

    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(form->Eng().Jobs.Count(), 0);
}

TEST_F(Window, DropsOfFilesAndListFilesInOrder)
{
    open();
    const std::string a = source("mp4", "a.mp4"), b = source("mp3", "b.mp3"), bad = source("text", "bad.avi");
    const std::string list = sources.file("more.LST");
    WriteFile(list, "#Quillon File List\r\n" + b + "\r\n" + a + "\r\n");
    fs::create_directory(sources.file("folder"));
    drop({a, list, sources.file("folder"), bad, b});
    EXPECT_EQ(form->Eng().Jobs.SourcePaths(), (std::vector<std::string>{a, b, a, b}));
    EXPECT_EQ(boxes.Texts, std::vector<std::string>{"Unsupported or bad video file: " + bad + "!"});
}

TEST_F(Window, DropsDuringABatchWaitForIt)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(true, false));
    open();
    drop({source("four", "slow.mp4")});
    click("btnConvert");
    ASSERT_TRUE(PumpUntil([&] { return progress()[0].size() > 2 && progress()[0] != "0%"; }, 10000));
    drop({source("mp4", "late.mp4")});
    EXPECT_EQ(form->Eng().Jobs.Count(), 1);
    ASSERT_TRUE(PumpUntil([&] { return form->Idle() && form->Eng().Jobs.Count() == 2; }, 20000));
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", ""}));
}

TEST_F(Window, CloseDuringAnAddsProbeWaitsForIt)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(false, true));
    open();
    QTimer::singleShot(300, form.get(), [this] { form->close(); });
    drop({source("mp4", "a.mp4")});
    EXPECT_EQ(form->Eng().Jobs.Count(), 1); // the add finished first
    EXPECT_TRUE(PumpUntil([&] { return !form->isVisible(); }, 3000));
}

TEST_F(Window, CloseDuringAQueuedAddsProbeWaitsForIt)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(true, true));
    open();
    drop({source("mp4", "first.mp4")});
    click("btnConvert");
    drop({source("mp4", "late.mp4")}); // waits for the batch
    // Once the batch is over the queued add probes; a close then must wait
    // for it and then be carried out. The probe waits in a loop of its own,
    // so the close comes from a timer.
    bool closed = false, stayedOpen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (closed || !form->Idle() || !form->Eng().Adder.Busy())
            return;
        closed = true;
        form->close();
        stayedOpen = form->isVisible();
    });
    poll.start(5);
    EXPECT_TRUE(PumpUntil([&] { return closed && !form->isVisible(); }, 20000)) << "the close was lost";
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(form->Eng().Jobs.Count(), 2);
}

TEST_F(Window, AFailedRowSaysWhy)
{
    open();
    drop({source("mp4", "a.mp4")});
    form->OutputDir = out.file("gone") + "/";
    click("btnConvert");
    ASSERT_TRUE(PumpUntil([&] { return form->Idle() && !form->Eng().Batch.ConverterActive(); }, 20000));
    const std::string reason = "The output folder does not exist: " + out.file("gone") + "/";
    EXPECT_EQ(list()->model()->index(0, 2).data().toString(), "Error");
    EXPECT_EQ(list()->model()->index(0, 0).data(Qt::ToolTipRole).toString().toStdString(), reason);
    EXPECT_EQ(form->StatusLine(), "Ready");
    list()->setCurrentIndex(list()->model()->index(0, 0));
    EXPECT_EQ(form->StatusLine().toStdString() + "|" + form->StatusHint().toStdString(),
              form->StatusHint().isEmpty() ? reason + "|" : form->StatusLine().toStdString() + "|" + reason);
    list()->clearSelection();
    EXPECT_EQ(form->StatusLine(), "Ready");
}

TEST_F(Window, SettingsAreWrittenWhenTheWindowGoes)
{
    open();
    ctl<TTeSComboBox>("cbFileFormat")->setCurrentIndex(3);
    ctl<TTeCheckBox>("ckMono")->SetChecked(true);
    ctl<TTeSComboBox>("cbSimultaneous")->setCurrentIndex(2);
    auto *track = ctl<TTeSComboBox>("cbTrack");
    track->setCurrentIndex(track->findText("German (ger)"));
    ctl<TTeCheckBox>("checkKeepDates")->SetChecked(false);
    form.reset();
    const std::string ini = ReadFile(programDir.file("strings.ini"));
    EXPECT_EQ(ini, "[Common]\r\nnNaming=0\r\nbOverWrite=0\r\nstrOutputDir=" + out.path().string() +
                       "/\r\ncbAudioSampleRate=0\r\ncbAudioBitRate=0\r\ncbFileFormat=3\r\nckMono=1\r\n"
                       "nSimultaneous=3\r\nstrTrack=ger\r\nbKeepDates=0\r\n");
    open();
    EXPECT_EQ(ctl<TTeSComboBox>("cbSimultaneous")->currentText(), "3");
    EXPECT_EQ(ctl<TTeSComboBox>("cbTrack")->currentText(), "German (ger)");
    EXPECT_FALSE(ctl<TTeCheckBox>("checkKeepDates")->Checked());
    EXPECT_EQ(ctl<TTeSComboBox>("cbFileFormat")->currentText(), "WMA");
    EXPECT_TRUE(ctl<TTeCheckBox>("ckMono")->Checked());
}

TEST_F(Window, CommandLineArguments)
{
    const std::string a = source("mp4", "a.mp4"), bad = source("text", "bad.avi");
    const std::string list = sources.file("x.Lst");
    WriteFile(list, a + "\r\n");
    open({list, a, sources.file("missing.mp4")});
    EXPECT_FALSE(form->TerminateRequested());
    EXPECT_EQ(form->Eng().Jobs.Count(), 2);
    EXPECT_EQ(form->CurrentPanel, TfrmMain::Panel::Batch);
    EXPECT_EQ(info(), "Batch conversion");

    open({bad});
    EXPECT_TRUE(form->TerminateRequested());
    EXPECT_EQ(boxes.Texts.back(), "Unsupported or bad video file: " + bad + "!");
}

TEST_F(Window, TheAddFileDialog)
{
    open();
    const std::string a = source("mp4", "a.mp4"), b = source("mov", "b.mov");
    QTimer poll;
    bool seen = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || seen)
            return;
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), "Add video file to batch convert to Flash");
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
        EXPECT_EQ(dialog->nameFilters().size(), 7);
        EXPECT_EQ(dialog->nameFilters()[6], "3GP Files(*.3gp;*.3g2) (*.3gp *.3g2)");
        EXPECT_TRUE(dialog->selectedNameFilter().startsWith("Supported Files ("));
        EXPECT_TRUE(dialog->nameFilters()[3].contains("*m4v"));
        dialog->setDirectory(QString::fromStdString(sources.path().string()));
        auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), " "); // the proposed name is a single blank
        name->setText("\"a.mp4\" \"b.mov\"");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    poll.start(20);
    click("btnAddFile");
    EXPECT_EQ(form->Eng().Jobs.Count(), 2);
}

namespace {
// Answers the next file dialog with a file name typed into it.
void answerFileDialog(QTimer &poll, const QString &dir, const QString &typed, QString *title)
{
    QObject::connect(&poll, &QTimer::timeout, [&poll, dir, typed, title] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        *title = dialog->windowTitle();
        dialog->setDirectory(dir);
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(typed);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    poll.start(20);
}
} // namespace

TEST_F(Window, SaveAndLoadAListThroughTheDialogs)
{
    open();
    const std::string a = source("mp4", "a.mp4"), b = source("wav", "b.wav");
    drop({a, b});
    QString title;
    {
        QTimer poll;
        answerFileDialog(poll, QString::fromStdString(out.path().string()), "mylist", &title);
        click("btnSaveList");
    }
    EXPECT_EQ(title, "Save file list");
    // Typed without an extension, it is made without one.
    EXPECT_EQ(ReadFile(out.file("mylist")), "#Quillon File List\r\n" + a + "\r\n" + b + "\r\n");
    click("btnClear");
    EXPECT_EQ(form->Eng().Jobs.Count(), 0);
    {
        QTimer poll;
        answerFileDialog(poll, QString::fromStdString(out.path().string()), "mylist", &title);
        click("btnLoadList");
    }
    EXPECT_EQ(title, "Load file file list");
    EXPECT_EQ(form->Eng().Jobs.SourcePaths(), (std::vector<std::string>{a, b}));
}

TEST_F(Window, AConverterThatCannotStartIsShownAndEndsTheAdd)
{
    fs::remove(programDir.file("videoenc.dll"));
    open();
    drop({source("mp4", "a.mp4"), source("mp4", "b.mp4")});
    ASSERT_EQ(boxes.Texts.size(), 1u);
    EXPECT_EQ(boxes.Texts[0].rfind("Error creating process : 2\nThe converter launcher videoenc.dll could not be run "
                                   "from " +
                                       programDir.file("videoenc.dll") + ", ",
                                   0),
              0u)
        << boxes.Texts[0];
    EXPECT_EQ(form->Eng().Jobs.Count(), 0);
}

TEST(AddFileFilter, IsTheListOfTheSupportedTypes)
{
    EXPECT_STREQ(AddFileFilters[0].Description, "Supported Files");
    EXPECT_STREQ(AddFileFilters[0].Patterns,
                 "*.rm;*.rmvb;*.avi;*.mpg;*.mpeg;*.vob;*.wmv;*.wma;*.asf;*.mov;*.qt;*.3gp;*.3g2;*.m2v;*m4v;*.mp4");
    EXPECT_STREQ(AddFileFilters[5].Description, "QuickTime Files(*.mov;*.qt)");
    EXPECT_STREQ(AddFileFilters[6].Description, "3GP Files(*.3gp;*.3g2)");
    EXPECT_STREQ(AddFileFilters[6].Patterns, "*.3gp;*.3g2");
}

TEST(Program, EndsAtOnceWhenTheCommandLineAddsNothing)
{
    ScratchDir dir;
    for (const char *file : {"quillon", "videoenc.dll"})
        fs::copy_file(ProgramDir() + file, dir.file(file));
    QProcess p;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString(dir.file("quillon")), {QString::fromStdString(dir.file("missing.avi"))});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(ReadFile(dir.file("strings.ini")).find("[Common]\r\nnNaming=0\r\n"), std::string::npos);
}

namespace {

// Every accessible object under root, with its role, name and value.
struct Accessible {
    QAccessible::Role Role;
    QString Name, Value;
    QAccessible::State State;
    QStringList Actions;
};
void walk(QAccessibleInterface *node, std::vector<Accessible> &out, int depth = 0)
{
    if (!node || depth > 40)
        return;
    QAccessibleActionInterface *actions = node->actionInterface();
    out.push_back({node->role(), node->text(QAccessible::Name), node->text(QAccessible::Value), node->state(),
                   actions ? actions->actionNames() : QStringList()});
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), out, depth + 1);
}
const Accessible *find(const std::vector<Accessible> &all, QAccessible::Role role, const QString &name)
{
    for (const Accessible &a : all)
        if (a.Role == role && a.Name == name)
            return &a;
    return nullptr;
}

} // namespace

TEST_F(Window, AScreenReaderFindsEveryControlWithItsNameStateAndValue)
{
    open();
    drop({source("mp4", "a.mp4")});
    click("btnOption");
    std::vector<Accessible> all;
    walk(QAccessible::queryAccessibleInterface(form.get()), all);
    struct Expected {
        QAccessible::Role role;
        const char *name;
    } expected[] = {
        {QAccessible::Button, "Extract"},
        {QAccessible::Button, "Load List"},
        {QAccessible::Button, "Batch"},
        {QAccessible::CheckBox, "Mono"},
        {QAccessible::CheckBox, "Overwrite existing file"},
        {QAccessible::ComboBox, "Name output file"},
        {QAccessible::ComboBox, "Audio file format(kHz)"},
        {QAccessible::ComboBox, "Audio bit rate"},
        {QAccessible::EditableText, "Ouput Directory"},
        {QAccessible::ProgressBar, "Progress"},
        {QAccessible::StaticText, "Orvella Software"},
        {QAccessible::Grouping, "Encoding:"},
    };
    for (const Expected &e : expected)
        ASSERT_NE(find(all, e.role, e.name), nullptr) << e.name;
    EXPECT_TRUE(find(all, QAccessible::Button, "Extract")->Actions.contains(QAccessibleActionInterface::pressAction()));
    EXPECT_EQ(find(all, QAccessible::ComboBox, "Audio file format(kHz)")->Value, "MP3");
    EXPECT_EQ(find(all, QAccessible::ComboBox, "Name output file")->Value, "according to input file name");
    EXPECT_FALSE(find(all, QAccessible::CheckBox, "Mono")->State.checked);
    // The label names its box, and the box knows its label.
    QAccessibleInterface *format = QAccessible::queryAccessibleInterface(ctl("cbFileFormat"));
    const auto labels = format->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), "Audio file format(kHz):");
    // The job list's row: its three texts.
    bool rowSeen = false;
    for (const Accessible &a : all)
        rowSeen = rowSeen || a.Name.endsWith("a.mp4");
    EXPECT_TRUE(rowSeen);
    // The default action toggles the check box.
    QAccessibleInterface *mono = QAccessible::queryAccessibleInterface(ctl("ckMono"));
    mono->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(ctl<TTeCheckBox>("ckMono")->Checked());
}

TEST_F(Window, EnterPressesTheFocusedButtonAndAcceleratorsReachTheirControls)
{
    open();
    drop({source("mp4", "a.mp4")});
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    button("btnClear")->setFocus();
    QTest::keyClick(button("btnClear"), Qt::Key_Return);
    EXPECT_EQ(form->Eng().Jobs.Count(), 0);
    QTest::keyClick(form.get(), Qt::Key_O, Qt::AltModifier);
    EXPECT_TRUE(ctl("panelOption")->isVisible());
    EXPECT_EQ(form->CurrentPanel, TfrmMain::Panel::Options);
}

// The whole window, frame and every control, as the theme paints it: both
// panels idle, and the batch panel mid-batch with 30 rows (the scroll bar
// shown). Font rasters may differ by a few pixels between machines.
TEST_F(Window, LooksAsItsStoredPictures)
{
    open();
    const auto picture = [&](const char *name) {
        QApplication::processEvents();
        QTest::qWait(50); // the list lays its rows out on a timer
        ExpectLikeGolden(form->grab().toImage(), "tests/gui/golden", name, 0.03);
    };
    picture("batch_idle");
    JobList &jobs = form->Eng().Jobs;
    for (int i = 0; i < 30; ++i)
        jobs.Append("/home/ana/Videos/holiday clip " + std::to_string(i + 1) + ".mp4", "640X480 00:04:12");
    for (int i = 0; i < 4; ++i)
        jobs.SetProgressText(i, "Done");
    jobs.SetProgressText(4, "42.0%");
    form->SetBatchButtons(true);
    form->SetProgressPosition(42);
    form->SetStatusText("Batch converting");
    list()->setCurrentIndex(list()->model()->index(4, 0));
    picture("batch_running");
    form->SetBatchButtons(false);
    click("btnOption");
    ctl<TTeSEdit>("edtDirectory")->setText("/home/ana/Music/");
    picture("options_idle");
}

TEST(Fonts, NamesInChineseJapaneseAndKoreanHaveAFaceToFallBackTo)
{
    for (QFontDatabase::WritingSystem script :
         {QFontDatabase::SimplifiedChinese, QFontDatabase::Japanese, QFontDatabase::Korean})
        EXPECT_FALSE(QFontDatabase::families(script).isEmpty()) << script;
}

// Growing the window until every row fits and shrinking it back hides and
// shows the list's scroll bar while the window paints; the engine bar
// follows, on top of the view's own.
TEST_F(Window, TheListsScrollBarFollowsTheWindowGrowingAndShrinking)
{
    open();
    for (int i = 0; i < 30; ++i)
        form->Eng().Jobs.Append("/videos/clip " + std::to_string(i) + ".mp4", "640X480 00:00:10");
    const QSize normal = form->size();
    auto *vertical = list()->ScrollBars().Vertical;
    const auto settled = [&] {
        for (int i = 0; i < 3; ++i) {
            QTest::qWait(30);
            form->grab(); // paints every control, as a window manager's expose does
        }
        QScrollBar *native = list()->verticalScrollBar();
        return vertical->isVisible() == native->isVisible() &&
               (!native->isVisible() || vertical->geometry() == QRect(native->mapTo(list(), QPoint()), native->size()));
    };
    EXPECT_TRUE(settled());
    EXPECT_TRUE(vertical->isVisible());
    form->resize(normal.width(), 1000);
    EXPECT_TRUE(settled());
    EXPECT_FALSE(vertical->isVisible()) << "every row fits";
    form->resize(normal);
    EXPECT_TRUE(settled());
    EXPECT_TRUE(vertical->isVisible());
    EXPECT_EQ(list()->header()->length(), list()->viewport()->width()) << "the columns fit beside the bar";
}

// ---- The desktop around the window

TEST_F(Window, ASecondStartHandsItsFilesToTheWindowAlreadyOpen)
{
    ScopedEnv display("DISPLAY", ":quillon-test-" + std::to_string(::getpid()));
    open();
    SingleInstance instance(InstanceName());
    ASSERT_TRUE(instance.Listen([this](const std::vector<std::string> &paths) { form->OpenFiles(paths); }));
    const std::string a = source("mp4", "a.mp4");
    // A file:// URL and a path relative to the second start's own folder.
    QProcess second;
    second.setWorkingDirectory(QString::fromStdString(sources.path().string()));
    second.start(QString::fromStdString(ProgramDir() + "quillon"),
                 {QUrl::fromLocalFile(QString::fromStdString(a)).toString(), "a.mp4"});
    ASSERT_TRUE(PumpUntil([&] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    ASSERT_TRUE(PumpUntil([&] { return form->Eng().Jobs.Count() == 2; }, 20000));
    EXPECT_EQ(form->Eng().Jobs.SourcePaths(), (std::vector<std::string>{a, a}));
    // A start without files only brings the window to the front.
    ASSERT_TRUE(SingleInstance(InstanceName()).ForwardToRunning({}));
    PumpFor(200);
    EXPECT_EQ(form->Eng().Jobs.Count(), 2);
}

TEST_F(Window, ASecondListenerUnderTheSameNameIsRefusedAndADeadOnesSocketTakenOver)
{
    const std::string name = "quillon-test-listener-" + std::to_string(::getpid());
    {
        SingleInstance first(name);
        ASSERT_TRUE(first.Listen(nullptr));
        EXPECT_FALSE(SingleInstance(name).Listen(nullptr));
    }
    // What a killed program leaves: a socket file nobody answers on.
    const std::string socketPath = QDir::tempPath().toStdString() + "/" + name;
    QLocalServer::removeServer(QString::fromStdString(name));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(fd); // never listened on, never removed
    ASSERT_TRUE(fs::is_socket(socketPath));
    EXPECT_FALSE(SingleInstance(name).ForwardToRunning({"/v/a.mp4"})) << "nobody answers";
    SingleInstance heir(name);
    EXPECT_TRUE(heir.Listen(nullptr));
    EXPECT_TRUE(SingleInstance(name).ForwardToRunning({}));
    // Anything else there is no socket of ours.
    QLocalServer::removeServer(QString::fromStdString(name));
    WriteFile(socketPath, "");
    EXPECT_FALSE(SingleInstance(name).ForwardToRunning({"/v/a.mp4"})) << "not a socket";
}

TEST(SingleInstanceSocket, PathsGoOnlyToASocketOfTheUsersOwn)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "handing a socket to another user needs root";
    const std::string name = "quillon-test-owner-" + std::to_string(::getpid());
    QLocalServer stranger;
    QLocalServer::removeServer(QString::fromStdString(name));
    ASSERT_TRUE(stranger.listen(QString::fromStdString(name)));
    ASSERT_EQ(::chown(stranger.fullServerName().toLocal8Bit().constData(), 65534, 65534), 0);
    EXPECT_FALSE(SingleInstance(name).ForwardToRunning({"/v/a.mp4"}));
    PumpFor(50);
    EXPECT_FALSE(stranger.hasPendingConnections());
}

TEST(BatchEndNotice, SaysHowManyAreDoneAndHowManyFailed)
{
    EXPECT_EQ(BatchEndText(3, 0, 0), "3 Done");
    EXPECT_EQ(BatchEndText(3, 1, 0), "3 Done, 1 failed");
    EXPECT_EQ(BatchEndText(0, 2, 1), "0 Done, 2 failed, 1 stopped");
}

TEST_F(Window, TheEndOfABatchIsNotifiedOnlyWhenTheWindowIsNotActive)
{
    open();
    drop({source("mp4", "a.mp4"), sources.file("gone.mp4")});
    form->OutputDir = out.path().string() + "/";
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    click("btnConvert");
    ASSERT_TRUE(PumpUntil([&] { return form->Idle() && !form->Eng().Batch.ConverterActive(); }, 20000));
    EXPECT_EQ(form->LastBatchNotice(), "") << "the user saw it end";
    QWidget elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    ASSERT_FALSE(form->isActiveWindow());
    click("btnConvert");
    ASSERT_TRUE(PumpUntil([&] { return form->Idle() && !form->Eng().Batch.ConverterActive(); }, 20000));
    EXPECT_EQ(form->LastBatchNotice(), "1 Done");
}
