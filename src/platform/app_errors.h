#pragma once
// Application-wide handling of errors that escape a step run on the main
// thread, for example an error thrown by a runner callback inside the
// reader's hand-over. The main window installs AppException here; without an
// installed handler the text goes to standard error.

#include <exception>
#include <functional>
#include <string>

namespace quillon {

using ApplicationErrorHandler = std::function<void(const std::string &message)>;

// Returns the previous handler.
ApplicationErrorHandler SetApplicationErrorHandler(ApplicationErrorHandler handler);

// Shows the message of error through the installed handler. Never throws.
void HandleApplicationError(std::exception_ptr error) noexcept;

std::string ErrorMessageOf(std::exception_ptr error);

} // namespace quillon
