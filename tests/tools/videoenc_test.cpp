#include "../../tools/videoenc/avisynth_script.h"
#include "../../tools/videoenc/bit_rate_rules.h"
#include "../../tools/videoenc/write_failure.h"
#include "runner/redirector.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace quillon;
using namespace quillon::test;

namespace {

struct ConverterRun {
    std::string output;
    int exitCode = -1;
};

// Runs the launcher through the runner, as the program does.
ConverterRun runConverter(const std::string &arguments, std::optional<std::vector<std::string>> environment = {})
{
    TRedirector r;
    ConverterRun run;
    bool ended = false;
    r.OnData = r.OnErrorData = [&](TRedirector &, const char *d, int n) { run.output.append(d, n); };
    r.OnTerminated = [&](TRedirector &self) {
        run.exitCode = self.LastExitCode();
        ended = true;
    };
    r.Environment = std::move(environment);
    r.SetCommandline(ProgramDir() + "videoenc.dll" + arguments);
    r.Start();
    EXPECT_TRUE(PumpUntil([&] { return ended; }, 60000));
    return run;
}

std::string wrapperScriptFor(const std::string &source)
{
    return "DirectShowSource(\"" + source + "\", fps=30, convertfps=true)\r\n";
}

} // namespace

TEST(WrapperScript, OnlyTheProbesOneLineFormIsAccepted)
{
    using videoenc::SourceOfWrapperScript;
    EXPECT_EQ(SourceOfWrapperScript(wrapperScriptFor("/v/a b.avi")), "/v/a b.avi");
    EXPECT_EQ(SourceOfWrapperScript(wrapperScriptFor("/v/ä ö.avi")), "/v/ä ö.avi");
    EXPECT_EQ(SourceOfWrapperScript("DirectShowSource(\"/v/a.avi\", fps=30, convertfps=true)"), "/v/a.avi");
    EXPECT_EQ(SourceOfWrapperScript(wrapperScriptFor("/v/a\"b.avi")), "/v/a\"b.avi");
    for (const std::string bad : {"", "AviSource(\"/v/a.avi\")\r\n", "DirectShowSource(\"\", fps=30, convertfps=true)",
                                  "DirectShowSource(\"/v/a.avi\", fps=25, convertfps=true)\r\n",
                                  "DirectShowSource(\"/v/a.avi\", fps=30, convertfps=true)\r\nTrim(0, 10)\r\n"})
        EXPECT_FALSE(SourceOfWrapperScript(bad).has_value()) << bad;
}

