// videoenc.dll: the converter as Quillon expects it, on top of the system's
// FFmpeg. It adds -nostdin (the converter must never wait for its standard
// input), maps the legacy encoder names onto what the installed FFmpeg has,
// takes the nearest bit rate an encoder accepts, accepts the probe's one-line
// wrapper scripts and marks file paths as plain files.
//
// A probe replaces the launcher with FFmpeg. An extraction is watched over:
// FFmpeg writes into a locked temporary file beside the output, its console
// output passes through unchanged, and the file is renamed to the output's
// name only when FFmpeg succeeded and everything it wrote reached the disk.
// So the output's name never holds a cut-off file: not after a full disk,
// a killed FFmpeg, or the end of the program that started us.

#include "avisynth_script.h"
#include "bit_rate_rules.h"
#include "platform/partial_files.h"
#include "platform/text_case.h"
#include "write_failure.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string ffmpegProgram()
{
    const char *configured = std::getenv("QUILLON_FFMPEG");
    return configured && *configured ? configured : "ffmpeg";
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

// The encoder FFmpeg picks for an output without -acodec, where a bit-rate
// rule applies to it.
std::string defaultEncoderFor(const std::string &output)
{
    if (quillon::EndsWithIgnoringCase(output, ".ogg") || quillon::EndsWithIgnoringCase(output, ".oga"))
        return "libvorbis";
    if (quillon::EndsWithIgnoringCase(output, ".wma") || quillon::EndsWithIgnoringCase(output, ".asf"))
        return "wmav2";
    return {};
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
    static const std::set<std::string> options{"-i", "-ac",     "-ar", "-ab", "-acodec",   "-b:a", "-c:a", "-codec:a",
                                               "-f", "-strict", "-t",  "-ss", "-loglevel", "-v",   "-map"};
    return options;
}

const std::set<std::string> &flags()
{
    static const std::set<std::string> flags{"-vn", "-an", "-y", "-n", "-nostdin", "-hide_banner", "-stats"};
    return flags;
}

void say(const std::string &text) { std::fprintf(stderr, "videoenc.dll: %s\n", text.c_str()); }

// A number of digits only, or 0.
long plainNumber(const std::string &text)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::atol(text.c_str());
}

// FFmpeg's command line made from ours.
struct Invocation {
    std::vector<std::string> args;
    std::string output;   // the output file as given; "" for a probe
    int outputIndex = -1; // its place in args
};

int parseArguments(int argc, char **argv, Invocation &inv)
{
    inv.args = {ffmpegProgram(), "-nostdin"};
    bool vorbisNative = false;
    std::string encoder;
    long sampleRate = 0, bitRate = 0;
    int channels = 0;
    int bitRateIndex = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsWithValue().count(arg) && i + 1 < argc) {
            std::string value = argv[++i];
            if (arg == "-i") {
                if (quillon::EndsWithIgnoringCase(value, ".avs")) {
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
                value = encoder = mapEncoder(value);
                vorbisNative = vorbisNative || value == "vorbis";
            } else if (arg == "-ar") {
                sampleRate = plainNumber(value);
            } else if (arg == "-ac") {
                channels = static_cast<int>(plainNumber(value));
            } else if (arg == "-ab" || arg == "-b:a") {
                // "128k" and its kin are FFmpeg's to read: left as they are.
                bitRate = plainNumber(value);
                bitRateIndex = static_cast<int>(inv.args.size()) + 1;
            }
            inv.args.push_back(arg);
            inv.args.push_back(value);
            continue;
        }
        inv.args.push_back(arg);
        // The last argument, when it is neither an option's value nor a flag,
        // is the output file.
        if (i == argc - 1 && !flags().count(arg)) {
            inv.outputIndex = static_cast<int>(inv.args.size()) - 1;
            inv.output = arg;
        }
    }
    if (encoder.empty())
        encoder = defaultEncoderFor(inv.output);
    if (bitRateIndex > 0 && bitRate > 0) {
        const long accepted = videoenc::AcceptedBitRate(encoder, sampleRate, channels, bitRate);
        if (accepted != bitRate) {
            say("note: " + encoder + " does not take " + std::to_string(bitRate) + " bit/s at " +
                std::to_string(sampleRate) + " Hz; using " + std::to_string(accepted) + " bit/s");
            inv.args[static_cast<size_t>(bitRateIndex)] = std::to_string(accepted);
        }
    }
    if (vorbisNative) { // FFmpeg's own Vorbis encoder is marked experimental.
        inv.args.insert(inv.args.end() - (inv.outputIndex > 0 ? 1 : 0), {"-strict", "-2"});
        if (inv.outputIndex > 0)
            inv.outputIndex += 2;
    }
    return 0;
}

std::vector<char *> argvOf(std::vector<std::string> &args)
{
    std::vector<char *> v;
    for (std::string &a : args)
        v.push_back(a.data());
    v.push_back(nullptr);
    return v;
}

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

