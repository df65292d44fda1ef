#pragma once
// Settings files in the format of the Windows private profile services:
// "[Section]" lines and "key=value" lines with CR LF, names compared without
// regard to letter case, keys updated in place and new keys added at the end
// of their section. Each call reads the file afresh, as those services do.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillon {

class PrivateProfile {
public:
    explicit PrivateProfile(std::string path) : Path(std::move(path)) {}
    const std::string &FileName() const { return Path; }

    // The value with the blanks around it removed (and one pair of enclosing
    // double quotes), at most 2047 characters; nothing when the key is missing.
    std::optional<std::string> ReadString(const std::string &section, const std::string &key) const;
    // A decimal integer, or hexadecimal after "0x" or "$"; otherwise def.
    int ReadInteger(const std::string &section, const std::string &key, int def) const;

    // False when the file cannot be written; the old file is then unchanged.
    bool WriteString(const std::string &section, const std::string &key, const std::string &value);
    bool WriteInteger(const std::string &section, const std::string &key, int value);
    // Several keys of one section in one rewrite of the file, in order.
    bool WriteStrings(const std::string &section, const std::vector<std::pair<std::string, std::string>> &entries);

private:
    std::string Path;
};

// The integer rule of the settings file; nothing when text is no integer.
std::optional<int> ParseProfileInteger(const std::string &text);

} // namespace quillon
