#pragma once
#include <optional>
#include <string>

namespace videoenc {

// The source path named by the one-line wrapper script that the probe writes:
//   DirectShowSource("path", fps=30, convertfps=true)
// followed by CR LF. Any other script text gives nothing.
std::optional<std::string> SourceOfWrapperScript(const std::string &scriptText);

} // namespace videoenc
