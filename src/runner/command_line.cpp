#include "runner/command_line.h"

#include <sys/stat.h>

namespace quillon {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the program name starting at pos; returns the position after it.
size_t readProgramName(const std::string &s, size_t pos, std::string &out)
{
    bool inQuotes = false;
    while (pos < s.size()) {
        const char c = s[pos];
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (!inQuotes && isBlank(c)) {
            break;
        } else {
            out += c;
        }
        ++pos;
    }
    return pos;
}

void splitArguments(const std::string &s, size_t pos, std::vector<std::string> &args)
{
    while (true) {
        while (pos < s.size() && isBlank(s[pos]))
            ++pos;
        if (pos >= s.size())
            return;
        std::string arg;
        bool inQuotes = false;
        while (pos < s.size()) {
            const char c = s[pos];
            if (c == '\\') {
                size_t backslashes = 0;
                while (pos < s.size() && s[pos] == '\\') {
                    ++backslashes;
                    ++pos;
                }
                if (pos < s.size() && s[pos] == '"') {
                    arg.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        arg += '"';
                        ++pos;
                    }
                    // An even count leaves the quote to the code below.
                } else {
                    arg.append(backslashes, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (inQuotes && pos + 1 < s.size() && s[pos + 1] == '"') {
                    arg += '"';
                    pos += 2;
                    continue;
                }
                inQuotes = !inQuotes;
                ++pos;
                continue;
            }
            if (!inQuotes && isBlank(c))
                break;
            arg += c;
            ++pos;
        }
        args.push_back(std::move(arg));
    }
}

size_t skipLeadingBlanks(const std::string &s)
{
    size_t pos = 0;
    while (pos < s.size() && isBlank(s[pos]))
        ++pos;
    return pos;
}

bool isFile(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string &commandLine)
{
    std::vector<std::string> args;
    size_t pos = skipLeadingBlanks(commandLine);
    if (pos >= commandLine.size())
        return args;
    std::string program;
    pos = readProgramName(commandLine, pos, program);
    args.push_back(std::move(program));
    splitArguments(commandLine, pos, args);
    return args;
}

std::vector<std::string> SplitCommandLineResolvingProgram(const std::string &commandLine)
{
    const size_t start = skipLeadingBlanks(commandLine);
    if (start < commandLine.size() && commandLine[start] != '"') {
        // Try "C:\Program", "C:\Program Files\x.exe", ... as process creation does.
        size_t blank = commandLine.find_first_of(" \t", start);
        while (blank != std::string::npos) {
            const std::string candidate = commandLine.substr(start, blank - start);
            if (candidate.find('"') != std::string::npos)
                break;
            if (isFile(candidate)) {
                std::vector<std::string> args{candidate};
                splitArguments(commandLine, blank, args);
                return args;
            }
            blank = commandLine.find_first_of(" \t", blank + 1);
        }
        const std::string whole = commandLine.substr(start);
        if (whole.find('"') == std::string::npos && whole.find_first_of(" \t") != std::string::npos && isFile(whole))
            return {whole};
    }
    return SplitCommandLine(commandLine);
}

std::string QuoteCommandLineArgument(const std::string &text)
{
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

} // namespace quillon
