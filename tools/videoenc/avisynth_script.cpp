#include "avisynth_script.h"

namespace videoenc {

std::optional<std::string> SourceOfWrapperScript(const std::string &scriptText)
{
    static const std::string head = "DirectShowSource(\"";
    static const std::string tail = "\", fps=30, convertfps=true)";
    std::string line = scriptText;
    // One line: a single line end at the very end is allowed, no other.
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    if (line.find_first_of("\r\n") != std::string::npos)
        return std::nullopt;
    if (line.size() < head.size() + tail.size() + 1)
        return std::nullopt;
    if (line.compare(0, head.size(), head) != 0 || line.compare(line.size() - tail.size(), tail.size(), tail) != 0)
        return std::nullopt;
    return line.substr(head.size(), line.size() - head.size() - tail.size());
}

} // namespace videoenc
