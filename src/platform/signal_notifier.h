#pragma once
// Turns POSIX signals (SIGINT, SIGTERM, SIGHUP...) into calls on the main
// thread's event loop, where the program can stop its converter properly.
// One notifier at a time per process.

#include <QObject>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace quillon {

class SignalNotifier {
public:
    SignalNotifier(std::initializer_list<int> signalNumbers, std::function<void(int)> handler);
    ~SignalNotifier();
    SignalNotifier(const SignalNotifier &) = delete;
    SignalNotifier &operator=(const SignalNotifier &) = delete;

private:
    std::function<void(int)> Handler;
    std::unique_ptr<QSocketNotifier> Notifier;
    std::vector<int> Signals;
};

} // namespace quillon
