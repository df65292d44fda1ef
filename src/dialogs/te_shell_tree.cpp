#include "dialogs/te_shell_tree.h"

#include "platform/translation.h"
#include "skin/te_menu.h"
#include "skin/te_message.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <stdexcept>

namespace quillon {

namespace {

constexpr int Indent = 19;   // per level
constexpr int IconRoom = 20; // a 16-pixel folder and its gap
constexpr int MarkSize = 9;  // the expand mark's box

QDir::Filters folderFilter(bool hidden)
{
    return QDir::Dirs | QDir::NoDotAndDotDot | (hidden ? QDir::Hidden : QDir::Filters());
}

bool hasSubfolder(const QString &path, bool hidden) { return QDirIterator(path, folderFilter(hidden)).hasNext(); }

// Our folder picture: 16 x 16, clear where magenta.
const QImage &folderPicture()
{
    static const QImage picture = [] {
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(QColor(255, 0, 255));
        QPainter p(&image);
        p.setPen(QColor(176, 128, 24));
        p.setBrush(QColor(240, 196, 80));
        p.drawRect(1, 3, 6, 2);
        p.drawRect(1, 4, 13, 9);
        p.fillRect(QRect(2, 6, 12, 7), QColor(250, 214, 110));
        return image;
    }();
    return picture;
}

int depthOf(const QModelIndex &index)
{
    int depth = 0;
    for (QModelIndex i = index.parent(); i.isValid(); i = i.parent())
        ++depth;
    return depth;
}

} // namespace

// ---- The folders

TTeFolderModel::TTeFolderModel(QObject *parent) : QAbstractItemModel(parent), Root_(std::make_unique<Node>())
{
    Root_->Name = QTr("Dialogs", "Desktop");
    Root_->Loaded = true;
    const auto place = [this](const QString &name, const QString &path) {
        auto node = std::make_unique<Node>();
        node->Name = name;
        node->Path = path;
        node->Parent = Root_.get();
        node->HasChildren = hasSubfolder(path, ShowHidden);
        Root_->Children.push_back(std::move(node));
    };
    const QString home = QDir::homePath();
    place(QTr("Dialogs", "Home"), home);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && documents != home && QFileInfo(documents).isDir())
        place(QTr("Dialogs", "Documents"), documents);
    place(QTr("Dialogs", "File System"), "/");
    Root_->HasChildren = true;
}

TTeFolderModel::Node *TTeFolderModel::NodeOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : nullptr;
}

QModelIndex TTeFolderModel::IndexOf(const Node &node) const
{
    if (!node.Parent)
        return createIndex(0, 0, const_cast<Node *>(&node));
    const auto &siblings = node.Parent->Children;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == &node)
            return createIndex(int(i), 0, const_cast<Node *>(&node));
    return {};
}

void TTeFolderModel::Load(Node &node)
{
    if (node.Loaded)
        return;
    node.Loaded = true;
    std::vector<std::unique_ptr<Node>> children;
    if (!node.Path.isEmpty()) {
        const QFileInfoList entries =
            QDir(node.Path).entryInfoList(folderFilter(ShowHidden), QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo &entry : entries) {
            auto child = std::make_unique<Node>();
            child->Name = entry.fileName();
            child->Path = entry.absoluteFilePath();
            child->Parent = &node;
            child->HasChildren = hasSubfolder(child->Path, ShowHidden);
            children.push_back(std::move(child));
        }
    }
    const QModelIndex at = IndexOf(node);
    if (!children.empty()) {
        beginInsertRows(at, 0, int(children.size()) - 1);
        node.Children = std::move(children);
        endInsertRows();
    }
    // The expand mark shows exactly when there is something to expand.
    node.HasChildren = !node.Children.empty();
    emit dataChanged(at, at);
}

void TTeFolderModel::Reload(Node &node)
{
    const QModelIndex at = IndexOf(node);
    if (!node.Children.empty()) {
        beginRemoveRows(at, 0, int(node.Children.size()) - 1);
        node.Children.clear();
        endRemoveRows();
    }
    node.Loaded = false;
    Load(node);
}

QModelIndex TTeFolderModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 ? createIndex(0, 0, Root_.get()) : QModelIndex();
    Node *node = NodeOf(parent);
    if (row >= int(node->Children.size()))
        return {};
    return createIndex(row, 0, node->Children[size_t(row)].get());
}

QModelIndex TTeFolderModel::parent(const QModelIndex &child) const
{
    const Node *node = NodeOf(child);
    return node && node->Parent ? IndexOf(*node->Parent) : QModelIndex();
}

int TTeFolderModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return 1;
    return int(NodeOf(parent)->Children.size());
}

int TTeFolderModel::columnCount(const QModelIndex &) const { return 1; }

bool TTeFolderModel::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return true;
    const Node *node = NodeOf(parent);
    return node->Loaded ? !node->Children.empty() : node->HasChildren;
}

bool TTeFolderModel::canFetchMore(const QModelIndex &parent) const
{
    const Node *node = NodeOf(parent);
    return node && !node->Loaded;
}

