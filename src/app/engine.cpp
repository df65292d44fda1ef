#include "app/engine.h"

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

void Engine::ClearEntries()
{
    if (Batch.Idle())
        Jobs.Clear();
}

} // namespace quillon
