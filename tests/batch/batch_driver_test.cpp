#include "app/engine.h"
#include "platform/file_system.h"
#include "platform/program_layout.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

namespace {

class RecordingView : public BatchView {
public:
    OutputOptions Options;
    std::vector<std::string> Messages;
    std::vector<int> Positions;
    std::string Status;
    bool Running = false;
    int CaptionRestored = 0;
    std::vector<std::string> Finished; // "index:state"
    std::vector<std::string> Reasons;  // of each "Error"

    void ShowMessage(const std::string &text) override { Messages.push_back(text); }
    void SetBatchButtons(bool running) override { Running = running; }
    void SetProgressPosition(int p) override { Positions.push_back(p); }
    void SetStatusText(const std::string &t) override { Status = t; }
    void RestoreCaption() override { ++CaptionRestored; }
    OutputOptions CurrentOptions() override { return Options; }
    std::function<void(int index)> OnEntryFinished;
    void EntryFinished(int index, EntryState state, const std::vector<std::string> &,
                       const std::string &reason) override
    {
        Finished.push_back(std::to_string(index) + ":" + EntryStateText(state));
        if (state == EntryState::Error)
            Reasons.push_back(reason);
        if (OnEntryFinished)
            OnEntryFinished(index);
    }
};

class Batch : public ::testing::Test {
protected:
    ScratchDir out, sources;
    RecordingView view;
    std::unique_ptr<Engine> engine;

    void SetUp() override
    {
        view.Options.OutputDir = out.path().string() + "/";
        view.Options.FormatIndex = 0;
        view.Options.SampleRateIndex = 1;
        view.Options.BitRateIndex = 4;
        engine = std::make_unique<Engine>(ProgramDir(), view);
    }

