// Measures the process runner against the bare system calls, in one run:
//  (a) throughput: a child writes 256 MiB to standard output; every byte
//      reaches OnData, against reading the same child straight from a pipe;
//  (b) end latency: from the child's exit to OnTerminated, 100 runs;
//  (c) the cost of Start against a bare posix_spawn of the same child.
// The program runs itself as the child ("--child-write N", "--child-exit").

#include "runner/command_line.h"
#include "runner/redirector.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char **environ;

using namespace quillon;
using Clock = std::chrono::steady_clock;

namespace {

int64_t monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int childWrite(long long bytes)
{
    std::vector<char> block(1 << 16, 'q');
    while (bytes > 0) {
        const size_t n = std::min<long long>(bytes, static_cast<long long>(block.size()));
        if (write(1, block.data(), n) != static_cast<ssize_t>(n))
            return 1;
        bytes -= static_cast<long long>(n);
    }
    return 0;
}

int childExit()
{
    const std::string now = std::to_string(monotonicNs());
    return write(1, now.data(), now.size()) == static_cast<ssize_t>(now.size()) ? 0 : 1;
}

std::string self;

double runnerThroughput(long long bytes)
{
    TRedirector r;
    long long received = 0;
    bool ended = false;
    r.OnData = [&](TRedirector &, const char *, int n) { received += n; };
    r.OnTerminated = [&](TRedirector &) { ended = true; };
    r.SetCommandline(QuoteCommandLineArgument(self) + " --child-write " + std::to_string(bytes));
    const auto t0 = Clock::now();
    r.Start();
    while (!ended)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    if (received != bytes)
        std::fprintf(stderr, "runner lost bytes: %lld of %lld\n", received, bytes);
    return double(bytes) / s;
}

double rawThroughput(long long bytes)
{
    int fds[2];
    if (pipe(fds) != 0)
        return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const std::string count = std::to_string(bytes);
    char *argv[] = {self.data(), const_cast<char *>("--child-write"), const_cast<char *>(count.c_str()), nullptr};
    const auto t0 = Clock::now();
    pid_t pid;
    posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, environ);
    close(fds[1]);
    // The same pipe size as the runner uses, so both read the same chunks.
    fcntl(fds[0], F_SETPIPE_SZ, 1 << 20);
    std::vector<char> buffer(1 << 20);
    long long received = 0;
    ssize_t n;
    while ((n = read(fds[0], buffer.data(), buffer.size())) > 0)
        received += n;
    waitpid(pid, nullptr, 0);
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    close(fds[0]);
    posix_spawn_file_actions_destroy(&actions);
    return double(received) / s;
}

void endLatency(int runs, double &median, double &worst)
{
    TRedirector r;
    std::string out;
    int64_t endedAt = 0;
    r.OnData = [&](TRedirector &, const char *d, int n) { out.append(d, n); };
    r.OnTerminated = [&](TRedirector &) { endedAt = monotonicNs(); };
    r.SetCommandline(QuoteCommandLineArgument(self) + " --child-exit");
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        out.clear();
        endedAt = 0;
        r.Start();
        while (!endedAt)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ms.push_back(double(endedAt - std::stoll(out)) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    median = ms[ms.size() / 2];
    worst = ms.back();
}

void startCost(int runs, double &runnerUs, double &spawnUs)
{
    const char *program = "/bin/true";
    TRedirector r;
    bool ended = false;
    r.OnTerminated = [&](TRedirector &) { ended = true; };
    r.SetCommandline(program);
    double total = 0;
    for (int i = 0; i < runs; ++i) {
        ended = false;
        const auto t0 = Clock::now();
        r.Start();
        total += std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
        while (!ended)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    runnerUs = total / runs;

    total = 0;
    char *argv[] = {const_cast<char *>(program), nullptr};
    for (int i = 0; i < runs; ++i) {
        pid_t pid;
        const auto t0 = Clock::now();
        posix_spawn(&pid, program, nullptr, nullptr, argv, environ);
        total += std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
        waitpid(pid, nullptr, 0);
    }
    spawnUs = total / runs;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && !std::strcmp(argv[1], "--child-write"))
        return childWrite(std::atoll(argv[2]));
    if (argc == 2 && !std::strcmp(argv[1], "--child-exit"))
        return childExit();
    QCoreApplication app(argc, argv);
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    self.assign(path, n > 0 ? size_t(n) : 0);

    const long long bytes = 256ll << 20;
    const double raw = rawThroughput(bytes);
    const double ours = runnerThroughput(bytes);
    std::printf("(a) throughput, 256 MiB: runner %.0f MiB/s, raw pipe %.0f MiB/s, ratio %.2f (target >= 0.5)\n",
                ours / (1 << 20), raw / (1 << 20), ours / raw);
    double median, worst;
    endLatency(100, median, worst);
    std::printf("(b) end latency, 100 runs: median %.3f ms, worst %.3f ms (target median < 5 ms; "
                "the old poll period was 100 ms: ratio %.3f)\n",
                median, worst, median / 100.0);
    double runnerUs, spawnUs;
    startCost(200, runnerUs, spawnUs);
    std::printf("(c) Start: %.1f us against a bare posix_spawn %.1f us, ratio %.2f\n", runnerUs, spawnUs,
                runnerUs / spawnUs);
    return 0;
}
