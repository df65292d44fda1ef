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
                                            "--numbered", "--overwrite", "-q", "a.avi", "--", "-b.lst"});
    EXPECT_EQ(o.FormatIndex, 7);
    EXPECT_EQ(o.SampleRateIndex, 1);
    EXPECT_EQ(o.BitRateIndex, 12);
    EXPECT_TRUE(o.Mono && o.Numbered && o.Overwrite && o.Quiet);
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
        {{"--bit-rate=100", "x"}, "--bit-rate: '100' is not one of 16, 24, 32, 48, 56, 96, 112, 128, 160, 192, 224, 256, 320"},
        {{"-o"}, "-o needs a value"},
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

} // namespace

TEST(QuillonCli, ExtractsAndReportsEveryEntry)
{
    ScratchDir out, src;
    const std::string a = src.file("a.mp4"), bad = src.file("bad.avi");
    fs::copy_file(Clip("mp4"), a);
    fs::copy_file(Clip("text"), bad);
    const CliRun run = runCli({"-f", "wav", "-r", "11025", "-m", "-o", q(out.path().string()), q(a), q(bad),
                               q(src.file("missing.mp4"))});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Done\t" + a + "\t" + out.file("a.WAV") + "\n");
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
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILLON_FFMPEG", q(failingFfmpeg));
    const CliRun failing = runCli({"-o", q(out.path().string()), q(a), q(a)}, nullptr, env);
    EXPECT_EQ(failing.exitCode, 1);
    EXPECT_EQ(failing.out, "Error\t" + a + "\t\nError\t" + a + "\t\n");
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

TEST(QuillonCli, CtrlCStopsLikeTheStopButton)
{
    ScratchDir out, src;
    const std::string a = src.file("a.mp4");
    fs::copy_file(Clip("four"), a);
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILLON_FFMPEG", q(PacedFfmpeg(true, false)));
    const CliRun run = runCli({"-o", q(out.path().string()), q(a), q(a)},
                              [&](QProcess &p) {
                                  // Once the converter is writing, as a terminal's Ctrl+C would.
                                  PumpUntil([&] { return fs::exists(out.file("a.MP3")); }, 10000);
                                  QThread::msleep(300);
                                  ::kill(static_cast<pid_t>(p.processId()), SIGINT);
                              },
                              env);
    EXPECT_EQ(run.exitCode, 130) << run.err;
    EXPECT_EQ(run.out, "Abort\t" + a + "\t\nAbort\t" + a + "\t\n");
    EXPECT_TRUE(fs::is_empty(out.path())) << "the partial output was left";
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
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILLON_FFMPEG", q(PacedFfmpeg(true, false)));
    runCli({"-o", q(out.path().string()), q(a)},
           [&](QProcess &p) {
               ASSERT_TRUE(PumpUntil([&] { return fs::exists(out.file("a.MP3")); }, 10000));
               EXPECT_FALSE(processesMentioning(out.file("a.MP3")).empty());
               ::kill(static_cast<pid_t>(p.processId()), SIGKILL); // no chance to clean up
           },
           env);
    EXPECT_TRUE(PumpUntil([&] { return processesMentioning(out.file("a.MP3")).empty(); }, 3000))
        << "the converter went on after its program was killed";
}
