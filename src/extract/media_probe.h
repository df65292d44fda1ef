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
//
// A probe runs either to its end (ProbeFile, which keeps the event loop
// turning meanwhile) or beside other work (StartProbe, which says when it is
// done). Probes of different sessions may run at once; they share what they
// learnt about each file when made with one another's answers.

#include "extract/converter_session.h"

#include <QObject>

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace quillon {

class MediaProbe {
public:
    // How a probe begun with StartProbe ended: Passed, or the error that a
    // synchronous probe would have thrown.
    struct Outcome {
        bool Passed = false;
        std::exception_ptr Error;
    };
    using Finished = std::function<void(const Outcome &)>;

    // answersOf: a probe whose answers this one shares (one file is probed
    // once, whichever session asks); none: answers of its own.
    explicit MediaProbe(ConverterSession &session, const MediaProbe *answersOf = nullptr);

    // Probes a source. The answer for a source whose file has not changed
    // since it was last probed (same inode, size and change times) is reused:
    // a batch then costs one converter start per entry, not two.
    bool ProbeFile(const std::string &source);
    // The same without waiting: finished is called once, at once for a known
    // answer, otherwise from the event loop when the converter has ended.
    // Errors of starting the converter or writing the script are thrown here.
    void StartProbe(const std::string &source, Finished finished);
    // A probe begun with StartProbe is under way.
    bool Probing() const { return static_cast<bool>(Pending.finished); }

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
    struct PendingProbe {
        std::string source;
        Finished finished;
        FileStamp before;
        bool stamped = false;
    };
    static bool StampOf(const std::string &path, FileStamp &stamp);
    // Whether the answer for source is known and still holds; the session's
    // facts are then those of the source.
    bool KnownAnswer(const std::string &source, bool &passed);
    // One converter run on input; then is called with its verdict from the
    // runner's end notification.
    void StartRun(const std::string &input, std::function<void(bool passed)> then);
    void RunDirect();
    void Finish(Outcome outcome);

    ConverterSession &Session;
    std::shared_ptr<std::map<std::string, Answer>> Answers;
    PendingProbe Pending;
    QObject Context;           // queued steps die with the probe
    bool Interrupted_ = false; // of the last ProbeFile: one of its runs was stopped
    bool Crashed_ = false;     // one of its runs ended by a signal of its own
    std::string OpenScript;
};

// The source's extension from its last ".", in ASCII capitals; "" without one.
std::string UpperExtension(const std::string &path);

} // namespace quillon
