// The folder dialog and its folder tree, over real folders.

#include "dialogs/te_directory_dialog.h"
#include "skin_test_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTimer>

#include <fstream>

#include <filesystem>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

TEST(TTeShellTreeView, FoldersLoadOnExpansionInTheFileManagersOrder)
{
    ScratchDir dir;
    for (const char *name : {"beta", "Alpha", "gamma/inner", ".hidden/x"})
        fs::create_directories(dir.file(name));
    std::ofstream(dir.file("a file.txt")) << "not a folder";
    TTeShellTreeView tree;
    const QString root = QString::fromStdString(dir.path().string());
    tree.SelectPath(root);
    EXPECT_EQ(tree.SelectedPath(), root);
    TTeFolderModel &folders = tree.Folders();
    const QModelIndex at = tree.currentIndex();
    EXPECT_TRUE(folders.hasChildren(at)) << "an expand mark before it is expanded";
    tree.expand(at);
    QStringList names;
    for (int i = 0; i < folders.rowCount(at); ++i)
        names << folders.index(i, 0, at).data().toString();
    EXPECT_EQ(names, (QStringList{"Alpha", "beta", "gamma"})) << "folders only, by name without regard to case";
    EXPECT_FALSE(folders.hasChildren(folders.index(0, 0, at))) << "Alpha has no subfolder: no mark";
    EXPECT_TRUE(folders.hasChildren(folders.index(2, 0, at)));
    // A folder that appears later shows after a refresh.
    fs::create_directories(dir.file("delta"));
    tree.Refresh(at);
    EXPECT_EQ(folders.rowCount(tree.currentIndex()), 4);
    EXPECT_EQ(tree.SelectedPath(), root) << "the selection survives";
    try {
        tree.SelectPath(QString::fromStdString(dir.file("missing")));
        FAIL();
    } catch (const std::exception &e) {
        EXPECT_STREQ(e.what(), "Error setting path");
    }
}

TEST(TTeDirectoryDialog, FirstOpenTypedPathAndSecondOpenOnThePreviousFolder)
{
    EmbeddedThemeCurrent theme;
    ScratchDir dir;
    fs::create_directories(dir.file("music/2026"));
    const QString chosen = QString::fromStdString(dir.file("music/2026"));
    TTeDirectoryDialog dialog;
    // First open: the root selected and expanded one level, an empty edit;
    // a typed path is what comes back.
    dialog.OnShow = [&](TTeDialogForm &window, TTeDirectoryPanel &panel) {
        EXPECT_EQ(window.windowTitle(), "Select Directory");
        EXPECT_EQ(panel.size(), QSize(253, 261));
        EXPECT_EQ(window.findChild<TTeButton *>("OK")->geometry(), QRect(51, 261, 70, 25));
        EXPECT_EQ(window.findChild<TTeButton *>("Cancel")->geometry(), QRect(131, 261, 70, 25));
        EXPECT_EQ(panel.DirSpecLabel->Caption(), "Please specify a directory");
        EXPECT_EQ(panel.SelDirLabel->Caption(), "Selected directory:");
        EXPECT_EQ(panel.teDirTree->SelectedPath(), "Desktop");
        EXPECT_TRUE(panel.teDirTree->isExpanded(panel.teDirTree->currentIndex()));
        EXPECT_EQ(panel.GetDirectory(), "");
        QTimer::singleShot(0, &window, [&] {
            panel.teSelDir->setText(chosen);
            window.findChild<TTeButton *>("OK")->Click();
        });
    };
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Directory, chosen);
    // Second open: on that folder, its ancestors expanded; Cancel keeps it.
    dialog.OnShow = [&](TTeDialogForm &window, TTeDirectoryPanel &panel) {
        EXPECT_EQ(panel.teDirTree->SelectedPath(), chosen);
        EXPECT_TRUE(panel.teDirTree->isExpanded(panel.teDirTree->currentIndex().parent()));
        EXPECT_EQ(panel.GetDirectory(), chosen);
        QTimer::singleShot(0, &window, [&] { window.findChild<TTeButton *>("Cancel")->Click(); });
    };
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Directory, chosen);
}

TEST(TTeShellTreeView, RenameAndDeleteAFolder)
{
    ScratchDir dir, data;
    // A trash of the test's own, for as long as it runs.
    struct TrashHere {
        QByteArray Before = qgetenv("XDG_DATA_HOME");
        explicit TrashHere(const std::string &dir) { qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir)); }
        ~TrashHere() { Before.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", Before); }
    } trash(data.path().string());
    fs::create_directories(dir.file("old name/inner"));
    fs::create_directories(dir.file("taken"));
    TTeShellTreeView tree;
    QStringList errors, asked;
    tree.Folders().OnError = [&](const QString &message) { errors << message; };
    tree.ConfirmDelete = [&](const QString &path) {
        asked << path;
        return true;
    };
    tree.SelectPath(QString::fromStdString(dir.file("old name")));
    TTeFolderModel &folders = tree.Folders();
    const QModelIndex at = tree.currentIndex();
    ASSERT_TRUE(folders.flags(at) & Qt::ItemIsEditable);
    EXPECT_FALSE(folders.flags(folders.index(0, 0)) & Qt::ItemIsEditable) << "the root is no folder";
    ASSERT_TRUE(folders.setData(at, "new name"));
    EXPECT_TRUE(fs::is_directory(dir.file("new name/inner")));
    EXPECT_EQ(tree.SelectedPath(), QString::fromStdString(dir.file("new name")));
    EXPECT_FALSE(folders.setData(at, "taken")) << "a name that is taken";
    EXPECT_EQ(errors, QStringList{"Rename to taken failed"});
    EXPECT_TRUE(fs::is_directory(dir.file("taken")));
    tree.DeleteSelected();
    EXPECT_EQ(asked, QStringList{QString::fromStdString(dir.file("new name"))});
    EXPECT_FALSE(fs::exists(dir.file("new name")));
    EXPECT_EQ(tree.SelectedPath(), QString::fromStdString(dir.path().string())) << "the parent is chosen";
    EXPECT_EQ(folders.rowCount(tree.currentIndex()), 1) << "only \"taken\" is left";
}
