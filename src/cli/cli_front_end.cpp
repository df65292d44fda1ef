#include "cli/cli_front_end.h"

#include "platform/translation.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace quillon::cli {

std::string EscapeField(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

namespace {

// The length of the valid UTF-8 sequence at text[i], or 0.
size_t utf8Length(const std::string &text, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    const size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > text.size())
        return 0;
    uint32_t code = n == 1 ? c : c & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and what lies beyond Unicode are not UTF-8.
    static const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[n] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return n;
}

} // namespace

std::string JsonString(const std::string &text)
{
    std::string out = "\"";
    char escaped[8];
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t n = utf8Length(text, i);
        if (n == 0) {
            std::snprintf(escaped, sizeof escaped, "\\udc%02x", c);
            out += escaped;
            ++i;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out.append(text, i, n);
        }
        i += n;
    }
    return out + "\"";
}

namespace {

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t characterCount(const std::string &text)
{
    size_t n = 0;
    for (char c : text)
        n += !continuationByte(c);
    return n;
}

// The byte offset where character number index begins.
size_t offsetOfCharacter(const std::string &text, size_t index)
{
    size_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (!continuationByte(text[i]) && seen++ == index)
            return i;
    return text.size();
}

size_t terminalColumns()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

std::string ShortenMiddle(const std::string &text, size_t columns)
{
    const size_t length = characterCount(text);
    if (length <= columns)
        return text;
    if (columns == 0)
        return {};
    const size_t kept = columns - 1; // the rest, around one "…"
    const size_t head = (kept + 1) / 2, tail = kept - head;
    return text.substr(0, offsetOfCharacter(text, head)) + "\u2026" +
           text.substr(offsetOfCharacter(text, length - tail));
}

CliFrontEnd::CliFrontEnd(OutputOptions options, bool quiet, bool terminal)
    : Options(std::move(options)), Quiet(quiet), Terminal(terminal)
{
}

void CliFrontEnd::Attach(Engine &engine)
{
    Eng = &engine;
    engine.Jobs.SetObserver(this);
}

void CliFrontEnd::ClearLiveLine()
{
    if (LiveLineShown) {
        std::fputs("\r\033[K", stderr);
        LiveLineShown = false;
    }
}

void CliFrontEnd::ShowMessage(const std::string &text)
{
    ClearLiveLine();
    std::fprintf(stderr, "%s\n", text.c_str());
}

void CliFrontEnd::EntryChanged(int index)
{
    if (Quiet || !Terminal || !Eng || Eng->Batch.Idle())
        return;
    const JobEntry &e = Eng->Jobs.Entry(index);
    if (e.State != EntryState::Running || e.Progress.empty())
        return;
    const std::string head =
        "[" + std::to_string(index + 1) + "/" + std::to_string(Eng->Jobs.Count()) + "] " + e.Progress + " ";
    // The line is redrawn in place, so it must never wrap: the last column
    // stays free too, as some terminals wrap on writing it.
    const size_t columns = terminalColumns() - 1;
    const std::string line =
        head.size() >= columns ? ShortenMiddle(head, columns) : head + ShortenMiddle(e.Source, columns - head.size());
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    LiveLineShown = true;
}

void CliFrontEnd::PrintResultLine(int index, EntryState state, const std::string &output, const std::string &reason)
{
    const JobEntry &entry = Eng->Jobs.Entry(index);
    if (Json) {
        std::fprintf(stdout, "{\"state\":%s,\"source\":%s,\"output\":%s,\"reason\":%s,\"duration\":%d}\n",
                     JsonString(EntryStateText(state)).c_str(), JsonString(entry.Source).c_str(),
                     JsonString(output).c_str(), JsonString(reason).c_str(), static_cast<int>(entry.Duration));
        return;
    }
    std::fprintf(stdout, "%s\t%s\t%s\t%s\n", EscapeField(EntryStateText(state)).c_str(),
                 EscapeField(entry.Source).c_str(), EscapeField(output).c_str(), EscapeField(reason).c_str());
}

void CliFrontEnd::Report(int index, EntryState finalState, const std::vector<std::string> &outputs,
                         const std::string &reason)
{
    ClearLiveLine();
    const std::string state = EntryStateText(finalState);
    const std::string &source = Eng->Jobs.SourcePath(index);
    if (!Quiet && !Terminal)
        std::fprintf(stderr, "[%d/%d] %s %s\n", index + 1, Eng->Jobs.Count(), state.c_str(), source.c_str());
    if (!reason.empty())
        std::fprintf(stderr, "%s: %s\n", source.c_str(), reason.c_str());
    // A line for every file made (one per sound track taken); an entry that
    // is not Done ends with a line of its own.
    for (size_t i = 0; i < outputs.size(); ++i) {
        const bool last = i + 1 == outputs.size();
        PrintResultLine(index, EntryState::Done, outputs[i],
                        last && finalState == EntryState::Done ? reason : std::string());
    }
    if (finalState != EntryState::Done || outputs.empty())
        PrintResultLine(index, finalState, "", reason);
    std::fflush(stdout);
    if (finalState == EntryState::Done)
        ++DoneCount;
    ++Reported_;
    Settle(index);
}

void CliFrontEnd::Settle(int index)
{
    Settled_.resize(static_cast<size_t>(Eng->Jobs.Count()));
    Settled_[static_cast<size_t>(index)] = 1;
}

bool CliFrontEnd::Settled(int index) const
{
    return static_cast<size_t>(index) < Settled_.size() && Settled_[static_cast<size_t>(index)];
}

void CliFrontEnd::EntryFinished(int index, EntryState state, const std::vector<std::string> &outputs,
                                const std::string &reason)
{
    // Entries end in any order when several run at once: each line names
    // its source.
    if (!ReportConverterFailure && Eng->Batch.EndedByFailure())
        return;
    Report(index, state, outputs, reason);
}

void CliFrontEnd::EntryRejected(int index, const std::string &reason, bool refused)
{
    if (!refused) {
        // Passed over by its probe this time: an error, and why.
        Report(index, EntryState::Error, {}, reason);
        return;
    }
    Settle(index);
    ++Refused_;
}

bool CliFrontEnd::AllDone() const
{
    return Eng && Reported_ > 0 && DoneCount == Reported_ && Reported_ + Refused_ == Eng->Jobs.Count();
}

void CliFrontEnd::ReportRemaining(bool stopped)
{
    if (!Eng || (!ReportConverterFailure && Eng->Batch.EndedByFailure()))
        return;
    // Entries are taken in list order: those before TakenCount were reached.
    const int taken = Eng->Batch.TakenCount();
    for (int i = 0; i < Eng->Jobs.Count(); ++i) {
        if (Settled(i))
            continue;
        const std::string &reason = Eng->Jobs.Entry(i).Reason;
        // A stop leaves the entries it never reached, and the one whose
        // probe it cut short, without a word of their own.
        if (stopped && (i >= taken || reason.empty()))
            Report(i, EntryState::Abort, {}, "");
        else
            Report(i, EntryState::Error, {}, reason.empty() ? Tr("Cli", "The batch ended before this entry") : reason);
    }
}

} // namespace quillon::cli
