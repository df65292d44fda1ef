#include "extract/converter_output_parser.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <map>

using namespace quillon;
using Stream = ConverterOutputParser::Stream;

namespace {

// A job list as small as the parser needs.
class FakeJobList : public ProgressTarget {
public:
    explicit FakeJobList(int count) : texts(static_cast<size_t>(count)) {}
    int Count() const override { return static_cast<int>(texts.size()); }
    void SetProgressText(int index, const std::string &text) override { texts[static_cast<size_t>(index)] = text; }
    std::vector<std::string> texts;
};

struct Outcome {
    MediaFacts facts;
    std::string progress;
};

Outcome parse(const std::vector<std::string> &chunks, MediaFacts start = {})
{
    Outcome o{start, ""};
    FakeJobList list(1);
    ConverterOutputParser parser(o.facts);
    parser.SetProgressTarget(&list, 0);
    parser.BeginRun();
    for (const std::string &c : chunks)
        parser.ParseConverterOutput(Stream::Err, c.data(), static_cast<int>(c.size()));
    parser.EndRun();
    o.progress = list.texts[0];
    return o;
}

MediaFacts withDuration(int d)
{
    MediaFacts f;
    f.Duration = d;
    return f;
}

struct Case {
    const char *name;
    std::vector<std::string> chunks;
    MediaFacts start;
    int duration, width, height;
    bool audio;
    const char *progress;
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.name; }

class ParserCases : public ::testing::TestWithParam<Case> {};

TEST_P(ParserCases, GiveTheExpectedFacts)
{
    const Case &c = GetParam();
    const Outcome o = parse(c.chunks, c.start);
    EXPECT_EQ(o.facts.Duration, c.duration);
    EXPECT_EQ(o.facts.PictureWidth, c.width);
    EXPECT_EQ(o.facts.PictureHeight, c.height);
    EXPECT_EQ(o.facts.HasAudio, c.audio);
    EXPECT_EQ(o.progress, c.progress);
}

const std::string longDigits(40, '9');

INSTANTIATE_TEST_SUITE_P(
    Table, ParserCases,
    ::testing::Values(
        Case{"duration", {"  Duration: 00:03:25.45, start: 0.000000\r\n"}, {}, 205, 0, 0, false, ""},
        Case{"hours_unbounded", {"Duration: 10:00:00\n"}, {}, 36000, 0, 0, false, ""},
        Case{"three_digit_hours", {"Duration: 100:00:00\n"}, {}, 360000, 0, 0, false, ""},
        Case{"fraction_is_not_matched", {"Duration: 00:00:00.80\n"}, {}, 0, 0, 0, false, ""},
        Case{"later_duration_wins", {"Duration: 00:00:10\nDuration: 00:00:20\n"}, {}, 20, 0, 0, false, ""},
        Case{"no_digits", {"Duration: N/A, start\n"}, {}, 0, 0, 0, false, ""},
        Case{"progress", {"size= 1kB time=12.34 bitrate=1\r"}, withDuration(100), 100, 0, 0, false, "12.0%"},
        Case{"half_to_even_down", {"time=12.50 \r"}, withDuration(100), 100, 0, 0, false, "12.0%"},
        Case{"half_to_even_up", {"time=13.50 \r"}, withDuration(100), 100, 0, 0, false, "14.0%"},
        Case{"capped", {"time=150.00 \r"}, withDuration(100), 100, 0, 0, false, "100.0%"},
        Case{"clock_form", {"size=1kB time=00:01:02.50 bitrate=\r"}, withDuration(100), 100, 0, 0, false, "62.0%"},
        Case{"clock_form_hours", {"time=01:00:00.00 \r"}, withDuration(7200), 7200, 0, 0, false, "50.0%"},
        Case{"negative_clock_form", {"time=-00:00:00.02 \r"}, withDuration(100), 100, 0, 0, false, "0.0%"},
        Case{"n_a", {"size=N/A time=N/A bitrate=N/A\r"}, withDuration(100), 100, 0, 0, false, ""},
        Case{"no_blank_at_end", {"time=12.34"}, withDuration(100), 100, 0, 0, false, ""},
        Case{"no_blank_within_100", {"time=" + std::string(120, '1') + " \r"}, withDuration(100), 100, 0, 0, false, ""},
        Case{"garbage_token",
             {"time=12.3.4 \rtime=1e5 \rtime=inf \rtime=0x10 \r"},
             withDuration(100),
             100,
             0,
             0,
             false,
             ""},
        Case{"time_before_duration", {"time=12.00 \r"}, {}, 0, 0, 0, false, ""},
        Case{"steps_by_duration", {"time=1.00 \r"}, withDuration(3), 3, 0, 0, false, "33.3%"},
        Case{"first_size_wins",
             {"Stream: Video: h264, 640x480\nStream: Video: h264, 320x240\n"},
             {},
             0,
             640,
             480,
             false,
             ""},
        Case{"audio_and_size_on_one_line", {"Stream #0:0: Audio: aac, 44100 Hz, 320x240\n"}, {}, 0, 320, 240, true, ""},
        Case{"zero_byte_ends_text", {std::string("Duration: 00:00:05\n\0Audio: aac\n", 31)}, {}, 5, 0, 0, false, ""},
        Case{
            "lone_cr_lines", {"time=10.00 \rtime=20.00 \rtime=30.00 \r"}, withDuration(100), 100, 0, 0, false, "30.0%"},
        Case{"duration_and_size_on_one_line", {"Duration: 00:01:00, start: 0, 176x144\n"}, {}, 60, 176, 144, false, ""},
        // nothing in a line can throw: numbers that do not fit change nothing
        Case{"overflowing_hours", {"Duration: " + longDigits + ":00:01\n"}, {}, 0, 0, 0, false, ""},
        Case{"duration_beyond_int32", {"Duration: 999999:00:00\n"}, {}, 0, 0, 0, false, ""},
        Case{"overflowing_size", {", 99999999999x480, Audio: aac\n"}, {}, 0, 0, 0, false, ""},
        Case{"huge_time", {"time=" + longDigits + " \r"}, withDuration(100), 100, 0, 0, false, ""}),
    [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

} // namespace

TEST(ConverterOutputParser, PercentageUsesTheGivenDecimalSeparator)
{
    EXPECT_EQ(FormatProgress(42, 100, "."), "42.0%");
    EXPECT_EQ(FormatProgress(42, 100, ","), "42,0%");
    EXPECT_EQ(FormatProgress(1, 3, ","), "33,3%");
    EXPECT_EQ(FormatProgress(500, 100, "."), "100.0%");
}

TEST(ConverterOutputParser, ProgressGoesOnlyToTheEntryBeingExtracted)
{
    MediaFacts facts = withDuration(100);
    ConverterOutputParser parser(facts);
    FakeJobList list(2);
    const std::string line = "time=50.00 \r";
    // No extraction: a probe's positions go nowhere.
    parser.ParseConverterOutput(Stream::Err, line.data(), static_cast<int>(line.size()));
    EXPECT_EQ(list.texts, (std::vector<std::string>{"", ""}));
    // An index that names no entry is left alone.
    parser.SetProgressTarget(&list, 2);
    parser.ParseConverterOutput(Stream::Err, line.data(), static_cast<int>(line.size()));
    EXPECT_EQ(list.texts, (std::vector<std::string>{"", ""}));
    parser.SetProgressTarget(&list, 1);
    parser.ParseConverterOutput(Stream::Err, line.data(), static_cast<int>(line.size()));
    EXPECT_EQ(list.texts, (std::vector<std::string>{"", "50.0%"}));
}

TEST(ConverterOutputParser, HasAudioIsNeverCleared)
{
    MediaFacts facts;
    facts.HasAudio = true;
    ConverterOutputParser parser(facts);
    parser.ParseLine("Stream #0:0: Video: h264, 320x240");
    EXPECT_TRUE(facts.HasAudio);
}

// Real output of FFmpeg 5.1, cut into two chunks at every position: the
// facts are those of the whole text, whichever line the cut falls into.
TEST(ConverterOutputParser, ChunkBoundaryAnywhereGivesTheSameFacts)
{
    const std::string text = test::ReadFile(std::string(QUILLON_SOURCE_DIR) + "/tests/data/ffmpeg-5.1-probe-mp4.txt");
    ASSERT_NE(text.find("Duration: 00:00:02.00"), std::string::npos);
    const Outcome whole = parse({text});
    EXPECT_EQ(whole.facts.Duration, 2);
    EXPECT_EQ(whole.facts.PictureWidth, 160);
    EXPECT_EQ(whole.facts.PictureHeight, 120);
    EXPECT_TRUE(whole.facts.HasAudio);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        const Outcome split = parse({text.substr(0, cut), text.substr(cut)});
        ASSERT_EQ(split.facts.Duration, 2) << cut;
        ASSERT_EQ(split.facts.PictureWidth, 160) << cut;
        ASSERT_EQ(split.facts.PictureHeight, 120) << cut;
        ASSERT_TRUE(split.facts.HasAudio) << cut;
    }
}

TEST(ConverterOutputParser, RealExtractionOutputEndsAtItsLastPosition)
{
    const std::string text = test::ReadFile(std::string(QUILLON_SOURCE_DIR) + "/tests/data/ffmpeg-5.1-extract-mp3.txt");
    const Outcome o = parse({text});
    EXPECT_EQ(o.facts.Duration, 2);
    EXPECT_EQ(o.progress, "100.0%");
}

TEST(ConverterOutputParser, StreamsKeepTheirOwnUnfinishedLines)
{
    MediaFacts facts;
    ConverterOutputParser parser(facts);
    parser.BeginRun();
    parser.ParseConverterOutput(Stream::Err, "  Durat", 7);
    parser.ParseConverterOutput(Stream::Out, "other text\n", 11);
    parser.ParseConverterOutput(Stream::Err, "ion: 00:00:07.1, start\n", 23);
    EXPECT_EQ(facts.Duration, 7);
}

TEST(ConverterOutputParser, AnUnendingLineIsCappedAndNothingIsLost)
{
    MediaFacts facts;
    ConverterOutputParser parser(facts);
    parser.BeginRun();
    const std::string block(4096, 'z');
    for (int i = 0; i < 40; ++i) // 160 KiB without a line end
        parser.ParseConverterOutput(Stream::Err, block.data(), static_cast<int>(block.size()));
    const std::string tail = "\nDuration: 00:00:09\n";
    parser.ParseConverterOutput(Stream::Err, tail.data(), static_cast<int>(tail.size()));
    EXPECT_EQ(facts.Duration, 9);
}

TEST(ConverterOutputParser, TheLastLineIsReadWhenTheRunEnds)
{
    MediaFacts facts;
    ConverterOutputParser parser(facts);
    parser.BeginRun();
    parser.ParseConverterOutput(Stream::Err, "Duration: 00:00:04", 18);
    EXPECT_EQ(facts.Duration, 0);
    parser.EndRun();
    EXPECT_EQ(facts.Duration, 4);
}

TEST(ConverterOutputParser, AFailureIsToldInTheConvertersLastWords)
{
    MediaFacts facts;
    ConverterOutputParser parser(facts);
    auto failureOf = [&](const std::string &output) {
        parser.BeginRun();
        parser.ParseConverterOutput(ConverterOutputParser::Stream::Err, output.data(), static_cast<int>(output.size()));
        parser.EndRun();
        return parser.FailureText();
    };
    const std::string banner = "ffmpeg version 5.1.9 Copyright (c) 2000-2026 the FFmpeg developers\n"
                               "  built with gcc 12 (Debian 12.2.0-14)\n"
                               "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'file:/v/a.mp4':\n"
                               "  Duration: 00:00:02.00, start: 0.000000, bitrate: 126 kb/s\n"
                               "  Stream #0:1[0x2](und): Audio: aac (LC), 44100 Hz, mono, fltp, 69 kb/s\n"
                               "Stream mapping:\n  Stream #0:1 -> #0:0 (aac (native) -> wmav2 (native))\n";
    EXPECT_EQ(failureOf(banner + "[wmav2 @ 0x55d0c1f0] bitrate too low: got 16000, need 24000 or higher\n"
                                 "Error initializing output stream 0:0 -- Error while opening encoder\n"
                                 "Conversion failed!\n"),
              "[wmav2 @ 0x55d0c1f0] bitrate too low: got 16000, need 24000 or higher\n"
              "Error initializing output stream 0:0 -- Error while opening encoder");
    // The launcher's own verdict comes last and speaks without its name.
    EXPECT_EQ(failureOf(banner + "size=     258kB time=00:00:16.43 bitrate= 128.5kbits/s speed= 168x    \r"
                                 "video:0kB audio:257kB subtitle:0kB other streams:0kB global headers:0kB\n"
                                 "videoenc.dll: FFmpeg was ended by signal 9 (Killed)\n"),
              "FFmpeg was ended by signal 9 (Killed)");
    EXPECT_EQ(failureOf(banner), "");
    EXPECT_EQ(parser.LauncherFailure(), "");
    failureOf("videoenc.dll: cannot run FFmpeg (/x/ffmpeg): No such file or directory\n");
    EXPECT_EQ(parser.LauncherFailure(), "cannot run FFmpeg (/x/ffmpeg): No such file or directory");
    parser.BeginRun();
    EXPECT_EQ(parser.LauncherFailure(), "") << "each run speaks for itself";
}
