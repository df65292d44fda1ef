#pragma once
// TteThemeManager: the one process-wide keeper of the theme classes, the
// current theme and the theme clients. Clients (skinned controls and the
// engine component) are told about every change by a TteMessageEvent sent
// to them: WM_TETHEMECHANGE with the change code in WParam (1 about to
// change, 0 replaced, 3 applied, 4 removed, 2 finished, 5 colours changed),
// WM_TETHEMELINKCHANGE with the link.

#include "theme/te_theme.h"

#include <QEvent>
#include <QObject>
#include <cstdint>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Theme files beyond this size are refused before they are read.
inline constexpr uint64_t MaxThemeFileBytes = 64u << 20;

inline constexpr uint32_t WM_TETHEMECHANGE = 0x0800;
inline constexpr uint32_t WM_TETHEMELINKCHANGE = 0x0801;

class TteMessageEvent : public QEvent {
public:
    static QEvent::Type EventType();
    TteMessageEvent(uint32_t message, intptr_t wParam, intptr_t lParam)
        : QEvent(EventType()), Message(message), WParam(wParam), LParam(lParam)
    {
    }
    uint32_t Message;
    intptr_t WParam, LParam;
};

class TteCustomThemeLink {
public:
    virtual ~TteCustomThemeLink() = default;
    virtual TteTheme *GetTheme() const = 0;
};

// A registered theme class: how to make one and what it says of itself.
struct TteThemeClass {
    std::string TypeName;
    TteThemeConfig Config;
    std::function<std::unique_ptr<TteTheme>()> Create;
    std::function<bool(std::string_view)> CanLoadStream;
};

class TteThemeManager {
public:
    static TteThemeManager &Instance();

    // Classes are asked in the order they were registered; a second class of
    // a type name already known is ignored. The manager knows only the base
    // class; the program registers the others as it starts.
    void RegisterThemeClass(TteThemeClass themeClass);
    int ThemeClassCount() const { return static_cast<int>(Classes.size()); }
    const TteThemeClass *ThemeClassAt(int index) const;

    std::unique_ptr<TteTheme> LoadThemeFromStream(std::string_view stream);
    std::unique_ptr<TteTheme> LoadThemeFromFile(const std::string &fileName);
    void SaveThemeToStream(TteTheme *theme, std::string &stream);
    // A new theme of the same registered class with source's contents
    // (Assign); nothing when that class is not registered.
    std::unique_ptr<TteTheme> CopyTheme(const TteTheme &source) const;

    TteTheme *CurrentTheme() const { return Current.get(); }
    void SetCurrentTheme(std::unique_ptr<TteTheme> theme);
    // Setting the theme that is already current only tells the clients again.
    void SetCurrentTheme(TteTheme *alreadyCurrent);
    void ClearCurrentTheme();
    bool IsCurrentTheme(const TteTheme *theme) const { return theme && Current.get() == theme; }

    int AddThemeClient(QObject *client);
    void RemoveThemeClient(QObject *client);
    void NotifyThemeLink(TteCustomThemeLink *link);

    void SetThemeDeltaHue(int value);
    void SetThemeDeltaBrightness(int value);
    void SetThemeDeltas(int hue, int brightness);

    // The system's colours changed: code 5 with lParam 0.
    void SystemColorsChanged();
    // Whether the platform's own visual styles are in force, for controls
    // that are not skinned. This platform has none: the classic look.
    bool VisualStylesActive() const { return false; }

    std::string ProgramDir; // where theme file names without a directory are looked for

private:
    TteThemeManager();
    void Broadcast(uint32_t message, intptr_t wParam, intptr_t lParam);

    std::vector<TteThemeClass> Classes;
    std::vector<QObject *> Clients;
    std::unique_ptr<TteTheme> Current;
};

// The theme a control paints with: its link's, else the current one.
TteTheme *GetControlTheme(const TteCustomThemeLink *link);

// IsThemed<Group>: the link's theme answers when it has one; otherwise the
// current theme, for the object and then for "default".
bool IsThemedWindow(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedHint(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedLabel(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedPanel(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedButton(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedCheckBox(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedScrollBar(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedProgressBar(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedHeader(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedStatusBar(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedEdit(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedGroupBox(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedMenu(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedToolBar(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedTab(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedListBox(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);
bool IsThemedTreeView(uint8_t kind, const std::string &object, const TteCustomThemeLink *link = nullptr);

} // namespace quillon
