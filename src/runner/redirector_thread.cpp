#include "runner/redirector_thread.h"

#include "platform/app_errors.h"
#include "runner/redirector.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quillon {

ReaderChannel::~ReaderChannel() { closeWakeFd(); }

void ReaderChannel::closeWakeFd()
{
    std::lock_guard lock(mutex);
    if (wakeFd >= 0)
        ::close(wakeFd);
    wakeFd = -1;
}

TRedirectorThread::TRedirectorThread(TRedirector &redirector, std::shared_ptr<ReaderChannel> channel, int stdOutFd,
                                     int stdErrFd, int processFd)
    : Redirector(&redirector), Channel(std::move(channel)), StdOutFd(stdOutFd), StdErrFd(stdErrFd), ProcessFd(processFd)
{
    Thread = std::thread([this] {
        Execute();
        Channel->closeWakeFd(); // a finished reader holds no descriptor
        Channel->finished = true;
    });
}

TRedirectorThread::~TRedirectorThread()
{
    if (Thread.joinable())
        Thread.join();
}

void TRedirectorThread::Cancel()
{
    {
        std::lock_guard lock(Channel->mutex);
        Channel->cancelled = true;
        Channel->stopRequested = true;
        const uint64_t one = 1;
        if (Channel->wakeFd >= 0) [[maybe_unused]]
            ssize_t n = ::write(Channel->wakeFd, &one, sizeof one);
    }
    Channel->handedOver.notify_all();
}

// Runs step on the main thread and waits until it has run, or until the
// runner cancels this reader (it is being released, possibly by the step
// itself). An error thrown by the step goes to the application's error
// handler; the reader goes on, so the end of the child is still reported.
bool TRedirectorThread::Synchronize(std::function<void(TRedirector &)> step)
{
    auto ran = std::make_shared<bool>(false); // guarded by Channel->mutex
    std::shared_ptr<ReaderChannel> channel = Channel;
    TRedirector *redirector = Redirector;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    QMetaObject::invokeMethod(
        app,
        [channel, ran, redirector, step = std::move(step)] {
            bool cancelled;
            {
                std::lock_guard lock(channel->mutex);
                cancelled = channel->cancelled;
            }
            if (!cancelled) {
                try {
                    step(*redirector);
                } catch (...) {
                    HandleApplicationError(std::current_exception());
                }
            }
            {
                std::lock_guard lock(channel->mutex);
                *ran = true;
            }
            channel->handedOver.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(Channel->mutex);
    Channel->handedOver.wait(lock, [&] { return *ran || Channel->cancelled; });
    return !Channel->cancelled;
}

namespace {
uint32_t bytesWaiting(int fd)
{
    int count = 0;
    if (::ioctl(fd, FIONREAD, &count) != 0 || count < 0)
        return 0;
    return static_cast<uint32_t>(count);
}
} // namespace

// One poll pass: standard output first, then standard error. Returns false
// when the reader was cancelled.
bool TRedirectorThread::Pass(bool &idle)
{
    idle = true;
    if (!Channel->stdOutBroken) {
        if (const uint32_t pending = bytesWaiting(StdOutFd)) {
            idle = false;
            if (!Synchronize([pending](TRedirector &r) {
                    r.PendingBytes = pending;
                    r.ReadStdOut();
                }))
                return false;
        }
    }
    if (!Channel->stdErrBroken) {
        if (const uint32_t pending = bytesWaiting(StdErrFd)) {
            idle = false;
            if (!Synchronize([pending](TRedirector &r) {
                    r.PendingBytes = pending;
                    r.ReadStdErr();
                }))
                return false;
        }
    }
    return true;
}

// Waits at most timeoutMs for the child to end. Output arriving on a pipe,
// or a cancel, ends the wait early. Returns true once the child has ended.
bool TRedirectorThread::WaitForChild(int timeoutMs)
{
    pollfd fds[4] = {{ProcessFd, POLLIN, 0}, {Channel->wakeFd, POLLIN, 0}, {-1, POLLIN, 0}, {-1, POLLIN, 0}};
    if (!Channel->stdOutBroken)
        fds[2].fd = StdOutFd;
    if (!Channel->stdErrBroken)
        fds[3].fd = StdErrFd;
    int rc;
    do {
        rc = ::poll(fds, 4, timeoutMs);
    } while (rc < 0 && errno == EINTR);
    return rc > 0 && (fds[0].revents & POLLIN);
}

void TRedirectorThread::Execute()
{
    bool ended = false;
    while (true) {
        bool idle;
        if (!Pass(idle))
            return;
        if (!idle)
            continue;
        if (ended) {
            // Every byte written before the end has been delivered.
            if (!Channel->stopRequested)
                Synchronize([](TRedirector &r) { r.ProcessEnded(); });
            return; // the pipes and the process handle are closed now
        }
        if (Channel->stopRequested)
            return;
        ended = WaitForChild(100);
    }
}

} // namespace quillon
