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

// The classic keyboard settings nearest to a repeat: the delay step 0 to 3
// ((step + 1) x 200 ms) and the speed step 0 to 31 (1000 / ((step + 1) x 2.3)
// ms between repeats).
int KeyboardDelayStep(int delayMs);
int KeyboardSpeedStep(int intervalMs);

} // namespace quillon
