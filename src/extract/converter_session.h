#pragma once
// The converter as the rest of the program sees it: the one process runner
// that every probe and every extraction shares, the output parser behind its
// callbacks, and the media facts that the parser fills.

#include "extract/converter_output_parser.h"
#include "extract/media_facts.h"
#include "platform/program_layout.h"
#include "runner/redirector.h"

#include <string>

namespace quillon {

class ConverterSession {
public:
    // programDir ends in one path separator; "videoenc.dll" is found there,
    // or where an installed program's launcher is.
    explicit ConverterSession(std::string programDir);

    TRedirector &Runner() { return Runner_; }
    MediaFacts &Facts() { return Facts_; }
    ConverterOutputParser &Parser() { return Parser_; }
    const std::string &ProgramDir() const { return ProgramDir_; }
    // The start of every converter command line: the launcher's path.
    const std::string &ConverterProgram() const { return Layout.Launcher; }

    // Sets the runner up for one converter run: the parser on both streams,
    // the default error mode, termination on destroy, and onEnded as the end
    // notification (called after the parser has seen the last line).
    void Configure(const std::string &commandLine, NotifyCallback onEnded);
    // Starts the run configured last.
    void Start();

private:
    std::string ProgramDir_;
    ProgramLayout Layout;
    MediaFacts Facts_;
    ConverterOutputParser Parser_{Facts_};
    TRedirector Runner_;
};

} // namespace quillon
