#pragma once
// The folder tree of the folder dialog. TTeFolderModel is the file system
// as the dialog shows it: a root ("Desktop") with the home folder, the
// documents folder and the file system's root, each folder's subfolders
// loaded when it is first expanded, in the file manager's order (by name,
// without regard to case). TTeShellTreeView is the skinned tree over it:
// the list view's skin with the tree's colour, expand marks and folder
// pictures of our own.

#include "skin/te_listview.h"
#include "skin/te_message.h"

#include <QAbstractItemModel>

#include <memory>
#include <vector>

namespace quillon {

class TTePopupMenu;

class TTeFolderModel : public QAbstractItemModel {
    Q_OBJECT
public:
    struct Node {
        QString Name, Path; // Path empty: the root, which is no folder
        Node *Parent = nullptr;
        std::vector<std::unique_ptr<Node>> Children;
        bool Loaded = false, HasChildren = false;
    };

    explicit TTeFolderModel(QObject *parent = nullptr);

    bool ShowHidden = false; // folders whose names start with a dot

    Node &Root() { return *Root_; }
    Node *NodeOf(const QModelIndex &index) const;
    QModelIndex IndexOf(const Node &node) const;
    // The folder's children, read once (a folder that cannot be read has none).
    void Load(Node &node);
    // Reads a folder's children anew.
    void Reload(Node &node);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A new name for a folder (not for the root and its places): the folder
    // is renamed on disk; a refused rename is told to OnError as "Rename to
    // NAME failed" and changes nothing.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    std::function<void(const QString &message)> OnError;
    // Takes a folder's node out of the tree (the folder is gone).
    void RemoveNode(Node &node);

private:
    std::unique_ptr<Node> Root_;
};

class TTeShellTreeView : public TTeListView {
    Q_OBJECT
public:
    explicit TTeShellTreeView(QWidget *parent = nullptr);
    ~TTeShellTreeView() override;

    TTeFolderModel &Folders() { return *Model; }
    // Selects the folder at path, expanding its ancestors; a path that
    // names no folder fails with "Error setting path".
    void SelectPath(const QString &path);
    // The selected folder's full path; the root's name for the root; empty
    // without a selection.
    QString SelectedPath() const;
    // Reads the folder of index anew, keeping what was expanded and selected.
    void Refresh(const QModelIndex &index);
    std::function<void()> OnClick;
    bool RightClickSelect = true;
    bool AutoContextMenus = true;
    // Asked before a folder goes into the trash; answers whether it may.
    std::function<bool(const QString &path)> ConfirmDelete = [](const QString &path) {
        return DefaultMessage().MessageDlg(QString("Move %1 to the trash?").arg(path), mtConfirmation, {mbYes, mbNo}) ==
               mrYes;
    };
    // The context menu's commands on the selected folder.
    void OpenSelected();
    void RenameSelected();
    void DeleteSelected();

    bool Skinned() const override;

protected:
    int RowIndent(const QModelIndex &index) const override;
    void PaintBranch(TteCanvas &canvas, QRect area, const QModelIndex &index, QColor ink) const override;
    void PaintFace(TteCanvas &canvas) const override;
    void drawBranches(QPainter *, const QRect &, const QModelIndex &) const override {}
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    TTeFolderModel *Model;
    std::unique_ptr<TTePopupMenu> ContextMenu; // the last one shown
};

} // namespace quillon
