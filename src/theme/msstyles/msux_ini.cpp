#include "theme/msstyles/msux_ini.h"

#include <algorithm>
#include <cctype>

namespace quillon {

std::string TrimmedText(const std::string &s)
{
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

void MsuxIni::LoadFromText(const std::string &text)
{
    Sections_.clear();
    const size_t end = std::min(text.find('\0'), text.size());
    size_t start = 0;
    while (start <= end) {
        size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string::npos || stop > end)
            stop = end;
        const std::string line = TrimmedText(text.substr(start, stop - start));
        start = stop + 1;
        if (stop < end && text[stop] == '\r' && stop + 1 < end && text[stop + 1] == '\n')
            ++start;
        if (line.empty() || line[0] == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            Sections_.push_back(Section{TrimmedText(line.substr(1, line.size() - 2)), {}, {}});
            continue;
        }
        if (Sections_.empty())
            continue;
        Section &section = Sections_.back();
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            section.Entries.emplace_back(line, "");
            section.HasEquals.push_back(false);
        } else {
            section.Entries.emplace_back(TrimmedText(line.substr(0, eq)), TrimmedText(line.substr(eq + 1)));
            section.HasEquals.push_back(true);
        }
    }
}

std::string MsuxIni::ToText() const
{
    std::string text;
    for (const Section &s : Sections_) {
        text += "[" + s.Name + "]\r\n";
        for (size_t i = 0; i < s.Entries.size(); ++i)
            text +=
                s.HasEquals[i] ? s.Entries[i].first + "=" + s.Entries[i].second + "\r\n" : s.Entries[i].first + "\r\n";
        text += "\r\n";
    }
    return text;
}

const MsuxIni::Section *MsuxIni::FindSection(const std::string &name) const
{
    for (auto it = Sections_.rbegin(); it != Sections_.rend(); ++it)
        if (SameTextIgnoringCase(it->Name, name))
            return &*it;
    return nullptr;
}

std::optional<std::string> MsuxIni::ReadString(const std::string &section, const std::string &key) const
{
    const Section *s = FindSection(section);
    if (!s)
        return std::nullopt;
    for (size_t i = s->Entries.size(); i-- > 0;)
        if (s->HasEquals[i] && SameTextIgnoringCase(s->Entries[i].first, key))
            return s->Entries[i].second;
    return std::nullopt;
}

} // namespace quillon
