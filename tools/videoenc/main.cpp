// videoenc.dll: the converter as Quillon expects it, on top of the system's
// FFmpeg. It adds -nostdin (the converter must never wait for its standard
// input), maps the legacy encoder names onto what the installed FFmpeg has,
// accepts the probe's one-line wrapper scripts, marks file paths as plain
// files, and then replaces itself with FFmpeg so that the runner talks to
// FFmpeg directly (its console output unchanged, its termination immediate).

#include "avisynth_script.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string ffmpegProgram()
{
    const char *configured = std::getenv("QUILLON_FFMPEG");
    return configured && *configured ? configured : "ffmpeg";
}

bool endsWithIgnoringCase(const std::string &s, const std::string &suffix)
{
    if (s.size() < suffix.size())
        return false;
    for (size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - suffix.size() + i])) !=
            std::tolower(static_cast<unsigned char>(suffix[i])))
            return false;
    return true;
}

// Asks FFmpeg once which encoders it has; only needed for the legacy names.
std::set<std::string> availableEncoders()
{
    std::set<std::string> encoders;
    int fds[2];
    if (pipe(fds) != 0)
        return encoders;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        std::freopen("/dev/null", "w", stderr);
        const std::string program = ffmpegProgram();
        execlp(program.c_str(), program.c_str(), "-hide_banner", "-nostdin", "-encoders", nullptr);
        _exit(127);
    }
    close(fds[1]);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    std::istringstream lines(text);
    std::string flags, name;
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        if (words >> flags >> name && flags.size() == 6)
            encoders.insert(name);
    }
    return encoders;
}

std::string mapEncoder(const std::string &name)
{
    if (name == "libamr_nb") {
        // Without an AMR encoder the 3GP file carries AAC instead.
        return availableEncoders().count("libopencore_amrnb") ? "libopencore_amrnb" : "aac";
    }
    if (name == "vorbis")
        return availableEncoders().count("libvorbis") ? "libvorbis" : "vorbis";
    return name;
}

// A path handed to FFmpeg as a file, whatever it looks like ("-", "pipe:x",
// "concat:a|b" would otherwise be read as special inputs or protocols).
std::string asFile(const std::string &path) { return "file:" + path; }

std::string readWholeFile(const std::string &path, bool &ok)
{
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::set<std::string> &optionsWithValue()
{
    static const std::set<std::string> options{"-i", "-ac", "-ar", "-ab", "-acodec", "-b:a", "-c:a", "-codec:a",
                                               "-f", "-strict", "-t", "-ss", "-loglevel", "-v", "-map"};
    return options;
}

const std::set<std::string> &flags()
{
    static const std::set<std::string> flags{"-vn", "-an", "-y", "-n", "-nostdin", "-hide_banner", "-stats"};
    return flags;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args{ffmpegProgram(), "-nostdin"};
    bool vorbisNative = false;
    int outputIndex = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsWithValue().count(arg) && i + 1 < argc) {
            std::string value = argv[++i];
            if (arg == "-i") {
                if (endsWithIgnoringCase(value, ".avs")) {
                    bool ok;
                    const std::string script = readWholeFile(value, ok);
                    const auto source = ok ? videoenc::SourceOfWrapperScript(script) : std::nullopt;
                    if (!source) {
                        std::fprintf(stderr, "%s: unreadable AviSynth script\n", value.c_str());
                        return 1;
                    }
                    value = *source;
                }
                value = asFile(value);
            } else if (arg == "-acodec" || arg == "-c:a" || arg == "-codec:a") {
                value = mapEncoder(value);
                vorbisNative = vorbisNative || value == "vorbis";
            }
            args.push_back(arg);
            args.push_back(value);
            continue;
        }
        args.push_back(arg);
        // The last argument, when it is neither an option's value nor a flag,
        // is the output file.
        if (i == argc - 1 && !flags().count(arg))
            outputIndex = static_cast<int>(args.size()) - 1;
    }
    if (outputIndex > 0)
        args[static_cast<size_t>(outputIndex)] = asFile(args[static_cast<size_t>(outputIndex)]);
    if (vorbisNative) // FFmpeg's own Vorbis encoder is marked experimental.
        args.insert(args.end() - (outputIndex > 0 ? 1 : 0), {"-strict", "-2"});

    std::vector<char *> execArgs;
    for (std::string &a : args)
        execArgs.push_back(a.data());
    execArgs.push_back(nullptr);
    // The converter never outlives the program that started it, however that
    // program ends: no orphan keeps writing an output nobody will judge.
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        return 1;
    execvp(execArgs[0], execArgs.data());
    std::fprintf(stderr, "videoenc.dll: cannot run FFmpeg (%s): %s\n", args[0].c_str(), std::strerror(errno));
    return 127;
}