int runExtraction(Invocation &inv)
{
    const std::string &output = inv.output;
    // From here on an end from outside is a message to clean up, not a death.
    sigset_t watched, previous;
    sigemptyset(&watched);
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGCHLD})
        sigaddset(&watched, sig);
    sigprocmask(SIG_BLOCK, &watched, &previous);
    std::signal(SIGPIPE, SIG_IGN);
    // What a run that died left in this folder goes now.
    quillon::SweepStalePartialFiles(quillon::DirectoryOf(output));

    // An empty file at the output's name reserved it for this run.
    quillon::FileIdentity reservation;
    struct stat there {};
    if (::lstat(output.c_str(), &there) == 0) {
        if (!S_ISREG(there.st_mode) || there.st_size != 0) {
            say("File '" + output + "' already exists; it is not replaced");
            return 1;
        }
        reservation = {there.st_dev, there.st_ino};
    }
    quillon::PartialFile partial = quillon::CreatePartialFile(output);
    if (partial.Fd < 0) {
        say("cannot create a file beside '" + output + "': " + std::strerror(errno));
        return 1;
    }
    auto failed = [&](int code) {
        ::unlink(partial.Path.c_str());
        return code;
    };
    // FFmpeg replaces our empty temporary file; the output's name is never its to touch.
    inv.args.insert(inv.args.begin() + 2, "-y");
    inv.args[static_cast<size_t>(inv.outputIndex + 1)] = asFile(partial.Path);

    const int signals = ::signalfd(-1, &watched, SFD_CLOEXEC | SFD_NONBLOCK);
    int out[2], err[2], execError[2];
    if (signals < 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 ||
        ::pipe2(execError, O_CLOEXEC) != 0) {
        say(std::string("cannot set up FFmpeg's pipes: ") + std::strerror(errno));
        return failed(1);
    }
    std::vector<char *> argv = argvOf(inv.args);
    const pid_t child = ::fork();
    if (child < 0) {
        say(std::string("cannot start FFmpeg: ") + std::strerror(errno));
        return failed(1);
    }
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::sigprocmask(SIG_SETMASK, &previous, nullptr);
        std::signal(SIGPIPE, SIG_DFL);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::execvp(argv[0], argv.data());
        const int error = errno;
        (void)!::write(execError[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    ::close(execError[1]);
    int execErrno = 0;
    if (::read(execError[0], &execErrno, sizeof execErrno) == static_cast<ssize_t>(sizeof execErrno)) {
        ::waitpid(child, nullptr, 0);
        say("cannot run FFmpeg (" + inv.args[0] + "): " + std::strerror(execErrno));
        return failed(127);
    }
    ::close(execError[0]);

    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {signals, POLLIN, 0}};
    int openPipes = 2, status = 0, endedBy = 0;
    bool reaped = false;
    videoenc::WriteFailureWatch said[2]; // FFmpeg's two streams, each with lines of its own
    while (openPipes > 0 || !reaped) {
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[16384];
            const ssize_t n = ::read(fds[k].fd, buffer, sizeof buffer);
            if (n > 0) {
                writeAll(k + 1, buffer, static_cast<size_t>(n));
                said[k].Feed(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[k].fd);
                fds[k].fd = -1;
                --openPipes;
            }
        }
        if (fds[2].revents & POLLIN) {
            signalfd_siginfo info{};
            while (::read(signals, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                if (info.ssi_signo != SIGCHLD && !reaped) {
                    // The program that started us is gone or wants us gone.
                    endedBy = static_cast<int>(info.ssi_signo);
                    ::kill(child, SIGKILL);
                }
            }
            if (!reaped && ::waitpid(child, &status, WNOHANG) == child)
                reaped = true;
        }
    }
    if (!reaped)
        ::waitpid(child, &status, 0);

    if (endedBy != 0) {
        quillon::ReleaseReservation(output, reservation);
        return failed(128 + endedBy);
    }
    if (WIFSIGNALED(status)) {
        say("FFmpeg was ended by signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) +
            ")");
        return failed(128 + WTERMSIG(status));
    }
    if (WEXITSTATUS(status) != 0)
        return failed(WEXITSTATUS(status));
    struct stat written {};
    // A last line without its end counts too.
    for (videoenc::WriteFailureWatch &w : said)
        w.Feed("\n", 1);
    if (said[0].Seen() || said[1].Seen()) {
        say("the output file could not be written whole");
        return failed(1);
    }
    if (::fsync(partial.Fd) != 0) {
        say(std::string("the output file could not be written whole: ") + std::strerror(errno));
        return failed(1);
    }
    if (::fstat(partial.Fd, &written) != 0 || written.st_size == 0) {
        say("FFmpeg wrote nothing into the output file");
        return failed(1);
    }
    if (const int error =
            quillon::InstallPartialFile(partial.Path, output, reservation.Inode ? &reservation : nullptr)) {
        say(error == EEXIST ? "File '" + output + "' already exists; it is not replaced"
                            : "cannot put the output file in place: " + std::string(std::strerror(error)));
        return failed(1);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Invocation inv;
    if (const int refused = parseArguments(argc, argv, inv))
        return refused;
    // The converter never outlives the program that started it, however that
    // program ends: no orphan keeps writing an output nobody will judge. An
    // extraction is told with SIGTERM, so that it can clean up after itself.
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, inv.outputIndex > 0 ? SIGTERM : SIGKILL);
    if (getppid() != parent)
        return 1;
    if (inv.outputIndex > 0)
        return runExtraction(inv);

    std::vector<char *> execArgs = argvOf(inv.args);
    execvp(execArgs[0], execArgs.data());
    say("cannot run FFmpeg (" + inv.args[0] + "): " + std::strerror(errno));
    return 127;
}
