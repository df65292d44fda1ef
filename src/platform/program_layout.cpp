#include "platform/program_layout.h"

#include "platform/translation.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#ifndef QUILLON_LIBEXEC_DIR
#define QUILLON_LIBEXEC_DIR "/usr/local/libexec/quillon"
#define QUILLON_LIBEXEC_FROM_BIN "../libexec/quillon"
#endif

namespace quillon {

namespace {

std::string withSeparator(std::string dir)
{
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

} // namespace

std::vector<std::string> InstalledLauncherDirs(const std::string &programDir)
{
    return {withSeparator(programDir + QUILLON_LIBEXEC_FROM_BIN), withSeparator(QUILLON_LIBEXEC_DIR)};
}

std::string UserConfigDir()
{
    const char *config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return withSeparator(config) + "quillon/";
    const char *home = std::getenv("HOME");
    if (!home || home[0] != '/')
        return {};
    return withSeparator(home) + ".config/quillon/";
}

ProgramLayout LayoutOf(const std::string &programDir)
{
    return LayoutOf(programDir, InstalledLauncherDirs(programDir));
}

ProgramLayout LayoutOf(const std::string &programDir, const std::vector<std::string> &installedLauncherDirs)
{
    ProgramLayout layout;
    layout.Tried = {programDir + LauncherName};
    for (const std::string &dir : installedLauncherDirs) {
        const std::string candidate = withSeparator(dir) + LauncherName;
        if (std::find(layout.Tried.begin(), layout.Tried.end(), candidate) == layout.Tried.end())
            layout.Tried.push_back(candidate);
    }
    layout.Launcher = layout.Tried.front();
    for (const std::string &candidate : layout.Tried)
        if (::access(candidate.c_str(), X_OK) == 0) {
            layout.Launcher = candidate;
            layout.Found = true;
            break;
        }
    // Without a launcher anywhere the program is a loose copy: it keeps
    // everything beside itself, as it always did.
    layout.Portable = layout.Launcher == layout.Tried.front();
    const std::string config = UserConfigDir();
    layout.Settings = layout.Portable || config.empty() ? programDir + SettingsName : config + SettingsName;
    return layout;
}

std::string LauncherMissingText(const ProgramLayout &layout, int error)
{
    std::string places;
    for (size_t i = 0; i < layout.Tried.size(); ++i)
        places += (i == 0 ? "" : i + 1 == layout.Tried.size() ? Tr("Platform", " or ") : ", ") + layout.Tried[i];
    return Arg(Tr("Platform", "The converter launcher %1 could not be run from %2: %3"),
               {LauncherName, places, std::strerror(error)});
}

} // namespace quillon
