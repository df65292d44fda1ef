#pragma once
// Letter case of plain (ASCII) text, as names of sections, keys, effects,
// themes and file extensions are compared.

#include <string>
#include <string_view>

namespace quillon {

std::string LowerCase(std::string text);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

} // namespace quillon
