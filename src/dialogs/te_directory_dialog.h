#pragma once
// The folder dialog: TTeDirectoryDialog's Execute builds a fixed-size
// themed dialog with a TTeDirectoryPanel (the folder tree and an edit with
// the chosen folder) and OK and Cancel, and answers whether the user
// confirmed; Directory then holds the edit's text. It keeps Directory, so a
// second Execute opens on the folder chosen before.

#include "dialogs/te_shell_tree.h"
#include "skin/te_edit.h"
#include "skin/te_forms.h"
#include "skin/te_label.h"
#include "skin/te_message.h"
#include "skin/te_panel.h"

#include <QDialog>

namespace quillon {

// The panel shows its parent through, as its labels do.
class TTeDirectoryPanel : public TTeTransparentPanel {
    Q_OBJECT
public:
    explicit TTeDirectoryPanel(QWidget *parent = nullptr);

    TTeLabel *DirSpecLabel, *SelDirLabel;
    TTeShellTreeView *teDirTree;
    TTeSEdit *teSelDir;

    // Shows path in the edit; selects it in the tree when it is a folder.
    void SetDirectory(const QString &path);
    QString GetDirectory() const;
    void teDirTreeClick();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    bool Quiet = false; // the tree moves for SetDirectory, not for the user
};

class TTeDirectoryDialog : public QObject {
    Q_OBJECT
public:
    explicit TTeDirectoryDialog(QObject *parent = nullptr);

    QString Directory;
    TteCustomThemeLink *ThemeLink = nullptr;
    // Called with the dialog just before it is shown (tests answer it).
    std::function<void(TTeDialogForm &, TTeDirectoryPanel &)> OnShow;

    bool Execute();
};

} // namespace quillon
