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

TTeImageList ProgramImageList()
{
    std::istringstream in(std::string(EmbeddedBitmapResource("QUILLON_IMAGELIST")));
    TteBitmap strip;
    TTeImageList images;
    if (!strip.LoadFromStream(in))
        return images;
    const QImage all = strip.AssignTo();
    for (int x = 0; x + 16 <= all.width(); x += 16)
        images.push_back(all.copy(x, 0, 16, 16));
    return images;
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
