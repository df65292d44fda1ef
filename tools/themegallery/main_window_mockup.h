#pragma once
// Quillon's main window as the skinned controls will paint it: the frame
// with its caption and buttons, and the controls of the batch panel or of the
// options panel where the window places them, drawn through the theme. The
// theme gallery shows it with its texts; the render benchmark draws it again
// and again without them.

#include "theme/msstyles/theme_msux.h"

namespace quillon {

enum class MockupPanel { Batch, Options };

// The window's outer size for a theme: a client area of 522 x 410.
QSize MainWindowMockupSize(const TTeThemeMsStyles &theme);

// Paints the window with its top-left corner at origin; answers the number
// of element draws (texts not counted).
int PaintMainWindowMockup(TTeThemeMsStyles &theme, TteCanvas &canvas, QPoint origin, MockupPanel panel, bool withTexts);

} // namespace quillon
