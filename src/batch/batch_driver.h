#pragma once
// Walks the job list from its first entry to its last and extracts up to
// Simultaneous entries at a time, each on a runner of its own: hands the next
// entry to whichever runner is free, lets the parser show each entry's
// percentage, marks each entry "Done", "Error" or "Abort" as it ends, in
// whatever order that is, and goes on until the list is exhausted or the user
// stops the batch. With one at a time it is the plain sequential batch.
//
// The driver knows no widgets; it reports through BatchView.

#include "batch/batch_runner.h"
#include "extract/converter_pool.h"
#include "extract/output_options.h"
#include "joblist/job_list.h"
#include "platform/message_sink.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

class BatchView : public MessageSink {
public:
    // Extract, Add File, Load List, Save List, Clear List and Options are
    // disabled and Stop enabled while running, and the other way round.
    virtual void SetBatchButtons(bool running) = 0;
    virtual void SetProgressPosition(int percent) = 0;
    virtual void SetStatusText(const std::string &text) = 0;
    virtual void RestoreCaption() = 0;
    // The options in force now; the driver takes them when a batch starts.
    virtual OutputOptions CurrentOptions() = 0;
    // An entry reached its final state (done, error or abort) with the files
    // it made, one per sound track; reason says why an error is one, or for
    // a done entry which choice could not be followed.
    virtual void EntryFinished(int /*index*/, EntryState /*state*/, const std::vector<std::string> & /*outputs*/,
                               const std::string & /*reason*/)
    {
    }
    // The batch passed an entry over: its probe found nothing to extract
    // (reason says what), or, refused, its extraction without a probe found
    // no sound, and the message an add would have shown has been shown.
    virtual void EntryRejected(int /*index*/, const std::string & /*reason*/, bool /*refused*/) {}
};

class BatchDriver {
public:
    BatchDriver(JobList &jobs, ConverterPool &converters, BatchView &view);
    ~BatchDriver();

    // An add that is probing makes Extract do nothing.
    std::function<bool()> AddInProgress;
    // Called whenever the batch has returned to the idle state.
    std::function<void()> OnBatchFinished;
    // false: entries are not probed before their extraction (their admission
    // did not probe them either); the extraction's own output tells whether
    // a source has sound, and one without is refused as an add refuses it.
    bool ProbeBeforeExtraction = true;

    void btnConvertClick();
    void btnStopConvertClick();
    void FinishBatch();

    bool Idle() const { return Idle_; }
    // The batch ended because a converter could not be had at all.
    bool EndedByFailure() const { return Ending; }
    // Whether a converter of the batch still runs (after a Stop, until it is gone).
    bool ConverterActive() const;
    // The entry taken last; the list's length once every entry was taken.
    int CurrentIndex() const { return CurrentIndex_; }
    // How many entries the batch has taken, from the first on.
    int TakenCount() const { return NextIndex_; }
    // How many extractions run now.
    int RunningCount() const;
    // Of the entry taken last.
    const std::string &OutputFile() const;
    const std::string &WrapperScript() const;

    // For a program that must end at once, after the converters are gone:
    // the running extractions' reserved names, temporary outputs and wrapper
    // scripts are removed.
    void AbandonExtraction();

    // How long Stop waits before it removes the partial outputs.
    int StopWaitMs = 500;

private:
    void TakeEntries();
    void EntryStarted(BatchRunner &runner);
    void EntryEnded(const BatchRunner::Ending &ending);
    void ShowProgress();
    void ShowRunningCount();
    void ShowMessageLater(const std::string &text);
    bool AnyBusy() const;

    JobList &Jobs;
    ConverterPool &Converters;
    BatchView &View;
    std::vector<std::unique_ptr<BatchRunner>> Runners;

    bool Idle_ = true;
    int Width = 1;          // extractions at once in this batch
    int NextIndex_ = 0;     // the next entry to take
    int CurrentIndex_ = -1; // the entry taken last
    int EndedCount = 0;     // entries taken and done with
    int ShownPosition = -1;
    std::string ShownStatus;
    bool Ending = false;    // a converter could not be had: nothing more starts
    bool Taking = false;    // TakeEntries is on the stack
    bool TakeAgain = false; // an entry ended while it was
    BatchRunner *Last_ = nullptr;
    OutputOptions Options_;             // of the running batch
    std::vector<std::string> Produced_; // the outputs of this batch, never replaced by a later entry
    QObject Context;
};

} // namespace quillon
