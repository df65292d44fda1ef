#include "write_failure.h"

namespace videoenc {

namespace {

bool startsWith(const std::string &s, const char *head) { return s.rfind(head, 0) == 0; }

bool endsWith(const std::string &s, const std::string &tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

constexpr size_t MaxLine = 4096;

} // namespace

bool WriteFailureWatch::TellsOfAFailedWrite(const std::string &line)
{
    // FFmpeg's descriptions of streams and tags are indented; its errors are not.
    if (line.empty() || line[0] == ' ' || line[0] == '\t' || startsWith(line, "Input #") ||
        startsWith(line, "Output #"))
        return false;
    for (const char *head : {"Error writing trailer", "Error closing file", "av_interleaved_write_frame():",
                             "Error submitting a packet to the muxer", "Error muxing a packet"})
        if (startsWith(line, head))
            return true;
    // The system's reason closes FFmpeg's error lines.
    for (const char *reason : {"No space left on device", "Disk quota exceeded", "File too large"})
        if (endsWith(line, std::string(": ") + reason))
            return true;
    return false;
}

void WriteFailureWatch::Feed(const char *data, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n') {
            if (Pending.size() < MaxLine)
                Pending += c;
            continue;
        }
        Seen_ = Seen_ || TellsOfAFailedWrite(Pending);
        Pending.clear();
    }
}

} // namespace videoenc