void TTeFolderModel::fetchMore(const QModelIndex &parent)
{
    if (Node *node = NodeOf(parent))
        Load(*node);
}

QVariant TTeFolderModel::data(const QModelIndex &index, int role) const
{
    const Node *node = NodeOf(index);
    if (!node)
        return {};
    if (role == Qt::DisplayRole)
        return node->Name;
    if (role == Qt::ToolTipRole && !node->Path.isEmpty())
        return node->Path;
    return {};
}

Qt::ItemFlags TTeFolderModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractItemModel::flags(index);
    const Node *node = NodeOf(index);
    if (node && node->Parent && node->Parent->Parent) // a folder below a place
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TTeFolderModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    Node *node = NodeOf(index);
    const QString name = value.toString();
    if (role != Qt::EditRole || !node || !(flags(index) & Qt::ItemIsEditable) || name == node->Name)
        return false;
    const QString renamed = QFileInfo(node->Path).dir().filePath(name);
    if (name.isEmpty() || name.contains('/') || QFileInfo::exists(renamed) || !QDir().rename(node->Path, renamed)) {
        if (OnError)
            OnError(QTr("Dialogs", "Rename to %1 failed").arg(name));
        return false;
    }
    node->Name = name;
    node->Path = renamed;
    // What lies below carries the old path: it is read again when opened.
    if (!node->Children.empty()) {
        beginRemoveRows(index, 0, int(node->Children.size()) - 1);
        node->Children.clear();
        endRemoveRows();
    }
    node->Loaded = false;
    emit dataChanged(index, index);
    return true;
}

void TTeFolderModel::RemoveNode(Node &node)
{
    Node *parentNode = node.Parent;
    if (!parentNode)
        return;
    auto &siblings = parentNode->Children;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == &node) {
            beginRemoveRows(IndexOf(*parentNode), int(i), int(i));
            siblings.erase(siblings.begin() + std::ptrdiff_t(i));
            endRemoveRows();
            break;
        }
    parentNode->HasChildren = !parentNode->Children.empty();
}

// ---- The tree

TTeShellTreeView::~TTeShellTreeView() = default;

TTeShellTreeView::TTeShellTreeView(QWidget *parent) : TTeListView(parent), Model(new TTeFolderModel(this))
{
    ThemeColorIndex = 19;
    setHeaderHidden(true);
    Header().setStretchLastSection(true);
    setIndentation(0); // the tree's room and marks are drawn and hit here
    setItemsExpandable(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setModel(Model);
    // A refused rename is told once the edit has closed.
    Model->OnError = [this](const QString &message) {
        QTimer::singleShot(0, this, [message] { DefaultMessage().MessageDlg(message, mtError, {mbOK}); });
    };
    const QModelIndex root = Model->index(0, 0);
    expand(root);
    setCurrentIndex(root);
    // A folder chosen by the mouse or the keyboard.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (OnClick)
            OnClick();
    });
    ApplyThemeColors();
}

bool TTeShellTreeView::Skinned() const { return IsThemedTreeView(0, "default", Binding.ThemeLink()); }

void TTeShellTreeView::PaintFace(TteCanvas &canvas) const
{
    if (Skinned()) {
        Binding.Theme()->PaintTreeView(0, canvas, "default", MakeElementInfo(rect()));
        return;
    }
    TTeListView::PaintFace(canvas);
}

int TTeShellTreeView::RowIndent(const QModelIndex &index) const { return depthOf(index) * Indent + IconRoom; }

void TTeShellTreeView::PaintBranch(TteCanvas &canvas, QRect area, const QModelIndex &index, QColor ink) const
{
    const int depth = depthOf(index);
    const int middle = area.top() + area.height() / 2;
    // The top level (the root) has no mark.
    if (depth > 0 && Model->hasChildren(index)) {
        const QRect box(area.left() + (depth - 1) * Indent + (Indent - MarkSize) / 2, middle - MarkSize / 2, MarkSize,
                        MarkSize);
        canvas.FillRect(box, ToQColor(Color));
        canvas.FrameRect(box, ThemeSysColor(Binding.Theme(), clBtnShadow));
        canvas.FillRect(QRect(box.left() + 2, middle, MarkSize - 4, 1), ink);
        if (!isExpanded(index))
            canvas.FillRect(QRect(box.left() + MarkSize / 2, box.top() + 2, 1, MarkSize - 4), ink);
    }
    TteBitmap picture;
    picture.Assign(folderPicture());
    picture.MarkTransparentColor(0xFF00FF);
    picture.Draw(canvas, area.left() + depth * Indent, middle - 8);
}

void TTeShellTreeView::mousePressEvent(QMouseEvent *event)
{
    // A press on an expand mark opens or closes its folder.
    const QPoint at = event->position().toPoint();
    const QModelIndex index = indexAt(at);
    const int depth = depthOf(index);
    if (index.isValid() && depth > 0 && event->button() == Qt::LeftButton) {
        const int markLeft = Header().sectionViewportPosition(0) + (depth - 1) * Indent;
        if (at.x() >= markLeft && at.x() < markLeft + Indent && Model->hasChildren(index)) {
            setExpanded(index, !isExpanded(index));
            return;
        }
    }
    TTeListView::mousePressEvent(event);
}

