#include "skin/keyboard_repeat.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <xcb/xcb.h>
// The keyboard extension's header names a field "explicit".
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quillon {

namespace {

std::optional<KeyboardRepeat> readKeyboardRepeat()
{
    if (QGuiApplication::platformName() != "xcb")
        return std::nullopt;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return std::nullopt;
    xcb_xkb_use_extension_reply_t *use =
        xcb_xkb_use_extension_reply(c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr);
    const bool supported = use && use->supported;
    std::free(use);
    if (!supported)
        return std::nullopt;
    xcb_xkb_get_controls_reply_t *controls =
        xcb_xkb_get_controls_reply(c, xcb_xkb_get_controls(c, XCB_XKB_ID_USE_CORE_KBD), nullptr);
    if (!controls)
        return std::nullopt;
    KeyboardRepeat repeat{controls->repeatDelay, controls->repeatInterval};
    std::free(controls);
    if (repeat.DelayMs <= 0 || repeat.IntervalMs <= 0)
        return std::nullopt;
    return repeat;
}

} // namespace

std::optional<KeyboardRepeat> DesktopKeyboardRepeat()
{
    // Two round trips to the server: asked at most once a second, not at
    // every tick of a held button.
    static QElapsedTimer age;
    static std::optional<KeyboardRepeat> known;
    if (!age.isValid() || age.elapsed() > 1000) {
        known = readKeyboardRepeat();
        age.start();
    }
    return known;
}

int KeyboardDelayStep(int delayMs) { return std::clamp(int(std::lrint(delayMs / 200.0)) - 1, 0, 3); }

int KeyboardSpeedStep(int intervalMs)
{
    if (intervalMs <= 0)
        return 31;
    return std::clamp(int(std::lrint(1000.0 / (intervalMs * 2.3))) - 1, 0, 31);
}

} // namespace quillon
