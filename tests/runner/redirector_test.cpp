#include "platform/app_errors.h"
#include "platform/quillon_error.h"
#include "runner/redirector.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QThread>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillon;
using namespace quillon::test;

namespace {

// Records everything a runner delivers, in order.
struct Recorder {
    std::string out, err;
    std::vector<std::string> events; // "out:<chunk>", "err:<chunk>", "end"
    int terminations = 0;

    void attach(TRedirector &r)
    {
        r.OnData = [this](TRedirector &, const char *d, int n) {
            out.append(d, static_cast<size_t>(n));
            events.push_back("out:" + std::string(d, static_cast<size_t>(n)));
        };
        r.OnErrorData = [this](TRedirector &, const char *d, int n) {
            err.append(d, static_cast<size_t>(n));
            events.push_back("err:" + std::string(d, static_cast<size_t>(n)));
        };
        r.OnTerminated = [this](TRedirector &) {
            ++terminations;
            events.push_back("end");
        };
    }
};

std::string helperCommand(const std::string &commands) { return QuoteForCommandLine(ChildHelper()) + " " + commands; }

void runToEnd(TRedirector &r, Recorder &rec)
{
    const int before = rec.terminations;
    r.Start();
    ASSERT_TRUE(PumpUntil([&] { return rec.terminations > before; }));
}

std::string errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const QuillonError &e) {
        return e.what();
    }
    return "<no error>";
}

bool processGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

} // namespace

TEST(Redirector, NewRunnerHasTheDefaults)
{
    TRedirector r;
    EXPECT_FALSE(r.Active());
    EXPECT_EQ(r.ProcessHandle(), 0);
    EXPECT_EQ(r.Commandline(), "");
    EXPECT_EQ(r.ApplicationName(), "");
    EXPECT_FALSE(r.DefaultErrorMode());
    EXPECT_FALSE(r.TerminateOnDestroy);
    EXPECT_EQ(r.PriorityClass, 0);
    EXPECT_EQ(r.ShowWindowMode, 0);
    EXPECT_EQ(r.PendingBytes, 0u);
    EXPECT_FALSE(r.Environment.has_value());
    EXPECT_EQ(r.StdOutRead, 0);
}

TEST(Redirector, FullCommandlineJoinsApplicationName)
{
    TRedirector r;
    r.SetCommandline("-x y");
    EXPECT_EQ(r.FullCommandline(), "-x y");
    r.SetApplicationName("/bin/prog");
    EXPECT_EQ(r.FullCommandline(), "/bin/prog -x y");
}

TEST(Redirector, SilentChildGivesOneEndAndNoData)
{
    TRedirector r;
    Recorder rec;
    rec.attach(r);
    r.SetCommandline(helperCommand("exit:0"));
    runToEnd(r, rec);
    EXPECT_EQ(rec.events, std::vector<std::string>{"end"});
    EXPECT_FALSE(r.Active());
    PumpFor(150);
    EXPECT_EQ(rec.terminations, 1);
}

TEST(Redirector, BurstBeforeExitIsDeliveredWholeBeforeTheEnd)
{
    TRedirector r;
    Recorder rec;
    rec.attach(r);
    r.SetCommandline(helperCommand("flood:3000000 err:tail exit:0"));
    runToEnd(r, rec);
    ASSERT_EQ(rec.out.size(), 3000000u);
    for (size_t i = 0; i < rec.out.size(); i += 99991)
        ASSERT_EQ(rec.out[i], static_cast<char>('a' + (i % 65536) % 26)) << i;
    EXPECT_EQ(rec.err, "tail");
    EXPECT_EQ(rec.events.back(), "end");
}

TEST(Redirector, StandardOutputComesBeforeStandardErrorInOnePass)
{
    TRedirector r;
    Recorder rec;
    rec.attach(r);
    bool blocked = false;
    r.OnErrorData = [&](TRedirector &, const char *d, int n) {
        rec.events.push_back("err:" + std::string(d, static_cast<size_t>(n)));
        if (!blocked) {
            // Keep the main thread (and so the reader) busy while the child
            // writes to both pipes: the next pass finds data on both.
            blocked = true;
            QThread::msleep(400);
        }
    };
    r.SetCommandline(helperCommand("err:first sleep:100 err:E out:O sleep:200 exit:0"));
    runToEnd(r, rec);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"err:first", "out:O", "err:E", "end"}));
}

TEST(Redirector, ExitStatusIsKeptForTheOwner)
{
    TRedirector r;
    Recorder rec;
    rec.attach(r);
    r.SetCommandline(helperCommand("exit:3"));
    runToEnd(r, rec);
    EXPECT_EQ(r.LastExitCode(), 3);
    EXPECT_FALSE(r.LastExitSucceeded());
    r.SetCommandline(helperCommand("exit:0"));
    runToEnd(r, rec);
    EXPECT_TRUE(r.LastExitSucceeded());
}

