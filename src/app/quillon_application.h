#pragma once
// The application object: every error that escapes an event handler on the
// main thread is shown by the main window's AppException, and the program
// goes on.

#include <QApplication>
#include <QIcon>

#include "skin/te_button.h"

#include <functional>
#include <string>

namespace quillon {

class QuillonApplication : public QApplication {
public:
    QuillonApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    std::function<void(const std::string &)> OnException;
};

// The program's icon, in every size the program carries.
QIcon ProgramIcon();
// The window's image list: 18 pictures of 16 x 16, magenta where clear.
TTeImageList ProgramImageList();
// The system menu's pictures, in the same form: close, minimize, maximize,
// restore, roll-up, tray.
TTeImageList FrameMenuImages();

} // namespace quillon
