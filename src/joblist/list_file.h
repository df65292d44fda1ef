#pragma once
// List files: "#Quillon File List", then one source path per line, every line
// ended by CR LF, 8-bit text written byte for byte.

#include <optional>
#include <string>
#include <vector>

namespace quillon {

inline constexpr const char *ListFileHeader = "#Quillon File List";

std::string ListFileText(const std::vector<std::string> &sources);
// Writes the list beside the old one and renames it into place: a failed save
// keeps the old list. Returns false on failure (not reported to the user), and
// without writing anything when path is one of the sources.
bool SaveListFile(const std::string &path, const std::vector<std::string> &sources);
// Whether path is the same file (device and inode) as one of the sources.
bool ListWouldReplaceASource(const std::string &path, const std::vector<std::string> &sources);

// The lines to add, in order: lines end at LF or CR LF, reading stops at the
// end or at a Ctrl+Z; empty lines and lines that begin with "#" are skipped;
// every other line is kept whole, blanks included. Nothing when the file
// cannot be read.
std::vector<std::string> ListFileSources(const std::string &text);
std::optional<std::string> ReadListFile(const std::string &path);

} // namespace quillon