TEST(Redirector, TerminateKeepsTheRunnerActiveUntilTheEndIsProcessed)
{
    TRedirector r;
    Recorder rec;
    rec.attach(r);
    r.SetCommandline(helperCommand("grandchild sleep:30000"));
    r.Start();
    ASSERT_TRUE(PumpUntil([&] { return rec.out.find('\n') != std::string::npos; }));
    const pid_t grandchild = std::stoi(rec.out);
    r.Terminate(7);
    EXPECT_TRUE(r.Active()); // nothing changes before the reader sees the end
    EXPECT_EQ(rec.terminations, 0);
    ASSERT_TRUE(PumpUntil([&] { return rec.terminations == 1; }));
    EXPECT_FALSE(r.Active());
    EXPECT_EQ(r.LastExitSignal(), SIGKILL);
    EXPECT_EQ(r.LastTerminateCode(), 7u);
    // The whole process group went down, grandchildren included.
    EXPECT_TRUE(PumpUntil([&] { return processGone(grandchild); }, 3000));
    PumpFor(150);
    EXPECT_EQ(rec.terminations, 1);
}

TEST(Redirector, ChildRunsInItsOwnProcessGroup)
{
    TRedirector r;
    Recorder rec;
    rec.attach(r);
    r.SetCommandline(helperCommand("sleep:300"));
    r.Start();
    EXPECT_EQ(::getpgid(r.ProcessId()), r.ProcessId());
    EXPECT_NE(::getpgid(r.ProcessId()), ::getpgrp());
    ASSERT_TRUE(PumpUntil([&] { return rec.terminations == 1; }));
}

TEST(Redirector, FailuresCarryTheirTexts)
{
    TRedirector r;
    EXPECT_EQ(errorOf([&] { r.Terminate(0); }), "Cannot Terminate an inactive process");
    EXPECT_EQ(errorOf([&] { r.Start(); }), "No commandline to run");
    r.SetCommandline(" \t\r\n ");
    EXPECT_EQ(errorOf([&] { r.Start(); }), "No commandline to run");
    EXPECT_FALSE(r.Active());
    r.SetCommandline("/nonexistent/program -i x");
    EXPECT_EQ(errorOf([&] { r.Start(); }), "Error creating process : 2");
    EXPECT_FALSE(r.Active());
    EXPECT_EQ(r.StdOutRead, 0);

    // The runner can be started again after a failure.
    Recorder rec;
    rec.attach(r);
    r.SetCommandline(helperCommand("out:ok"));
    runToEnd(r, rec);
    EXPECT_EQ(rec.out, "ok");
}

TEST(Redirector, SettingsThatCannotChangeWhileActive)
{
    TRedirector r;
    Recorder rec;
    rec.attach(r);
    const std::string command = helperCommand("sleep:300");
    r.SetCommandline(command);
    r.SetDefaultErrorMode(true);
    r.Start();
    EXPECT_EQ(errorOf([&] { r.Start(); }), "Process is already active");
    std::string upper = command;
    for (char &c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(errorOf([&] { r.SetCommandline(upper); }), "<no error>");
    EXPECT_EQ(r.Commandline(), upper);
    EXPECT_EQ(errorOf([&] { r.SetCommandline("other"); }), "Cannot change Commandline while process is active");
    EXPECT_EQ(r.Commandline(), upper);
    EXPECT_EQ(errorOf([&] { r.SetDefaultErrorMode(true); }), "<no error>");
    EXPECT_EQ(errorOf([&] { r.SetDefaultErrorMode(false); }), "Cannot change DefaultErrorMode while process is active");
    ASSERT_TRUE(PumpUntil([&] { return rec.terminations == 1; }));
    EXPECT_EQ(errorOf([&] { r.SetCommandline("other"); }), "<no error>");
}

TEST(Redirector, OnTerminatedMayStartTheNextChildAndWaitForIt)
{
    TRedirector r;
    std::vector<std::string> log;
    int ends = 0;
    r.OnData = [&](TRedirector &, const char *d, int n) { log.emplace_back(d, static_cast<size_t>(n)); };
    r.OnTerminated = [&](TRedirector &self) {
        ++ends;
        if (ends == 1) {
            EXPECT_FALSE(self.Active());
            self.SetCommandline(helperCommand("out:second"));
            self.Start();
            // Wait for the second child right here, pumping events.
            while (self.Active())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            log.push_back("waited");
        }
    };
    r.SetCommandline(helperCommand("out:first"));
    r.Start();
    ASSERT_TRUE(PumpUntil([&] { return ends == 2 && !log.empty() && log.back() == "waited"; }));
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "waited"}));
}

TEST(Redirector, ErrorInCallbackReachesTheHandlerAndTheEndStillComes)
{
    std::vector<std::string> shown;
    auto previous = SetApplicationErrorHandler([&](const std::string &m) { shown.push_back(m); });
    {
        TRedirector r;
        int ends = 0;
        r.OnData = [](TRedirector &, const char *, int) { RaiseError("callback failed"); };
        r.OnTerminated = [&](TRedirector &) { ++ends; };
        r.SetCommandline(helperCommand("out:a sleep:50 out:b"));
        r.Start();
        ASSERT_TRUE(PumpUntil([&] { return ends == 1; }));
        EXPECT_FALSE(r.Active());
        EXPECT_GE(shown.size(), 1u);
        EXPECT_EQ(shown.front(), "callback failed");
        PumpFor(150);
        EXPECT_EQ(ends, 1);
        // And the runner is usable again.
        r.OnData = nullptr;
        r.SetCommandline(helperCommand("exit:0"));
        r.Start();
        ASSERT_TRUE(PumpUntil([&] { return ends == 2; }));
    }
    SetApplicationErrorHandler(previous);
}