TEST(Launcher, ProbePrintsDurationStreamAndAudioLines)
{
    const ConverterRun run = runConverter("  -i " + QuoteForCommandLine(Clip("mp4")));
    EXPECT_NE(run.output.find("Duration: 00:00:02"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Audio: "), std::string::npos);
    EXPECT_NE(run.output.find(", 160x120"), std::string::npos);
}

TEST(Launcher, ReadsTheWrapperScriptOfAPathWithBlanksAndNonAsciiLetters)
{
    ScratchDir dir;
    const std::string source = dir.file("mon film été.avi");
    std::filesystem::copy_file(Clip("avi"), source);
    const std::string script = dir.file("tmp1.avs");
    WriteFile(script, wrapperScriptFor(source));
    const ConverterRun run = runConverter("  -i " + QuoteForCommandLine(script));
    EXPECT_NE(run.output.find("Duration: 00:00:02"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Audio: "), std::string::npos);
}

TEST(Launcher, AnyOtherScriptIsUnreadable)
{
    ScratchDir dir;
    const std::string script = dir.file("other.avs");
    WriteFile(script, "Version()\r\n");
    const ConverterRun run = runConverter("  -i " + QuoteForCommandLine(script));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.output.find("Duration: "), std::string::npos);
    EXPECT_NE(run.output.find("unreadable AviSynth script"), std::string::npos);
}

TEST(Launcher, MissingFfmpegIsAClearError)
{
    std::vector<std::string> env{"QUILLON_FFMPEG=/nonexistent/ffmpeg", "PATH=/usr/bin:/bin"};
    const ConverterRun run = runConverter("  -i " + QuoteForCommandLine(Clip("mp4")), env);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("cannot run FFmpeg (/nonexistent/ffmpeg)"), std::string::npos) << run.output;
}

TEST(Launcher, PathsThatLookLikeOptionsOrProtocolsAreFiles)
{
    ScratchDir dir;
    const std::string source = dir.file("-i.mp4");
    std::filesystem::copy_file(Clip("mp4"), source);
    for (const std::string name : {"-y.MP3", "pipe:1.MP3", "concat:x.MP3"}) {
        const std::string output = dir.file(name);
        const ConverterRun run = runConverter(" -vn  -i " + QuoteForCommandLine(source) +
                                              "  -ac 1 -ar 22050 -ab 64000 " + QuoteForCommandLine(output));
        EXPECT_EQ(run.exitCode, 0) << name << run.output;
        EXPECT_EQ(FfprobeAudio(output).codec, "mp3") << name;
    }
}

TEST(Launcher, LegacyEncoderNamesAreMapped)
{
    ScratchDir dir;
    const std::string source = QuoteForCommandLine(Clip("mp4"));
    const std::string ogg = dir.file("a.OGG");
    ConverterRun run =
        runConverter(" -vn  -i " + source + "  -acodec vorbis -ar 22050 -ab 64000 " + QuoteForCommandLine(ogg));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(FfprobeAudio(ogg).codec, "vorbis");

    const std::string gp = dir.file("a.3GP");
    run = runConverter(" -vn  -i " + source + "  -acodec libamr_nb  -ac 1 -ar 8000 -ab 12200  " +
                       QuoteForCommandLine(gp));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const ProbedAudio audio = FfprobeAudio(gp);
    EXPECT_TRUE(audio.codec == "amr_nb" || audio.codec == "aac") << audio.codec;
    EXPECT_EQ(audio.sampleRate, 8000);
    EXPECT_EQ(audio.channels, 1);
}

TEST(Launcher, NeverWaitsForInputNorOverwritesWithoutBeingAsked)
{
    ScratchDir dir;
    const std::string output = dir.file("exists.MP3");
    WriteFile(output, "keep me");
    const ConverterRun run = runConverter(" -vn  -i " + QuoteForCommandLine(Clip("mp4")) +
                                          "  -ac 2 -ar 22050 -ab 64000 " + QuoteForCommandLine(output));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(ReadFile(output), "keep me");
}

TEST(BitRateRules, TheNearestRateTheEncoderTakes)
{
    using videoenc::AcceptedBitRate;
    struct Case {
        const char *encoder;
        long sampleRate;
        int channels;
        long asked, taken;
    };
    const Case cases[] = {
        {"wmav2", 11025, 2, 16000, 24000},        {"wmav2", 44100, 1, 16000, 24000},
        {"wmav2", 44100, 2, 320000, 320000},      {"libvorbis", 11025, 2, 320000, 100000},
        {"libvorbis", 11025, 1, 16000, 16000},    {"libvorbis", 11025, 1, 56000, 50000},
        {"libvorbis", 22050, 2, 16000, 30000},    {"libvorbis", 22050, 2, 192000, 180000},
        {"libvorbis", 22050, 1, 96000, 90000},    {"libvorbis", 44100, 2, 32000, 45000},
        {"libvorbis", 44100, 2, 320000, 320000},  {"libvorbis", 44100, 1, 256000, 240000},
        {"libvorbis", 44100, 6, 16000, 16000}, // no rule known: as asked
        {"libmp3lame", 11025, 2, 320000, 320000}, {"aac", 44100, 1, 16000, 16000},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AcceptedBitRate(c.encoder, c.sampleRate, c.channels, c.asked), c.taken)
            << c.encoder << " " << c.sampleRate << " Hz " << c.channels << " ch " << c.asked;
}

TEST(Launcher, AnOutputAppearsOnlyWholeAndOnlyOverAnEmptyReservation)
{
    ScratchDir dir;
    const std::string output = dir.file("talk.MP3");
    WriteFile(output, ""); // the program's reservation
    const ConverterRun run = runConverter(" -vn  -i " + QuoteForCommandLine(Clip("mp4")) +
                                          "  -ac 2 -ar 22050 -ab 64000 " + QuoteForCommandLine(output));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(FfprobeAudio(output).codec, "mp3");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "nothing beside it";
}

TEST(WriteFailureWatch, OnlyFfmpegsOwnErrorLinesCount)
{
    using videoenc::WriteFailureWatch;
    struct Case {
        const char *line;
        bool failed;
    };
    const Case cases[] = {
        {"Error writing trailer of file:/o/.a.quillon-Ab3xYz.MP3: No space left on device", true},
        {"Error closing file file:/o/.a.quillon-Ab3xYz.MP3: Disk quota exceeded", true},
        {"av_interleaved_write_frame(): File too large", true},
        {"[mp3 @ 0x55d0] Failed to write frame: No space left on device", true},
        // A source or a tag with such words in it is no failure.
        {"Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'file:/v/File too large.mp4':", false},
        {"    title           : Disk quota exceeded", false},
        {"Output #0, mp3, to 'file:/o/.No space left on device.quillon-Ab3xYz.MP3':", false},
        {"[aac @ 0x55d0] Qavg: 491.822", false},
        {"", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(WriteFailureWatch::TellsOfAFailedWrite(c.line), c.failed) << c.line;
    // Lines cut anywhere, ended by CR or LF.
    WriteFailureWatch watch;
    const std::string output = "    title : File too large\r\nsize=  1kB time=00:00:01.00 \rError writ";
    watch.Feed(output.data(), output.size());
    EXPECT_FALSE(watch.Seen());
    const std::string rest = "ing trailer of x: No space left on device\n";
    watch.Feed(rest.data(), rest.size());
    EXPECT_TRUE(watch.Seen());
}

TEST(Launcher, ASourceNamedLikeAnErrorIsExtracted)
{
    ScratchDir dir;
    const std::string source = dir.file("File too large.mp4");
    std::filesystem::copy_file(Clip("mp4"), source);
    const std::string output = dir.file("out.MP3");
    const ConverterRun run = runConverter(" -vn  -i " + QuoteForCommandLine(source) + "  -ac 2 -ar 22050 -ab 64000 " +
                                          QuoteForCommandLine(output));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(FfprobeAudio(output).codec, "mp3");
}
