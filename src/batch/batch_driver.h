#pragma once
// Walks the job list from its first entry to its last and extracts one entry
// at a time: starts each extraction, lets the parser show its percentage,
// marks the entry "Done", "Error" or "Abort" when the converter has ended, and
// goes on until the list is exhausted or the user stops the batch.
//
// The driver knows no widgets; it reports through BatchView.

#include "extract/converter_session.h"
#include "extract/media_probe.h"
#include "extract/output_options.h"
#include "joblist/job_list.h"
#include "platform/message_sink.h"
#include "platform/partial_files.h"

#include <QObject>

#include <functional>
#include <string>

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
    // An entry reached its final state (done, error or abort); reason says
    // why an error is one.
    virtual void EntryFinished(int /*index*/, EntryState /*state*/, const std::string & /*output*/,
                               const std::string & /*reason*/)
    {
    }
};

class BatchDriver {
public:
    BatchDriver(JobList &jobs, ConverterSession &session, MediaProbe &probe, BatchView &view);

    // An add that is probing makes Extract do nothing.
    std::function<bool()> AddInProgress;
    // Called whenever the batch has returned to the idle state.
    std::function<void()> OnBatchFinished;

    void btnConvertClick();
    void btnStopConvertClick();
    void FinishBatch();

    bool Idle() const { return Idle_; }
    int CurrentIndex() const { return CurrentIndex_; }
    const std::string &OutputFile() const { return OutputFile_; }
    const std::string &WrapperScript() const { return WrapperScript_; }
    const std::string &AudioOptions() const { return AudioOptions_; }
    bool ExtractionRunning() const { return ExtractionRunning_; }

    // For a program that must end at once, after the converter is gone: the
    // running extraction's reserved name, temporary output and wrapper
    // script are removed.
    void AbandonExtraction();

    // How long Stop waits before it removes the partial output.
    int StopWaitMs = 500;

private:
    enum class StartResult { Started, Rejected, Failed };
    void ExtractNext();
    StartResult StartExtraction(const std::string &source, std::string &reason);
    void ExtractionEnded();
    std::string FailureReason() const;
    void ShowMessageLater(const std::string &text);
    void DeleteWrapperScript();
    void ReleaseOutput();

    JobList &Jobs;
    ConverterSession &Session;
    MediaProbe &Probe;
    BatchView &View;

    bool Idle_ = true;
    int CurrentIndex_ = -1;
    OutputOptions Options_; // of the running batch
    std::string OutputFile_;
    std::string WrapperScript_;
    std::string AudioOptions_;
    bool ExtractionRunning_ = false;    // a converter of ours is extracting
    bool BatchProbeRunning_ = false;    // the next entry is being probed
    Reservation Reserved_;              // of OutputFile, while its extraction runs
    std::vector<std::string> Produced_; // the outputs of this batch, never replaced by a later entry
    QObject Context;
};

} // namespace quillon
