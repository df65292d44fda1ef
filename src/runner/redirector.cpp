#include "runner/redirector.h"

#include "platform/text_case.h"

#include "platform/quillon_error.h"
#include "runner/command_line.h"
#include "runner/redirector_thread.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace quillon {

namespace {

int pidfdOpen(pid_t pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)); }

void closeFd(int &fd)
{
    if (fd != 0) {
        ::close(fd);
        fd = 0;
    }
}

std::string trimmed(const std::string &s)
{
    auto isTrim = [](unsigned char c) { return c <= ' '; };
    auto begin = std::find_if_not(s.begin(), s.end(), isTrim);
    auto end = std::find_if_not(s.rbegin(), s.rend(), isTrim).base();
    return begin < end ? std::string(begin, end) : std::string();
}

// Reaps the child behind a pidfd. Returns false when it has not ended yet and
// block is false.
bool reap(int pidfd, bool block, int &exitCode, int &exitSignal)
{
    siginfo_t info{};
    int rc;
    do {
        rc = ::waitid(static_cast<idtype_t>(P_PIDFD), static_cast<id_t>(pidfd), &info, WEXITED | (block ? 0 : WNOHANG));
    } while (rc < 0 && errno == EINTR);
    if (rc < 0 || info.si_pid == 0)
        return false;
    if (info.si_code == CLD_EXITED) {
        exitCode = info.si_status;
        exitSignal = 0;
    } else {
        exitCode = -1;
        exitSignal = info.si_status;
    }
    return true;
}

int niceValueFor(uint8_t priorityClass, bool &set)
{
    set = true;
    switch (priorityClass) {
    case 1: return 19;  // idle
    case 2: return 0;   // normal
    case 3: return -5;  // high
    case 4: return -10; // realtime
    default: set = false; return 0;
    }
}

} // namespace

TRedirector::TRedirector() = default;

TRedirector::~TRedirector()
{
    const bool hadChild = Active();
    bool killed = false;
    if (hadChild && TerminateOnDestroy) {
        OnTerminated = nullptr; // the owner gets no notification for this child
        if (Channel_)
            Channel_->stopRequested = true;
        Terminate(0);
        killed = true;
    }
    // Release every reader from its hand-over and wait for it: no reader may
    // touch this runner once it is gone.
    if (ReaderThread)
        ReaderThread->Cancel();
    for (auto &reader : FinishingReaders_)
        reader->Cancel();
    ReaderThread.reset();
    FinishingReaders_.clear();

    if (hadChild) {
        if (killed) {
            reap(ProcessInfo.hProcess, true, LastExitCode_, LastExitSignal_);
            ::close(ProcessInfo.hProcess);
        } else {
            // The child goes on without us; reap it when it ends so it never
            // lingers as a zombie.
            std::thread([pidfd = ProcessInfo.hProcess] {
                int code, sig;
                reap(pidfd, true, code, sig);
                ::close(pidfd);
            }).detach();
        }
        ProcessInfo = {};
    }
    ClosePipes();
}

std::string TRedirector::FullCommandline() const
{
    if (!ApplicationName_.empty())
        return ApplicationName_ + " " + Commandline_;
    return Commandline_;
}

void TRedirector::SetCommandline(const std::string &value)
{
    if (Active() && !SameTextIgnoringCase(value, FullCommandline()))
        RaiseError("Cannot change Commandline while process is active");
    Commandline_ = value;
}

void TRedirector::SetDefaultErrorMode(bool value)
{
    if (Active() && value != DefaultErrorMode_)
        RaiseError("Cannot change DefaultErrorMode while process is active");
    DefaultErrorMode_ = value;
}

void TRedirector::CreatePipes()
{
    struct PipeSpec {
        int *readEnd, *writeEnd;
        const char *creationMessage;
    };
    const PipeSpec pipes[] = {
        {&StdInRead, &StdInWrite, "Error on STDIN pipe creation : "},
        {&StdOutRead, &StdOutWrite, "Error on STDOUT pipe creation : "},
        {&StdErrRead, &StdErrWrite, "Error on STDERR pipe creation : "},
    };
    for (const PipeSpec &p : pipes) {
        // Close-on-exec everywhere: the child receives only its own three ends,
        // as descriptors 0, 1 and 2, and no other child inherits any of them.
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            RaiseLastError(p.creationMessage, errno);
        *p.readEnd = fds[0];
        *p.writeEnd = fds[1];
    }
    // Larger output pipes mean fewer hand-overs to the main thread when a
    // child writes a lot; the default size is kept when the system refuses.
    ::fcntl(StdOutRead, F_SETPIPE_SZ, 1 << 20);
    ::fcntl(StdErrRead, F_SETPIPE_SZ, 1 << 20);
}

void TRedirector::ClosePipes()
{
    closeFd(StdInRead);
    closeFd(StdInWrite);
    closeFd(StdOutRead);
    closeFd(StdOutWrite);
    closeFd(StdErrRead);
    closeFd(StdErrWrite);
}

void TRedirector::CloseProcessHandles()
{
    if (ProcessInfo.hProcess != 0)
        ::close(ProcessInfo.hProcess);
    ProcessInfo = {};
}

void TRedirector::JoinFinishedReaders(bool all)
{
    auto done = [all](const std::unique_ptr<TRedirectorThread> &r) { return all || r->Finished(); };
    FinishingReaders_.erase(std::remove_if(FinishingReaders_.begin(), FinishingReaders_.end(), done),
                            FinishingReaders_.end());
}

