#include "extract/media_probe.h"
#include "platform/translation.h"

#include "platform/file_system.h"
#include "platform/quillon_error.h"
#include "platform/temp_files.h"
#include "platform/text_case.h"
#include "runner/command_line.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {

std::string UpperExtension(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return UpperCase(path.substr(dot));
}

bool MediaProbe::NeedsWrapper(const std::string &source)
{
    const std::string ext = UpperExtension(source);
    return ext == ".RM" || ext == ".RMVB" || ext == ".WMV" || ext == ".AVI" || ext == ".ASF";
}

std::string MediaProbe::ProbeCommandLine(const std::string &converter, const std::string &input)
{
    return converter + "  -i " + QuoteCommandLineArgument(input);
}

bool MediaProbe::StampOf(const std::string &path, FileStamp &stamp)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changed = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return true;
}

MediaProbe::MediaProbe(ConverterSession &session, const MediaProbe *answersOf)
    : Session(session), Answers(answersOf ? answersOf->Answers : std::make_shared<std::map<std::string, Answer>>())
{
}

bool MediaProbe::KnownAnswer(const std::string &source, bool &passed)
{
    FileStamp now;
    if (!CacheAnswers || !StampOf(source, now))
        return false;
    const auto known = Answers->find(source);
    if (known == Answers->end() || !(known->second.stamp == now))
        return false;
    Session.Facts() = known->second.facts;
    passed = known->second.passed;
    return true;
}

bool MediaProbe::ProbeFile(const std::string &source)
{
    std::optional<Outcome> outcome;
    StartProbe(source, [&outcome](const Outcome &o) { outcome = o; });
    // Other handlers run meanwhile; the loop sleeps until the next event.
    while (!outcome)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (outcome->Error)
        std::rethrow_exception(outcome->Error);
    return outcome->Passed;
}

void MediaProbe::StartProbe(const std::string &source, Finished finished)
{
    // Callers admit a probe only while the session's runner is idle; a child
    // that still runs belongs to someone else and is never disturbed.
    if (Probing() || Session.Runner().Active())
        RaiseError(Tr("Extract", "The converter is busy"));
    Interrupted_ = Crashed_ = false;
    bool passed = false;
    if (KnownAnswer(source, passed)) {
        finished(Outcome{passed, nullptr});
        return;
    }
    PendingProbe pending{source, std::move(finished), {}, false};
    pending.stamped = CacheAnswers && StampOf(source, pending.before);
    Session.Facts().UseWrapper = false;
    // A double quote would end the script's string early: such a path is
    // only ever probed directly.
    if (!NeedsWrapper(source) || source.find('"') != std::string::npos) {
        Pending = std::move(pending);
        try {
            RunDirect();
        } catch (...) {
            Pending = {};
            throw;
        }
        return;
    }
    OpenScript = WriteWrapperScript(source);
    Pending = std::move(pending);
    try {
        StartRun(OpenScript, [this](bool passed) {
            DeleteOpenScript();
            if (passed) {
                Session.Facts().UseWrapper = true;
                Finish({true, nullptr});
            } else if (Interrupted_) {
                Finish({false, nullptr});
            } else {
                // Not from inside the runner's end: the direct run starts
                // from the event loop.
                QMetaObject::invokeMethod(
                    &Context,
                    [this] {
                        try {
                            RunDirect();
                        } catch (...) {
                            Finish({false, std::current_exception()});
                        }
                    },
                    Qt::QueuedConnection);
            }
        });
    } catch (...) {
        DeleteOpenScript();
        Pending = {};
        throw;
    }
}

void MediaProbe::RunDirect()
{
    StartRun(Pending.source, [this](bool passed) { Finish({passed, nullptr}); });
}

void MediaProbe::StartRun(const std::string &input, std::function<void(bool passed)> then)
{
    Session.Configure(ProbeCommandLine(Session.ConverterProgram(), input), [this, then](TRedirector &runner) {
        // Stopped by us (Stop, the end of the program) says nothing about
        // the source; a converter that crashed on it does, but not for good.
        Interrupted_ = Interrupted_ || runner.LastTerminateCode().has_value();
        Crashed_ = Crashed_ || (!runner.LastTerminateCode() && runner.LastExitSignal() != 0);
        // Without FFmpeg every source would look bad: say what is wrong instead.
        if (!Session.Parser().LauncherFailure().empty()) {
            DeleteOpenScript();
            Finish({false, std::make_exception_ptr(QuillonError(Arg(Tr("Batch", "The converter could not be run: %1"),
                                                                    {Session.Parser().LauncherFailure()})))});
            return;
        }
        const MediaFacts &facts = Session.Facts();
        then(facts.Duration > 0 && facts.HasAudio);
    });
    MediaFacts &facts = Session.Facts();
    facts.Duration = facts.PictureWidth = facts.PictureHeight = 0;
    facts.HasAudio = false;
    facts.SoundTracks.clear();
    Session.Parser().ClearProgressTarget();
    Session.Start();
}

void MediaProbe::Finish(Outcome outcome)
{
    PendingProbe done = std::move(Pending);
    Pending = {};
    // Kept only when the converter read the file to its end and the file
    // stood still meanwhile.
    FileStamp after;
    if (!outcome.Error && done.stamped && !Interrupted_ && !Crashed_ && StampOf(done.source, after) &&
        after == done.before)
        (*Answers)[done.source] = Answer{done.before, Session.Facts(), outcome.Passed};
    else
        Answers->erase(done.source);
    if (done.finished)
        done.finished(outcome);
}

void MediaProbe::DeleteOpenScript()
{
    DeleteWrapperScript(OpenScript);
    OpenScript.clear();
}

std::string MediaProbe::WriteWrapperScript(const std::string &source)
{
    const std::string dir = TempPath();
    const std::string reservation = CreateTempFileName(dir, "tmp");
    if (reservation.empty()) {
        const int error = errno; // before anything else can change it
        RaiseError(Arg(Tr("Extract", "Cannot create file \"%1\". %2"), {dir + "/tmp*.tmp", std::strerror(error)}));
    }
    const std::string script = reservation + ".avs";
    const std::string text = "DirectShowSource(\"" + source + "\", fps=30, convertfps=true)\r\n";
    // Made new, never through whatever someone put at that name first (a
    // link into another user's files, in a shared temporary folder).
    if (!CreateNewFile(script, text)) {
        const int error = errno;
        std::remove(reservation.c_str());
        RaiseError(Arg(Tr("Extract", "Cannot create file \"%1\". %2"), {script, std::strerror(error)}));
    }
    return script;
}

void MediaProbe::DeleteWrapperScript(const std::string &script)
{
    if (script.empty())
        return;
    std::remove(script.c_str());
    static const std::string suffix = ".tmp.avs";
    if (script.size() > suffix.size() && script.compare(script.size() - suffix.size(), suffix.size(), suffix) == 0)
        std::remove(script.substr(0, script.size() - 4).c_str());
}

} // namespace quillon
