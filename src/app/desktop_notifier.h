#pragma once
// Tells the user, through the desktop's notification service, how a batch
// ended while they were looking elsewhere. Without a session bus or a
// notification service nothing is shown, and nothing is said about it.

#include <string>

namespace quillon {

// "3 Done, 1 failed" and its kin: the counts that are not zero, Done always.
std::string BatchEndText(int done, int failed, int aborted);

class DesktopNotifier {
public:
    // False when no notification service took it.
    bool Notify(const std::string &summary, const std::string &body);
};

} // namespace quillon
