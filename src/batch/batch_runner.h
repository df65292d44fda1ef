#pragma once
// One extraction at a time on one converter lane: the entry's probe (an
// answer the probe already knows costs nothing), its output name, its
// converter run and its end. The batch driver keeps as many runners as
// extractions may run at once and hands each the next entry.

#include "extract/converter_session.h"
#include "extract/media_probe.h"
#include "extract/output_options.h"
#include "extract/progress_target.h"
#include "extract/sound_track.h"
#include "joblist/entry_state.h"
#include "joblist/job_list.h"
#include "platform/partial_files.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace quillon {

class BatchRunner : public ProgressTarget {
public:
    // How the runner's entry ended.
    struct Ending {
        int Index = -1;
        // Done, Error or Abort; Waiting for a source that its probe (or, for
        // an extraction without one, the converter) found nothing in.
        EntryState State = EntryState::Waiting;
        // The files made, one per sound track taken: all of them for a Done
        // entry, those finished before the end for an Error or Abort.
        std::vector<std::string> Outputs;
        // Why an Error or a rejected source is one; for a Done entry, a
        // choice that could not be followed (no track in the language).
        std::string Reason;
        bool Refused = false; // an extraction without probe found no sound
        // The converter or the wrapper script could not be had at all: every
        // later entry would fail the same way.
        std::exception_ptr Failure;
    };

    BatchRunner(ConverterSession &session, MediaProbe &probe, JobList &jobs);

    // The names no output may take, asked when the output is reserved; the
    // files of every entry's finished tracks among them.
    std::function<std::vector<std::string>()> Untouchable;
    // The entry's converter has started extracting.
    std::function<void(BatchRunner &)> OnStarted;
    // The entry's share extracted has grown; Fraction tells it.
    std::function<void(BatchRunner &)> OnProgress;
    // The entry is over; the runner is free again when this is called. Can
    // be called from inside Begin, when the probe's answer is known.
    std::function<void(BatchRunner &, const Ending &)> OnEnded;

    // Takes entry index. probeFirst false: the extraction runs at once and
    // its own output tells whether the source has sound.
    void Begin(int index, const OutputOptions &options, bool probeFirst);
    // Ends the entry's probe or extraction; its end reports Abort.
    void Stop();
    // Removes what a stopped extraction leaves: its wrapper script and its
    // reserved name, and what its converter was writing.
    void Abandon();

    bool Busy() const { return Index_ >= 0; }
    bool Extracting() const { return Extracting_; }
    int Index() const { return Index_; }
    double Fraction() const { return Fraction_; }
    ConverterSession &Session() { return Session_; }
    const std::string &OutputFile() const { return OutputFile_; }
    // The files of the entry's tracks finished so far.
    const std::vector<std::string> &Made() const { return Made_; }
    const std::string &WrapperScript() const { return WrapperScript_; }

    // ProgressTarget: the parser's percentage goes to the job list; of an
    // entry with several tracks, the share of all of them.
    int Count() const override { return Jobs.Count(); }
    void SetProgressText(int index, const std::string &text) override;
    void ProgressMade(int index, double fraction) override;

private:
    void Probed(const MediaProbe::Outcome &outcome);
    // The tracks the entry's extractions take, from the probe's facts.
    void PlanTracks();
    void StartExtraction();
    // One track's file is whole: the next track's extraction, or the end.
    void TrackDone();
    void ExtractionEnded();
    void JudgeByProbe(bool made, const std::string &extractionFailure);
    std::string RejectionReason() const;
    std::string FailureReason() const;
    void DiscardOutput(bool made);
    // The entry's end: Done with its output; Error or Abort with why; passed
    // over (Waiting) with why; or the converter could not be had at all.
    void EndDone();
    void EndAs(EntryState state, const std::string &reason = {});
    void EndRejected(const std::string &reason, bool refused = false);
    void EndFailed(std::exception_ptr failure);
    void End(Ending ending);
    void DeleteWrapperScript();
    void ReleaseOutput();

    ConverterSession &Session_;
    MediaProbe &Probe;
    JobList &Jobs;

    int Index_ = -1; // the entry being worked on; -1 while free
    std::string Source;
    OutputOptions Options;
    bool ProbeFirst = true;
    bool StopRequested = false;
    bool Extracting_ = false;
    double Fraction_ = 0;
    std::vector<TrackSelection::Taken> Plan; // one extraction each
    size_t Step = 0;                         // the one under way
    std::vector<std::string> Made_;          // the finished ones' files
    std::string Notice;
    std::string OutputFile_;
    std::string WrapperScript_;
    Reservation Reserved; // of OutputFile, while its extraction runs
};

} // namespace quillon
