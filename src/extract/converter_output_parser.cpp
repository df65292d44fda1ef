#include "extract/converter_output_parser.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

namespace quillon {

const std::regex &DurationPattern()
{
    static const std::regex pattern("Duration: (\\d+):(\\d+):(\\d+)");
    return pattern;
}

const std::regex &SizePattern()
{
    static const std::regex pattern(", (\\d+)x(\\d+)");
    return pattern;
}

namespace {

// The standard library's regex engine recurses once per repeated character,
// so it is never handed a whole untrusted line: each match is tried on a
// window that starts at an occurrence of the pattern's literal head. A group
// that reaches the end of the window has more digits than any accepted
// number anyway.
constexpr size_t MatchWindow = 1024;

bool searchFrom(const std::string &line, const char *head, const std::regex &pattern, std::smatch &match,
                std::string &window)
{
    for (size_t pos = line.find(head); pos != std::string::npos; pos = line.find(head, pos + 1)) {
        window = line.substr(pos, MatchWindow);
        if (std::regex_search(window, match, pattern, std::regex_constants::match_continuous))
            return true;
    }
    return false;
}

std::optional<int64_t> toInt32(const std::string &digits)
{
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

bool allDigits(const char *begin, const char *end)
{
    if (begin == end)
        return false;
    for (const char *p = begin; p != end; ++p)
        if (*p < '0' || *p > '9')
            return false;
    return true;
}

// A decimal number with "." as the decimal point: "12", "12.34", "-0.5".
std::optional<double> plainSeconds(const char *begin, const char *end)
{
    const char *digits = begin < end && *begin == '-' ? begin + 1 : begin;
    const char *dot = std::find(digits, end, '.');
    if (!allDigits(digits, dot) || (dot != end && dot + 1 != end && !allDigits(dot + 1, end)))
        return std::nullopt;
    double value = 0;
    const auto [stop, ec] = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (ec != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

// The converter's clock form "hh:mm:ss.ff", possibly with a leading "-".
std::optional<double> clockSeconds(const char *begin, const char *end)
{
    const bool negative = begin < end && *begin == '-';
    const char *p = negative ? begin + 1 : begin;
    const char *c1 = std::find(p, end, ':');
    if (c1 == end)
        return std::nullopt;
    const char *c2 = std::find(c1 + 1, end, ':');
    if (c2 == end || !allDigits(p, c1) || !allDigits(c1 + 1, c2))
        return std::nullopt;
    const auto seconds = plainSeconds(c2 + 1, end);
    if (!seconds || *(c2 + 1) == '-')
        return std::nullopt;
    double h = 0, m = 0;
    std::from_chars(p, c1, h, std::chars_format::fixed);
    std::from_chars(c1 + 1, c2, m, std::chars_format::fixed);
    const double total = h * 3600 + m * 60 + *seconds;
    return negative ? -total : total;
}

} // namespace

std::string FormatProgress(long long positionSeconds, int32_t duration, const std::string &separator)
{
    double p = static_cast<double>(100LL * positionSeconds) / duration;
    if (p > 100)
        p = 100;
    if (p < 0) // the converter's clock can start a little before zero
        p = 0;
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", p);
    std::string result = text;
    const size_t dot = result.find('.');
    if (dot != std::string::npos)
        result.replace(dot, 1, separator);
    return result + "%";
}

void ConverterOutputParser::SetProgressTarget(ProgressTarget *target, int index)
{
    Target = target;
    TargetIndex = index;
}

void ConverterOutputParser::BeginRun()
{
    PendingOut.clear();
    PendingErr.clear();
    Messages.clear();
    LauncherFailure_.clear();
    InInputReport = false;
}

namespace {

constexpr size_t KeptMessages = 8;
// More than any real file has; a crafted one may describe millions.
constexpr size_t MaxSoundTracks = 64;
constexpr size_t ShownMessages = 2;
constexpr size_t MessageLength = 400;
// How the launcher's own lines begin.
const std::string LauncherPrefix = "videoenc.dll: ";

// FFmpeg's report of a run, as opposed to what it says went wrong: the stream
// and metadata descriptions (indented), the headings, the progress and the
// closing statistics.
bool isReportLine(const std::string &line)
{
    if (line[0] == ' ' || line[0] == '\t' || line.find("time=") != std::string::npos ||
        line.find("] Qavg: ") != std::string::npos) // the AAC encoder's closing statistics
        return true;
    for (const char *head : {"videoenc.dll: note: ", "ffmpeg version", "Input #", "Output #", "Stream mapping:",
                             "Press [q]", "video:", "size=", "frame=", "Conversion failed!", "Guessed Channel Layout"})
        if (line.rfind(head, 0) == 0)
            return true;
    return false;
}

} // namespace

void ConverterOutputParser::KeepMessage(const std::string &line)
{
    if (line.rfind(LauncherPrefix, 0) == 0 && line.compare(LauncherPrefix.size(), 11, "cannot run ") == 0)
        LauncherFailure_ = line.substr(LauncherPrefix.size(), MessageLength);
    if (isReportLine(line))
        return;
    Messages.push_back(line.substr(0, MessageLength));
    if (Messages.size() > KeptMessages)
        Messages.pop_front();
}

std::string ConverterOutputParser::FailureText() const
{
    std::string text;
    const size_t first = Messages.size() > ShownMessages ? Messages.size() - ShownMessages : 0;
    for (size_t i = first; i < Messages.size(); ++i) {
        std::string line = Messages[i];
        // The launcher speaks for itself; its name adds nothing for the user.
        if (line.rfind(LauncherPrefix, 0) == 0)
            line.erase(0, LauncherPrefix.size());
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

void ConverterOutputParser::EndRun()
{
    for (std::string *pending : {&PendingOut, &PendingErr}) {
        std::string rest;
        rest.swap(*pending);
        ParseLine(rest);
    }
}

void ConverterOutputParser::ParseConverterOutput(Stream stream, const char *data, int count)
{
    if (!data || count <= 0)
        return;
    Separator = QLocale::system().decimalPoint().toStdString();
    // The text is everything before the first zero byte.
    const void *zero = std::memchr(data, 0, static_cast<size_t>(count));
    const size_t size = zero ? static_cast<size_t>(static_cast<const char *>(zero) - data) : static_cast<size_t>(count);
    ParseText(stream == Stream::Out ? PendingOut : PendingErr, data, size);
}

void ConverterOutputParser::ParseText(std::string &pending, const char *data, size_t size)
{
    // CR LF, a lone CR and a lone LF all end a line; a console progress line
    // ends in a lone CR and so becomes a line of its own.
    size_t start = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != '\r' && data[i] != '\n')
            continue;
        pending.append(data + start, i - start);
        std::string line;
        line.swap(pending);
        ParseLine(line);
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    pending.append(data + start, size - start);
    if (pending.size() > MaxPendingLine) {
        std::string line;
        line.swap(pending);
        ParseLine(line);
    }
}

void ConverterOutputParser::ParseLine(const std::string &line)
{
    auto isTrim = [](unsigned char c) { return c <= ' '; };
    if (std::all_of(line.begin(), line.end(), isTrim))
        return;
    KeepMessage(line);

    // The tests work on a copy of the facts: a line whose numbers cannot be
    // taken changes nothing at all.
    MediaFacts facts = Facts;
    std::optional<std::string> progress;
    double fraction = 0;
    std::smatch match;
    std::string window;

    if (searchFrom(line, "Duration: ", DurationPattern(), match, window)) {
        const auto h = toInt32(match[1]), m = toInt32(match[2]), s = toInt32(match[3]);
        if (!h || !m || !s)
            return;
        const int64_t total = *h * 3600 + *m * 60 + *s;
        if (total > std::numeric_limits<int32_t>::max())
            return;
        facts.Duration = static_cast<int32_t>(total);
    }
    if (line.find('x') != std::string::npos && searchFrom(line, ", ", SizePattern(), match, window) &&
        (facts.PictureWidth == 0 || facts.PictureHeight == 0)) {
        const auto w = toInt32(match[1]), h = toInt32(match[2]);
        if (!w || !h)
            return;
        facts.PictureWidth = static_cast<int32_t>(*w);
        facts.PictureHeight = static_cast<int32_t>(*h);
    }
    if (line.find("Audio: ") != std::string::npos)
        facts.HasAudio = true;
    // The sound tracks are the input's; the outputs' report follows it.
    if (line.rfind("Input #", 0) == 0)
        InInputReport = true;
    else if (line.rfind("Output #", 0) == 0 || line.rfind("Stream mapping:", 0) == 0)
        InInputReport = false;
    SoundTrack track;
    const bool soundTrack = InInputReport && ReadSoundTrackLine(line, track);
    const size_t time = line.find("time=");
    if (time != std::string::npos && facts.Duration > 0) {
        const std::string after = line.substr(time + 5, 100);
        const size_t blank = after.find(' ');
        if (blank != std::string::npos) {
            const char *begin = after.data(), *end = after.data() + blank;
            std::optional<double> seconds = plainSeconds(begin, end);
            if (!seconds)
                seconds = clockSeconds(begin, end);
            // A position of a thousand years or more is not a position.
            if (seconds && std::fabs(*seconds) < 3.2e10) {
                progress = FormatProgress(static_cast<long long>(std::nearbyint(*seconds)), facts.Duration, Separator);
                fraction = *seconds / facts.Duration;
            }
        }
    }

    Facts.Duration = facts.Duration;
    Facts.PictureWidth = facts.PictureWidth;
    Facts.PictureHeight = facts.PictureHeight;
    Facts.HasAudio = facts.HasAudio;
    if (soundTrack && Facts.SoundTracks.size() < MaxSoundTracks)
        Facts.SoundTracks.push_back(std::move(track));
    if (progress && Target && TargetIndex >= 0 && TargetIndex < Target->Count()) {
        Target->SetProgressText(TargetIndex, *progress);
        Target->ProgressMade(TargetIndex, std::clamp(fraction, 0.0, 1.0));
    }
}

} // namespace quillon
