#include "cli/cli_front_end.h"
#include "cli/cli_options.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QThread>

#include <csignal>
#include <filesystem>

using namespace quillon;
using namespace quillon::cli;
using namespace quillon::test;
namespace fs = std::filesystem;

TEST(CliOptions, ParsesEveryOption)
{
    const CliOptions o = ParseCliArguments({"-f", "ogg", "--sample-rate=22050", "-b", "320", "-m", "-o", "/out",
                                            "--numbered", "--overwrite", "-q", "-j", "3", "a.avi", "--", "-b.lst"});
    EXPECT_EQ(o.FormatIndex, 7);
    EXPECT_EQ(o.SampleRateIndex, 1);
    EXPECT_EQ(o.BitRateIndex, 12);
    EXPECT_TRUE(o.Mono && o.Numbered && o.Overwrite && o.Quiet);
    EXPECT_EQ(o.Jobs, 3);
    EXPECT_EQ(ParseCliArguments({"-j16", "x"}).Jobs, 16);
    EXPECT_EQ(ParseCliArguments({"--jobs=1", "x"}).Jobs, 1);
    EXPECT_EQ(ParseCliArguments({"--jobs", "2", "x"}).Jobs, 2);
    EXPECT_EQ(o.OutputDir, "/out");
    EXPECT_EQ(o.Paths, (std::vector<std::string>{"a.avi", "-b.lst"}));
    EXPECT_FALSE(ParseCliArguments({"x"}).FormatIndex.has_value());
}