    // A copy of a clip under a name of our own.
    std::string source(const std::string &kind, const std::string &name)
    {
        const std::string path = sources.file(name);
        if (!fs::exists(path))
            fs::copy_file(Clip(kind), path);
        return path;
    }
    void add(const std::vector<std::string> &paths)
    {
        std::vector<AddItem> items;
        for (const auto &p : paths)
            items.push_back({p, AddKind::Source});
        engine->Adder.Offer(items);
    }
    std::vector<std::string> progress() const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < engine->Jobs.Count(); ++i)
            texts.push_back(engine->Jobs.Entry(i).Progress);
        return texts;
    }
    bool runBatch(int timeoutMs = 60000)
    {
        engine->Batch.btnConvertClick();
        return PumpUntil([&] { return engine->Batch.Idle() && !engine->Batch.ConverterActive(); }, timeoutMs);
    }
    std::vector<std::string> outputs() const
    {
        std::vector<std::string> names;
        for (const auto &e : fs::directory_iterator(out.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Runs action from the event loop as soon as pred holds; the batch may be
    // deep inside a nested wait then.
    void whenever(std::function<bool()> pred, std::function<void()> action)
    {
        auto *timer = new QTimer();
        QObject::connect(timer, &QTimer::timeout, [timer, pred, action] {
            if (!pred())
                return;
            timer->stop();
            timer->deleteLater();
            action();
        });
        timer->start(5);
    }
};

struct FormatCase {
    int formatIndex;
    bool mono;
    const char *codec;
    const char *alternativeCodec;
    int sampleRate, channels;
};

void PrintTo(const FormatCase &c, std::ostream *os) { *os << FileFormats[static_cast<size_t>(c.formatIndex)]; }

class EveryFormat : public Batch, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(EveryFormat, GivesAPlayableFile)
{
    const FormatCase &c = GetParam();
    view.Options.FormatIndex = c.formatIndex;
    view.Options.Mono = c.mono;
    add({source("mp4", "clip one.mp4")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), std::vector<std::string>{"Done"});
    const std::string output = engine->Batch.OutputFile();
    EXPECT_EQ(fs::path(output).filename().string(),
              "clip one." + std::string(FileFormats[static_cast<size_t>(c.formatIndex)]));
    const ProbedAudio audio = FfprobeAudio(output);
    EXPECT_TRUE(audio.codec == c.codec || audio.codec == c.alternativeCodec) << audio.codec;
    EXPECT_EQ(audio.sampleRate, c.sampleRate);
    EXPECT_EQ(audio.channels, c.channels);
    EXPECT_NEAR(audio.duration, 2.0, 0.2);
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat,
                         ::testing::Values(FormatCase{0, false, "mp3", "mp3", 22050, 2},
                                           FormatCase{1, true, "aac", "aac", 22050, 1},
                                           FormatCase{2, false, "amr_nb", "aac", 8000, 1},
                                           FormatCase{3, false, "wmav2", "wmav2", 22050, 2},
                                           FormatCase{4, true, "pcm_s16le", "pcm_s16le", 22050, 1},
                                           FormatCase{5, false, "pcm_s16be", "pcm_s16be", 22050, 2},
                                           FormatCase{6, false, "pcm_s16be", "pcm_s16be", 22050, 2},
                                           FormatCase{7, false, "vorbis", "vorbis", 22050, 2}),
                         [](const ::testing::TestParamInfo<FormatCase> &info) {
                             return std::string(FileFormats[static_cast<size_t>(info.param.formatIndex)]);
                         });

} // namespace

TEST_F(Batch, FourEntriesAllDone)
{
    add({source("mp4", "a.mp4"), source("avi", "b.avi"), source("wmv", "c.wmv"), source("mkv", "d.mkv")});
    ASSERT_EQ(engine->Jobs.Count(), 4);
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", "Done", "Done", "Done"}));
    EXPECT_EQ(view.Positions, (std::vector<int>{0, 25, 50, 75, 100}));
    EXPECT_EQ(view.Status, "Ready");
    EXPECT_FALSE(view.Running);
    EXPECT_GE(view.CaptionRestored, 1);
    EXPECT_EQ(outputs(), (std::vector<std::string>{"a.MP3", "b.MP3", "c.MP3", "d.MP3"}));
    EXPECT_TRUE(engine->Batch.WrapperScript().empty());
    EXPECT_EQ(engine->Batch.CurrentIndex(), 4);
}

TEST_F(Batch, EmptyListDoesNothing)
{
    engine->Batch.btnConvertClick();
    EXPECT_TRUE(engine->Batch.Idle());
    EXPECT_EQ(view.Status, "");
    EXPECT_TRUE(view.Positions.empty());
}

TEST_F(Batch, AnOptionWithoutSelectionRefusesToStart)
{
    add({source("mp4", "a.mp4")});
    view.Options.BitRateIndex = -1;
    engine->Batch.btnConvertClick();
    EXPECT_TRUE(engine->Batch.Idle());
    EXPECT_EQ(view.Messages, std::vector<std::string>{"Please choose an audio bit rate in the options"});
    EXPECT_FALSE(view.Running);
    EXPECT_TRUE(outputs().empty());
}

TEST_F(Batch, TheOptionsOfABatchAreThoseItStartedWith)
{
    add({source("mp4", "a.mp4"), source("mp4", "b.mp4")});
    view.OnEntryFinished = [&](int) { view.Options.FormatIndex = 4; }; // WAV, too late for this batch
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(outputs(), (std::vector<std::string>{"a.MP3", "b.MP3"}));
}

TEST_F(Batch, RejectedEntriesAreSkippedSilently)
{
    const std::string gone = source("mp4", "gone.mp4");
    add({source("mp4", "a.mp4"), gone, source("mp4", "c.mp4")});
    fs::remove(gone);
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", "", "Done"}));
    EXPECT_TRUE(view.Messages.empty());
}

TEST_F(Batch, EveryEntryRejectedEndsAtOnce)
{
    const std::string a = source("mp4", "a.mp4"), b = source("mp4", "b.mp4");
    add({a, b});
    fs::remove(a);
    fs::remove(b);
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(view.Status, "Ready");
    EXPECT_EQ(view.Positions, std::vector<int>{100});
}

TEST_F(Batch, AMissingOutputDirectoryMakesEveryEntryAnError)
{
    add({source("mp4", "a.mp4"), source("mp4", "b.mp4")});
    view.Options.OutputDir = out.file("missing") + "/";
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), (std::vector<std::string>{"Error", "Error"}));
    EXPECT_EQ(view.Reasons, std::vector<std::string>(2, "The output folder does not exist: " + view.Options.OutputDir));
    EXPECT_EQ(engine->Jobs.Entry(1).Reason, view.Reasons[1]);
}

TEST_F(Batch, AConverterThatFailsLeavesErrorAndNoPartialOutput)
{
    // The whole file is written, but the converter reports failure.
    WriteScript(out.file("../failing-ffmpeg.sh"), "ffmpeg \"$@\"\nexit 1\n");
    ScopedEnv env("QUILLON_FFMPEG", out.file("../failing-ffmpeg.sh"));
    add({source("mp4", "a.mp4"), source("mp4", "b.mp4")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), (std::vector<std::string>{"Error", "Error"}));
    EXPECT_TRUE(outputs().empty());
    EXPECT_EQ(view.Reasons, std::vector<std::string>(2, "The converter failed with exit code 1"));
    fs::remove(out.file("../failing-ffmpeg.sh"));
}

TEST_F(Batch, ASecondBatchClearsTheTextsAndNumbersItsOutputs)
{
    view.Options.NamingMethod = 1;
    add({source("mp4", "a.mp4"), source("mp4", "b.mp4")});
    ASSERT_TRUE(runBatch());
    std::vector<std::string> seen;
    engine->Batch.btnConvertClick();
    EXPECT_EQ(progress()[1], ""); // cleared before the first entry started
    ASSERT_TRUE(PumpUntil([&] { return engine->Batch.Idle() && !engine->Session.Runner().Active(); }));
    EXPECT_EQ(outputs(), (std::vector<std::string>{"0(1).MP3", "0.MP3", "1(1).MP3", "1.MP3"}));
}

