#include "theme/te_theme_manager.h"

#include "platform/file_system.h"
#include "platform/text_case.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QVariant>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace quillon {

QEvent::Type TteMessageEvent::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

TteThemeManager &TteThemeManager::Instance()
{
    static TteThemeManager manager;
    return manager;
}

TteThemeManager::TteThemeManager()
{
    // The base class claims no data. The engine's own compiled skins and the
    // built-in data-less themes are not part of this program, so no class
    // claims their data either.
    RegisterThemeClass({"Default", {}, [] { return std::make_unique<TteTheme>(); }, nullptr});
}

void TteThemeManager::RegisterThemeClass(TteThemeClass themeClass)
{
    for (const TteThemeClass &known : Classes)
        if (known.TypeName == themeClass.TypeName)
            return;
    Classes.push_back(std::move(themeClass));
}

std::unique_ptr<TteTheme> TteThemeManager::CopyTheme(const TteTheme &source) const
{
    const std::string type = source.GetThemeTypeName();
    for (const TteThemeClass &c : Classes) {
        if (c.TypeName != type)
            continue;
        std::unique_ptr<TteTheme> copy = c.Create();
        copy->Assign(source);
        return copy;
    }
    return nullptr;
}

const TteThemeClass *TteThemeManager::ThemeClassAt(int index) const
{
    return index >= 0 && index < ThemeClassCount() ? &Classes[size_t(index)] : nullptr;
}

std::unique_ptr<TteTheme> TteThemeManager::LoadThemeFromStream(std::string_view stream)
{
    for (const TteThemeClass &c : Classes) {
        if (!c.CanLoadStream || !c.CanLoadStream(stream))
            continue;
        std::unique_ptr<TteTheme> theme = c.Create();
        if (!theme->LoadFromStream(stream))
            return nullptr;
        return theme;
    }
    return nullptr;
}

std::unique_ptr<TteTheme> TteThemeManager::LoadThemeFromFile(const std::string &fileName)
{
    if (fileName.empty())
        return nullptr;
    std::string path = fileName;
    if (!FileExists(path) && path.size() > 1 && path[1] != ':')
        path = ProgramDir + fileName;
    if (!FileExists(path))
        return nullptr;
    const size_t dot = path.find_last_of('.'), slash = path.find_last_of('/');
    const std::string ext =
        LowerCase(dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : path.substr(dot));
    for (const TteThemeClass &c : Classes) {
        const std::string filter = LowerCase(c.Config.FileFilter);
        if (!c.Config.CanLoad || ext.empty() || filter.find(ext) == std::string::npos)
            continue;
        std::unique_ptr<TteTheme> theme = c.Create();
        if (!theme->LoadFromFile(path))
            return nullptr;
        return theme;
    }
    const auto bytes = ReadWholeFile(path, MaxThemeFileBytes);
    return bytes ? LoadThemeFromStream(*bytes) : nullptr;
}

void TteThemeManager::SaveThemeToStream(TteTheme *theme, std::string &stream)
{
    if (theme && theme->GetThemeConfig().CanSave)
        theme->SaveToStream(stream);
}

void TteThemeManager::Broadcast(uint32_t message, intptr_t wParam, intptr_t lParam)
{
    // Over a copy: a client may register or leave while it is being told.
    const std::vector<QObject *> clients = Clients;
    for (QObject *client : clients) {
        if (std::find(Clients.begin(), Clients.end(), client) == Clients.end())
            continue; // left during this broadcast
        // A change of colours reaches only the controls that are visible.
        if (message == WM_TETHEMECHANGE && wParam == 5 && client->isWidgetType() &&
            !client->property("visible").toBool())
            continue;
        TteMessageEvent event(message, wParam, lParam);
        QCoreApplication::sendEvent(client, &event);
    }
}

void TteThemeManager::SetCurrentTheme(std::unique_ptr<TteTheme> theme)
{
    if (theme && theme.get() == Current.get()) {
        theme.release(); // the same object: it is ours already
        SetCurrentTheme(Current.get());
        return;
    }
    Broadcast(WM_TETHEMECHANGE, 1, 0);
    const int code = Current ? 0 : 3;
    Current = std::move(theme);
    Broadcast(WM_TETHEMECHANGE, code, 0);
    Broadcast(WM_TETHEMECHANGE, 2, 0);
}

void TteThemeManager::SetCurrentTheme(TteTheme *alreadyCurrent)
{
    if (!IsCurrentTheme(alreadyCurrent))
        return;
    Broadcast(WM_TETHEMECHANGE, 1, 0);
    Broadcast(WM_TETHEMECHANGE, 3, 0);
    Broadcast(WM_TETHEMECHANGE, 2, 0);
}

void TteThemeManager::ClearCurrentTheme()
{
    Broadcast(WM_TETHEMECHANGE, 1, 0);
    Current.reset();
    Broadcast(WM_TETHEMECHANGE, 4, 0);
    Broadcast(WM_TETHEMECHANGE, 2, 0);
}

