#pragma once
// The one error type of the program. Every failure the user may see carries
// its exact text here and travels to the caller; escaped errors end in the
// application's error handler (AppException in the main window).

#include <stdexcept>
#include <string>

namespace quillon {

class QuillonError : public std::runtime_error {
public:
    explicit QuillonError(const std::string &message) : std::runtime_error(message) {}
};

// The single place where errors are made: one breakpoint catches them all.
[[noreturn]] void RaiseError(const std::string &message);
// message followed directly by the system error code in decimal, e.g. "Error creating process : 2".
[[noreturn]] void RaiseLastError(const std::string &message, int errorCode);

} // namespace quillon
