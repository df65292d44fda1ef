#pragma once
// The user's options between runs: "strings.ini" beside the program, or in the
// user's configuration folder for an installed program, section "Common". Read once at start-up and written once at the
// end; a failure on either side is swallowed, as the user can do nothing about it.

#include "extract/output_options.h"
#include "platform/private_profile.h"

#include <functional>
#include <optional>
#include <string>

namespace quillon {

class SettingsStore {
public:
    // documentsFolder answers GetDocumentsFolder (replaceable for tests).
    explicit SettingsStore(std::string iniPath, std::function<std::optional<std::string>()> documentsFolder = nullptr);

    // Reads the keys into options, in order; the first error ends the
    // reading and the values not yet read keep what they had.
    void LoadSettings(OutputOptions &options) const;
    // Writes the keys in their order; the first failure ends the writing.
    void SaveSettings(const OutputOptions &options);

    // The user's documents folder without a trailing separator; fails with
    // "Could not find your default documents folder".
    std::string GetDocumentsFolder() const;

    static std::optional<std::string> SystemDocumentsFolder();

    // The file's folder is made when missing, private to the user: the
    // user's configuration folder may not be there yet. A folder beside the
    // program is never made.
    bool MakesItsFolder = false;

private:
    std::string IniPath;
    PrivateProfile Profile;
    std::function<std::optional<std::string>()> DocumentsFolder;
};

} // namespace quillon
