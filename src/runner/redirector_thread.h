#pragma once
// The reader of one child: peeks at the two output pipes, waits on the child,
// and hands every step to the main thread synchronously. It never touches the
// runner itself; the steps it hands over do, on the main thread, and only
// while the runner has not cancelled the channel.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace quillon {

class TRedirector;

// What one runner and one reader share. The mutex only guards the hand-over
// rendezvous; the runner's own state is touched on the main thread alone.
struct ReaderChannel {
    std::mutex mutex;
    std::condition_variable handedOver;
    bool cancelled = false;                 // the runner released this reader
    std::atomic<bool> stopRequested{false}; // set by ProcessEnded and Destroy
    std::atomic<bool> stdOutBroken{false};  // a read failed: skip this pipe
    std::atomic<bool> stdErrBroken{false};
    std::atomic<bool> finished{false}; // Execute has returned
    int wakeFd = -1;                   // eventfd that interrupts the wait
    void closeWakeFd();
    ~ReaderChannel();
};

class TRedirectorThread {
public:
    // Starts running at once.
    TRedirectorThread(TRedirector &redirector, std::shared_ptr<ReaderChannel> channel, int stdOutFd, int stdErrFd,
                      int processFd);
    ~TRedirectorThread(); // joins; Cancel first unless the thread has finished
    TRedirectorThread(const TRedirectorThread &) = delete;
    TRedirectorThread &operator=(const TRedirectorThread &) = delete;

    // Releases the reader from any hand-over and makes it end without
    // another step. Main thread only.
    void Cancel();
    bool Finished() const { return Channel->finished; }

    TRedirector *const Redirector;
    const std::shared_ptr<ReaderChannel> Channel;

private:
    void Execute();
    bool Pass(bool &idle);
    bool WaitForChild(int timeoutMs);
    bool Synchronize(std::function<void(TRedirector &)> step);

    const int StdOutFd, StdErrFd, ProcessFd;
    std::thread Thread;
};

} // namespace quillon