namespace {
// The system's colours or display changed: every visible client repaints.
class SystemWatch : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationPaletteChange)
            TteThemeManager::Instance().SystemColorsChanged();
        return false;
    }
};
} // namespace

int TteThemeManager::AddThemeClient(QObject *client)
{
    static SystemWatch *watch = nullptr;
    if (!watch && QCoreApplication::instance()) {
        watch = new SystemWatch;
        watch->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watch);
        // Screens that come, go or change size or resolution are display
        // changes: the theme is applied again, as after new system colours.
        if (auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            const auto changed = [] { TteThemeManager::Instance().SystemColorsChanged(); };
            const auto watchScreen = [changed](QScreen *screen) {
                QObject::connect(screen, &QScreen::geometryChanged, watch, changed);
                QObject::connect(screen, &QScreen::logicalDotsPerInchChanged, watch, changed);
            };
            for (QScreen *screen : gui->screens())
                watchScreen(screen);
            QObject::connect(gui, &QGuiApplication::screenAdded, watch, [watchScreen, changed](QScreen *screen) {
                watchScreen(screen);
                changed();
            });
            QObject::connect(gui, &QGuiApplication::screenRemoved, watch, changed);
            QObject::connect(gui, &QGuiApplication::primaryScreenChanged, watch, changed);
        }
    }
    const auto found = std::find(Clients.begin(), Clients.end(), client);
    if (found != Clients.end())
        return static_cast<int>(found - Clients.begin()) + 1;
    Clients.push_back(client);
    if (Current) {
        TteMessageEvent event(WM_TETHEMECHANGE, 3, 0);
        QCoreApplication::sendEvent(client, &event);
    }
    return static_cast<int>(Clients.size());
}

void TteThemeManager::RemoveThemeClient(QObject *client)
{
    Clients.erase(std::remove(Clients.begin(), Clients.end(), client), Clients.end());
}

void TteThemeManager::NotifyThemeLink(TteCustomThemeLink *link)
{
    const intptr_t value = reinterpret_cast<intptr_t>(link);
    Broadcast(WM_TETHEMELINKCHANGE, value, value);
}

void TteThemeManager::SetThemeDeltaHue(int value)
{
    if (!Current)
        return;
    Current->SetDeltaHue(value);
    Broadcast(WM_TETHEMECHANGE, 5, 1);
}

void TteThemeManager::SetThemeDeltaBrightness(int value)
{
    if (!Current)
        return;
    Current->SetDeltaBrightness(value);
    Broadcast(WM_TETHEMECHANGE, 5, 1);
}

void TteThemeManager::SetThemeDeltas(int hue, int brightness)
{
    if (!Current)
        return;
    Current->SetDeltas(hue, brightness);
    Broadcast(WM_TETHEMECHANGE, 5, 1);
}

void TteThemeManager::SystemColorsChanged() { Broadcast(WM_TETHEMECHANGE, 5, 0); }

TteTheme *GetControlTheme(const TteCustomThemeLink *link)
{
    if (link)
        if (TteTheme *own = link->GetTheme())
            return own;
    return TteThemeManager::Instance().CurrentTheme();
}

namespace {
template <class Query>
bool isThemed(const TteCustomThemeLink *link, Query query)
{
    if (link)
        if (TteTheme *own = link->GetTheme())
            return query(*own, false);
    TteTheme *current = TteThemeManager::Instance().CurrentTheme();
    return current && (query(*current, false) || query(*current, true));
}
} // namespace

#define QUILLON_IS_THEMED(G)                                                                                           \
    bool IsThemed##G(uint8_t kind, const std::string &object, const TteCustomThemeLink *link)                          \
    {                                                                                                                  \
        return isThemed(                                                                                               \
            link, [&](TteTheme &t, bool fallback) { return t.Supports##G(kind, fallback ? "default" : object); });     \
    }
QUILLON_IS_THEMED(Window)
QUILLON_IS_THEMED(Hint)
QUILLON_IS_THEMED(Label)
QUILLON_IS_THEMED(Panel)
QUILLON_IS_THEMED(Button)
QUILLON_IS_THEMED(CheckBox)
QUILLON_IS_THEMED(ScrollBar)
QUILLON_IS_THEMED(ProgressBar)
QUILLON_IS_THEMED(Header)
QUILLON_IS_THEMED(StatusBar)
QUILLON_IS_THEMED(Edit)
QUILLON_IS_THEMED(GroupBox)
QUILLON_IS_THEMED(Menu)
QUILLON_IS_THEMED(ToolBar)
QUILLON_IS_THEMED(Tab)
QUILLON_IS_THEMED(ListBox)
QUILLON_IS_THEMED(TreeView)
#undef QUILLON_IS_THEMED

} // namespace quillon
