#pragma once
// Letter case of plain (ASCII) text, as names of sections, keys, effects,
// themes and file extensions are compared.

#include <string>
#include <string_view>

namespace quillon {

std::string LowerCase(std::string text);
std::string UpperCase(std::string text);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);
// At least one letter, and nothing but letters of the ASCII alphabet.
bool AllLetters(std::string_view text);

} // namespace quillon
