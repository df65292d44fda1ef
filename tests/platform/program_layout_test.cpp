#include "platform/program_layout.h"
#include "platform/translation.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

namespace {

// A program folder and an installed launcher folder, either holding a launcher.
struct Layout {
    ScratchDir bin, libexec, home;
    std::string binDir() const { return bin.path().string() + "/"; }
    std::string libexecDir() const { return libexec.path().string() + "/"; }
    void launcherIn(const ScratchDir &dir) const { WriteScript(dir.file(LauncherName), "exit 0\n"); }
};

} // namespace

TEST(ProgramLayout, APortableProgramKeepsEverythingBesideItself)
{
    Layout l;
    l.launcherIn(l.bin);
    l.launcherIn(l.libexec);
    const ProgramLayout p = LayoutOf(l.binDir(), {l.libexecDir()});
    EXPECT_TRUE(p.Found && p.Portable);
    EXPECT_EQ(p.Launcher, l.bin.file(LauncherName));
    EXPECT_EQ(p.Settings, l.bin.file(SettingsName));
}

TEST(ProgramLayout, AnInstalledProgramKeepsItsSettingsInTheUsersConfigurationFolder)
{
    Layout l;
    l.launcherIn(l.libexec);
    ScopedEnv home("HOME", l.home.path().string());
    const std::pair<const char *, std::string> cases[] = {
        {"/elsewhere/config", "/elsewhere/config/quillon/strings.ini"},
        {"", l.home.file(".config/quillon/strings.ini")},
        {"relative/config", l.home.file(".config/quillon/strings.ini")}, // not absolute: ignored
    };
    for (const auto &[config, settings] : cases) {
        ScopedEnv xdg("XDG_CONFIG_HOME", config);
        const ProgramLayout p = LayoutOf(l.binDir(), {"/nowhere/", l.libexecDir()});
        EXPECT_TRUE(p.Found);
        EXPECT_FALSE(p.Portable);
        EXPECT_EQ(p.Launcher, l.libexec.file(LauncherName));
        EXPECT_EQ(p.Settings, settings) << config;
    }
}

TEST(ProgramLayout, NoLauncherAnywhereNamesEveryPlaceTried)
{
    Layout l;
    const ProgramLayout p = LayoutOf(l.binDir(), {l.libexecDir(), l.libexecDir()});
    EXPECT_FALSE(p.Found);
    EXPECT_EQ(p.Tried, (std::vector<std::string>{l.bin.file(LauncherName), l.libexec.file(LauncherName)}));
    EXPECT_EQ(LauncherMissingText(p, ENOENT), "The converter launcher videoenc.dll could not be run from " +
                                                  l.bin.file(LauncherName) + " or " + l.libexec.file(LauncherName) +
                                                  ": No such file or directory");
}

TEST(ProgramLayout, AnInstallationFindsItsLauncherRelativeToItself)
{
    const std::vector<std::string> dirs = InstalledLauncherDirs("/opt/q/bin/");
    ASSERT_EQ(dirs.size(), 2u);
    EXPECT_EQ(dirs[0], "/opt/q/bin/../libexec/quillon/");
}

TEST(Translation, PlaceholdersAreFilledInOnePass)
{
    EXPECT_EQ(Arg("Unsupported or bad video file: %1!", {"/v/a %2.avi"}),
              "Unsupported or bad video file: /v/a %2.avi!");
    EXPECT_EQ(Arg("%2 before %1, 100%, %3", {"one", "two"}), "two before one, 100%, %3");
    // Without a translation a text is itself.
    EXPECT_EQ(Tr("Batch", "Ready"), "Ready");
}
