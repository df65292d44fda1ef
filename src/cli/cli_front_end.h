#pragma once
// The command-line face of the batch: options fixed at start, messages on
// standard error, a live progress line on a terminal, and one result line per
// entry on standard output.

#include "app/engine.h"

#include <cstdio>
#include <string>
#include <vector>

namespace quillon::cli {

class CliFrontEnd : public BatchView, public JobListObserver {
public:
    CliFrontEnd(OutputOptions options, bool quiet, bool terminal);
    void Attach(Engine &engine);

    // BatchView
    void ShowMessage(const std::string &text) override;
    void SetBatchButtons(bool) override {}
    void SetProgressPosition(int) override {}
    void SetStatusText(const std::string &) override {}
    void RestoreCaption() override {}
    OutputOptions CurrentOptions() override { return Options; }
    void EntryFinished(int index, EntryState state, const std::vector<std::string> &outputs,
                       const std::string &reason) override;
    void EntryRejected(int index, const std::string &reason, bool refused) override;

    // JobListObserver
    void EntryChanged(int index) override;

    // Reports the entries that never reached a final state: passed over by
    // their probe ("Error") or not reached after a stop ("Abort").
    void ReportRemaining(bool stopped);
    // false: a batch that a converter which could not be had at all ended
    // gives no result lines, only its message, as the admission would have.
    bool ReportConverterFailure = true;
    // Result lines as JSON objects instead of tab-separated fields.
    bool Json = false;
    // Every entry of the list has its line, and each says "Done".
    bool AllDone() const;
    // An entry's extraction found no sound in it: it has no line, and the
    // run fails as for a path that an add refused.
    int RefusedCount() const { return Refused_; }

private:
    void Report(int index, EntryState state, const std::vector<std::string> &outputs, const std::string &reason);
    void PrintResultLine(int index, EntryState state, const std::string &output, const std::string &reason);
    void ClearLiveLine();
    void Settle(int index);
    bool Settled(int index) const;

    OutputOptions Options;
    bool Quiet, Terminal;
    Engine *Eng = nullptr;
    std::vector<char> Settled_; // by entry: its line was written, or it was refused
    int Reported_ = 0;
    int Refused_ = 0;
    int DoneCount = 0;
    bool LiveLineShown = false;
};

// A field of a result line: a tab, a line break or a backslash inside it is
// written as \t, \n (\r) or \\, so that one entry is always one line.
std::string EscapeField(const std::string &text);

// text as a JSON string, quotes included. Paths are bytes: a byte that is
// not part of valid UTF-8 is written as the lone surrogate \udcXX, as
// Python's "surrogateescape" reads file names, so no path is lost.
std::string JsonString(const std::string &text);

// text in at most columns terminal columns (UTF-8 characters), shortened in
// the middle with "…" when it is longer.
std::string ShortenMiddle(const std::string &text, size_t columns);

} // namespace quillon::cli
