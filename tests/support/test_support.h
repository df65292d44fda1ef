#pragma once
// Shared helpers of the tests: the event loop, real child programs, clips
// generated with FFmpeg, and scratch directories.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quillon::test {

// Processes events until pred holds or timeoutMs passed; returns pred().
bool PumpUntil(const std::function<bool()> &pred, int timeoutMs = 10000);
void PumpFor(int ms);

// The build directory: the program directory with "videoenc.dll".
std::string ProgramDir();  // ends in '/'
std::string ChildHelper(); // path of the helper program
std::string QuoteForCommandLine(const std::string &s);

int OpenDescriptorCount();
int ThreadCount();

// A fresh directory under the system's temporary directory, removed at the
// end of the test (RAII).
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::filesystem::path &path() const { return Path; }
    std::string file(const std::string &name) const { return (Path / name).string(); }

private:
    std::filesystem::path Path;
};

// Small clips made once with `ffmpeg -f lavfi` and cached in the build tree.
// kind: "mp4", "avi", "mpg", "vob", "wmv", "mov", "3gp", "mkv", "m4a", "mp3",
// "wav", "noaudio", "short", "truncated", "empty", "text", "long" (60 s),
// "ten" (10 s), "four" (4 s), "surround" (six channels), "tracks" (3 s, two
// sound tracks: English AAC, German MP3).
std::string Clip(const std::string &kind);

// ffprobe's view of a media file: codec, sample rate, channels, duration.
struct ProbedAudio {
    std::string codec;
    int sampleRate = 0;
    int channels = 0;
    double duration = 0;
};
ProbedAudio FfprobeAudio(const std::string &path);

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const std::string &value);
    ~ScopedEnv();

private:
    std::string Name, Old;
    bool HadOld;
};

// A stand-in for the system's FFmpeg that runs the real one, optionally at the
// source's own pace ("-re": a 4 s clip takes 4 s) and with probes that take a
// second; for tests that must act while a converter is still running.
std::string PacedFfmpeg(bool realtime, bool slowProbe);

// Writes an executable shell script.
void WriteScript(const std::string &path, const std::string &body);

std::string ReadFile(const std::string &path);
void WriteFile(const std::string &path, const std::string &bytes);

} // namespace quillon::test