void TTeShellTreeView::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex at = indexAt(event->pos());
    if (RightClickSelect && at.isValid())
        setCurrentIndex(at);
    const TTeFolderModel::Node *node = Model->NodeOf(currentIndex());
    if (!AutoContextMenus || !node || node->Path.isEmpty())
        return;
    // The folder's commands in the engine's own menu, kept until the next
    // one: the chosen command runs after the menu has gone.
    ContextMenu = std::make_unique<TTePopupMenu>();
    TTePopupMenu &menu = *ContextMenu;
    menu.ThemeLink = Binding.ThemeLink();
    const auto add = [&](const QString &caption, bool enabled, std::function<void()> action) {
        auto *item = new TTeItem(nullptr, caption);
        item->Enabled = enabled;
        item->OnClick = [tree = QPointer<TTeShellTreeView>(this), action = std::move(action)] {
            if (tree)
                action();
        };
        menu.Items->Add(item);
    };
    const bool below = bool(Model->flags(currentIndex()) & Qt::ItemIsEditable);
    add(QTr("Dialogs", "&Open"), true, [this] { OpenSelected(); });
    add("-", true, {});
    add(QTr("Dialogs", "Rena&me"), below, [this] { RenameSelected(); });
    add(QTr("Dialogs", "&Delete"), below, [this] { DeleteSelected(); });
    menu.Popup(event->globalPos().x(), event->globalPos().y());
}

void TTeShellTreeView::OpenSelected()
{
    if (const TTeFolderModel::Node *node = Model->NodeOf(currentIndex()); node && !node->Path.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(node->Path));
}

void TTeShellTreeView::RenameSelected()
{
    if (Model->flags(currentIndex()) & Qt::ItemIsEditable)
        edit(currentIndex());
}

void TTeShellTreeView::DeleteSelected()
{
    const QModelIndex at = currentIndex();
    TTeFolderModel::Node *node = Model->NodeOf(at);
    if (!node || !(Model->flags(at) & Qt::ItemIsEditable))
        return;
    // Asked first; then into the trash, and the node goes when nothing is
    // left at its path.
    if (ConfirmDelete && !ConfirmDelete(node->Path))
        return;
    if (!QFile::moveToTrash(node->Path) || QFileInfo::exists(node->Path)) {
        if (Model->OnError)
            Model->OnError(QTr("Dialogs", "Delete of %1 failed").arg(node->Name));
        return;
    }
    TTeFolderModel::Node *parentNode = node->Parent;
    setCurrentIndex(Model->IndexOf(*parentNode));
    Model->RemoveNode(*node);
}

void TTeShellTreeView::SelectPath(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        throw std::runtime_error("Error setting path");
    const QString wanted = QDir::cleanPath(info.absoluteFilePath());
    if (SelectedPath() == wanted)
        return;
    // The deepest place that holds the path, then down folder by folder.
    TTeFolderModel::Node *node = nullptr;
    for (const auto &place : Model->Root().Children) {
        const QString &p = place->Path;
        const bool holds = wanted == p || wanted.startsWith(p.endsWith('/') ? p : p + "/");
        if (holds && (!node || p.size() > node->Path.size()))
            node = place.get();
    }
    if (!node) {
        clearSelection();
        return;
    }
    expand(Model->index(0, 0));
    const QStringList rest = wanted.mid(node->Path.size()).split('/', Qt::SkipEmptyParts);
    for (const QString &name : rest) {
        Model->Load(*node);
        expand(Model->IndexOf(*node));
        TTeFolderModel::Node *next = nullptr;
        for (const auto &child : node->Children)
            if (child->Name == name)
                next = child.get();
        if (!next) {
            clearSelection(); // a folder the tree does not list (a hidden one)
            return;
        }
        node = next;
    }
    const QModelIndex at = Model->IndexOf(*node);
    setCurrentIndex(at);
    scrollTo(at);
}

QString TTeShellTreeView::SelectedPath() const
{
    const QModelIndexList selected = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (selected.isEmpty())
        return {};
    const TTeFolderModel::Node *node = Model->NodeOf(selected.front());
    return node->Path.isEmpty() ? node->Name : node->Path;
}

void TTeShellTreeView::Refresh(const QModelIndex &index)
{
    TTeFolderModel::Node *node = Model->NodeOf(index);
    if (!node)
        return;
    // What was open below it and what was chosen come back after the reading.
    QStringList open;
    std::function<void(const TTeFolderModel::Node &)> collect = [&](const TTeFolderModel::Node &n) {
        for (const auto &child : n.Children)
            if (isExpanded(Model->IndexOf(*child))) {
                open << child->Path;
                collect(*child);
            }
    };
    collect(*node);
    const QString selected = SelectedPath();
    Model->Reload(*node);
    expand(index);
    for (const QString &path : open)
        if (QFileInfo(path).isDir()) {
            SelectPath(path);
            expand(currentIndex());
        }
    if (QFileInfo(selected).isDir())
        SelectPath(selected);
}

} // namespace quillon
