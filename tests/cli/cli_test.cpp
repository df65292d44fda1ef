#include "cli/cli_front_end.h"
#include "cli/cli_options.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
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
        {{"-f", "flac", "x"}, "-f: 'flac' is not one of MP3, MP4, 3GP, WMA, WAV, AU, AIFF, OGG, Original"},
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
        // The getopt conventions' own errors.
        {{"--n", "x"}, "option --n is ambiguous (see --help)"},
        {{"-mx", "x"}, "unknown option -x (see --help)"},
        {{"--json", "-xq", "x"}, "unknown option -x (see --help)"},
        {{"--json=1", "x"}, "--json takes no value"},
        {{"x", "--output-dir"}, "--output-dir needs a value"},
        {{"--shard", "2/2", "x"}, "--shard: '2/2' is not K/N with 0 <= K < N"},
        {{"--shard=1", "x"}, "--shard: '1' is not K/N with 0 <= K < N"},
        {{"--shard=-1/3", "x"}, "--shard: '-1/3' is not K/N with 0 <= K < N"},
        {{"-t", "en;g", "x"}, "-t: 'en;g' is not first, all or a language code (eng)"},
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

TEST(CliOptions, FollowGetoptConventions)
{
    const CliOptions o =
        ParseCliArguments({"-mq", "-fWAV", "--out=/o", "--sample=22050", "a.avi", "-j2", "--jobs", "3", "--no-keep",
                           "--from-file", "list.txt", "-0", "--json", "--shard=2/5", "-"});
    EXPECT_TRUE(o.Mono && o.Quiet && o.NullSeparated && o.Json);
    EXPECT_EQ(o.FormatIndex, 4);
    EXPECT_EQ(o.OutputDir, "/o");
    EXPECT_EQ(o.SampleRateIndex, 1);
    EXPECT_EQ(o.Jobs, 3) << "the last one counts";
    EXPECT_EQ(o.KeepDates, false);
    EXPECT_EQ(o.FromFile, "list.txt");
    ASSERT_TRUE(o.Sharding.has_value());
    EXPECT_EQ(o.Sharding->Index, 2);
    EXPECT_EQ(o.Sharding->Count, 5);
    EXPECT_EQ(o.Paths, (std::vector<std::string>{"a.avi", "-"}));
    EXPECT_TRUE(ParseCliArguments({"--from-file", "l.txt"}).Paths.empty()) << "a list file is PATHs enough";
}

TEST(CliOptions, SourceEntriesAndShards)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(SourceEntries("a b.mp4\r\n\nc\n", false), (V{"a b.mp4", "c"}));
    EXPECT_EQ(SourceEntries(std::string("a\nb\0c\0\0", 7), true), (V{"a\nb", "c"}));
    // The shards of a list are disjoint and together cover it, in order.
    std::vector<int> list(23);
    for (int i = 0; i < 23; ++i)
        list[static_cast<size_t>(i)] = i;
    for (int n : {1, 2, 5, 30}) {
        std::vector<int> all;
        for (int k = 0; k < n; ++k) {
            const std::vector<int> shard = ShardOf(list, {k, n});
            EXPECT_TRUE(std::is_sorted(shard.begin(), shard.end()));
            all.insert(all.end(), shard.begin(), shard.end());
        }
        std::sort(all.begin(), all.end());
        EXPECT_EQ(all, list) << n;
    }
}

TEST(CliJson, StringsAreValidJsonAndKeepEveryByte)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "\"plain\""},
        {"q\"b\\", "\"q\\\"b\\\\\""},
        {"tab\tnl\n\x01", "\"tab\\u0009nl\\u000a\\u0001\""},
        {"caf\xc3\xa9 \xe2\x80\xa6", "\"caf\xc3\xa9 \xe2\x80\xa6\""},
        // Not UTF-8: a lone byte, an overlong slash, a cut-off sequence.
        {"a\xff"
         "b",
         "\"a\\udcffb\""},
        {"\xc0\xaf", "\"\\udcc0\\udcaf\""},
        {"\xe2\x80", "\"\\udce2\\udc80\""},
    };
    for (const auto &[text, json] : cases)
        EXPECT_EQ(JsonString(text), json);
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