TEST_F(Batch, OverwriteOffNeverTouchesAnExistingFile)
{
    WriteFile(out.file("a.MP3"), "mine");
    add({source("mp4", "a.mp4")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(ReadFile(out.file("a.MP3")), "mine");
    EXPECT_EQ(fs::path(engine->Batch.OutputFile()).filename(), "a(1).MP3");
    EXPECT_EQ(progress()[0], "Done");
}

TEST_F(Batch, OverwriteOnReplacesTheOldOutput)
{
    WriteFile(out.file("a.MP3"), "old");
    view.Options.OverwriteExisting = true;
    add({source("mp4", "a.mp4")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress()[0], "Done");
    EXPECT_EQ(FfprobeAudio(out.file("a.MP3")).codec, "mp3");
}

TEST_F(Batch, ASourceIsNeverOverwrittenByItsOwnOutput)
{
    // An audio file named like its own output, in the output directory.
    const std::string song = out.file("song.MP3");
    fs::copy_file(Clip("mp3"), song);
    const std::string before = ReadFile(song);
    view.Options.OverwriteExisting = true;
    add({song});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress()[0], "Done");
    EXPECT_EQ(ReadFile(song), before);
    EXPECT_EQ(fs::path(engine->Batch.OutputFile()).filename(), "song(1).MP3");
}

TEST_F(Batch, StopDuringAnExtractionAbortsAndRemovesItsFiles)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(true, false));
    ScratchDir temp;
    ScopedEnv tmp("TMPDIR", temp.path().string());
    add({source("four", "slow.avi"), source("mp4", "next.mp4")});
    ASSERT_EQ(engine->Jobs.Count(), 2);
    engine->Batch.btnConvertClick();
    ASSERT_TRUE(view.Running);
    EXPECT_EQ(view.Status, "Batch converting");
    ASSERT_TRUE(PumpUntil([&] { return progress()[0] != "0%" && !progress()[0].empty(); }, 10000));
    EXPECT_NE(progress()[0].find('%'), std::string::npos);
    const std::string partial = engine->Batch.OutputFile();
    const std::string script = engine->Batch.WrapperScript();
    EXPECT_FALSE(script.empty()) << "an .avi is read through a wrapper script";
    EXPECT_TRUE(fs::exists(partial));
    engine->Batch.btnStopConvertClick();
    EXPECT_FALSE(view.Running);
    EXPECT_EQ(view.Status, "Ready");
    EXPECT_FALSE(fs::exists(partial));
    EXPECT_FALSE(fs::exists(script));
    ASSERT_TRUE(PumpUntil([&] { return !engine->Session.Runner().Active(); }));
    EXPECT_EQ(progress(), (std::vector<std::string>{"Abort", ""}));
    PumpFor(200);
    EXPECT_TRUE(outputs().empty());
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

TEST_F(Batch, StopWhileTheNextEntryIsProbedKeepsTheFinishedOutput)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(false, true));
    add({source("mp4", "a.mp4"), source("mp4", "b.mp4"), source("mp4", "c.mp4")});
    // Touched since they were admitted: the batch probes them again.
    for (const char *name : {"b.mp4", "c.mp4"})
        fs::last_write_time(sources.file(name), fs::file_time_type::clock::now());
    bool stopped = false;
    whenever([&] { return progress()[0] == "Done"; },
             [&] {
                 stopped = true;
                 engine->Batch.btnStopConvertClick();
             });
    ASSERT_TRUE(runBatch());
    ASSERT_TRUE(stopped);
    PumpFor(300);
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", "", ""}));
    EXPECT_EQ(outputs(), std::vector<std::string>{"a.MP3"});
    EXPECT_EQ(FfprobeAudio(out.file("a.MP3")).codec, "mp3");
    EXPECT_FALSE(view.Running);
}

TEST_F(Batch, StopBeforeAnyBatchOnlyResetsTheButtons)
{
    add({source("mp4", "a.mp4")});
    ASSERT_TRUE(runBatch());
    const std::string output = engine->Batch.OutputFile();
    view.Running = true;
    engine->Batch.btnStopConvertClick();
    EXPECT_FALSE(view.Running);
    EXPECT_EQ(view.Status, "Ready");
    EXPECT_TRUE(fs::exists(output)) << "the previous batch's output must survive";
}

