// bitrate-grid: extracts a one-second clip with every combination of the
// option lists (format, sample rate, bit rate, mono or stereo) through the
// converter launcher beside it, exactly as the batch builds each command line,
// and prints every combination that does not give a file with sound in the
// chosen channel count. Exit status 0 when every one does.
//
//   build/release/bitrate-grid [SOURCE]
//
// Without SOURCE it makes the clip itself (stereo sine and a test picture).

#include "extract/extraction_command.h"
#include "extract/output_options.h"
#include "runner/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace fs = std::filesystem;
using namespace quillon;

namespace {

int run(const std::vector<std::string> &args, const std::string &outputFile = "/dev/null")
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readFile(const std::string &path)
{
    std::string text;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

// The channel count of the first audio stream, 0 without one.
int audioChannels(const std::string &file, const std::string &scratch)
{
    const std::string answer = scratch + "/ffprobe.txt";
    if (run({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries", "stream=channels", "-of",
             "default=nw=1:nk=1", file},
            answer) != 0)
        return 0;
    return std::atoi(readFile(answer).c_str());
}

} // namespace

int main(int argc, char **argv)
{
    const std::string programDir = fs::canonical("/proc/self/exe").parent_path().string() + "/";
    const fs::path scratch = fs::temp_directory_path() / ("bitrate-grid-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    std::string source = argc > 1 ? argv[1] : (scratch / "clip.mp4").string();
    if (argc <= 1 &&
        run({"ffmpeg", "-nostdin", "-y", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=1", "-f", "lavfi",
             "-i", "sine=f=440:duration=1", "-ac", "2", "-c:v", "mpeg4", "-c:a", "aac", "-shortest", source}) != 0) {
        std::fprintf(stderr, "bitrate-grid: cannot make the clip with ffmpeg\n");
        return 2;
    }

    int tried = 0, failed = 0;
    for (const char *format : FileFormats)
        for (const char *sampleRate : SampleRates)
            for (const char *bitRate : BitRates)
                for (bool mono : {false, true}) {
                    ++tried;
                    const std::string output = (scratch / ("out." + std::string(format))).string();
                    fs::remove(output);
                    const std::string line = BuildExtractionCommandLine(programDir + "videoenc.dll", source, format,
                                                                        sampleRate, bitRate, mono, output);
                    const int status = run(SplitCommandLine(line));
                    const bool file = fs::exists(output) && fs::file_size(output) > 0;
                    const int channels = file ? audioChannels(output, scratch.string()) : 0;
                    const int wanted = std::string(format) == "3GP" || mono ? 1 : 2;
                    if (status == 0 && file && channels == wanted)
                        continue;
                    ++failed;
                    std::printf("%s %s Hz %s kbit/s %s: exit %d, %s\n", format, sampleRate, bitRate,
                                mono ? "mono" : "stereo", status,
                                !file           ? "no file"
                                : channels == 0 ? "no sound"
                                                : (std::to_string(channels) + " channels").c_str());
                }
    fs::remove_all(scratch);
    std::printf("%d of %d combinations give a file with sound in the chosen channels\n", tried - failed, tried);
    return failed == 0 ? 0 : 1;
}
