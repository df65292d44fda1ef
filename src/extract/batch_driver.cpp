#include "extract/batch_driver.h"

#include "extract/extraction_command.h"
#include "platform/app_errors.h"
#include "platform/file_system.h"
#include "platform/quillon_error.h"

#include <QMetaObject>
#include <QThread>

namespace quillon {

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
    // A box without a selection would give every entry a broken command line.
    const std::string missing = MissingOptionMessage(View.CurrentOptions());
    if (!missing.empty()) {
        View.ShowMessage(missing);
        return;
    }
    View.SetBatchButtons(true);
    Jobs.ClearProgressTexts();
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
        bool started = false;
        try {
            started = StartExtraction(Jobs.SourcePath(CurrentIndex_));
        } catch (...) {
            // The converter or the wrapper script failed us: this entry is an
            // error and the batch ends, with the reason shown to the user.
            Jobs.SetProgressText(CurrentIndex_, "Error");
            View.EntryFinished(CurrentIndex_, "Error", "");
            const std::string message = ErrorMessageOf(std::current_exception());
            FinishBatch();
            ShowMessageLater(message);
            return;
        }
        if (Idle_)
            return;
        if (started) {
            Jobs.SetProgressText(CurrentIndex_, "0%");
            View.SetProgressPosition(CurrentIndex_ * 100 / Jobs.Count());
            return;
        }
        ++CurrentIndex_;
    }
    FinishBatch();
    View.SetProgressPosition(Jobs.Count() > 0 ? CurrentIndex_ * 100 / Jobs.Count() : 100);
}

bool BatchDriver::StartExtraction(const std::string &source)
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
    if (!passed || Idle_)
        return false;
    DeleteWrapperScript();

    const OutputOptions options = View.CurrentOptions();
    const std::string missing = MissingOptionMessage(options);
    if (!missing.empty())
        RaiseError(missing);
    OutputFile_ = BuildOutputFileName(source, options, CurrentIndex_, Jobs.SourcePaths());
    // With overwrite on the old file goes now, so that a failed extraction
    // leaves none behind; a file that cannot be removed is not ours to delete.
    OutputWasThere_ = !DeleteFileAt(OutputFile_);

    std::string input = source;
    if (Session.Facts().UseWrapper) {
        WrapperScript_ = MediaProbe::WriteWrapperScript(source);
        input = WrapperScript_;
    }
    const std::string format = FileFormats[static_cast<size_t>(options.FormatIndex)];
    const std::string sampleRate = SampleRates[static_cast<size_t>(options.SampleRateIndex)];
    const std::string bitRate = BitRates[static_cast<size_t>(options.BitRateIndex)];
    AudioOptions_ = MakeAudioOptions(format, sampleRate, bitRate);
    const std::string commandLine = BuildExtractionCommandLine(Session.ConverterProgram(), input, format, sampleRate,
                                                               bitRate, options.Mono, OutputFile_);
    Session.Configure(commandLine, [this](TRedirector &) { ExtractionEnded(); });
    MediaFacts &facts = Session.Facts();
    facts.Duration = facts.PictureWidth = facts.PictureHeight = 0;
    Session.Parser().SetProgressTarget(&Jobs, CurrentIndex_);
    try {
        Session.Start();
    } catch (...) {
        Session.Parser().ClearProgressTarget();
        DeleteWrapperScript();
        throw;
    }
    ExtractionRunning_ = true;
    return true;
}

void BatchDriver::ExtractionEnded()
{
    ExtractionRunning_ = false;
    Session.Parser().ClearProgressTarget();
    // Success needs the converter's word as well as a file: a converter that
    // failed half-way may leave a partial file behind.
    const bool converterSucceeded = Session.Runner().LastExitSucceeded();
    std::string state;
    if (FileExists(OutputFile_) && FileSizeOf(OutputFile_) > 0 && converterSucceeded)
        state = "Done";
    else if (Idle_)
        state = "Abort";
    else
        state = "Error";
    if (state != "Done" && !OutputWasThere_)
        DeleteFileAt(OutputFile_);
    Jobs.SetProgressText(CurrentIndex_, state);
    DeleteWrapperScript();
    View.EntryFinished(CurrentIndex_, state, state == "Done" ? OutputFile_ : std::string());
    if (Idle_)
        FinishBatch();
    else
        ExtractNext();
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
        if (!OutputWasThere_)
            DeleteFileAt(OutputFile_);
    }
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
    QMetaObject::invokeMethod(&Context, [this, text] { View.ShowMessage(text); }, Qt::QueuedConnection);
}

} // namespace quillon