TEST_F(Batch, AConverterThatCannotStartEndsTheBatchWithAMessage)
{
    ScratchDir emptyProgramDir;
    add({source("mp4", "a.mp4"), source("mp4", "b.mp4")});
    Engine broken(emptyProgramDir.path().string() + "/", view);
    broken.Jobs.Append(source("mp4", "a.mp4"), "x");
    broken.Jobs.Append(source("mp4", "b.mp4"), "x");
    broken.Batch.btnConvertClick();
    PumpFor(50);
    EXPECT_TRUE(broken.Batch.Idle());
    EXPECT_FALSE(view.Running);
    EXPECT_EQ(broken.Jobs.Entry(0).Progress, "Error");
    EXPECT_EQ(broken.Jobs.Entry(1).Progress, "");
    // The runner's words, then where the launcher was looked for and why.
    const std::string message =
        "Error creating process : 2\n" + LauncherMissingText(LayoutOf(emptyProgramDir.path().string() + "/"), ENOENT);
    EXPECT_EQ(view.Messages, std::vector<std::string>{message});
    EXPECT_EQ(broken.Jobs.Entry(0).Reason, message);
}

TEST_F(Batch, AScriptThatCannotBeWrittenForTheNextEntryEndsTheBatch)
{
    add({source("mp4", "a.mp4"), source("avi", "b.avi"), source("mp4", "c.mp4")});
    ScopedEnv tmp("TMPDIR", out.file("missing-temp"));
    ASSERT_TRUE(runBatch());
    PumpFor(50);
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", "Error", ""}));
    ASSERT_EQ(view.Messages.size(), 1u);
    EXPECT_EQ(view.Messages[0].rfind("Cannot create file", 0), 0u);
    EXPECT_FALSE(view.Running);
}

TEST_F(Batch, AnAddDuringAnExtractionWaitsAndDisturbsNothing)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(true, false));
    add({source("four", "long.mp4")});
    bool offered = false, handledNow = true;
    std::vector<std::string> seen;
    whenever([&] { return !progress().empty() && progress()[0] != "0%" && !progress()[0].empty(); },
             [&] {
                 offered = true;
                 handledNow = engine->Adder.Offer({{source("mp4", "added.mp4"), AddKind::Source}});
             });
    engine->Batch.btnConvertClick();
    ASSERT_TRUE(PumpUntil([&] { return offered; }, 10000));
    EXPECT_FALSE(handledNow);
    EXPECT_EQ(engine->Jobs.Count(), 1);
    EXPECT_EQ(engine->Adder.QueuedRequests(), 1u);
    EXPECT_EQ(engine->Session.Facts().Duration, 4) << "the extraction's facts are its own";
    ASSERT_TRUE(PumpUntil([&] { return engine->Batch.Idle() && engine->Jobs.Count() == 2; }, 20000));
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", ""}));
    EXPECT_EQ(engine->Jobs.Entry(1).Information, "160X120 00:00:02");
    EXPECT_EQ(FfprobeAudio(out.file("long.MP3")).codec, "mp3");
}

TEST_F(Batch, StopOutsideABatchLeavesAnAddsProbeAlone)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(false, true));
    bool pressed = false;
    whenever([&] { return engine->Adder.Busy() && engine->Session.Runner().Active(); },
             [&] {
                 pressed = true;
                 engine->Batch.btnStopConvertClick();
             });
    add({source("mp4", "a.mp4")});
    EXPECT_TRUE(pressed);
    EXPECT_EQ(engine->Jobs.Count(), 1);
    EXPECT_TRUE(view.Messages.empty());
}

TEST_F(Batch, ExtractDoesNothingWhileAnAddProbes)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(false, true));
    add({source("mp4", "a.mp4")});
    bool pressed = false;
    whenever([&] { return engine->Adder.Busy() && engine->Session.Runner().Active(); },
             [&] {
                 pressed = true;
                 engine->Batch.btnConvertClick();
                 EXPECT_TRUE(engine->Batch.Idle());
             });
    add({source("mp4", "b.mp4")});
    EXPECT_TRUE(pressed);
    EXPECT_EQ(progress(), (std::vector<std::string>{"", ""}));
}

TEST_F(Batch, DeleteIsRefusedDuringABatch)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(true, false));
    add({source("four", "a.mp4"), source("mp4", "b.mp4")});
    engine->Jobs.SetSelected(1, true);
    engine->Batch.btnConvertClick();
    EXPECT_FALSE(engine->DeleteSelectedEntries());
    engine->ClearEntries();
    EXPECT_EQ(engine->Jobs.Count(), 2);
    engine->Batch.btnStopConvertClick();
    ASSERT_TRUE(PumpUntil([&] { return !engine->Session.Runner().Active(); }));
    EXPECT_TRUE(engine->DeleteSelectedEntries());
    EXPECT_EQ(engine->Jobs.Count(), 1);
}

TEST(FileSizeOf, IsSixtyFourBit)
{
    ScratchDir dir;
    const std::string big = dir.file("big.MP3");
    const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 3LL << 30), 0); // sparse: no disk is used
    ::close(fd);
    EXPECT_EQ(FileSizeOf(big), 3LL << 30);
    EXPECT_EQ(FileSizeOf(dir.file("missing")), -1);
}

