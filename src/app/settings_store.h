#pragma once
// The user's options between runs: "strings.ini" in the program's directory,
// section "Common". Read once at start-up and written once at the end; a
// failure on either side is swallowed, as the user can do nothing about it.

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

    // Reads the seven keys into options, in order; the first error ends the
    // reading and the values not yet read keep what they had.
    void LoadSettings(OutputOptions &options) const;
    // Writes the seven keys in their order; the first failure ends the writing.
    void SaveSettings(const OutputOptions &options);

    // The user's documents folder without a trailing separator; fails with
    // "Could not find your default documents folder".
    std::string GetDocumentsFolder() const;

    static std::optional<std::string> SystemDocumentsFolder();

private:
    PrivateProfile Profile;
    std::function<std::optional<std::string>()> DocumentsFolder;
};

} // namespace quillon
