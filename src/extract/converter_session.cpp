#include "extract/converter_session.h"

namespace quillon {

ConverterSession::ConverterSession(std::string programDir) : ProgramDir_(std::move(programDir))
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
    Runner_.Start();
}

} // namespace quillon