TEST(Redirector, ApplicationNameIsTheProgramFile)
{
    TRedirector r;
    Recorder rec;
    rec.attach(r);
    r.SetApplicationName(ChildHelper());
    r.SetCommandline("shown-name args");
    runToEnd(r, rec);
    EXPECT_EQ(rec.out, "[shown-name]\n[args]\n");

    TRedirector alone;
    Recorder rec2;
    rec2.attach(alone);
    alone.SetApplicationName(ChildHelper());
    runToEnd(alone, rec2);
    EXPECT_EQ(rec2.events, std::vector<std::string>{"end"});
}

TEST(Redirector, UnquotedProgramPathWithBlanksIsResolved)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir.path() / "my programs");
    const std::string program = dir.file("my programs/child helper");
    std::filesystem::copy_file(ChildHelper(), program);
    TRedirector r;
    Recorder rec;
    rec.attach(r);
    r.SetCommandline(program + " args \"two words\"");
    runToEnd(r, rec);
    EXPECT_EQ(rec.out, "[" + program + "]\n[args]\n[two words]\n");
}

TEST(Redirector, WorkingDirectoryEnvironmentAndInheritedDescriptors)
{
    ScratchDir dir;
    TRedirector r;
    Recorder rec;
    rec.attach(r);
    r.CurrentDirectory = dir.path().string();
    r.Environment = std::vector<std::string>{"QUILLON_TEST=yes"};
    r.SetCommandline(helperCommand("cwd env:QUILLON_TEST env:HOME fds"));
    runToEnd(r, rec);
    EXPECT_EQ(rec.out, dir.path().string() + "\nyes\n<unset>\nfds 0 1 2\n");
}

TEST(Redirector, DescriptorsDoNotAccumulateOverManyRuns)
{
    TRedirector r;
    Recorder rec;
    rec.attach(r);
    r.SetCommandline(helperCommand("out:x err:y"));
    runToEnd(r, rec); // let Qt and the runner settle their own descriptors
    PumpFor(100);
    const int before = OpenDescriptorCount();
    for (int i = 0; i < 200; ++i)
        runToEnd(r, rec);
    PumpFor(100);
    EXPECT_EQ(OpenDescriptorCount(), before);
    EXPECT_EQ(rec.terminations, 201);
}

TEST(Redirector, DestroyWithTerminateOnDestroyLeavesNothingBehind)
{
    const int fdsBefore = OpenDescriptorCount();
    const int threadsBefore = ThreadCount();
    pid_t child = 0;
    int ends = 0;
    {
        TRedirector r;
        r.TerminateOnDestroy = true;
        r.OnTerminated = [&](TRedirector &) { ++ends; };
        r.SetCommandline(helperCommand("sleep:30000"));
        r.Start();
        child = r.ProcessId();
        PumpFor(50);
    }
    EXPECT_EQ(ends, 0);
    // Reaped: no zombie is left, so the pid is gone from the system.
    EXPECT_TRUE(processGone(child));
    EXPECT_EQ(::waitpid(child, nullptr, WNOHANG), -1);
    EXPECT_EQ(OpenDescriptorCount(), fdsBefore);
    EXPECT_EQ(ThreadCount(), threadsBefore);
    PumpFor(150); // a stale hand-over must find nothing to do
    EXPECT_EQ(ends, 0);
}

TEST(Redirector, DestroyInTheMiddleOfHeavyOutputManyTimes)
{
    const int fdsBefore = OpenDescriptorCount();
    for (int i = 0; i < 1000; ++i) {
        auto r = std::make_unique<TRedirector>();
        r->TerminateOnDestroy = true;
        size_t received = 0;
        r->OnData = [&](TRedirector &, const char *, int n) { received += static_cast<size_t>(n); };
        r->SetCommandline(helperCommand("flood:100000000"));
        r->Start();
        // Destroy at varying moments: before any output, between chunks, and
        // while a hand-over is queued.
        if (i % 3 != 0)
            PumpUntil([&] { return received > static_cast<size_t>(i % 7) * 65536; }, 2000);
        r.reset();
    }
    PumpFor(100);
    EXPECT_EQ(OpenDescriptorCount(), fdsBefore);
}

TEST(Redirector, DestroyFromInsideOnData)
{
    auto r = std::make_unique<TRedirector>();
    r->TerminateOnDestroy = true;
    bool destroyed = false;
    r->OnData = [&](TRedirector &, const char *, int) {
        if (!destroyed) {
            destroyed = true;
            r.reset();
        }
    };
    r->SetCommandline(helperCommand("flood:10000000"));
    r->Start();
    ASSERT_TRUE(PumpUntil([&] { return destroyed; }));
    PumpFor(100);
}
