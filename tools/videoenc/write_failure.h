#pragma once
// Watches FFmpeg's console output for its word that what it wrote did not all
// reach the output file. FFmpeg can say so and still exit with 0 (a failed
// trailer on a full disk). Only FFmpeg's own error lines count: a file name or
// a tag that happens to hold such words, in the input's description, does not.

#include <cstddef>
#include <string>

namespace videoenc {

class WriteFailureWatch {
public:
    // Output as it comes; lines end at CR or LF, and may be cut anywhere.
    void Feed(const char *data, size_t size);
    bool Seen() const { return Seen_; }

    static bool TellsOfAFailedWrite(const std::string &line);

private:
    std::string Pending;
    bool Seen_ = false;
};

} // namespace videoenc
