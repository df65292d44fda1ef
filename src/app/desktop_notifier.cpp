#include "app/desktop_notifier.h"

#include "platform/translation.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace quillon {

std::string BatchEndText(int done, int failed, int aborted)
{
    std::string text = Arg(Tr("Window", "%1 Done"), {std::to_string(done)});
    if (failed > 0)
        text += Arg(Tr("Window", ", %1 failed"), {std::to_string(failed)});
    if (aborted > 0)
        text += Arg(Tr("Window", ", %1 stopped"), {std::to_string(aborted)});
    return text;
}

bool DesktopNotifier::Notify(const std::string &summary, const std::string &body)
{
    static const QString service = "org.freedesktop.Notifications";
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(service))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service, "/org/freedesktop/Notifications", service, "Notify");
    // Application name, replaced id, icon, summary, body, actions, hints,
    // expiry (-1: the service's default).
    call << QString("Quillon") << 0u << QString("quillon") << QString::fromStdString(summary)
         << QString::fromStdString(body) << QStringList() << QVariantMap() << -1;
    // Not waited for: the window goes on at once.
    return bus.send(call);
}

} // namespace quillon
