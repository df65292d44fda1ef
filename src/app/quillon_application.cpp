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

TTeImageList FrameMenuImages()
{
    TTeImageList images;
    for (const char *name : {"TE_FORM_CLOSE", "TE_FORM_MINIMIZE", "TE_FORM_MAXIMIZE", "TE_FORM_RESTORE",
                             "TE_FORM_ROLLUP", "TE_FORM_TRAY"}) {
        std::istringstream in(std::string(EmbeddedBitmapResource(name)));
        TteBitmap glyph;
        if (!glyph.LoadFromStream(in))
            return {};
        QImage picture(glyph.Width(), glyph.Height(), QImage::Format_RGB32);
        for (int y = 0; y < glyph.Height(); ++y)
            for (int x = 0; x < glyph.Width(); ++x) {
                const uint32_t p = glyph.Pixel(x, y);
                picture.setPixel(x, y, IsTransparentMark(p) || p >> 24 == 0 ? 0xFFFF00FF : (p | 0xFF000000));
            }
        images.push_back(picture);
    }
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