// The converter writes the whole file, then cuts it short and says so, but
// still exits with 0, as FFmpeg does after a failed trailer on a full disk.
TEST_F(Batch, AFullDiskIsAnErrorEvenWhenTheConverterSaysItSucceeded)
{
    const std::string liar = out.file("../lying-ffmpeg.sh");
    WriteScript(liar, "for last; do :; done\n"
                      "ffmpeg \"$@\" || exit\n"
                      "truncate -s 1000 \"${last#file:}\"\n"
                      "echo \"Error writing trailer of $last: No space left on device\" >&2\n"
                      "exit 0\n");
    ScopedEnv env("QUILLON_FFMPEG", liar);
    add({source("mp4", "talk.mp4")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), std::vector<std::string>{"Error"});
    EXPECT_TRUE(outputs().empty()) << "neither the cut file nor its reserved name stays";
    ASSERT_EQ(view.Reasons.size(), 1u);
    EXPECT_NE(view.Reasons[0].find("No space left on device"), std::string::npos) << view.Reasons[0];
    EXPECT_NE(view.Reasons[0].find("the output file could not be written whole"), std::string::npos) << view.Reasons[0];
    fs::remove(liar);
}

TEST_F(Batch, AFileSizeLimitIsAnErrorWithItsReason)
{
    // Writes past the limit fail with EFBIG instead of ending the converter.
    const std::string limited = out.file("../limited-ffmpeg.sh");
    WriteScript(limited, "trap '' XFSZ\nulimit -f 20\nexec ffmpeg \"$@\"\n");
    ScopedEnv env("QUILLON_FFMPEG", limited);
    view.Options.FormatIndex = 4; // WAV: 2 s are about 88 KB, more than the 10 KB allowed
    add({source("mp4", "talk.mp4")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), std::vector<std::string>{"Error"});
    EXPECT_TRUE(outputs().empty());
    ASSERT_EQ(view.Reasons.size(), 1u);
    EXPECT_NE(view.Reasons[0].find("File too large"), std::string::npos) << view.Reasons[0];
    fs::remove(limited);
}

TEST_F(Batch, AKilledConverterSaysSo)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(true, false));
    add({source("four", "talk.mp4")});
    whenever([&] { return progress()[0] != "0%" && !progress()[0].empty(); },
             [&] {
                 // FFmpeg, the launcher's child: only this test's.
                 const std::string launcher = std::to_string(engine->Session.Runner().ProcessId());
                 const std::string children = ReadFile("/proc/" + launcher + "/task/" + launcher + "/children");
                 ::kill(static_cast<pid_t>(std::atoi(children.c_str())), SIGKILL);
             });
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), std::vector<std::string>{"Error"});
    EXPECT_TRUE(outputs().empty());
    ASSERT_EQ(view.Reasons.size(), 1u);
    EXPECT_EQ(view.Reasons[0], "FFmpeg was ended by signal 9 (Killed)");
}

TEST_F(Batch, TwoBatchesIntoOneFolderBothKeepTheirOutput)
{
    RecordingView otherView;
    otherView.Options = view.Options;
    Engine other(ProgramDir(), otherView);
    add({source("mp4", "talk.mp4")});
    ScratchDir elsewhere;
    const std::string second = (elsewhere.path() / "talk.avi").string();
    fs::copy_file(Clip("avi"), second);
    other.Adder.Offer({{second, AddKind::Source}});
    engine->Batch.btnConvertClick();
    other.Batch.btnConvertClick();
    ASSERT_TRUE(PumpUntil(
        [&] {
            return engine->Batch.Idle() && other.Batch.Idle() && !engine->Session.Runner().Active() &&
                   !other.Session.Runner().Active();
        },
        60000));
    EXPECT_EQ(progress(), std::vector<std::string>{"Done"});
    EXPECT_EQ(other.Jobs.Entry(0).Progress, "Done");
    EXPECT_EQ(outputs(), (std::vector<std::string>{"talk(1).MP3", "talk.MP3"}));
    EXPECT_NEAR(FfprobeAudio(out.file("talk.MP3")).duration, 2.0, 0.2);
    EXPECT_NEAR(FfprobeAudio(out.file("talk(1).MP3")).duration, 2.0, 0.2);
}

TEST_F(Batch, AStopDuringTheProbeIsNotRememberedAsABadFile)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(false, true));
    const std::string talk = source("mp4", "talk.mp4");
    add({talk});
    fs::last_write_time(talk, fs::file_time_type::clock::now()); // probed again at its turn
    whenever([&] { return !engine->Batch.Idle() && engine->Session.Runner().Active(); },
             [&] { engine->Batch.btnStopConvertClick(); });
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), std::vector<std::string>{""});
    add({talk});
    EXPECT_EQ(engine->Jobs.Count(), 2) << "added again";
    EXPECT_TRUE(view.Messages.empty());
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", "Done"}));
}

struct ChannelCase {
    int formatIndex;
    bool mono;
    int channels;
};

