#include "app/quillon_application.h"

#include "embedded_theme.h"
#include "platform/app_errors.h"
#include "theme/te_bitmap.h"

#include <QPixmap>

#include <sstream>

namespace quillon {

QuillonApplication::QuillonApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName("Quillon");
    setWindowIcon(ProgramIcon());
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        std::istringstream in(std::string(EmbeddedBitmapResource("QUILLON_ICON_" + std::to_string(size))));
        TteBitmap picture;
        if (picture.LoadFromStream(in))
            icon.addPixmap(QPixmap::fromImage(picture.AssignTo()));
    }
    return icon;
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
