#include "app/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {

namespace {

// The paths travel as UTF-8, each ended by a zero byte; a path cannot hold one.
QByteArray encoded(const std::vector<std::string> &paths)
{
    QByteArray bytes;
    for (const std::string &p : paths) {
        bytes.append(p.data(), static_cast<qsizetype>(p.size()));
        bytes.append('\0');
    }
    return bytes;
}

std::vector<std::string> decoded(const QByteArray &bytes)
{
    std::vector<std::string> paths;
    qsizetype start = 0;
    for (qsizetype zero = bytes.indexOf('\0'); zero >= 0; zero = bytes.indexOf('\0', start)) {
        if (zero > start)
            paths.emplace_back(bytes.constData() + start, static_cast<size_t>(zero - start));
        start = zero + 1;
    }
    return paths;
}

// Paths a window may take at once; a peer that sends more is cut off.
constexpr qsizetype MaxMessage = 64 * 1024 * 1024;

} // namespace

std::string InstanceName()
{
    std::string display;
    for (const char *variable : {"WAYLAND_DISPLAY", "DISPLAY"})
        if (const char *value = std::getenv(variable); value && *value) {
            display = value;
            break;
        }
    for (char &c : display)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-')
            c = '_';
    const std::string name = "quillon-" + std::to_string(::getuid()) + "-" + (display.empty() ? "none" : display);
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && QDir(runtime).exists())
        return std::string(runtime) + "/" + name;
    return name;
}

std::string AbsoluteLocalPath(const std::string &argument)
{
    QString path = QString::fromStdString(argument);
    if (path.startsWith("file:", Qt::CaseInsensitive)) {
        const QUrl url(path);
        if (url.isLocalFile())
            path = url.toLocalFile();
    }
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path.toStdString();
    return QDir::current().absoluteFilePath(path).toStdString();
}

SingleInstance::SingleInstance(std::string name) : Name(std::move(name)) {}

SingleInstance::~SingleInstance()
{
    // A peer still connected is closed when the server goes, after this:
    // what it sent then goes nowhere, as the window it was for may be gone.
    if (Server)
        for (QLocalSocket *peer : Server->findChildren<QLocalSocket *>())
            QObject::disconnect(peer, nullptr, this, nullptr);
}

bool SingleInstance::ForwardToRunning(const std::vector<std::string> &paths, int timeoutMs)
{
    // Only to a socket of our own: in a shared temporary folder another
    // user could have put one there to receive our paths.
    const std::string path = Name.rfind('/', 0) == 0 ? Name : QDir::tempPath().toStdString() + "/" + Name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode) || st.st_uid != ::getuid())
        return false;
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(Name));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(encoded(paths));
    // Written in full before the connection ends: the window reads until then.
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}

bool SingleInstance::Listen(std::function<void(const std::vector<std::string> &)> opened)
{
    // No socket options: with them the socket is made elsewhere and renamed
    // into place, over a live program's. The name is a path in the user's
    // own runtime folder where there is one.
    Server = std::make_unique<QLocalServer>();
    const QString name = QString::fromStdString(Name);
    if (!Server->listen(name)) {
        // A socket nobody answers on is a dead program's.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(500))
            return false;
        QLocalServer::removeServer(name);
        if (!Server->listen(name))
            return false;
    }
    connect(Server.get(), &QLocalServer::newConnection, this, [this, opened] {
        while (QLocalSocket *peer = Server->nextPendingConnection()) {
            // What the peer sent, until it closes; nothing of a peer that
            // sent more than any list of paths.
            auto message = std::make_shared<QByteArray>();
            auto cutOff = std::make_shared<bool>(false);
            connect(peer, &QLocalSocket::readyRead, peer, [peer, message, cutOff] {
                message->append(peer->readAll());
                if (message->size() > MaxMessage) {
                    *cutOff = true;
                    message->clear();
                    peer->abort();
                }
            });
            connect(peer, &QLocalSocket::disconnected, this, [peer, message, cutOff, opened] {
                if (!*cutOff)
                    message->append(peer->readAll());
                peer->deleteLater();
                if (!*cutOff && opened) // no paths: the window only comes to the front
                    opened(decoded(*message));
            });
        }
    });
    return true;
}

} // namespace quillon
