#include "joblist/list_file.h"

#include "platform/file_system.h"

#include <fstream>
#include <sstream>

namespace quillon {

std::string ListFileText(const std::vector<std::string> &sources)
{
    std::string text = std::string(ListFileHeader) + "\r\n";
    for (const std::string &s : sources)
        text += s + "\r\n";
    return text;
}

bool SaveListFile(const std::string &path, const std::vector<std::string> &sources)
{
    if (ListWouldReplaceASource(path, sources))
        return false;
    return WriteFileReplacing(path, ListFileText(sources));
}

bool ListWouldReplaceASource(const std::string &path, const std::vector<std::string> &sources)
{
    for (const std::string &s : sources)
        if (SameFile(path, s))
            return true;
    return false;
}

std::vector<std::string> ListFileSources(const std::string &text)
{
    std::vector<std::string> sources;
    const size_t end = std::min(text.find('\x1A'), text.size());
    size_t start = 0;
    while (start < end) {
        size_t lf = text.find('\n', start);
        if (lf == std::string::npos || lf > end)
            lf = end;
        std::string line = text.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            sources.push_back(line);
        start = lf + 1;
    }
    return sources;
}

std::optional<std::string> ReadListFile(const std::string &path)
{
    if (!FileExists(path))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return text.str();
}

} // namespace quillon
