#include "batch/batch_driver.h"

#include "platform/app_errors.h"
#include "platform/translation.h"

#include <QMetaObject>
#include <QThread>

#include <algorithm>

namespace quillon {

BatchDriver::BatchDriver(JobList &jobs, ConverterPool &converters, BatchView &view)
    : Jobs(jobs), Converters(converters), View(view)
{
}

BatchDriver::~BatchDriver()
{
    // A converter still running tells nobody of its end once we are gone.
    for (auto &runner : Runners) {
        runner->Session().Runner().OnTerminated = nullptr;
        runner->Session().Parser().ClearProgressTarget();
    }
}

void BatchDriver::btnConvertClick()
{
    if (Jobs.Count() == 0)
        return;
    if ((AddInProgress && AddInProgress()) || !Idle_ || AnyBusy() || Converters.AnyActive())
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
    Width = SimultaneousWithinRange(options.Simultaneous);
    while (static_cast<int>(Runners.size()) < Width) {
        const int lane = static_cast<int>(Runners.size());
        auto runner = std::make_unique<BatchRunner>(Converters.Session(lane), Converters.Probe(lane), Jobs);
        runner->Untouchable = [this] {
            std::vector<std::string> untouchable = Jobs.SourcePaths();
            untouchable.insert(untouchable.end(), Produced_.begin(), Produced_.end());
            // The tracks other entries finished while they go on with their
            // next: no entry may take a name that one of them holds.
            for (const auto &other : Runners)
                untouchable.insert(untouchable.end(), other->Made().begin(), other->Made().end());
            return untouchable;
        };
        runner->OnStarted = [this](BatchRunner &r) { EntryStarted(r); };
        runner->OnProgress = [this](BatchRunner &) {
            if (Width > 1)
                ShowProgress();
        };
        runner->OnEnded = [this](BatchRunner &, const BatchRunner::Ending &e) { EntryEnded(e); };
        Runners.push_back(std::move(runner));
    }
    View.SetBatchButtons(true);
    Jobs.ClearProgressTexts();
    Produced_.clear();
    NextIndex_ = EndedCount = 0;
    CurrentIndex_ = -1;
    ShownPosition = -1;
    Ending = false;
    Idle_ = false;
    ShownStatus = Tr("Batch", "Batch converting");
    View.SetStatusText(ShownStatus);
    TakeEntries();
}

void BatchDriver::TakeEntries()
{
    // An entry can end inside Begin (its probe's answer was known): the loop
    // below then takes the next one instead of a call nested in this one.
    if (Taking) {
        TakeAgain = true;
        return;
    }
    Taking = true;
    do {
        TakeAgain = false;
        while (!Idle_ && !Ending && NextIndex_ < Jobs.Count()) {
            const auto free =
                std::find_if(Runners.begin(), Runners.begin() + Width, [](const auto &r) { return !r->Busy(); });
            if (free == Runners.begin() + Width)
                break;
            CurrentIndex_ = NextIndex_++;
            Last_ = free->get();
            Last_->Begin(CurrentIndex_, Options_, ProbeBeforeExtraction);
        }
    } while (TakeAgain);
    Taking = false;
    if (Idle_)
        return;
    if (AnyBusy()) {
        ShowRunningCount();
        return;
    }
    // Nothing runs and nothing more starts: the list is exhausted, or a
    // converter that could not be had ended the batch.
    FinishBatch();
    if (!Ending) {
        CurrentIndex_ = Jobs.Count();
        View.SetProgressPosition(100);
    }
}

void BatchDriver::EntryStarted(BatchRunner &runner)
{
    Jobs.SetState(runner.Index(), EntryState::Running);
    if (Width == 1)
        View.SetProgressPosition(EndedCount * 100 / Jobs.Count());
    else
        ShowProgress();
}

void BatchDriver::EntryEnded(const BatchRunner::Ending &ending)
{
    const int index = ending.Index;
    ++EndedCount;
    // The whole files of an Error or Abort entry stay too: none may be
    // replaced by a later entry's.
    Produced_.insert(Produced_.end(), ending.Outputs.begin(), ending.Outputs.end());
    if (ending.Failure) {
        // The converter or the wrapper script failed us: this entry is an
        // error, nothing more starts, and the user is told why.
        // Said once, when entries running beside it fail the same way.
        const std::string message = ErrorMessageOf(ending.Failure);
        const bool first = !Idle_ && !Ending;
        if (!Idle_)
            Ending = true;
        Jobs.SetState(index, EntryState::Error);
        Jobs.SetReason(index, message);
        View.EntryFinished(index, EntryState::Error, ending.Outputs, message);
        if (first)
            ShowMessageLater(message);
    } else if (ending.State == EntryState::Waiting) {
        // A rejected source keeps its empty progress text, and the batch
        // goes on; after a Stop its probe's word says nothing.
        if (!Idle_) {
            Jobs.SetReason(index, ending.Reason);
            if (ending.Refused)
                View.ShowMessage(Arg(Tr("Batch", "Unsupported or bad video file: %1!"), {Jobs.SourcePath(index)}));
            View.EntryRejected(index, ending.Reason, ending.Refused);
        }
    } else {
        Jobs.SetState(index, ending.State);
        Jobs.SetReason(index, ending.Reason);
        View.EntryFinished(index, ending.State, ending.Outputs, ending.Reason);
    }
    if (Idle_) {
        // Stopped: the batch is over once its last converter is gone.
        if (!AnyBusy())
            FinishBatch();
        return;
    }
    TakeEntries();
    if (!Idle_ && Width > 1)
        ShowProgress();
}

void BatchDriver::ShowProgress()
{
    const int count = Jobs.Count();
    if (count == 0)
        return;
    double share = EndedCount;
    for (int i = 0; i < Width; ++i)
        if (Runners[static_cast<size_t>(i)]->Extracting())
            share += Runners[static_cast<size_t>(i)]->Fraction();
    const int position = std::clamp(static_cast<int>(share * 100 / count), 0, 100);
    if (position != ShownPosition) {
        ShownPosition = position;
        View.SetProgressPosition(position);
    }
}

void BatchDriver::ShowRunningCount()
{
    const int running = RunningCount();
    const std::string text = running > 1 ? Arg(Tr("Batch", "Batch converting: %1 at once"), {std::to_string(running)})
                                         : Tr("Batch", "Batch converting");
    if (text != ShownStatus) {
        ShownStatus = text;
        View.SetStatusText(text);
    }
}

int BatchDriver::RunningCount() const
{
    return static_cast<int>(
        std::count_if(Runners.begin(), Runners.end(), [](const auto &r) { return r->Extracting(); }));
}

bool BatchDriver::AnyBusy() const
{
    return std::any_of(Runners.begin(), Runners.end(), [](const auto &r) { return r->Busy(); });
}

bool BatchDriver::ConverterActive() const
{
    return std::any_of(Runners.begin(), Runners.end(),
                       [](const auto &r) { return r->Busy() || r->Session().Runner().Active(); });
}

namespace {
const std::string NoText;
}

const std::string &BatchDriver::OutputFile() const { return Last_ ? Last_->OutputFile() : NoText; }
const std::string &BatchDriver::WrapperScript() const { return Last_ ? Last_->WrapperScript() : NoText; }

void BatchDriver::FinishBatch()
{
    View.SetBatchButtons(false);
    // Only the batch's own converters are stopped, never an add's probe.
    for (auto &runner : Runners)
        runner->Stop();
    View.SetStatusText(Tr("Batch", "Ready"));
    View.RestoreCaption();
    Idle_ = true;
    if (OnBatchFinished)
        OnBatchFinished();
}

void BatchDriver::btnStopConvertClick()
{
    std::vector<BatchRunner *> extracting;
    for (auto &runner : Runners)
        if (runner->Extracting() && runner->Session().Runner().Active())
            extracting.push_back(runner.get());
    FinishBatch();
    // The converters are gone before their partial outputs are removed.
    QThread::msleep(static_cast<unsigned long>(StopWaitMs));
    for (BatchRunner *runner : extracting)
        runner->Abandon();
}

void BatchDriver::AbandonExtraction()
{
    for (auto &runner : Runners)
        if (runner->Extracting())
            runner->Abandon();
}

void BatchDriver::ShowMessageLater(const std::string &text)
{
    // Not from inside the runner's hand-over: the message box waits for the user.
    QMetaObject::invokeMethod(
        &Context, [this, text] { View.ShowMessage(text); }, Qt::QueuedConnection);
}

} // namespace quillon
