#include "platform/signal_notifier.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quillon {

namespace {
int signalPipe[2] = {-1, -1};

extern "C" void onSignal(int sig)
{
    // Only what is safe in a signal handler: one byte into a pipe.
    const char byte = static_cast<char>(sig);
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
}
} // namespace

SignalNotifier::SignalNotifier(std::initializer_list<int> signalNumbers, std::function<void(int)> handler)
    : Handler(std::move(handler)), Signals(signalNumbers)
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : signalNumbers)
        ::sigaction(sig, &action, nullptr);
    Notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(Notifier.get(), &QSocketNotifier::activated, [this] {
        char sig = 0;
        while (::read(signalPipe[0], &sig, 1) == 1)
            if (Handler)
                Handler(sig);
    });
}

SignalNotifier::~SignalNotifier()
{
    for (int sig : Signals)
        ::signal(sig, SIG_DFL);
}

} // namespace quillon
