#include "cli/cli_front_end.h"

namespace quillon::cli {

CliFrontEnd::CliFrontEnd(OutputOptions options, bool quiet, bool terminal)
    : Options(std::move(options)), Quiet(quiet), Terminal(terminal)
{
}

void CliFrontEnd::Attach(Engine &engine)
{
    Eng = &engine;
    engine.Jobs.SetObserver(this);
}

void CliFrontEnd::ClearLiveLine()
{
    if (LiveLineShown) {
        std::fputs("\r\033[K", stderr);
        LiveLineShown = false;
    }
}

void CliFrontEnd::ShowMessage(const std::string &text)
{
    ClearLiveLine();
    std::fprintf(stderr, "%s\n", text.c_str());
}

void CliFrontEnd::EntryChanged(int index)
{
    if (Quiet || !Terminal || !Eng || Eng->Batch.Idle() || index != Eng->Batch.CurrentIndex())
        return;
    const JobEntry &e = Eng->Jobs.Entry(index);
    if (e.Progress.empty() || e.Progress == "Done" || e.Progress == "Error" || e.Progress == "Abort")
        return;
    std::fprintf(stderr, "\r\033[K[%d/%d] %s %s", index + 1, Eng->Jobs.Count(), e.Progress.c_str(), e.Source.c_str());
    std::fflush(stderr);
    LiveLineShown = true;
}

void CliFrontEnd::Report(int index, const std::string &state, const std::string &output)
{
    ClearLiveLine();
    const std::string &source = Eng->Jobs.SourcePath(index);
    if (!Quiet && !Terminal)
        std::fprintf(stderr, "[%d/%d] %s %s\n", index + 1, Eng->Jobs.Count(), state.c_str(), source.c_str());
    std::fprintf(stdout, "%s\t%s\t%s\n", state.c_str(), source.c_str(), output.c_str());
    std::fflush(stdout);
    if (state == "Done")
        ++DoneCount;
    Reported_ = index + 1;
}

void CliFrontEnd::EntryFinished(int index, const std::string &state, const std::string &output)
{
    while (Reported_ < index) // passed over: their probe rejected them this time
        Report(Reported_, "Error", "");
    Report(index, state, output);
}

void CliFrontEnd::ReportRemaining(bool stopped)
{
    if (!Eng)
        return;
    const int reached = std::min(Eng->Batch.CurrentIndex(), Eng->Jobs.Count());
    while (Reported_ < Eng->Jobs.Count())
        Report(Reported_, stopped && Reported_ >= reached ? "Abort" : "Error", "");
}

} // namespace quillon::cli
