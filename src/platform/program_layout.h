#pragma once
// Where the program's companions are. A program whose converter launcher
// sits beside it (the build tree, a portable folder) keeps everything there,
// its settings too. An installed program finds the launcher in the package's
// own folder for helper programs and keeps the settings in the user's
// configuration folder: it never writes into the folder it is installed in.

#include <string>
#include <vector>

namespace quillon {

inline constexpr const char *LauncherName = "videoenc.dll";
inline constexpr const char *SettingsName = "strings.ini";

struct ProgramLayout {
    // The launcher's path: the first of Tried where one is, else the first
    // of Tried.
    std::string Launcher;
    std::vector<std::string> Tried;
    bool Found = false;
    bool Portable = false; // the launcher is beside the program
    std::string Settings;  // the settings file's path
};

// The folders an installed program's launcher may be in, each ending in a
// separator: the one where it is relative to the program's own folder, then
// the one fixed when the program was built.
std::vector<std::string> InstalledLauncherDirs(const std::string &programDir);

// programDir ends in one path separator.
ProgramLayout LayoutOf(const std::string &programDir, const std::vector<std::string> &installedLauncherDirs);
ProgramLayout LayoutOf(const std::string &programDir);

// $XDG_CONFIG_HOME/quillon/ (~/.config/quillon/ when that is unset or not an
// absolute path); "" without a home.
std::string UserConfigDir();

// Why no launcher could be run: the places tried, and the system's reason.
std::string LauncherMissingText(const ProgramLayout &layout, int error);

} // namespace quillon
