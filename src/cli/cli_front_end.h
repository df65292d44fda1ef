#pragma once
// The command-line face of the batch: options fixed at start, messages on
// standard error, a live progress line on a terminal, and one result line per
// entry on standard output.

#include "app/engine.h"

#include <cstdio>
#include <string>

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
    void EntryFinished(int index, const std::string &state, const std::string &output) override;

    // JobListObserver
    void EntryChanged(int index) override;

    // Reports the entries that never reached a final state: passed over by
    // their probe ("Error") or not reached after a stop ("Abort").
    void ReportRemaining(bool stopped);
    bool AllDone() const { return Reported_ > 0 && DoneCount == Reported_; }
    int Reported() const { return Reported_; }

private:
    void Report(int index, const std::string &state, const std::string &output);
    void ClearLiveLine();

    OutputOptions Options;
    bool Quiet, Terminal;
    Engine *Eng = nullptr;
    int Reported_ = 0; // entries 0..Reported-1 have their line
    int DoneCount = 0;
    bool LiveLineShown = false;
};

} // namespace quillon::cli
