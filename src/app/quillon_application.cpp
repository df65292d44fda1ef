#include "app/quillon_application.h"

#include "platform/app_errors.h"

namespace quillon {

QuillonApplication::QuillonApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName("Quillon");
}

bool QuillonApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const std::string message = ErrorMessageOf(std::current_exception());
        if (OnException)
            OnException(message);
        else
            HandleApplicationError(std::current_exception());
        return false;
    }
}

} // namespace quillon
