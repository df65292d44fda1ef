#include "extract/converter_session.h"

#include "platform/quillon_error.h"

#include <cstdlib>
#include <cstring>

namespace quillon {

ConverterSession::ConverterSession(std::string programDir)
    : ProgramDir_(std::move(programDir)), Layout(LayoutOf(ProgramDir_))
{
    Runner_.TerminateOnDestroy = true;
}

void ConverterSession::Configure(const std::string &commandLine, NotifyCallback onEnded)
{
    using Stream = ConverterOutputParser::Stream;
    Runner_.SetDefaultErrorMode(true);
    Runner_.OnData = [this](TRedirector &, const char *data, int count) {
        Parser_.ParseConverterOutput(Stream::Out, data, count);
    };
    Runner_.OnErrorData = [this](TRedirector &, const char *data, int count) {
        Parser_.ParseConverterOutput(Stream::Err, data, count);
    };
    Runner_.OnTerminated = [this, onEnded = std::move(onEnded)](TRedirector &runner) {
        Parser_.EndRun();
        if (onEnded)
            onEnded(runner);
    };
    Runner_.TerminateOnDestroy = true;
    Runner_.SetCommandline(commandLine);
}

void ConverterSession::Start()
{
    Parser_.BeginRun();
    try {
        Runner_.Start();
    } catch (const QuillonError &e) {
        // The runner's text stays as it is; the user also learns which
        // program could not be started, and why.
        static const std::string creating = "Error creating process : ";
        const std::string message = e.what();
        if (message.rfind(creating, 0) != 0)
            throw;
        const int code = std::atoi(message.c_str() + creating.size());
        RaiseError(
            message + "\n" +
            (Layout.Found ? ConverterProgram() + ": " + std::strerror(code) : LauncherMissingText(Layout, code)));
    }
}

} // namespace quillon
