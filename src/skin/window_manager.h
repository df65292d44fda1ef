#pragma once
// Whether a window manager runs on the display: it decorates, moves,
// minimizes and stacks windows. On X11 one announces itself with
// _NET_SUPPORTING_WM_CHECK on the root window; without one, a window must
// do all of that itself (a bare X server).

namespace quillon {

bool WindowManagerPresent();

} // namespace quillon
