#pragma once
// The user's temporary directory and unique temporary file names.

#include <string>

namespace quillon {

// $TMPDIR when set, else /tmp; without a trailing separator. Not resolved:
// a directory that does not exist stays that directory, so writing there fails
// instead of landing somewhere else.
std::string TempPath();

// Creates an empty file "<dir>/<prefix>XXXXXX.tmp" with a unique name and
// returns its path; "" with errno set when it cannot be created.
std::string CreateTempFileName(const std::string &dir, const std::string &prefix);

} // namespace quillon
