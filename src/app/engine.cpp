#include "app/engine.h"

#include <QElapsedTimer>

#include <algorithm>
#include <poll.h>
#include <vector>

namespace quillon {

Engine::Engine(std::string programDir, BatchView &view)
    : Converters(std::move(programDir)), Session(Converters.Session(0)), Probe(Converters.Probe(0)),
      Adder(Jobs, Converters, view), Batch(Jobs, Converters, view)
{
    Adder.Simultaneous = [&view] { return view.CurrentOptions().Simultaneous; };
    Adder.ShowSoundTracks = [&view] { return view.CurrentOptions().Original(); };
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
    std::vector<pollfd> ended;
    for (int lane = 0; lane < Converters.LaneCount(); ++lane) {
        TRedirector &runner = Converters.Session(lane).Runner();
        if (runner.Active()) {
            ended.push_back({runner.ProcessHandle(), POLLIN, 0});
            runner.Terminate(0);
        }
    }
    // Until a launcher is gone it still holds its temporary output.
    QElapsedTimer clock;
    clock.start();
    for (pollfd &one : ended)
        ::poll(&one, 1, static_cast<int>(std::max<qint64>(0, 2000 - clock.elapsed())));
    Batch.AbandonExtraction();
    for (int lane = 0; lane < Converters.LaneCount(); ++lane)
        Converters.Probe(lane).DeleteOpenScript();
}

void Engine::ClearEntries()
{
    if (Batch.Idle())
        Jobs.Clear();
}

} // namespace quillon
