#include "platform/text_case.h"

#include <algorithm>
#include <cctype>

namespace quillon {

std::string LowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string UpperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && SameTextIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

bool AllLetters(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

} // namespace quillon
