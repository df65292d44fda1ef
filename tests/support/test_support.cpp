#include "support/test_support.h"

#include "runner/command_line.h"

#include <QEventLoop>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace quillon::test {

bool PumpUntil(const std::function<bool()> &pred, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs)
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void PumpFor(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

std::string ProgramDir() { return std::string(QUILLON_PROGRAM_DIR) + "/"; }
std::string ChildHelper() { return std::string(QUILLON_CHILD_HELPER); }
std::string QuoteForCommandLine(const std::string &s) { return QuoteCommandLineArgument(s); }

static int countEntries(const char *dir)
{
    int n = 0;
    DIR *d = opendir(dir);
    while (dirent *e = readdir(d))
        if (e->d_name[0] != '.')
            ++n;
    closedir(d);
    return n - 1; // the directory stream's own descriptor, or nothing harmful for tasks
}

int OpenDescriptorCount() { return countEntries("/proc/self/fd"); }
int ThreadCount() { return countEntries("/proc/self/task") + 1; }

ScratchDir::ScratchDir()
{
    static std::mt19937_64 rng(std::random_device{}());
    Path = fs::temp_directory_path() / ("quillon-test-" + std::to_string(getpid()) + "-" + std::to_string(rng()));
    fs::create_directories(Path);
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    fs::permissions(Path, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto &entry : fs::recursive_directory_iterator(Path, ec))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(Path, ec);
}

namespace {

struct ClipRecipe {
    const char *file;
    const char *command; // {out} is replaced by the output path
};

const std::map<std::string, ClipRecipe> &recipes()
{
    static const std::map<std::string, ClipRecipe> r{
        {"mp4",
         {"clip.mp4", "-f lavfi -i testsrc=size=160x120:rate=15:duration=2 -f lavfi -i sine=f=440:duration=2 -c:v "
                      "libx264 -preset ultrafast -c:a aac -shortest {out}"}},
        {"avi",
         {"clip.avi", "-f lavfi -i testsrc=size=176x144:rate=15:duration=2 -f lavfi -i sine=f=440:duration=2 -c:v "
                      "mpeg4 -c:a libmp3lame -shortest {out}"}},
        {"mpg",
         {"clip.mpg", "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -f lavfi -i sine=f=440:duration=2 -c:v "
                      "mpeg2video -c:a mp2 -f mpeg -shortest {out}"}},
        {"vob",
         {"clip.vob", "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -f lavfi -i sine=f=440:duration=2 -c:v "
                      "mpeg2video -c:a ac3 -f vob -shortest {out}"}},
        {"wmv",
         {"clip.wmv", "-f lavfi -i testsrc=size=160x120:rate=15:duration=2 -f lavfi -i sine=f=440:duration=2 -c:v wmv2 "
                      "-c:a wmav2 -shortest {out}"}},
        {"mov",
         {"clip.mov", "-f lavfi -i testsrc=size=160x120:rate=15:duration=2 -f lavfi -i sine=f=440:duration=2 -c:v "
                      "mpeg4 -c:a aac -shortest {out}"}},
        {"3gp",
         {"clip.3gp", "-f lavfi -i testsrc=size=176x144:rate=15:duration=2 -f lavfi -i "
                      "sine=f=440:duration=2:sample_rate=8000 -c:v h263 -c:a aac -ar 8000 -ac 1 -shortest {out}"}},
        {"mkv",
         {"clip.mkv", "-f lavfi -i testsrc=size=160x120:rate=15:duration=2 -f lavfi -i sine=f=440:duration=2 -c:v "
                      "mpeg4 -c:a libvorbis -shortest {out}"}},
        {"surround",
         {"surround.mp4", "-f lavfi -i testsrc=size=160x120:rate=15:duration=2 -f lavfi -i sine=f=440:duration=2 -c:v "
                          "libx264 -preset ultrafast -c:a aac -ac 6 -shortest {out}"}},
        {"tracks",
         {"tracks.mkv",
          "-f lavfi -i testsrc=size=160x120:rate=10:duration=3 -f lavfi -i sine=f=440:duration=3 -f lavfi "
          "-i sine=f=880:duration=3 -map 0 -map 1 -map 2 -c:v mpeg4 -c:a:0 aac -c:a:1 libmp3lame "
          "-metadata:s:a:0 language=eng -metadata:s:a:1 language=ger {out}"}},
        {"m4a", {"clip.m4a", "-f lavfi -i sine=f=440:duration=2 -c:a aac {out}"}},
        {"mp3", {"clip.mp3", "-f lavfi -i sine=f=440:duration=2 -c:a libmp3lame {out}"}},
        {"wav", {"clip.wav", "-f lavfi -i sine=f=440:duration=2 {out}"}},
        {"noaudio",
         {"noaudio.mp4", "-f lavfi -i testsrc=size=160x120:rate=15:duration=2 -c:v libx264 -preset ultrafast {out}"}},
        {"short",
         {"short.mp4", "-f lavfi -i testsrc=size=160x120:rate=15:duration=0.4 -f lavfi -i sine=f=440:duration=0.4 -c:v "
                       "libx264 -preset ultrafast -c:a aac -shortest {out}"}},
        {"four",
         {"four.mp4", "-f lavfi -i testsrc=size=160x120:rate=10:duration=4 -f lavfi -i sine=f=440:duration=4 -c:v "
                      "libx264 -preset ultrafast -c:a aac -shortest {out}"}},
        {"ten",
         {"ten.mp4", "-f lavfi -i testsrc=size=160x120:rate=10:duration=10 -f lavfi -i sine=f=440:duration=10 -c:v "
                     "libx264 -preset ultrafast -c:a aac -shortest {out}"}},
        {"long",
         {"long.mp4", "-f lavfi -i color=c=black:size=64x48:rate=5:duration=60 -f lavfi -i sine=f=440:duration=60 -c:v "
                      "libx264 -preset ultrafast -c:a aac -shortest {out}"}},
    };
    return r;
}

std::string clipDir()
{
    const std::string dir = std::string(QUILLON_PROGRAM_DIR) + "/test-clips";
    fs::create_directories(dir);
    return dir;
}

std::string shellQuote(const std::string &s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

std::string Clip(const std::string &kind)
{
    static std::recursive_mutex mutex;
    std::lock_guard lock(mutex);
    const std::string dir = clipDir();
    if (kind == "empty") {
        const std::string path = dir + "/empty.mp4";
        WriteFile(path, "");
        return path;
    }
    if (kind == "text") {
        const std::string path = dir + "/text.avi";
        WriteFile(path, "This is not a video file at all.\n");
        return path;
    }
    if (kind == "truncated") {
        const std::string path = dir + "/truncated.mp4";
        if (!fs::exists(path)) {
            const std::string whole = ReadFile(Clip("mp4"));
            WriteFile(path, whole.substr(0, 600)); // the header is cut off mid-way
        }
        return path;
    }
    const ClipRecipe &recipe = recipes().at(kind);
    const std::string path = dir + "/" + recipe.file;
    if (!fs::exists(path)) {
        const std::string tmp = dir + "/tmp-" + std::to_string(getpid()) + "-" + recipe.file;
        std::string command = recipe.command;
        command.replace(command.find("{out}"), 5, shellQuote(tmp));
        const std::string full = "ffmpeg -nostdin -hide_banner -loglevel error -y " + command;
        if (std::system(full.c_str()) != 0)
            throw std::runtime_error("cannot make clip: " + full);
        fs::rename(tmp, path);
    }
    return path;
}

ProbedAudio FfprobeAudio(const std::string &path)
{
    ProbedAudio result;
    const std::string command = "ffprobe -v error -select_streams a:0 -show_entries "
                                "stream=codec_name,sample_rate,channels:format=duration -of default=nw=1 " +
                                shellQuote("file:" + path);
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        std::string s(line);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
            s.pop_back();
        const auto eq = s.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = s.substr(0, eq), value = s.substr(eq + 1);
        if (key == "codec_name")
            result.codec = value;
        else if (key == "sample_rate")
            result.sampleRate = std::atoi(value.c_str());
        else if (key == "channels")
            result.channels = std::atoi(value.c_str());
        else if (key == "duration")
            result.duration = std::atof(value.c_str());
    }
    pclose(pipe);
    return result;
}

ScopedEnv::ScopedEnv(const char *name, const std::string &value) : Name(name)
{
    const char *old = std::getenv(name);
    HadOld = old != nullptr;
    Old = old ? old : "";
    setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (HadOld)
        setenv(Name.c_str(), Old.c_str(), 1);
    else
        unsetenv(Name.c_str());
}

void WriteScript(const std::string &path, const std::string &body)
{
    // Beside, then renamed: another test process may be running the old one.
    const std::string temp = path + "." + std::to_string(getpid());
    WriteFile(temp, "#!/bin/sh\n" + body);
    fs::permissions(temp, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    fs::rename(temp, path);
}

std::string PacedFfmpeg(bool realtime, bool slowProbe)
{
    const std::string path =
        clipDir() + "/ffmpeg-" + (realtime ? "realtime" : "normal") + (slowProbe ? "-slowprobe" : "") + ".sh";
    std::string body;
    if (slowProbe)
        body += "case \" $* \" in *\" -vn \"*) ;; *) sleep 1 ;; esac\n";
    body += std::string("exec ffmpeg ") + (realtime ? "-re " : "") + "\"$@\"\n";
    WriteScript(path, body);
    return path;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace quillon::test