class SurroundSources : public Batch, public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(SurroundSources, GetTheChannelsTheUserChose)
{
    const ChannelCase &c = GetParam();
    view.Options.FormatIndex = c.formatIndex;
    view.Options.Mono = c.mono;
    add({source("surround", "five one.mp4")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), std::vector<std::string>{"Done"});
    EXPECT_EQ(FfprobeAudio(engine->Batch.OutputFile()).channels, c.channels);
}

INSTANTIATE_TEST_SUITE_P(Channels, SurroundSources,
                         ::testing::Values(ChannelCase{7, true, 1}, ChannelCase{7, false, 2}, ChannelCase{0, true, 1},
                                           ChannelCase{2, false, 1}),
                         [](const ::testing::TestParamInfo<ChannelCase> &info) {
                             return std::string(FileFormats[static_cast<size_t>(info.param.formatIndex)]) +
                                    (info.param.mono ? "Mono" : "Stereo");
                         });

struct RateCase {
    int formatIndex, sampleRateIndex, bitRateIndex;
    bool mono;
};

class RefusedBitRates : public Batch, public ::testing::WithParamInterface<RateCase> {};

// Bit rates from the option lists that the encoders refuse as they are.
TEST_P(RefusedBitRates, StillGiveAFileInTheChosenFormat)
{
    const RateCase &c = GetParam();
    view.Options.FormatIndex = c.formatIndex;
    view.Options.SampleRateIndex = c.sampleRateIndex;
    view.Options.BitRateIndex = c.bitRateIndex;
    view.Options.Mono = c.mono;
    add({source("mp4", "talk.mp4")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), std::vector<std::string>{"Done"}) << (view.Reasons.empty() ? "" : view.Reasons[0]);
    const ProbedAudio audio = FfprobeAudio(engine->Batch.OutputFile());
    EXPECT_EQ(audio.codec, c.formatIndex == 3 ? "wmav2" : "vorbis");
    EXPECT_EQ(audio.sampleRate, std::stoi(SampleRates[static_cast<size_t>(c.sampleRateIndex)]));
}

INSTANTIATE_TEST_SUITE_P(Edges, RefusedBitRates,
                         ::testing::Values(RateCase{3, 0, 0, false},   // WMA 11025 Hz 16 kbit/s
                                           RateCase{7, 0, 12, true},   // OGG 11025 Hz 320 kbit/s mono
                                           RateCase{7, 1, 0, false},   // OGG 22050 Hz 16 kbit/s
                                           RateCase{7, 2, 1, false})); // OGG 44100 Hz 24 kbit/s

TEST_F(Batch, OverwriteNeverReplacesAnOutputOfTheSameBatch)
{
    view.Options.OverwriteExisting = true;
    WriteFile(out.file("talk.MP3"), "an old output");
    ScratchDir elsewhere;
    const std::string second = (elsewhere.path() / "talk.mp4").string();
    fs::copy_file(Clip("mp4"), second);
    add({source("mp4", "talk.mp4"), second});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", "Done"}));
    EXPECT_EQ(outputs(), (std::vector<std::string>{"talk(1).MP3", "talk.MP3"}));
    EXPECT_EQ(FfprobeAudio(out.file("talk.MP3")).codec, "mp3") << "the old output was replaced, as asked";
}

// ---- Several sound tracks of one source

TEST_F(Batch, AnEntryWithAllItsTracksIsDoneWhenEveryTrackIs)
{
    view.Options.Track = "all";
    add({source("tracks", "film.mkv"), source("mp4", "one.mp4")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", "Done"}));
    EXPECT_EQ(outputs(), (std::vector<std::string>{"film [eng].MP3", "film [ger].MP3", "one.MP3"}));
    EXPECT_EQ(FfprobeAudio(out.file("film [ger].MP3")).codec, "mp3");
}

TEST_F(Batch, OriginalNeedsNoRateChosen)
{
    view.Options.FormatIndex = OriginalFormat;
    view.Options.SampleRateIndex = view.Options.BitRateIndex = -1;
    add({source("tracks", "film.mkv")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), std::vector<std::string>{"Done"});
    EXPECT_EQ(outputs(), std::vector<std::string>{"film.M4A"});
}

TEST_F(Batch, ATrackThatFailsMakesTheEntryAnErrorAndKeepsTheWholeOnes)
{
    // This converter cannot extract the second sound track (stream 2).
    const std::string failing = sources.file("ffmpeg.sh");
    WriteScript(failing, "case \" $* \" in *\" -map 0:2 \"*) echo 'track 2: no good' >&2; exit 1 ;; esac\n"
                         "exec ffmpeg \"$@\"\n");
    ScopedEnv env("QUILLON_FFMPEG", failing);
    view.Options.Track = "all";
    add({source("tracks", "film.mkv")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), std::vector<std::string>{"Error"});
    EXPECT_EQ(view.Reasons, std::vector<std::string>{"track 2: no good"});
    EXPECT_EQ(outputs(), std::vector<std::string>{"film [eng].MP3"}) << "the whole file stays, nothing else";
}

TEST_F(Batch, StopDuringTheSecondTrackAbortsAndKeepsTheFirst)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(true, false));
    view.Options.Track = "all";
    add({source("tracks", "film.mkv")});
    std::vector<double> percentages;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const std::string text = progress()[0];
        if (!text.empty() && text.back() == '%')
            percentages.push_back(std::stod(text));
    });
    sampler.start(5);
    engine->Batch.btnConvertClick();
    ASSERT_TRUE(PumpUntil(
        [&] {
            return fs::exists(out.file("film [eng].MP3")) && progress()[0] != "50.0%" && !percentages.empty() &&
                   percentages.back() > 55;
        },
        20000));
    engine->Batch.btnStopConvertClick();
    ASSERT_TRUE(PumpUntil([&] { return !engine->Batch.ConverterActive(); }));
    PumpFor(100);
    EXPECT_EQ(progress(), std::vector<std::string>{"Abort"});
    EXPECT_EQ(outputs(), std::vector<std::string>{"film [eng].MP3"});
    // One percentage for the whole entry: it never goes back at the second track.
    EXPECT_TRUE(std::is_sorted(percentages.begin(), percentages.end())) << [&] {
        std::string t;
        for (double p : percentages)
            t += std::to_string(p) + " ";
        return t;
    }();
}

