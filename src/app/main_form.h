#pragma once
// TfrmMain, the program's only window: a navigation strip on the left, the
// batch panel (the job list, its buttons, the progress bar and the status
// line) and the options panel, every control a skinned one. Its handlers are
// thin: they call the engine (job list, way in, batch driver) and the
// settings store. The controls are private; they carry their names, by
// which tests and the accessibility tree find them.

#include "app/engine.h"
#include "app/job_list_model.h"
#include "app/settings_store.h"
#include "app/version_info.h"
#include "dialogs/te_directory_dialog.h"
#include "skin/te_forms.h"
#include "skin/te_hint.h"
#include "skin/te_message.h"
#include "theme/te_engine.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

class TTeAdvancedLabel;
class TTeButton;
class TTeCheckBox;
class TTeComboBox;
class TTeLabel;
class TTeListView;
class TTeProgressBar;
class TTeSComboBox;
class TTeSEdit;
class TTeStatusBar;

// The addresses of the maker's site and the product's page.
inline constexpr const char *MakerSiteUrl = "https://orvella.example/";
inline constexpr const char *ProductPageUrl = "https://orvella.example/quillon/";

// The Add File dialog's filter: description and patterns, in order.
struct FileFilter {
    const char *Description;
    const char *Patterns;
};
extern const FileFilter AddFileFilters[7];

class TfrmMain : public QWidget, public BatchView {
public:
    enum class Panel { None, Options, Batch };

    // arguments: the program's command line without the program name, as the
    // user gave it (before the toolkit took its own options out).
    TfrmMain(std::vector<std::string> arguments, std::string programDir);
    ~TfrmMain() override; // FormDestroy

    // The command line asked the application to end before the loop ran.
    bool TerminateRequested() const { return TerminateRequested_; }
    // Files another start of the program was given: added as a drop adds
    // them, and the window comes to the front.
    void OpenFiles(const std::vector<std::string> &paths);
    // What the notification at the end of the last batch said ("" none was
    // due: the window was active).
    const std::string &LastBatchNotice() const { return LastNotice; }

    // Handlers.
    bool SwitchPanel(Panel target);
    void btnBatchClick();
    void btnOptionClick();
    void btnHelpClick();
    void btnDirClick();
    void btnFolderClick();
    void btnConvertClick();
    void btnStopConvertClick();
    void labelHomeClick();
    void labelHomeMouseEnter();
    void labelHomeMouseLeave();
    void btnAddFileClick();
    void btnLoadListClick();
    void btnSaveListClick();
    void btnClearClick();
    void lvFilesKeyDown(int key);
    void lvFilesDblClick();
    void AppException(const std::string &message);
    // Runs a handler; an error that escapes it goes to AppException.
    void Guard(const std::function<void()> &handler);
    // Files dropped on the job list, in the order the file manager gave them.
    void FilesDropped(const std::vector<std::string> &paths);

    // The themed message box stands in here: one OK button.
    void MsgBox(const std::string &text);

    // BatchView
    void ShowMessage(const std::string &text) override { MsgBox(text); }
    void SetBatchButtons(bool running) override;
    void SetProgressPosition(int percent) override;
    void SetStatusText(const std::string &text) override;
    void EntryFinished(int index, EntryState state, const std::vector<std::string> &outputs,
                       const std::string &reason) override;
    void RestoreCaption() override;
    OutputOptions CurrentOptions() override;

    Engine &Eng() { return *Engine_; }
    bool Idle() const { return Engine_->Batch.Idle(); }
    // The text the status line shows, and its hint.
    QString StatusLine() const;
    QString StatusHint() const;

    Panel CurrentPanel = Panel::None;
    std::string OutputDir;
    int NamingMethod = 0;
    bool OverwriteExisting = false;
    std::string ProgramDir;
    std::string Title;
    TFileVersionInfo VersionInfo;

    // The theme components of the form, made in this order when it is read.
    std::unique_ptr<TTeThemeList> ThemeList;
    std::unique_ptr<TTeThemeLink> ThemeLink;
    std::unique_ptr<TTeThemeEngine> ThemeEngine;
    std::string ThemeError;    // why the window stays unskinned, shown once
    TTeForm *Frame = nullptr;  // the window's skinned frame (owned by the window)
    QWidget *Client = nullptr; // the client area: every control lies in it
    TTeMessage MessageBox;     // every message of the program
    TTeHint Hint;              // every hint of the program
    TTeDirectoryDialog DirectoryDialog;

protected:
    void closeEvent(QCloseEvent *event) override; // FormClose
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void CreateLeftPanel();
    void CreateBatchPanel();
    void CreateOptionsPanel();
    void CreateThemeComponents();
    void CreateFrame();
    void FormCreate(const std::vector<std::string> &arguments);
    void HandleCommandLine(const std::vector<std::string> &arguments);
    void Add(std::vector<AddItem> items);
    void ApplySettings(const OutputOptions &options);
    void LayoutPanels();
    // The status line: the batch's state, or why the selected row failed.
    void ShowStatusLine();
    // A button of the window's table.
    struct ButtonSpec;
    TTeButton *MakeButton(QWidget *parent, const ButtonSpec &spec);

    std::unique_ptr<Engine> Engine_;
    std::unique_ptr<SettingsStore> Settings;
    JobListModel *Model = nullptr;
    bool TerminateRequested_ = false;
    bool BatchShown = false; // the buttons show a running batch
    std::string LastNotice;
    void NotifyBatchEnd();
    bool CloseRequested = false; // a close that waits for an add's probe
    std::string StatusText;      // what the batch last put into the status line
    QString AddFileFilter;       // the filter last chosen in the Add File dialog

    // Controls, by the names the rest of the program knows them by.
    QWidget *panelLeft, *panelBatch, *panelOption, *batchHeading, *batchButtons;
    TTeButton *btnBatch, *btnOption, *btnHelp;
    TTeLabel *labelInfo;
    TTeAdvancedLabel *labelHome;
    TTeListView *lvFiles;
    TTeButton *btnLoadList, *btnSaveList, *btnClear, *btnConvert, *btnAddFile, *btnOutput, *btnStopConvert;
    TTeStatusBar *sbConvert;
    TTeProgressBar *progConvert;
    TTeSEdit *edtDirectory;
    TTeButton *btnDir;
    TTeComboBox *cbNaming;
    TTeCheckBox *checkOverWrite, *ckMono, *checkKeepDates;
    TTeSComboBox *cbFileFormat, *cbAudioSampleRate, *cbAudioBitRate, *cbSimultaneous, *cbTrack;
};

} // namespace quillon
