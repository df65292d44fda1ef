// The program block: the order in which Quillon comes up and goes down.

#include "app/main_form.h"
#include "app/quillon_application.h"
#include "extract/converter_output_parser.h"
#include "platform/signal_notifier.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_theme_manager.h"

#include <cfenv>
#include <csignal>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    // The parser's patterns exist before anything else; floating-point errors
    // give infinities and NaNs, never a trap, with rounding to nearest.
    quillon::DurationPattern();
    quillon::SizePattern();
    std::fenv_t savedEnvironment;
    std::feholdexcept(&savedEnvironment);
    std::fesetround(FE_TONEAREST);

    // The arguments as the user gave them, before the toolkit takes its own
    // options out of argv.
    const std::vector<std::string> arguments(argv + 1, argv + argc);

    int code = 0;
    {
        quillon::QuillonApplication app(argc, argv);
        // The theme classes the program knows, before any theme is read.
        quillon::TteThemeManager::Instance().RegisterThemeClass(quillon::TTeThemeMsStyles::ThemeClass());
        const std::string programDir = QCoreApplication::applicationDirPath().toStdString() + "/";
        quillon::TfrmMain form(arguments, programDir);
        app.OnException = [&form](const std::string &message) { form.AppException(message); };
        // Logging off or a kill from outside ends the program the orderly way:
        // a running extraction is stopped and its partial output removed, the
        // settings are written.
        quillon::SignalNotifier interruptions({SIGTERM, SIGHUP, SIGINT}, [&form](int) {
            if (!form.Idle())
                form.Eng().Batch.btnStopConvertClick();
            QApplication::quit();
        });
        // A list left empty by the command line ends the program here; the
        // settings are still written when the window goes.
        if (!form.TerminateRequested()) {
            form.show();
            code = QApplication::exec();
        }
        app.OnException = nullptr;
    }
    std::fesetenv(&savedEnvironment);
    return code == 0 ? 0 : code;
}