TEST_F(Batch, ATrackFinishedWhileItsEntryGoesOnIsNeverReplacedByAnother)
{
    // A's first track is done while its second runs; then a source of the
    // same name starts beside it, overwriting on.
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(true, false));
    view.Options.Track = "all";
    view.Options.OverwriteExisting = true;
    view.Options.Simultaneous = 2;
    ScratchDir other;
    const std::string sameName = other.file("film.mkv");
    fs::copy_file(Clip("tracks"), sameName);
    add({source("tracks", "film.mkv"), source("four", "slow.mp4"), sameName});
    ASSERT_TRUE(runBatch(60000));
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", "Done", "Done"}));
    EXPECT_EQ(outputs(), (std::vector<std::string>{"film [eng](1).MP3", "film [eng].MP3", "film [ger](1).MP3",
                                                   "film [ger].MP3", "slow.MP3"}));
}

// ---- Several extractions at once

class Parallel : public Batch, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        Batch::SetUp();
        view.Options.Simultaneous = GetParam();
    }
    // The largest number of converters that ran at once, sampled until the
    // test ends.
    int mostAtOnce = 0;
    QTimer sampler;
    void watchConverters()
    {
        QObject::connect(&sampler, &QTimer::timeout, [this] {
            int active = 0;
            for (int lane = 0; lane < engine->Converters.LaneCount(); ++lane)
                active += engine->Converters.Session(lane).Runner().Active();
            mostAtOnce = std::max(mostAtOnce, active);
        });
        sampler.start(5);
    }
};

TEST_P(Parallel, EntriesEndInTheirOwnOrderWithUniqueNames)
{
    // Two sources called "talk" in two folders, and a long one first: it ends last.
    ScratchDir other;
    const std::string otherTalk = other.file("talk.mp4");
    fs::copy_file(Clip("mp4"), otherTalk);
    add({source("long", "long.mp4"), source("mp4", "talk.mp4"), otherTalk, source("mp4", "brief.mp4")});
    ASSERT_EQ(engine->Jobs.Count(), 4);
    std::vector<std::string> statuses;
    view.OnEntryFinished = [&](int) { statuses.push_back(view.Status); };
    watchConverters();
    ASSERT_TRUE(runBatch());
    EXPECT_NE(view.Finished.front(), "0:Done") << "a short entry ends before the long one it ran beside";
    EXPECT_EQ(view.Finished.size(), 4u);
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", "Done", "Done", "Done"}));
    EXPECT_EQ(outputs(), (std::vector<std::string>{"brief.MP3", "long.MP3", "talk(1).MP3", "talk.MP3"}));
    for (const std::string &name : outputs())
        EXPECT_EQ(FfprobeAudio(out.file(name)).codec, "mp3") << name;
    EXPECT_EQ(mostAtOnce, GetParam());
    EXPECT_NE(
        std::find(statuses.begin(), statuses.end(), "Batch converting: " + std::to_string(GetParam()) + " at once"),
        statuses.end());
    EXPECT_EQ(view.Status, "Ready");
    // The bar shows the finished share: it never goes back, and ends full.
    EXPECT_TRUE(std::is_sorted(view.Positions.begin(), view.Positions.end()));
    EXPECT_EQ(view.Positions.back(), 100);
    EXPECT_GT(view.Positions.size(), 4u) << "a running entry's share moves the bar";
}

