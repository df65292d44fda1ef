#include "batch/batch_runner.h"

#include "extract/converter_output_parser.h"
#include "extract/extraction_command.h"
#include "platform/file_system.h"
#include "platform/quillon_error.h"
#include "platform/translation.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace quillon {

namespace {

std::string endedBySignal(int sig)
{
    return Arg(Tr("Batch", "The converter was ended by signal %1 (%2)"), {std::to_string(sig), strsignal(sig)});
}

} // namespace

BatchRunner::BatchRunner(ConverterSession &session, MediaProbe &probe, JobList &jobs)
    : Session_(session), Probe(probe), Jobs(jobs)
{
}

void BatchRunner::Begin(int index, const OutputOptions &options, bool probeFirst)
{
    Index_ = index;
    Source = Jobs.SourcePath(index);
    Options = options;
    ProbeFirst = probeFirst;
    StopRequested = Extracting_ = false;
    Fraction_ = 0;
    Plan.clear();
    Step = 0;
    Made_.clear();
    Notice.clear();
    if (!ProbeFirst) {
        Session_.Facts() = MediaFacts{};
        PlanTracks();
        StartExtraction();
        return;
    }
    try {
        Probe.StartProbe(Source, [this](const MediaProbe::Outcome &outcome) { Probed(outcome); });
    } catch (...) {
        EndFailed(std::current_exception());
    }
}

void BatchRunner::Probed(const MediaProbe::Outcome &outcome)
{
    if (outcome.Error)
        EndFailed(outcome.Error);
    else if (!outcome.Passed || StopRequested)
        EndRejected(StopRequested ? "" : RejectionReason());
    else {
        PlanTracks();
        StartExtraction();
    }
}

void BatchRunner::PlanTracks()
{
    TrackSelection selection = SelectSoundTracks(Session_.Facts().SoundTracks, Options.Track);
    Plan = std::move(selection.Tracks);
    Notice = std::move(selection.Notice);
    if (Plan.empty()) // the converter chooses, as without a probe
        Plan.push_back({SoundTrack{}, ""});
}

std::string BatchRunner::RejectionReason() const
{
    if (!FileExists(Source))
        return Tr("Batch", "The source file no longer exists");
    if (Probe.Interrupted())
        return {};
    const int sig = Session_.Runner().LastExitSignal();
    return sig ? endedBySignal(sig) : Tr("Batch", "Unsupported or bad video file");
}

void BatchRunner::StartExtraction()
{
    DeleteWrapperScript();
    const TrackSelection::Taken &taken = Plan[Step];
    // The driver's names include this entry's finished tracks.
    const std::vector<std::string> untouchable = Untouchable ? Untouchable() : Jobs.SourcePaths();
    ReservedOutput reserved =
        ReserveOutputFile(Source, Options, Index_, untouchable, taken.NameSuffix,
                          Options.Original() ? OriginalExtension(taken.Track.Codec) : std::string());
    OutputFile_ = reserved.Name.Path();
    Reserved = std::move(reserved.Name);
    if (OutputFile_.empty()) {
        EndAs(EntryState::Error, reserved.Error);
        return;
    }
    try {
        std::string input = Source;
        if (Session_.Facts().UseWrapper) {
            WrapperScript_ = MediaProbe::WriteWrapperScript(Source);
            input = WrapperScript_;
        }
        const std::string format = FileFormats[static_cast<size_t>(Options.FormatIndex)];
        // A track copied as it is needs no rate, and may have none chosen.
        std::string sampleRate, bitRate;
        if (!Options.Original()) {
            sampleRate = SampleRates[static_cast<size_t>(Options.SampleRateIndex)];
            bitRate = BitRates[static_cast<size_t>(Options.BitRateIndex)];
        }
        const std::string commandLine =
            BuildExtractionCommandLine(Session_.ConverterProgram(), input, format, sampleRate, bitRate, Options.Mono,
                                       OutputFile_, taken.Track.StreamIndex >= 0 ? &taken.Track : nullptr);
        Session_.Configure(commandLine, [this](TRedirector &) { ExtractionEnded(); });
        MediaFacts &facts = Session_.Facts();
        facts.Duration = facts.PictureWidth = facts.PictureHeight = 0;
        facts.SoundTracks.clear();
        Session_.Parser().SetProgressTarget(this, Index_);
        Session_.Start();
    } catch (...) {
        Session_.Parser().ClearProgressTarget();
        DeleteWrapperScript();
        ReleaseOutput();
        EndFailed(std::current_exception());
        return;
    }
    Extracting_ = true;
    if (OnStarted && Step == 0) // the entry's next tracks go on from its share
        OnStarted(*this);
}

void BatchRunner::SetProgressText(int index, const std::string &text)
{
    if (Plan.size() <= 1)
        Jobs.SetProgressText(index, text);
}

void BatchRunner::ProgressMade(int index, double fraction)
{
    Fraction_ = (static_cast<double>(Step) + fraction) / static_cast<double>(std::max<size_t>(Plan.size(), 1));
    if (Plan.size() > 1) {
        constexpr long long Parts = 1000; // a tenth of a per cent
        Jobs.SetProgressText(index, FormatProgress(std::llround(Fraction_ * Parts), Parts,
                                                   QLocale::system().decimalPoint().toStdString()));
    }
    if (OnProgress)
        OnProgress(*this);
}

