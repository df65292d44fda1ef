#include "skin/window_manager.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace quillon {

namespace {

// The window that root's _NET_SUPPORTING_WM_CHECK names, 0 when none.
xcb_window_t supportingWindow(xcb_connection_t *c, xcb_window_t root)
{
    static const char name[] = "_NET_SUPPORTING_WM_CHECK";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(std::strlen(name)), name), nullptr);
    if (!atom)
        return 0;
    const xcb_atom_t check = atom->atom;
    std::free(atom);
    if (check == XCB_ATOM_NONE)
        return 0;
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
    if (!reply)
        return 0;
    xcb_window_t window = 0;
    if (xcb_get_property_value_length(reply) >= int(sizeof(xcb_window_t)))
        std::memcpy(&window, xcb_get_property_value(reply), sizeof window);
    std::free(reply);
    return window;
}

} // namespace

bool WindowManagerPresent()
{
    const QString platform = QGuiApplication::platformName();
    if (platform != "xcb")
        return platform.startsWith("wayland"); // a compositor manages every window there
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return false;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return screen && supportingWindow(c, screen->root) != 0;
}

} // namespace quillon
