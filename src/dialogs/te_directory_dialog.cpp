#include "dialogs/te_directory_dialog.h"

#include "platform/translation.h"
#include "skin/te_message.h"
#include "skin/te_panel.h"

#include <QApplication>
#include <QFileInfo>
#include <QResizeEvent>
#include <QScreen>

namespace quillon {

namespace {
constexpr QSize PanelSize(253, 261);
} // namespace

// ---- The panel

TTeDirectoryPanel::TTeDirectoryPanel(QWidget *parent)
    : TTeTransparentPanel(parent), DirSpecLabel(new TTeLabel(this)), SelDirLabel(new TTeLabel(this)),
      teDirTree(new TTeShellTreeView(this)), teSelDir(new TTeSEdit(this))
{
    setObjectName("DirectoryPanel");
    resize(PanelSize);
    DirSpecLabel->setObjectName("DirSpecLabel");
    DirSpecLabel->move(8, 10);
    DirSpecLabel->SetCaption(QTr("Dialogs", "Please specify a directory"));
    teDirTree->setObjectName("teDirTree");
    teDirTree->setGeometry(8, 28, 236, 178);
    teDirTree->setAccessibleName(QTr("Dialogs", "Folders"));
    teDirTree->OnClick = [this] { teDirTreeClick(); };
    SelDirLabel->setObjectName("SelDirLabel");
    SelDirLabel->move(8, 211);
    teSelDir->setObjectName("teSelDir");
    teSelDir->setGeometry(8, 227, 236, 21);
    SelDirLabel->SetCaption(QTr("Dialogs", "Selected directory:"));
    SelDirLabel->SetFocusControl(teSelDir);
    teSelDir->clear(); // the tree's first selection does not fill it
}

void TTeDirectoryPanel::SetDirectory(const QString &path)
{
    if (path.isEmpty())
        return;
    teSelDir->setText(path);
    if (QFileInfo(path).isDir()) {
        Quiet = true; // the edit keeps the text as given
        teDirTree->SelectPath(path);
        Quiet = false;
    }
}

QString TTeDirectoryPanel::GetDirectory() const { return teSelDir->text(); }

void TTeDirectoryPanel::teDirTreeClick()
{
    if (!Quiet)
        teSelDir->setText(teDirTree->SelectedPath());
}

void TTeDirectoryPanel::resizeEvent(QResizeEvent *event)
{
    // The tree takes what the panel gains; the edit and its label keep to
    // the bottom, the edit to both sides.
    TTeTransparentPanel::resizeEvent(event);
    const int w = width(), h = height();
    teDirTree->setGeometry(8, 28, w - 17, h - 83);
    SelDirLabel->move(8, h - 50);
    teSelDir->setGeometry(8, h - 34, w - 17, 21);
}

// ---- The dialog

TTeDirectoryDialog::TTeDirectoryDialog(QObject *parent) : QObject(parent) {}

bool TTeDirectoryDialog::Execute()
{
    TTeDialogForm window;
    window.setObjectName("DirectoryDialog");
    window.setWindowTitle(QTr("Dialogs", "Select Directory"));
    window.Client->resize(PanelSize.width(), PanelSize.height() + 30);
    auto *panel = new TTeDirectoryPanel(window.Client);
    panel->SetDirectory(Directory);

    auto *ok = new TTeButton(window.Client);
    ok->setObjectName("OK");
    ok->SetCaption("OK");
    ok->setGeometry(PanelSize.width() / 2 - 75, PanelSize.height(), 70, 25);
    ok->Default = true;
    ok->ModalResult = QDialog::Accepted;
    auto *cancel = new TTeButton(window.Client);
    cancel->setObjectName("Cancel");
    cancel->SetCaption(QTr("Dialogs", "Cancel"));
    cancel->setGeometry(PanelSize.width() / 2 + 5, PanelSize.height(), 70, 25);
    cancel->Cancel = true;
    cancel->ModalResult = mrCancel;
    // Enter takes the folder, Escape and the close button cancel.
    window.AttachFrame(kbiClose | kbiSystemMenu, ThemeLink);
    panel->teDirTree->setFocus();
    if (OnShow)
        OnShow(window, *panel);
    const bool confirmed = window.Run() == QDialog::Accepted;
    if (confirmed)
        Directory = panel->GetDirectory();
    return confirmed;
}

} // namespace quillon
