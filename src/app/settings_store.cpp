#include "app/settings_store.h"

#include "extract/sound_track.h"
#include "platform/file_system.h"
#include "platform/partial_files.h"
#include "platform/quillon_error.h"
#include "platform/translation.h"

#include <QStandardPaths>

#include <algorithm>

#include <cstdlib>

namespace quillon {

namespace {
const char *const Section = "Common";

int selectionOrNone(int index, size_t count) { return index >= 0 && static_cast<size_t>(index) < count ? index : -1; }
} // namespace

SettingsStore::SettingsStore(std::string iniPath, std::function<std::optional<std::string>()> documentsFolder)
    : IniPath(iniPath), Profile(std::move(iniPath)),
      DocumentsFolder(documentsFolder ? std::move(documentsFolder) : SystemDocumentsFolder)
{
}

std::optional<std::string> SettingsStore::SystemDocumentsFolder()
{
    std::string path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    if (!DirectoryExists(path)) {
        const char *home = std::getenv("HOME");
        path = home ? home : "";
    }
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty() || !DirectoryExists(path))
        return std::nullopt;
    return path;
}

std::string SettingsStore::GetDocumentsFolder() const
{
    const auto folder = DocumentsFolder();
    if (!folder || folder->empty())
        RaiseError(Tr("Settings", "Could not find your default documents folder"));
    return *folder;
}

void SettingsStore::LoadSettings(OutputOptions &o) const
{
    try {
        o.NamingMethod = Profile.ReadInteger(Section, "nNaming", 0);
        o.BitRateIndex = selectionOrNone(Profile.ReadInteger(Section, "cbAudioBitRate", 0), BitRates.size());
        o.SampleRateIndex = selectionOrNone(Profile.ReadInteger(Section, "cbAudioSampleRate", 0), SampleRates.size());
        o.FormatIndex = selectionOrNone(Profile.ReadInteger(Section, "cbFileFormat", 0), FileFormats.size());
        o.Mono = Profile.ReadInteger(Section, "ckMono", 0) != 0;
        o.NamingMethod = std::clamp(o.NamingMethod, 0, 2);
        o.OverwriteExisting = Profile.ReadInteger(Section, "bOverWrite", 0) != 0;
        o.Simultaneous =
            SimultaneousWithinRange(Profile.ReadInteger(Section, "nSimultaneous", DefaultSimultaneousExtractions()));
        o.Track = TrackChoiceOf(Profile.ReadString(Section, "strTrack").value_or("")).value_or("");
        o.KeepDates = Profile.ReadInteger(Section, "bKeepDates", 1) != 0;
        const std::string documents = GetDocumentsFolder();
        std::string dir = Profile.ReadString(Section, "strOutputDir").value_or(documents);
        if (!DirectoryExists(dir))
            dir = GetDocumentsFolder();
        if (dir.empty() || dir.back() != '/')
            dir += '/';
        o.OutputDir = dir;
    } catch (...) {
        // Nothing is reported; what was not read keeps its value.
    }
}

void SettingsStore::SaveSettings(const OutputOptions &o)
{
    const std::string folder = DirectoryOf(IniPath);
    if (MakesItsFolder && !DirectoryExists(folder))
        MakeDirectories(folder, 0700);
    // One rewrite of the file for all ten keys.
    const auto number = [](int n) { return std::to_string(n); };
    const bool ok = Profile.WriteStrings(Section, {{"nNaming", number(o.NamingMethod)},
                                                   {"bOverWrite", number(o.OverwriteExisting ? -1 : 0)},
                                                   {"strOutputDir", o.OutputDir},
                                                   {"cbAudioSampleRate", number(o.SampleRateIndex)},
                                                   {"cbAudioBitRate", number(o.BitRateIndex)},
                                                   {"cbFileFormat", number(o.FormatIndex)},
                                                   {"ckMono", number(o.Mono ? 1 : 0)},
                                                   {"nSimultaneous", number(o.Simultaneous)},
                                                   {"strTrack", o.Track},
                                                   {"bKeepDates", number(o.KeepDates ? 1 : 0)}});
    (void)ok; // a failed write is swallowed; the old file stays as it was
}

} // namespace quillon