TEST_P(Parallel, StopAbortsEveryRunningEntryAndRemovesTheirFiles)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(true, false));
    std::vector<std::string> paths;
    for (int i = 0; i <= GetParam(); ++i)
        paths.push_back(source("four", "clip" + std::to_string(i) + ".mp4"));
    add(paths);
    engine->Batch.btnConvertClick();
    ASSERT_TRUE(PumpUntil([&] {
        for (int i = 0; i < GetParam(); ++i)
            if (progress()[static_cast<size_t>(i)].find('%') == std::string::npos ||
                progress()[static_cast<size_t>(i)] == "0%")
                return false;
        return true;
    }));
    EXPECT_EQ(engine->Batch.RunningCount(), GetParam());
    EXPECT_EQ(progress().back(), "") << "one more entry than converters waits";
    engine->Batch.btnStopConvertClick();
    EXPECT_FALSE(view.Running);
    ASSERT_TRUE(PumpUntil([&] { return !engine->Batch.ConverterActive(); }));
    PumpFor(200);
    std::vector<std::string> expected(static_cast<size_t>(GetParam()), "Abort");
    expected.push_back("");
    EXPECT_EQ(progress(), expected) << "no entry starts after Stop";
    EXPECT_TRUE(outputs().empty()) << "no partial or reserved file is left";
}

TEST_P(Parallel, AFailingEntryNeverStopsTheOthers)
{
    // This converter probes everything but cannot extract "bad".
    const std::string failing = sources.file("ffmpeg.sh");
    WriteScript(failing, "case \" $* \" in *\" -vn \"*bad*) echo 'bad: no good' >&2; exit 1 ;; esac\n"
                         "exec ffmpeg \"$@\"\n");
    ScopedEnv env("QUILLON_FFMPEG", failing);
    add({source("mp4", "one.mp4"), source("mp4", "bad.mp4"), source("mp4", "two.mp4"), source("mp4", "three.mp4")});
    ASSERT_TRUE(runBatch());
    EXPECT_EQ(progress(), (std::vector<std::string>{"Done", "Error", "Done", "Done"}));
    EXPECT_EQ(view.Reasons, std::vector<std::string>{"bad: no good"});
    EXPECT_EQ(outputs(), (std::vector<std::string>{"one.MP3", "three.MP3", "two.MP3"}));
    EXPECT_TRUE(view.Messages.empty());
}

TEST_P(Parallel, ASourceThatVanishesMidBatchIsPassedOverWithItsReason)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(true, false));
    std::vector<std::string> paths;
    for (int i = 0; i < GetParam(); ++i)
        paths.push_back(source("mp4", "clip" + std::to_string(i) + ".mp4"));
    const std::string gone = source("mp4", "gone.mp4");
    paths.push_back(gone);
    add(paths);
    engine->Batch.btnConvertClick();
    ASSERT_TRUE(PumpUntil([&] { return engine->Batch.RunningCount() == GetParam(); }));
    fs::remove(gone);
    ASSERT_TRUE(PumpUntil([&] { return engine->Batch.Idle() && !engine->Batch.ConverterActive(); }, 30000));
    const JobEntry &last = engine->Jobs.Entry(GetParam());
    EXPECT_EQ(last.Progress, "");
    EXPECT_EQ(last.Reason, "The source file no longer exists");
    for (int i = 0; i < GetParam(); ++i)
        EXPECT_EQ(progress()[static_cast<size_t>(i)], "Done");
}

TEST_P(Parallel, AnAddProbesSeveralAtOnceAndKeepsItsOrder)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(false, true)); // every probe takes a second
    const std::string bad = sources.file("bad.mp4");
    WriteFile(bad, "not a video");
    const std::vector<std::string> paths = {source("mp4", "a.mp4"), bad, source("mp4", "b.mp4"),
                                            sources.file("missing.mp4"), source("four", "c.mp4")};
    std::vector<std::string> passedOver;
    engine->Adder.OnPassedOver = [&](const std::string &path, PassedOver) { passedOver.push_back(path); };
    watchConverters();
    QElapsedTimer clock;
    clock.start();
    add(paths);
    const qint64 elapsed = clock.elapsed();
    ASSERT_EQ(engine->Jobs.Count(), 3);
    EXPECT_EQ(engine->Jobs.SourcePaths(), (std::vector<std::string>{paths[0], paths[2], paths[4]}));
    EXPECT_EQ(engine->Jobs.Entry(2).Information.substr(engine->Jobs.Entry(2).Information.size() - 8), "00:00:04");
    EXPECT_EQ(view.Messages, std::vector<std::string>{"Unsupported or bad video file: " + bad + "!"});
    EXPECT_EQ(passedOver, (std::vector<std::string>{bad, paths[3]}));
    EXPECT_EQ(mostAtOnce, GetParam());
    EXPECT_LT(elapsed, 4 * 1000 - 500) << "four probes of a second each, " << GetParam() << " at a time";
}

INSTANTIATE_TEST_SUITE_P(Converters, Parallel, ::testing::Values(2, 3));
