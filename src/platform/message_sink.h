#pragma once
#include <string>

namespace quillon {

// Where messages to the user go: the message box with one OK button in the
// window, standard error in the command-line front end.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const std::string &text) = 0;
};

} // namespace quillon
