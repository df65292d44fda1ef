#include "platform/private_profile.h"

#include "platform/text_case.h"

#include "platform/file_system.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <vector>

namespace quillon {

namespace {

constexpr size_t MaxValueLength = 2047;

std::string trimmed(const std::string &s)
{
    const auto isBlank = [](unsigned char c) { return c == ' ' || c == '\t'; };
    size_t b = 0, e = s.size();
    while (b < e && isBlank(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && isBlank(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::vector<std::string> readLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// "[Name]" gives Name; anything else nothing.
std::optional<std::string> sectionName(const std::string &line)
{
    const std::string t = trimmed(line);
    if (t.size() < 2 || t.front() != '[')
        return std::nullopt;
    const size_t close = t.find(']');
    if (close == std::string::npos)
        return std::nullopt;
    return trimmed(t.substr(1, close - 1));
}

bool isKeyLine(const std::string &line, const std::string &key, std::string *value)
{
    const std::string t = trimmed(line);
    if (t.empty() || t[0] == ';')
        return false;
    const size_t eq = t.find('=');
    if (eq == std::string::npos || !SameTextIgnoringCase(trimmed(t.substr(0, eq)), key))
        return false;
    if (value)
        *value = trimmed(t.substr(eq + 1));
    return true;
}

} // namespace

std::optional<int> ParseProfileInteger(const std::string &text)
{
    std::string t = trimmed(text);
    bool negative = false;
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
        negative = t[0] == '-';
        t.erase(0, 1);
    }
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.erase(0, 2);
    } else if (!t.empty() && t[0] == '$') {
        base = 16;
        t.erase(0, 1);
    }
    if (t.empty())
        return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value, base);
    if (ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    if (negative)
        value = -value;
    // Hexadecimal texts up to eight digits wrap as 32-bit values do.
    if (base == 16 && value > 0x7FFFFFFFLL && value <= 0xFFFFFFFFLL)
        value -= 0x100000000LL;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<std::string> PrivateProfile::ReadString(const std::string &section, const std::string &key) const
{
    bool inSection = false;
    for (const std::string &line : readLines(Path)) {
        if (const auto name = sectionName(line)) {
            if (inSection)
                break; // the first section of that name is the one that counts
            inSection = SameTextIgnoringCase(*name, section);
            continue;
        }
        std::string value;
        if (inSection && isKeyLine(line, key, &value)) {
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            if (value.size() > MaxValueLength)
                value.resize(MaxValueLength);
            return value;
        }
    }
    return std::nullopt;
}

int PrivateProfile::ReadInteger(const std::string &section, const std::string &key, int def) const
{
    const auto text = ReadString(section, key);
    if (!text)
        return def;
    return ParseProfileInteger(*text).value_or(def);
}

namespace {

// Puts key=value into section of lines: in place when the key is there, else
// after the section's last non-blank line, or in a new section at the end.
void setEntry(std::vector<std::string> &lines, const std::string &section, const std::string &key,
              const std::string &value)
{
    const std::string entry = key + "=" + value;
    size_t sectionStart = lines.size(), sectionEnd = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i]);
        if (!name)
            continue;
        if (sectionStart != lines.size()) {
            sectionEnd = i;
            break;
        }
        if (SameTextIgnoringCase(*name, section))
            sectionStart = i;
    }
    if (sectionStart == lines.size()) {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
        return;
    }
    size_t lastContent = sectionStart;
    for (size_t i = sectionStart + 1; i < sectionEnd; ++i) {
        if (isKeyLine(lines[i], key, nullptr)) {
            lines[i] = entry;
            return;
        }
        if (!trimmed(lines[i]).empty())
            lastContent = i;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent + 1), entry);
}

} // namespace

bool PrivateProfile::WriteString(const std::string &section, const std::string &key, const std::string &value)
{
    return WriteStrings(section, {{key, value}});
}

bool PrivateProfile::WriteStrings(const std::string &section,
                                  const std::vector<std::pair<std::string, std::string>> &entries)
{
    std::vector<std::string> lines = readLines(Path);
    for (const auto &[key, value] : entries)
        setEntry(lines, section, key, value);
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return WriteFileReplacing(Path, text);
}

bool PrivateProfile::WriteInteger(const std::string &section, const std::string &key, int value)
{
    return WriteString(section, key, std::to_string(value));
}

} // namespace quillon
