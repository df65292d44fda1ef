#include "batch/batch_driver.h"

#include "extract/extraction_command.h"
#include "platform/app_errors.h"
#include "platform/file_system.h"
#include "platform/quillon_error.h"

#include <QMetaObject>
#include <QThread>

#include <cstring>

namespace quillon {

namespace {

std::string endedBySignal(int sig)
{
    return "The converter was ended by signal " + std::to_string(sig) + " (" + strsignal(sig) + ")";
}

} // namespace

BatchDriver::BatchDriver(JobList &jobs, ConverterSession &session, MediaProbe &probe, BatchView &view)
    : Jobs(jobs), Session(session), Probe(probe), View(view)
{
}

void BatchDriver::btnConvertClick()
{
    if (Jobs.Count() == 0)
        return;
    if ((AddInProgress && AddInProgress()) || !Idle_ || Session.Runner().Active())
        return;
    // The options of the whole batch, taken now: a box without a selection
    // would give every entry a broken command line.
    const OutputOptions options = View.CurrentOptions();
    const std::string missing = MissingOptionMessage(options);
    if (!missing.empty()) {
        View.ShowMessage(missing);
        return;
    }
    Options_ = options;
    View.SetBatchButtons(true);
    Jobs.ClearProgressTexts();
    Produced_.clear();
    CurrentIndex_ = -1;
    Idle_ = false;
    View.SetStatusText("Batch converting");
    ExtractNext();
}

void BatchDriver::ExtractNext()
{
    ++CurrentIndex_;
    while (CurrentIndex_ < Jobs.Count()) {
        // A Stop that arrived while the previous entry was being probed ends
        // the batch here: nothing more is started after it.
        if (Idle_)
            return;
        std::string reason;
        StartResult result;
        try {
            result = StartExtraction(Jobs.SourcePath(CurrentIndex_), reason);
        } catch (...) {
            // The converter or the wrapper script failed us: this entry is an
            // error and the batch ends, with the reason shown to the user.
            const std::string message = ErrorMessageOf(std::current_exception());
            Jobs.SetState(CurrentIndex_, EntryState::Error);
            Jobs.SetReason(CurrentIndex_, message);
            View.EntryFinished(CurrentIndex_, EntryState::Error, "", message);
            FinishBatch();
            ShowMessageLater(message);
            return;
        }
        if (Idle_)
            return;
        if (result == StartResult::Started) {
            Jobs.SetState(CurrentIndex_, EntryState::Running);
            View.SetProgressPosition(CurrentIndex_ * 100 / Jobs.Count());
            return;
        }
        // A rejected source keeps its empty progress text; an entry without
        // an output file is an error. Either way the batch goes on.
        Jobs.SetReason(CurrentIndex_, reason);
        if (result == StartResult::Failed) {
            Jobs.SetState(CurrentIndex_, EntryState::Error);
            View.EntryFinished(CurrentIndex_, EntryState::Error, "", reason);
        }
        ++CurrentIndex_;
    }
    FinishBatch();
    View.SetProgressPosition(Jobs.Count() > 0 ? CurrentIndex_ * 100 / Jobs.Count() : 100);
}

BatchDriver::StartResult BatchDriver::StartExtraction(const std::string &source, std::string &reason)
{
    BatchProbeRunning_ = true;
    bool passed;
    try {
        passed = Probe.ProbeFile(source);
    } catch (...) {
        BatchProbeRunning_ = false;
        throw;
    }
    BatchProbeRunning_ = false;
    if (!passed || Idle_) {
        const int sig = Session.Runner().LastExitSignal();
        if (!FileExists(source))
            reason = "The source file no longer exists";
        else if (!Probe.Interrupted())
            reason = sig ? endedBySignal(sig) : "Unsupported or bad video file";
        return StartResult::Rejected;
    }
    DeleteWrapperScript();

    const OutputOptions &options = Options_;
    std::vector<std::string> untouchable = Jobs.SourcePaths();
    untouchable.insert(untouchable.end(), Produced_.begin(), Produced_.end());
    ReservedOutput reserved = ReserveOutputFile(source, options, CurrentIndex_, untouchable);
    OutputFile_ = reserved.Name.Path();
    Reserved_ = std::move(reserved.Name);
    if (OutputFile_.empty()) {
        reason = reserved.Error;
        return StartResult::Failed;
    }

    try {
        std::string input = source;
        if (Session.Facts().UseWrapper) {
            WrapperScript_ = MediaProbe::WriteWrapperScript(source);
            input = WrapperScript_;
        }
        const std::string format = FileFormats[static_cast<size_t>(options.FormatIndex)];
        const std::string sampleRate = SampleRates[static_cast<size_t>(options.SampleRateIndex)];
        const std::string bitRate = BitRates[static_cast<size_t>(options.BitRateIndex)];
        AudioOptions_ = MakeAudioOptions(format, sampleRate, bitRate);
        const std::string commandLine = BuildExtractionCommandLine(Session.ConverterProgram(), input, format,
                                                                   sampleRate, bitRate, options.Mono, OutputFile_);
        Session.Configure(commandLine, [this](TRedirector &) { ExtractionEnded(); });
        MediaFacts &facts = Session.Facts();
        facts.Duration = facts.PictureWidth = facts.PictureHeight = 0;
        Session.Parser().SetProgressTarget(&Jobs, CurrentIndex_);
        Session.Start();
    } catch (...) {
        Session.Parser().ClearProgressTarget();
        DeleteWrapperScript();
        ReleaseOutput();
        throw;
    }
    ExtractionRunning_ = true;
    return StartResult::Started;
}

void BatchDriver::ExtractionEnded()
{
    ExtractionRunning_ = false;
    Session.Parser().ClearProgressTarget();
    // Success needs the converter's word as well as a file: a converter that
    // failed half-way may leave a partial file behind.
    const bool converterSucceeded = Session.Runner().LastExitSucceeded();
    EntryState state;
    std::string reason;
    if (FileExists(OutputFile_) && FileSizeOf(OutputFile_) > 0 && converterSucceeded)
        state = EntryState::Done;
    else if (Idle_)
        state = EntryState::Abort;
    else {
        state = EntryState::Error;
        reason = FailureReason();
    }
    if (state == EntryState::Done) {
        Reserved_.Close();
        Produced_.push_back(OutputFile_);
    } else {
        ReleaseOutput();
    }
    Jobs.SetState(CurrentIndex_, state);
    Jobs.SetReason(CurrentIndex_, reason);
    DeleteWrapperScript();
    View.EntryFinished(CurrentIndex_, state, state == EntryState::Done ? OutputFile_ : std::string(), reason);
    if (Idle_)
        FinishBatch();
    else
        ExtractNext();
}

std::string BatchDriver::FailureReason() const
{
    TRedirector &runner = Session.Runner();
    if (const int sig = runner.LastExitSignal())
        return endedBySignal(sig);
    const std::string said = NamePartialFilesAs(Session.Parser().FailureText(), OutputFile_);
    if (!said.empty())
        return said;
    if (runner.LastExitCode() == 0)
        return "The converter made no output file";
    return "The converter failed with exit code " + std::to_string(runner.LastExitCode());
}

void BatchDriver::FinishBatch()
{
    View.SetBatchButtons(false);
    // Only the batch's own converter is stopped, never an add's probe.
    if ((ExtractionRunning_ || BatchProbeRunning_) && Session.Runner().Active())
        Session.Runner().Terminate(0);
    View.SetStatusText("Ready");
    View.RestoreCaption();
    Idle_ = true;
    if (OnBatchFinished)
        OnBatchFinished();
}

void BatchDriver::btnStopConvertClick()
{
    const bool wasExtracting = ExtractionRunning_ && Session.Runner().Active();
    FinishBatch();
    // The converter is gone before its partial output is removed.
    QThread::msleep(static_cast<unsigned long>(StopWaitMs));
    if (wasExtracting) {
        DeleteWrapperScript();
        ReleaseOutput();
    }
}

void BatchDriver::AbandonExtraction()
{
    if (!ExtractionRunning_)
        return;
    DeleteWrapperScript();
    ReleaseOutput();
}

void BatchDriver::ReleaseOutput()
{
    // Only the empty file that reserved the name goes, never a finished
    // output; and whatever the stopped converter was writing beside it.
    Reserved_.Release();
    if (!OutputFile_.empty())
        SweepStalePartialFiles(DirectoryOf(OutputFile_));
}

void BatchDriver::DeleteWrapperScript()
{
    if (!WrapperScript_.empty()) {
        MediaProbe::DeleteWrapperScript(WrapperScript_);
        WrapperScript_.clear();
    }
}

void BatchDriver::ShowMessageLater(const std::string &text)
{
    // Not from inside the runner's hand-over: the message box waits for the user.
    QMetaObject::invokeMethod(
        &Context, [this, text] { View.ShowMessage(text); }, Qt::QueuedConnection);
}

} // namespace quillon
