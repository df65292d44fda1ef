#include "platform/app_errors.h"

#include <cstdio>

namespace quillon {

namespace {
ApplicationErrorHandler &installedHandler()
{
    static ApplicationErrorHandler handler;
    return handler;
}
} // namespace

ApplicationErrorHandler SetApplicationErrorHandler(ApplicationErrorHandler handler)
{
    ApplicationErrorHandler previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}

std::string ErrorMessageOf(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

void HandleApplicationError(std::exception_ptr error) noexcept
{
    try {
        const std::string message = ErrorMessageOf(error);
        if (installedHandler())
            installedHandler()(message);
        else
            std::fprintf(stderr, "%s\n", message.c_str());
    } catch (...) {
        // A handler that fails must not take the reader or the event loop down.
    }
}

} // namespace quillon
