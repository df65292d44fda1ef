#pragma once
// Decides whether a source can be extracted: runs the converter on it without
// an output and judges the media facts (a duration above zero and an audio
// stream). Sources in the containers that the converter historically opened
// through DirectShow are tried through a one-line wrapper script first.
//
// Errors a caller can act on: the runner's "Error creating process : <errno>"
// when the converter cannot be started, "The converter could not be run: ..."
// when the launcher cannot run FFmpeg, and "Cannot create file ..." when the
// wrapper script cannot be written. A rejected source is no error: false.

#include "extract/converter_session.h"

#include <cstdint>
#include <map>
#include <string>

namespace quillon {

class MediaProbe {
public:
    explicit MediaProbe(ConverterSession &session) : Session(session) {}

    // Probes a source. The answer for a source whose file has not changed
    // since it was last probed (same inode, size and change times) is reused:
    // a batch then costs one converter start per entry, not two.
    bool ProbeFile(const std::string &source);
    bool ProbeViaWrapper(const std::string &source);
    bool ProbeDirect(const std::string &input);

    // The last probe's converter was stopped before it ended (Stop, the end
    // of the program): its false says nothing about the source. Neither this
    // nor a converter that crashed is remembered as the file's answer.
    bool Interrupted() const { return Interrupted_; }
    // Removes the wrapper script of a probe that is still waiting; for a
    // program that must end now.
    void DeleteOpenScript();

    // Writes a new wrapper script in the temporary directory and returns its
    // path. The script's name is the reserved unique "tmp" name plus ".avs".
    static std::string WriteWrapperScript(const std::string &source);
    // Removes a script and the empty file that reserved its name.
    static void DeleteWrapperScript(const std::string &script);

    static bool NeedsWrapper(const std::string &source);
    static std::string ProbeCommandLine(const std::string &converter, const std::string &input);

    bool CacheAnswers = true;

private:
    struct FileStamp {
        uint64_t device = 0, inode = 0;
        int64_t size = 0, modified = 0, changed = 0;
        bool operator==(const FileStamp &) const = default;
    };
    struct Answer {
        FileStamp stamp;
        MediaFacts facts;
        bool passed = false;
    };
    static bool StampOf(const std::string &path, FileStamp &stamp);
    bool ProbeUncached(const std::string &source);

    ConverterSession &Session;
    std::map<std::string, Answer> Answers;
    bool Interrupted_ = false; // of the last ProbeFile: one of its runs was stopped
    bool Crashed_ = false;     // one of its runs ended by a signal of its own
    std::string OpenScript;
};

// The source's extension from its last ".", in ASCII capitals; "" without one.
std::string UpperExtension(const std::string &path);

} // namespace quillon
