#pragma once
// One window per user and display. The first program to start listens on a
// local socket named after the user and the display; a later one hands the
// files it was given to that window and ends, so that opening files with
// Quillon from a file manager adds them to the window already open (and a
// second window cannot write its settings over the first one's).

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLocalServer;

namespace quillon {

class SingleInstance : public QObject {
public:
    // name: the socket's; InstanceName() for the program.
    explicit SingleInstance(std::string name);
    ~SingleInstance() override;

    // Hands paths to the program that listens under the name; false when
    // none does.
    bool ForwardToRunning(const std::vector<std::string> &paths, int timeoutMs = 2000);
    // Listens under the name, taking over a socket that a dead program left;
    // opened is called with the paths a later program hands over (none when
    // it was started without files). False when the name cannot be had.
    bool Listen(std::function<void(const std::vector<std::string> &paths)> opened);

private:
    std::string Name;
    std::unique_ptr<QLocalServer> Server;
};

// "quillon-<uid>-<display>": one per user and display, in the user's runtime
// folder ($XDG_RUNTIME_DIR) where there is one.
std::string InstanceName();

// A path as the program takes it: a file:// URL becomes its local path, a
// relative path becomes absolute (a running window has a folder of its own).
std::string AbsoluteLocalPath(const std::string &argument);

} // namespace quillon