TEST(CliOptions, UsageErrorsNameTheAcceptedValues)
{
    struct Case {
        std::vector<std::string> args;
        const char *message;
    };
    const Case cases[] = {
        {{"-f", "flac", "x"}, "-f: 'flac' is not one of MP3, MP4, 3GP, WMA, WAV, AU, AIFF, OGG"},
        {{"-r", "48000", "x"}, "-r: '48000' is not one of 11025, 22050, 44100"},
        {{"--bit-rate=100", "x"},
         "--bit-rate: '100' is not one of 16, 24, 32, 48, 56, 96, 112, 128, 160, 192, 224, 256, 320"},
        {{"-o"}, "-o needs a value"},
        {{"-j", "0", "x"}, "-j: '0' is not a number from 1 to 16"},
        {{"--jobs=17", "x"}, "--jobs: '17' is not a number from 1 to 16"},
        {{"-j2x", "x"}, "-j: '2x' is not a number from 1 to 16"},
        {{"--jobs", "-1", "x"}, "--jobs: '-1' is not a number from 1 to 16"},
        {{"-j"}, "-j needs a value"},
        {{"--mono=yes", "x"}, "--mono takes no value"},
        {{"--bogus", "x"}, "unknown option --bogus (see --help)"},
        {{}, "no PATH given (see --help)"},
    };
    for (const Case &c : cases) {
        try {
            ParseCliArguments(c.args);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const UsageError &e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

namespace {

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

CliRun runCli(const QStringList &args, const std::function<void(QProcess &)> &during = nullptr,
              const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString(ProgramDir() + "quillon-cli"), args);
    EXPECT_TRUE(p.waitForStarted());
    if (during)
        during(p);
    EXPECT_TRUE(p.waitForFinished(60000));
    CliRun run;
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput().toStdString();
    run.err = p.readAllStandardError().toStdString();
    return run;
}

QString q(const std::string &s) { return QString::fromStdString(s); }

// The environment with program as the FFmpeg the launcher runs.
QProcessEnvironment withFfmpeg(const std::string &program)
{
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILLON_FFMPEG", q(program));
    return env;
}

} // namespace

TEST(QuillonCli, ExtractsAndReportsEveryEntry)
{
    ScratchDir out, src;
    const std::string a = src.file("a.mp4"), bad = src.file("bad.avi");
    fs::copy_file(Clip("mp4"), a);
    fs::copy_file(Clip("text"), bad);
    const CliRun run = runCli(
        {"-f", "wav", "-r", "11025", "-m", "-o", q(out.path().string()), q(a), q(bad), q(src.file("missing.mp4"))});
    // Every admitted entry is Done, but two paths never made it in.
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, "Done\t" + a + "\t" + out.file("a.WAV") + "\t\n");
    EXPECT_NE(run.err.find("Unsupported or bad video file: " + bad + "!"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Not found: " + src.file("missing.mp4")), std::string::npos);
    const ProbedAudio audio = FfprobeAudio(out.file("a.WAV"));
    EXPECT_EQ(audio.sampleRate, 11025);
    EXPECT_EQ(audio.channels, 1);
}

TEST(QuillonCli, ExitStatus)
{
    ScratchDir out, src;
    const std::string a = src.file("a.mp4");
    fs::copy_file(Clip("mp4"), a);
    EXPECT_EQ(runCli({"-f", "nope", q(a)}).exitCode, 2);
    EXPECT_EQ(runCli({"-o", q(out.file("missing")), q(a)}).exitCode, 2);
    EXPECT_EQ(runCli({q(src.file("missing.mp4"))}).exitCode, 1); // nothing admitted
    EXPECT_EQ(runCli({"--help"}).exitCode, 0);
    const CliRun version = runCli({"--version"});
    EXPECT_EQ(version.out, "quillon-cli " QUILLON_TEST_VERSION "\n");
    // An entry that fails makes the whole run fail: this converter probes
    // but cannot extract.
    const std::string failingFfmpeg = src.file("ffmpeg.sh");
    WriteScript(failingFfmpeg, "case \" $* \" in *\" -vn \"*) exit 1 ;; esac\nexec ffmpeg \"$@\"\n");
    auto env = withFfmpeg(failingFfmpeg);
    const CliRun failing = runCli({"-o", q(out.path().string()), q(a), q(a)}, nullptr, env);
    EXPECT_EQ(failing.exitCode, 1);
    const std::string line = "Error\t" + a + "\t\tThe converter failed with exit code 1\n";
    EXPECT_EQ(failing.out, line + line);
    EXPECT_NE(failing.err.find(a + ": The converter failed with exit code 1\n"), std::string::npos) << failing.err;
}

TEST(QuillonCli, ListFilesInAndOut)
{
    ScratchDir out, src;
    const std::string a = src.file("a b.mp4"), b = src.file("b.mp3");
    fs::copy_file(Clip("mp4"), a);
    fs::copy_file(Clip("mp3"), b);
    const std::string saved = src.file("saved.LST");
    const CliRun save = runCli({"--save-list", q(saved), q(a), q(b)});
    EXPECT_EQ(save.exitCode, 0) << save.err;
    EXPECT_EQ(ReadFile(saved), "#Quillon File List\r\n" + a + "\r\n" + b + "\r\n");
    const CliRun probe = runCli({"--probe", q(saved)});
    EXPECT_EQ(probe.exitCode, 0);
    EXPECT_EQ(probe.out, a + "\t160X120 00:00:02\n" + b + "\t0X0 00:00:02\n");
    EXPECT_TRUE(out.path().empty() || fs::is_empty(out.path()));
}

TEST(QuillonCli, CtrlCAndSigtermStopLikeTheStopButton)
{
    ScratchDir out, src;
    const std::string a = src.file("a.mp4");
    fs::copy_file(Clip("four"), a);
    auto env = withFfmpeg(PacedFfmpeg(true, false));
    const std::string abort = "Abort\t" + a + "\t\t\n";
    // One converter or two running, and one entry that never starts.
    for (const auto &[sig, jobs] : {std::pair{SIGINT, 1}, std::pair{SIGTERM, 2}}) {
        const CliRun run = runCli(
            {"-j", QString::number(jobs), "-o", q(out.path().string()), q(a), q(a), q(a)},
            [&](QProcess &p) {
                // Once the converters are writing, as a terminal's Ctrl+C would.
                PumpUntil([&] { return fs::exists(out.file(jobs == 1 ? "a.MP3" : "a(1).MP3")); }, 10000);
                QThread::msleep(300);
                ::kill(static_cast<pid_t>(p.processId()), sig);
            },
            env);
        EXPECT_EQ(run.exitCode, 130) << run.err;
        EXPECT_EQ(run.out, abort + abort + abort) << jobs;
        EXPECT_TRUE(fs::is_empty(out.path())) << "a partial output was left with " << jobs;
    }
}

namespace {
// Processes whose command line mentions text.
std::vector<pid_t> processesMentioning(const std::string &text)
{
    std::vector<pid_t> found;
    for (const auto &entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string cmdline = ReadFile(entry.path().string() + "/cmdline");
        if (cmdline.find(text) != std::string::npos)
            found.push_back(std::stoi(name));
    }
    return found;
}
} // namespace

TEST(QuillonCli, TheConverterNeverOutlivesTheProgram)
{
    ScratchDir out, src;
    const std::string a = src.file("a.mp4");
    fs::copy_file(Clip("four"), a);
    auto env = withFfmpeg(PacedFfmpeg(true, false));
    runCli(
        {"-o", q(out.path().string()), q(a)},
        [&](QProcess &p) {
            ASSERT_TRUE(PumpUntil([&] { return fs::exists(out.file("a.MP3")); }, 10000));
            QThread::msleep(500); // well into the extraction
            EXPECT_FALSE(processesMentioning(out.path().string()).empty());
            ::kill(static_cast<pid_t>(p.processId()), SIGKILL); // no chance to clean up
        },
        env);
    EXPECT_TRUE(PumpUntil([&] { return processesMentioning(out.path().string()).empty(); }, 3000))
        << "the converter went on after its program was killed";
    // Nothing under the output's name, and nothing half-written beside it.
    EXPECT_TRUE(fs::is_empty(out.path()));
}

TEST(QuillonCli, ResultLinesAreOneLineEach)
{
    EXPECT_EQ(EscapeField("a\tb\nc\\d\re"), "a\\tb\\nc\\\\d\\re");
    ScratchDir out, src;
    const std::string odd = src.file("tab\there\nnewline.mp4");
    fs::copy_file(Clip("mp4"), odd);
    const CliRun run = runCli({"-o", q(out.path().string()), q(odd)});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Done\t" + EscapeField(odd) + "\t" + EscapeField(out.file("tab\there\nnewline.MP3")) + "\t\n");
}

TEST(QuillonCli, TheLiveLineIsShortenedInTheMiddle)
{
    EXPECT_EQ(ShortenMiddle("/short.mp4", 20), "/short.mp4");
    EXPECT_EQ(ShortenMiddle("/videos/a-long-name.mp4", 11), "/vide\u2026e.mp4");
    EXPECT_EQ(ShortenMiddle("/été/ça.mp4", 7), "/ét\u2026mp4"); // characters, not bytes
    EXPECT_EQ(ShortenMiddle("abc", 1), "\u2026");
    EXPECT_EQ(ShortenMiddle("abc", 0), "");
}

TEST(QuillonCli, AListIsNeverSavedOverASource)
{
    ScratchDir src;
    const std::string video = src.file("x.avi"), list = src.file("in.lst");
    fs::copy_file(Clip("avi"), video);
    const std::string before = ReadFile(video);
    WriteFile(list, "#Quillon File List\r\n" + video + "\r\n");
    for (const QStringList &args :
         {QStringList{"--save-list", q(video), q(video)}, QStringList{"--save-list", q(video), q(list)}}) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err, "quillon-cli: --save-list: " + video + " is one of the sources; it is not overwritten\n");
        EXPECT_EQ(ReadFile(video), before);
    }
}

TEST(QuillonCli, AMissingPathFailsTheRunInEveryMode)
{
    ScratchDir out, src;
    const std::string a = src.file("a.mp4"), list = src.file("l.lst"), gone = src.file("gone.mp4");
    fs::copy_file(Clip("mp4"), a);
    WriteFile(list, "#Quillon File List\r\n" + a + "\r\n" + gone + "\r\n");
    for (const QStringList &mode : {QStringList{"--probe"}, QStringList{"--save-list", q(src.file("s.lst"))},
                                    QStringList{"-o", q(out.path().string())}}) {
        const CliRun run = runCli(mode + QStringList{q(list)});
        EXPECT_EQ(run.exitCode, 1) << mode.join(' ').toStdString();
        EXPECT_NE(run.err.find("Not found: " + gone + "\n"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(fs::exists(out.file("a.MP3")));
}

TEST(QuillonCli, AMissingFfmpegIsSaidOnce)
{
    ScratchDir out, src;
    const std::string a = src.file("a.mp4"), b = src.file("b.avi");
    fs::copy_file(Clip("mp4"), a);
    fs::copy_file(Clip("avi"), b);
    auto env = withFfmpeg("/nonexistent/ffmpeg");
    const CliRun run = runCli({"-o", q(out.path().string()), q(a), q(b)}, nullptr, env);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "The converter could not be run: cannot run FFmpeg (/nonexistent/ffmpeg): No such file or directory\n");
    EXPECT_EQ(run.err.find("Unsupported"), std::string::npos);
}

TEST(QuillonCli, TwoRunsIntoOneFolderBothKeepTheirOutput)
{
    ScratchDir out, one, two;
    const std::string a = one.file("talk.mp4"), b = two.file("talk.avi");
    fs::copy_file(Clip("four"), a);
    fs::copy_file(Clip("avi"), b);
    QProcess first, second;
    const QString program = QString::fromStdString(ProgramDir() + "quillon-cli");
    first.start(program, {"-q", "-o", q(out.path().string()), q(a)});
    second.start(program, {"-q", "-o", q(out.path().string()), q(b)});
    ASSERT_TRUE(first.waitForFinished(60000) && second.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(out.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"talk(1).MP3", "talk.MP3"}));
    const double durations =
        FfprobeAudio(out.file("talk.MP3")).duration + FfprobeAudio(out.file("talk(1).MP3")).duration;
    EXPECT_NEAR(durations, 6.0, 0.3); // four seconds and two
}

TEST(QuillonCli, CtrlCWhileCheckingSourcesLeavesNoTemporaryFiles)
{
    ScratchDir out, src, temp;
    const std::string a = src.file("a.avi"); // probed through a wrapper script
    fs::copy_file(Clip("avi"), a);
    auto env = withFfmpeg(PacedFfmpeg(false, true));
    env.insert("TMPDIR", q(temp.path().string()));
    for (int interrupts : {1, 2}) {
        // Numbered names count the admitted sources: each is probed first.
        const CliRun run = runCli(
            {"--numbered", "-o", q(out.path().string()), q(a)},
            [&](QProcess &p) {
                ASSERT_TRUE(PumpUntil([&] { return !fs::is_empty(temp.path()); }, 10000));
                for (int i = 0; i < interrupts; ++i)
                    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
            },
            env);
        EXPECT_EQ(run.exitCode, 130) << run.err;
        EXPECT_TRUE(fs::is_empty(temp.path())) << interrupts;
    }
}

TEST(QuillonCli, AConverterThatCrashesOnASourceFailsTheRun)
{
    ScratchDir out, src;
    const std::string good = src.file("good.mp4"), crash = src.file("crash.mp4");
    fs::copy_file(Clip("mp4"), good);
    fs::copy_file(Clip("mp4"), crash);
    const std::string crashing = src.file("ffmpeg.sh");
    WriteScript(crashing, "case \"$*\" in *crash*) kill -SEGV $$ ;; esac\nexec ffmpeg \"$@\"\n");
    auto env = withFfmpeg(crashing);
    const CliRun run = runCli({"-o", q(out.path().string()), q(good), q(crash)}, nullptr, env);
    EXPECT_EQ(run.exitCode, 1) << "crash.mp4 was never extracted";
    EXPECT_NE(run.err.find("Unsupported or bad video file: " + crash + "!"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "Done\t" + good + "\t" + out.file("good.MP3") + "\t\n");
}
