#include "app/engine.h"

#include <poll.h>

namespace quillon {

Engine::Engine(std::string programDir, BatchView &view)
    : Session(std::move(programDir)), Adder(Jobs, Session, Probe, view), Batch(Jobs, Session, Probe, view)
{
    Adder.BatchRunning = [this] { return !Batch.Idle(); };
    Batch.AddInProgress = [this] { return Adder.Busy(); };
    // Adds that arrived during the batch are admitted once it is over.
    Batch.OnBatchFinished = [this] { Adder.DrainQueueLater(); };
}

bool Engine::DeleteSelectedEntries()
{
    if (!Batch.Idle())
        return false;
    Jobs.DeleteSelected();
    return true;
}

void Engine::AbandonNow()
{
    TRedirector &runner = Session.Runner();
    if (runner.Active()) {
        pollfd ended{runner.ProcessHandle(), POLLIN, 0};
        runner.Terminate(0);
        // Until the launcher is gone it still holds its temporary output.
        ::poll(&ended, 1, 2000);
    }
    Batch.AbandonExtraction();
    Probe.DeleteOpenScript();
}

void Engine::ClearEntries()
{
    if (Batch.Idle())
        Jobs.Clear();
}

} // namespace quillon
