#pragma once
// The desktop's keyboard repeat, which the engine's scroll bars follow when
// a button is held: from the X server's keyboard extension where there is
// one; nothing elsewhere (the callers keep the classic defaults then).

#include <optional>

namespace quillon {

struct KeyboardRepeat {
    int DelayMs = 0;    // before the first repeat
    int IntervalMs = 0; // between repeats
};

std::optional<KeyboardRepeat> DesktopKeyboardRepeat();

} // namespace quillon
