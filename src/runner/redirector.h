#pragma once
// TRedirector runs one console program at a time with its standard streams on
// pipes. A reader thread (TRedirectorThread) watches the two output pipes and
// the child; every chunk and the end of the child are handed to the main
// thread synchronously and delivered through the callbacks there.
//
// Errors a caller can act on (all QuillonError):
//   Start:      "Process is already active", "No commandline to run",
//               "Error on STD{IN,OUT,ERR} pipe creation : <errno>",
//               "Error creating process : <errno>" (2 for a missing program).
//   Terminate:  "Cannot Terminate an inactive process".
//   setters:    "Cannot change Commandline while process is active",
//               "Cannot change DefaultErrorMode while process is active".
// A failed pipe read ("Error reading STDOUT pipe : <errno>") and an error
// thrown by a callback go to the application's error handler; the end of the
// child is still processed and OnTerminated still fires exactly once.
//
// The runner, its operations and its callbacks belong to the main thread, the
// thread that runs the Qt event loop.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace quillon {

class TRedirector;

using DataCallback = std::function<void(TRedirector &sender, const char *data, int count)>;
using NotifyCallback = std::function<void(TRedirector &sender)>;

struct TProcessInformation {
    int hProcess = 0; // a pidfd, 0 when no child runs
    int hThread = 0;  // unused on this platform
    uint32_t dwProcessId = 0;
    uint32_t dwThreadId = 0;
};

class TRedirectorThread;
struct ReaderChannel;

class TRedirector {
public:
    TRedirector();
    virtual ~TRedirector(); // Destroy
    TRedirector(const TRedirector &) = delete;
    TRedirector &operator=(const TRedirector &) = delete;

    bool Active() const { return ProcessInfo.hProcess != 0; }
    int ProcessHandle() const { return ProcessInfo.hProcess; }
    pid_t ProcessId() const { return static_cast<pid_t>(ProcessInfo.dwProcessId); }
    std::string FullCommandline() const;

    const std::string &Commandline() const { return Commandline_; }
    void SetCommandline(const std::string &value);
    const std::string &ApplicationName() const { return ApplicationName_; }
    void SetApplicationName(const std::string &value) { ApplicationName_ = value; }
    bool DefaultErrorMode() const { return DefaultErrorMode_; }
    void SetDefaultErrorMode(bool value);
    bool TerminateOnDestroy = false;
    std::string CurrentDirectory;
    // "KEY=VALUE" strings handed to the child as they are; none: our own environment.
    std::optional<std::vector<std::string>> Environment;
    uint8_t PriorityClass = 0;   // 0 default, 1 idle, 2 normal, 3 high, 4 realtime
    uint16_t ShowWindowMode = 0; // kept for the record; there is no window to show
    uint32_t PendingBytes = 0;

    DataCallback OnData;
    DataCallback OnErrorData;
    NotifyCallback OnTerminated;

    void Start();
    void Terminate(uint32_t exitCode);

    // How the last child ended, read in ProcessEnded when it is reaped.
    // ExitCode is the exit status of a child that exited, or -1; ExitSignal
    // the signal that killed it, or 0.
    int LastExitCode() const { return LastExitCode_; }
    int LastExitSignal() const { return LastExitSignal_; }
    bool LastExitSucceeded() const { return LastExitSignal_ == 0 && LastExitCode_ == 0; }
    // The code given to Terminate for the last child; POSIX cannot impose it.
    std::optional<uint32_t> LastTerminateCode() const { return LastTerminateCode_; }

    // Pipe ends (file descriptors, 0 when closed).
    int StdInRead = 0, StdInWrite = 0;
    int StdOutRead = 0, StdOutWrite = 0;
    int StdErrRead = 0, StdErrWrite = 0;
    TProcessInformation ProcessInfo;

private:
    friend class TRedirectorThread;

    void CreatePipes();
    void ClosePipes();
    void ReadStdOut();
    void ReadStdErr();
    void ReadPipe(int fd, bool isStdOut);
    void ProcessEnded();
    void CloseProcessHandles();
    void JoinFinishedReaders(bool all);

    std::string Commandline_;
    std::string ApplicationName_;
    bool DefaultErrorMode_ = false;
    int LastExitCode_ = -1;
    int LastExitSignal_ = 0;
    std::optional<uint32_t> LastTerminateCode_;

    std::shared_ptr<ReaderChannel> Channel_; // of the current child
    std::unique_ptr<TRedirectorThread> ReaderThread;
    std::vector<std::unique_ptr<TRedirectorThread>> FinishingReaders_;
};

} // namespace quillon