void TRedirector::Start()
{
    if (Active())
        RaiseError("Process is already active");
    if (trimmed(FullCommandline()).empty())
        RaiseError("No commandline to run");
    JoinFinishedReaders(false);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    bool actionsMade = false, attributesMade = false;
    auto undo = [&] {
        if (actionsMade)
            posix_spawn_file_actions_destroy(&actions);
        if (attributesMade)
            posix_spawnattr_destroy(&attributes);
    };
    try {
        CreatePipes();

        const std::string application = trimmed(ApplicationName_);
        std::vector<std::string> args = SplitCommandLineResolvingProgram(Commandline_);
        std::string program;
        if (!application.empty()) {
            program = ApplicationName_;
            if (args.empty())
                args.push_back(ApplicationName_);
        } else {
            program = args.empty() ? std::string() : args.front();
        }
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        std::vector<char *> envp;
        if (Environment) {
            for (std::string &e : *Environment)
                envp.push_back(e.data());
            envp.push_back(nullptr);
        }

        posix_spawn_file_actions_init(&actions);
        actionsMade = true;
        posix_spawn_file_actions_adddup2(&actions, StdInRead, 0);
        posix_spawn_file_actions_adddup2(&actions, StdOutWrite, 1);
        posix_spawn_file_actions_adddup2(&actions, StdErrWrite, 2);
        // Descriptors that we inherited without close-on-exec stop here too.
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        if (!trimmed(CurrentDirectory).empty())
            posix_spawn_file_actions_addchdir_np(&actions, CurrentDirectory.c_str());

        posix_spawnattr_init(&attributes);
        attributesMade = true;
        // A process group of its own: Ctrl+C in a terminal reaches us, not the
        // child, and Terminate can end the child together with its children.
        sigset_t noSignals, defaults;
        sigemptyset(&noSignals);
        sigemptyset(&defaults);
        for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGUSR1, SIGUSR2})
            sigaddset(&defaults, sig);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setsigmask(&attributes, &noSignals);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

        pid_t pid = 0;
        char **childEnvironment = Environment ? envp.data() : environ;
        int rc;
        // A program name without a slash is looked up on PATH; an explicit
        // application name is taken as it stands.
        if (application.empty() && program.find('/') == std::string::npos)
            rc = posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), childEnvironment);
        else
            rc = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), childEnvironment);
        undo();
        actionsMade = attributesMade = false;
        if (rc != 0)
            RaiseLastError("Error creating process : ", rc);

        const int pidfd = pidfdOpen(pid);
        if (pidfd < 0) {
            const int error = errno;
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            RaiseLastError("Error creating process : ", error);
        }
        bool setNice;
        const int nice = niceValueFor(PriorityClass, setNice);
        if (setNice)
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(pid), nice); // a refusal is no error

        ProcessInfo.hProcess = pidfd;
        ProcessInfo.dwProcessId = static_cast<uint32_t>(pid);
        LastExitCode_ = -1;
        LastExitSignal_ = 0;
        LastTerminateCode_.reset();

        auto channel = std::make_shared<ReaderChannel>();
        channel->wakeFd = ::eventfd(0, EFD_CLOEXEC);
        Channel_ = channel;
        ReaderThread = std::make_unique<TRedirectorThread>(*this, channel, StdOutRead, StdErrRead, pidfd);
    } catch (...) {
        undo();
        if (ProcessInfo.hProcess != 0) {
            ::kill(-static_cast<pid_t>(ProcessInfo.dwProcessId), SIGKILL);
            reap(ProcessInfo.hProcess, true, LastExitCode_, LastExitSignal_);
        }
        ClosePipes();
        CloseProcessHandles();
        Channel_.reset();
        throw;
    }
}

void TRedirector::Terminate(uint32_t exitCode)
{
    if (!Active())
        RaiseError("Cannot Terminate an inactive process");
    LastTerminateCode_ = exitCode;
    // The child is not reaped before ProcessEnded, so its pid, which is also
    // its process group's id, cannot have been reused.
    ::syscall(SYS_pidfd_send_signal, ProcessInfo.hProcess, SIGKILL, nullptr, 0);
    ::kill(-static_cast<pid_t>(ProcessInfo.dwProcessId), SIGKILL);
}

void TRedirector::ReadStdOut() { ReadPipe(StdOutRead, true); }
void TRedirector::ReadStdErr() { ReadPipe(StdErrRead, false); }

void TRedirector::ReadPipe(int fd, bool isStdOut)
{
    // Exactly the bytes that were waiting: no fixed buffer, no size limit.
    std::unique_ptr<char[]> buffer(new char[PendingBytes ? PendingBytes : 1]);
    ssize_t n;
    do {
        n = ::read(fd, buffer.get(), PendingBytes);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        const int error = errno;
        // The pipe is given up, but the reader still waits for the child's end.
        (isStdOut ? Channel_->stdOutBroken : Channel_->stdErrBroken) = true;
        RaiseLastError(isStdOut ? "Error reading STDOUT pipe : " : "Error reading STDERR pipe : ", error);
    }
    // A copy: the callback may replace the callbacks or even release the runner.
    DataCallback callback = isStdOut ? OnData : OnErrorData;
    if (callback)
        callback(*this, buffer.get(), static_cast<int>(n));
}

void TRedirector::ProcessEnded()
{
    if (Channel_)
        Channel_->stopRequested = true;
    ClosePipes();
    reap(ProcessInfo.hProcess, true, LastExitCode_, LastExitSignal_);
    CloseProcessHandles();
    Channel_.reset();
    // The reader that is handing this step over ends once it returns; it is
    // joined later, never from here (it waits for this very step).
    if (ReaderThread)
        FinishingReaders_.push_back(std::move(ReaderThread));
    // The runner is idle now: the callback may start the next child.
    NotifyCallback callback = OnTerminated;
    if (callback)
        callback(*this);
}

} // namespace quillon