void BatchRunner::ExtractionEnded()
{
    Extracting_ = false;
    Session_.Parser().ClearProgressTarget();
    DeleteWrapperScript();
    const MediaFacts &facts = Session_.Facts();
    const bool sound = facts.Duration > 0 && facts.HasAudio;
    // Success needs the converter's word as well as a file: a converter that
    // failed half-way may leave a partial file behind.
    const bool made = Session_.Runner().LastExitSucceeded() && FileExists(OutputFile_) && FileSizeOf(OutputFile_) > 0;
    if (made && (ProbeFirst || sound)) {
        TrackDone();
    } else if (StopRequested) {
        DiscardOutput(made);
        EndAs(EntryState::Abort);
    } else if (ProbeFirst || sound) {
        // Nothing was made (what was made is Done above).
        const std::string reason = FailureReason();
        ReleaseOutput();
        EndAs(EntryState::Error, reason);
    } else if (!FileExists(Source)) {
        DiscardOutput(made);
        EndRejected(Tr("Batch", "The source file no longer exists"));
    } else if (const std::string &launcher = Session_.Parser().LauncherFailure(); !launcher.empty()) {
        // Without FFmpeg no source can be judged: the batch ends, as a probe
        // ends an add.
        DiscardOutput(made);
        EndFailed(
            std::make_exception_ptr(QuillonError(Arg(Tr("Batch", "The converter could not be run: %1"), {launcher}))));
    } else {
        // The converter ended before it told of the source's sound: only a
        // probe can say whether the source has none (refused, as an add
        // refuses it) or the extraction failed on a good source. The probe
        // reuses the session: the extraction's reason is taken first.
        const std::string reason = made ? std::string() : FailureReason();
        if (!made)
            ReleaseOutput();
        JudgeByProbe(made, reason);
    }
}

void BatchRunner::JudgeByProbe(bool made, const std::string &extractionFailure)
{
    try {
        Probe.StartProbe(Source, [this, made, extractionFailure](const MediaProbe::Outcome &outcome) {
            if (outcome.Error) {
                EndFailed(outcome.Error);
            } else if (StopRequested) {
                DiscardOutput(made);
                EndAs(EntryState::Abort);
            } else if (outcome.Passed && made) {
                TrackDone();
            } else if (outcome.Passed) {
                EndAs(EntryState::Error, extractionFailure);
            } else {
                DiscardOutput(made);
                EndRejected(Tr("Batch", "Unsupported or bad video file"), true);
            }
        });
    } catch (...) {
        EndFailed(std::current_exception());
    }
}

void BatchRunner::DiscardOutput(bool made)
{
    // A file the converter made of a source that was not judged good is
    // ours, made a moment ago; the empty reservation goes in any case.
    if (made)
        std::remove(OutputFile_.c_str());
    ReleaseOutput();
}

std::string BatchRunner::FailureReason() const
{
    TRedirector &runner = Session_.Runner();
    if (const int sig = runner.LastExitSignal())
        return endedBySignal(sig);
    const std::string said = NamePartialFilesAs(Session_.Parser().FailureText(), OutputFile_);
    if (!said.empty())
        return said;
    if (runner.LastExitCode() == 0)
        return Tr("Batch", "The converter made no output file");
    return Arg(Tr("Batch", "The converter failed with exit code %1"), {std::to_string(runner.LastExitCode())});
}

void BatchRunner::TrackDone()
{
    Reserved.Close();
    // The date is the file's last touch: a failure leaves a whole file with
    // today's date, which is no reason to call the entry failed.
    if (Options.KeepDates)
        CopyModificationTime(Source, OutputFile_);
    Made_.push_back(OutputFile_);
    if (++Step < Plan.size() && !StopRequested)
        StartExtraction();
    else if (Step < Plan.size())
        EndAs(EntryState::Abort);
    else
        EndDone();
}

void BatchRunner::EndDone() { End({Index_, EntryState::Done, Made_, Notice, false, nullptr}); }

void BatchRunner::EndAs(EntryState state, const std::string &reason)
{
    End({Index_, state, Made_, reason, false, nullptr});
}

void BatchRunner::EndRejected(const std::string &reason, bool refused)
{
    End({Index_, EntryState::Waiting, {}, reason, refused, nullptr});
}

void BatchRunner::EndFailed(std::exception_ptr failure)
{
    End({Index_, EntryState::Error, Made_, "", false, std::move(failure)});
}

void BatchRunner::End(Ending ending)
{
    if (const int32_t duration = Session_.Facts().Duration; duration > 0 && ending.Index >= 0)
        Jobs.SetDuration(ending.Index, duration);
    Index_ = -1;
    Extracting_ = false;
    if (OnEnded)
        OnEnded(*this, ending);
}

void BatchRunner::Stop()
{
    if (!Busy())
        return;
    StopRequested = true;
    if (Session_.Runner().Active())
        Session_.Runner().Terminate(0);
}

void BatchRunner::Abandon()
{
    DeleteWrapperScript();
    ReleaseOutput();
}

void BatchRunner::ReleaseOutput()
{
    // Only the empty file that reserved the name goes, never a finished
    // output; and whatever the stopped converter was writing beside it.
    Reserved.Release();
    if (!OutputFile_.empty())
        SweepStalePartialFiles(DirectoryOf(OutputFile_));
}

void BatchRunner::DeleteWrapperScript()
{
    if (!WrapperScript_.empty()) {
        MediaProbe::DeleteWrapperScript(WrapperScript_);
        WrapperScript_.clear();
    }
}

} // namespace quillon
