#include "extract/media_probe.h"

#include "platform/file_system.h"
#include "platform/quillon_error.h"
#include "platform/temp_files.h"
#include "runner/command_line.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {

std::string UpperExtension(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot);
    for (char &c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return ext;
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

bool MediaProbe::ProbeFile(const std::string &source)
{
    Interrupted_ = Crashed_ = false;
    FileStamp before;
    const bool stamped = CacheAnswers && StampOf(source, before);
    if (stamped) {
        const auto known = Answers.find(source);
        if (known != Answers.end() && known->second.stamp == before) {
            Session.Facts() = known->second.facts;
            return known->second.passed;
        }
    }
    const bool passed = ProbeUncached(source);
    // Kept only when the converter read the file to its end and the file
    // stood still meanwhile.
    FileStamp after;
    if (stamped && !Interrupted_ && !Crashed_ && StampOf(source, after) && after == before)
        Answers[source] = Answer{before, Session.Facts(), passed};
    else
        Answers.erase(source);
    return passed;
}

bool MediaProbe::ProbeUncached(const std::string &source)
{
    Session.Facts().UseWrapper = false;
    // A double quote would end the script's string early: such a path is
    // only ever probed directly.
    if (NeedsWrapper(source) && source.find('"') == std::string::npos) {
        if (ProbeViaWrapper(source)) {
            Session.Facts().UseWrapper = true;
            return true;
        }
        if (Interrupted_)
            return false;
    }
    return ProbeDirect(source);
}

bool MediaProbe::ProbeViaWrapper(const std::string &source)
{
    OpenScript = WriteWrapperScript(source);
    bool passed = false;
    try {
        passed = ProbeDirect(OpenScript);
    } catch (...) {
        DeleteOpenScript();
        throw;
    }
    DeleteOpenScript();
    return passed;
}

void MediaProbe::DeleteOpenScript()
{
    DeleteWrapperScript(OpenScript);
    OpenScript.clear();
}

bool MediaProbe::ProbeDirect(const std::string &input)
{
    TRedirector &runner = Session.Runner();
    // Callers admit a probe only while the shared runner is idle (adds that
    // arrive during a batch or another probe wait in the add queue); a child
    // that still runs belongs to someone else and is never disturbed.
    if (runner.Active())
        RaiseError("The converter is busy");
    Session.Configure(ProbeCommandLine(Session.ConverterProgram(), input), nullptr);
    MediaFacts &facts = Session.Facts();
    facts.Duration = facts.PictureWidth = facts.PictureHeight = 0;
    facts.HasAudio = false;
    Session.Parser().ClearProgressTarget();
    Session.Start();
    // Other handlers run meanwhile; the loop sleeps until the next event.
    while (runner.Active())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // Stopped by us (Stop, the end of the program) says nothing about the
    // source; a converter that crashed on it does, but not for good.
    Interrupted_ = Interrupted_ || runner.LastTerminateCode().has_value();
    Crashed_ = Crashed_ || (!runner.LastTerminateCode() && runner.LastExitSignal() != 0);
    // Without FFmpeg every source would look bad: say what is wrong instead.
    if (!Session.Parser().LauncherFailure().empty())
        RaiseError("The converter could not be run: " + Session.Parser().LauncherFailure());
    return facts.Duration > 0 && facts.HasAudio;
}

std::string MediaProbe::WriteWrapperScript(const std::string &source)
{
    const std::string dir = TempPath();
    const std::string reservation = CreateTempFileName(dir, "tmp");
    if (reservation.empty())
        RaiseError("Cannot create file \"" + dir + "/tmp*.tmp\". " + std::strerror(errno));
    const std::string script = reservation + ".avs";
    const std::string text = "DirectShowSource(\"" + source + "\", fps=30, convertfps=true)\r\n";
    // Made new, never through whatever someone put at that name first (a
    // link into another user's files, in a shared temporary folder).
    if (!CreateNewFile(script, text)) {
        const int error = errno;
        std::remove(reservation.c_str());
        RaiseError("Cannot create file \"" + script + "\". " + std::strerror(error));
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