namespace {

std::string shellWord(const std::string &s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// What a shell command prints on its standard output.
std::string outputOf(const std::string &command)
{
    std::string text;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, n);
    pclose(pipe);
    return text;
}

// A one-second clip whose first sound track is made by encoderArgs.
bool makeClip(const std::string &path, const std::string &encoderArgs, const std::string &extra = {})
{
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=5:duration=1 "
                                "-f lavfi -i sine=duration=1 -c:v mpeg4 " +
                                encoderArgs + " " + extra + " " + shellWord(path) + " 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

// The hash of the first sound track's packets, as they are in the file.
std::string packetHash(const std::string &path)
{
    return outputOf("ffmpeg -nostdin -v error -i " + shellWord("file:" + path) +
                    " -map 0:a:0 -c copy -f streamhash -hash sha256 -");
}

std::string lower(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

TEST(QuillonCliOriginal, CopiesEveryCodecsPacketsUnchanged)
{
    struct Case {
        const char *name, *encoder, *extension;
    };
    const Case cases[] = {
        {"aac.mkv", "-c:a aac", "M4A"},
        {"aac-in-mp4.mp4", "-c:a aac", "M4A"},
        {"alac.mkv", "-c:a alac", "M4A"},
        {"mp3.mkv", "-c:a libmp3lame", "MP3"},
        {"mp2.mkv", "-c:a mp2", "MP2"},
        {"ac3.mkv", "-c:a ac3 -ar 48000", "AC3"},
        {"eac3.mkv", "-c:a eac3 -ar 48000", "EAC3"},
        {"dts.mkv", "-c:a dca -strict -2 -ar 48000", "DTS"},
        {"flac.mkv", "-c:a flac", "FLAC"},
        {"opus.mkv", "-c:a libopus -ar 48000", "OPUS"},
        {"vorbis.mkv", "-c:a libvorbis", "OGG"},
        {"pcm.mkv", "-c:a pcm_s16le", "WAV"},
        {"wma.mkv", "-c:a wmav2", "WMA"},
        {"amr.amr", nullptr, "AMR"},           // written below: no AMR encoder here
        {"twos.mov", "-c:a pcm_s16be", "MKA"}, // big-endian PCM: no WAV
        {"wavpack.mkv", "-c:a wavpack", "MKA"},
    };
    ScratchDir src, out;
    QStringList args{"-f", "original", "-j", "2", "-q", "-o", q(out.path().string())};
    // An AMR-NB file of fifty 12.2 kbit/s frames: copying needs no encoder.
    std::string amr = "#!AMR\n";
    for (int frame = 0; frame < 50; ++frame)
        amr += std::string(1, '\x3c') + std::string(31, '\0');
    for (const Case &c : cases) {
        const std::string path = src.file(c.name);
        if (c.encoder)
            ASSERT_TRUE(makeClip(path, c.encoder)) << c.name;
        else
            WriteFile(path, amr);
        args << q(path);
    }
    const CliRun run = runCli(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const Case &c : cases) {
        const std::string source = src.file(c.name);
        const std::string stem = fs::path(c.name).stem().string();
        const std::string output = out.file(stem + "." + c.extension);
        EXPECT_NE(run.out.find("Done\t" + source + "\t" + output + "\t\n"), std::string::npos) << run.out;
        const std::string hash = packetHash(source);
        EXPECT_NE(hash.find("SHA256="), std::string::npos) << c.name;
        EXPECT_EQ(packetHash(output), hash) << c.name;
    }
}

namespace {

// Two sound tracks, English AAC at 44.1 kHz and German MP3 at 22.05 kHz,
// with the tags users keep, dated in 2020.
std::string taggedTwoTrackClip(const ScratchDir &dir)
{
    const std::string path = dir.file("two.mkv");
    const std::string command =
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=5:duration=1 -f lavfi -i sine=duration=1 "
        "-f lavfi -i sine=f=880:duration=1:sample_rate=22050 -map 0 -map 1 -map 2 -c:v mpeg4 -c:a:0 aac "
        "-c:a:1 libmp3lame -metadata 'title=The Title' -metadata artist=Artist -metadata album=Album "
        "-metadata date=2021 -metadata comment=Remark -metadata:s:a:0 language=eng -metadata:s:a:1 language=deu " +
        shellWord(path);
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(std::system(("touch -d 2020-01-02T03:04:05 " + shellWord(path)).c_str()), 0);
    return path;
}

} // namespace

TEST(QuillonCliOriginal, TakesTheChosenSoundTracks)
{
    ScratchDir src, out;
    const std::string two = taggedTwoTrackClip(src);
    const std::string o = out.path().string();
    struct Case {
        const char *track;
        std::string lines; // after the source
    };
    const Case cases[] = {
        {"first", "\t" + out.file("two.M4A") + "\t\n"},
        {"ger", "\t" + out.file("two.MP3") + "\t\n"}, // the file says "deu"
        {"jpn", "\t" + out.file("two.M4A") + "\tNo sound track in the language jpn; the first one was taken\n"},
        {"all", "\t" + out.file("two [eng].M4A") + "\t\nDone\t" + two + "\t" + out.file("two [deu].MP3") + "\t\n"},
    };
    for (const Case &c : cases) {
        ScratchDir fresh;
        const CliRun run = runCli({"-f", "original", "-t", c.track, "-o", q(fresh.path().string()), q(two)});
        std::string expected = "Done\t" + two + c.lines;
        // The names are those of the output folder of this run.
        for (size_t at; (at = expected.find(o)) != std::string::npos;)
            expected.replace(at, o.size(), fresh.path().string());
        EXPECT_EQ(run.out, expected) << c.track << "\n" << run.err;
        EXPECT_EQ(run.exitCode, 0) << c.track;
    }
    // Re-encoded, the German track is the one taken, and its language goes with it.
    const CliRun wav = runCli({"-f", "wav", "-r", "11025", "--track=deu", "-o", q(o), q(two)});
    EXPECT_EQ(wav.exitCode, 0) << wav.err;
    EXPECT_NE(lower(outputOf("ffprobe -v error -show_entries format_tags -of flat " + shellWord(out.file("two.WAV"))))
                  .find("language=\"deu\""),
              std::string::npos);
    // The probe names the codec of the first track, and how many there are.
    const CliRun probe = runCli({"-f", "original", "--probe", q(two)});
    EXPECT_EQ(probe.out, two + "\tAAC 44100 Hz mono (2 tracks) 64X48 00:00:01\n");
}

TEST(QuillonCliOriginal, TagsAndDatesCarryOverIntoEveryFormat)
{
    ScratchDir src;
    const std::string two = taggedTwoTrackClip(src);
    const std::vector<std::string> allTags{"title=\"the title\"", "artist=\"artist\"", "album=\"album\"",
                                           "date=\"2021\"", "comment=\"remark\""};
    struct Case {
        const char *format;
        std::vector<std::string> tags;
    };
    const Case cases[] = {
        {"mp3", allTags},
        {"mp4", allTags},
        {"wma", allTags},
        {"wav", allTags},
        {"aiff", allTags},
        {"ogg", allTags},
        {"original", allTags},
        // AU's header holds only these three.
        {"au", {"title=\"the title\"", "artist=\"artist\"", "album=\"album\""}},
    };
    for (const Case &c : cases) {
        ScratchDir out;
        const CliRun run = runCli({"-f", c.format, "-t", "eng", "-o", q(out.path().string()), q(two)});
        ASSERT_EQ(run.exitCode, 0) << c.format << run.err;
        const std::string output = run.out.substr(run.out.find('\t', run.out.find('\t') + 1) + 1,
                                                  run.out.rfind('\t') - run.out.find('\t', run.out.find('\t') + 1) - 1);
        const std::string tags =
            lower(outputOf("ffprobe -v error -show_entries format_tags:stream_tags -of flat " + shellWord(output)));
        for (const std::string &tag : c.tags)
            EXPECT_NE(tags.find(tag), std::string::npos) << c.format << " lacks " << tag << "\n" << tags;
        if (std::string(c.format) != "au" && std::string(c.format) != "aiff") {
            EXPECT_NE(tags.find("language=\"eng\""), std::string::npos) << c.format << "\n" << tags;
        }
        EXPECT_EQ(fs::last_write_time(output), fs::last_write_time(two)) << c.format;
    }
    // 3GP keeps them in its own boxes, which ffprobe does not show.
    ScratchDir out3gp;
    ASSERT_EQ(runCli({"-f", "3gp", "-o", q(out3gp.path().string()), q(two)}).exitCode, 0);
    const std::string bytes = ReadFile(out3gp.file("two.3GP"));
    for (const char *tag : {"The Title", "Artist", "Album", "Remark"})
        EXPECT_NE(bytes.find(tag), std::string::npos) << tag;
    // Without --keep-dates the file is dated when it was made.
    ScratchDir undated;
    ASSERT_EQ(runCli({"-f", "original", "--no-keep-dates", "-o", q(undated.path().string()), q(two)}).exitCode, 0);
    EXPECT_GT(fs::last_write_time(undated.file("two.M4A")), fs::last_write_time(two) + std::chrono::hours(24 * 365));
}

TEST(QuillonCliOriginal, ACodecNoContainerTakesIsAnErrorWithTheConvertersReason)
{
    ScratchDir src, out;
    const std::string qt = src.file("qt.mov");
    ASSERT_TRUE(makeClip(qt, "-c:a adpcm_ima_qt"));
    const CliRun run = runCli({"-f", "original", "-q", "-o", q(out.path().string()), q(qt)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.rfind("Error\t" + qt + "\t\tCould not write header", 0), 0u) << run.out;
    EXPECT_TRUE(fs::is_empty(out.path())) << "no partial or reserved file";
}

TEST(QuillonCli, SourcesFromStandardInputAndAFileWithJsonResults)
{
    ScratchDir src, out;
    const std::string a = src.file("a b.mp4"), c = src.file("c\nd.mp4");
    fs::copy_file(Clip("mp4"), a);
    fs::copy_file(Clip("mp4"), c);
    // NUL-separated, as find -print0 gives them: a line break is part of a name.
    const CliRun run = runCli({"-0", "--json", "-qfwav", "-o", q(out.path().string()), "-"}, [&](QProcess &p) {
        p.write(QByteArray::fromStdString(a + '\0' + c + '\0'));
        p.closeWriteChannel();
    });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> sources;
    for (const QByteArray &line : QByteArray::fromStdString(run.out).split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonObject o = QJsonDocument::fromJson(line, &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        EXPECT_EQ(o["state"].toString(), "Done");
        EXPECT_EQ(o["reason"].toString(), "");
        EXPECT_EQ(o["duration"].toInt(), 2);
        EXPECT_TRUE(fs::exists(o["output"].toString().toStdString()));
        sources.push_back(o["source"].toString().toStdString());
    }
    std::sort(sources.begin(), sources.end());
    EXPECT_EQ(sources, (std::vector<std::string>{a, c}));
    // A list file's relative entries are taken from its own folder.
    ScratchDir elsewhere;
    WriteFile(src.file("list.txt"), "a b.mp4\r\n\n");
    const CliRun listed =
        runCli({"-q", "-f", "mp3", "--from-file", q(src.file("list.txt")), "-o", q(elsewhere.path().string())});
    EXPECT_EQ(listed.out, "Done\t" + a + "\t" + elsewhere.file("a b.MP3") + "\t\n") << listed.err;
}

TEST(QuillonCli, ShardsSplitTheSourcesBeforeAnythingIsProbed)
{
    ScratchDir src;
    std::vector<std::string> paths;
    QStringList list;
    for (int i = 0; i < 5; ++i) {
        paths.push_back(src.file("clip" + std::to_string(i) + ".mp4"));
        fs::copy_file(Clip("mp4"), paths.back());
        list << q(paths.back());
    }
    std::string together;
    for (int k = 0; k < 2; ++k) {
        const CliRun run = runCli(QStringList{"--probe", "--shard", QString("%1/2").arg(k)} + list);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        together += run.out;
    }
    std::string expected;
    for (int i : {0, 2, 4, 1, 3})
        expected += paths[static_cast<size_t>(i)] + "\t160X120 00:00:02\n";
    EXPECT_EQ(together, expected);
    // A source of another shard is not even looked at: one that is missing
    // fails only the run whose shard it is in.
    list[1] = q(src.file("missing.mp4"));
    const CliRun other = runCli(QStringList{"--probe", "--shard", "0/2"} + list);
    EXPECT_EQ(other.exitCode, 0) << other.err;
    EXPECT_EQ(other.err.find("missing.mp4"), std::string::npos) << other.err;
    EXPECT_EQ(runCli(QStringList{"--probe", "--shard", "1/2"} + list).exitCode, 1);
}

TEST(QuillonCli, NoEscapeSequencesForADumbTerminal)
{
    ScratchDir src, out;
    const std::string a = src.file("a.mp4");
    fs::copy_file(Clip("four"), a);
    // script gives the program a terminal of its own.
    const std::string command =
        "TERM=dumb script -qec " +
        shellWord(ProgramDir() + "quillon-cli -o " + shellWord(out.path().string()) + " " + shellWord(a)) +
        " /dev/null";
    const std::string seen = outputOf(command);
    EXPECT_NE(seen.find("Done"), std::string::npos) << seen;
    EXPECT_EQ(seen.find('\033'), std::string::npos) << seen;
}
