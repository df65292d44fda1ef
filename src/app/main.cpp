// The program block: the order in which Quillon comes up and goes down.

#include "app/main_form.h"
#include "app/quillon_application.h"
#include "app/single_instance.h"
#include "app/version.h"
#include "extract/converter_output_parser.h"
#include "platform/signal_notifier.h"
#include "platform/translation.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_theme_manager.h"

#include <cfenv>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char *const Usage =
    QT_TRANSLATE_NOOP("Window", "Usage: quillon [FILE...]\n"
                                "Opens the window with the video FILEs (paths or file:// URLs; list files\n"
                                "ending in .lst add their lines) in its job list. When Quillon already runs\n"
                                "for this user and display, the FILEs go to that window's job list.\n"
                                "\n"
                                "  -h, --help     this text\n"
                                "      --version  the program's version\n"
                                "\n"
                                "quillon-cli extracts without a window; see quillon-cli --help.\n");

} // namespace

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
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        // No window, and so no display, needed for this.
        QCoreApplication core(argc, argv);
        quillon::InstallTranslations(QCoreApplication::applicationDirPath().toStdString() + "/");
        std::fputs(quillon::Tr("Window", Usage).c_str(), stdout);
        return 0;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        std::printf("quillon %s\n", QUILLON_VERSION);
        return 0;
    }
    for (std::string &a : arguments)
        a = quillon::AbsoluteLocalPath(a);

    int code = 0;
    {
        quillon::QuillonApplication app(argc, argv);
        quillon::InstallTranslations(QCoreApplication::applicationDirPath().toStdString() + "/");
        // A window already open for this user and display takes the files.
        quillon::SingleInstance instance(quillon::InstanceName());
        if (instance.ForwardToRunning(arguments))
            return 0;
        // The theme classes the program knows, before any theme is read.
        quillon::TteThemeManager::Instance().RegisterThemeClass(quillon::TTeThemeMsStyles::ThemeClass());
        const std::string programDir = QCoreApplication::applicationDirPath().toStdString() + "/";
        quillon::TfrmMain form(arguments, programDir);
        app.OnException = [&form](const std::string &message) { form.AppException(message); };
        // Listening fails only when another window took the name a moment
        // ago; this one then simply runs on its own.
        instance.Listen([&form](const std::vector<std::string> &paths) { form.OpenFiles(paths); });
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
