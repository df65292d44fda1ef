#pragma once
// The INI text of an MS-styles theme: sections of key=value entries. Names
// and keys are looked up without regard to case and the later of two equal
// ones answers; written back, the text takes its canonical form (every
// section, its entries as key=value, one empty line, all with CR LF).

#include "platform/text_case.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillon {

class MsuxIni {
public:
    struct Section {
        std::string Name;
        std::vector<std::pair<std::string, std::string>>
            Entries; // key, value; a line without "=" has an empty value slot
        std::vector<bool> HasEquals;
    };

    void LoadFromText(const std::string &text);
    std::string ToText() const;
    bool Empty() const { return Sections_.empty(); }

    // The last section of that name, or nothing.
    const Section *FindSection(const std::string &name) const;
    std::optional<std::string> ReadString(const std::string &section, const std::string &key) const;
    std::string ReadString(const std::string &section, const std::string &key, const std::string &def) const
    {
        return ReadString(section, key).value_or(def);
    }
    const std::vector<Section> &Sections() const { return Sections_; }

private:
    std::vector<Section> Sections_;
};

// Trims blanks and control characters at both ends.
std::string TrimmedText(const std::string &s);

} // namespace quillon
