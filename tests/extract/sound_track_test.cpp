#include "extract/converter_output_parser.h"
#include "extract/extraction_command.h"
#include "extract/sound_track.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(SoundTrackLine, ReadsTheConverterDescriptions)
{
    struct Case {
        const char *line;
        bool read;
        int stream;
        const char *language, *codec, *described;
    };
    const Case cases[] = {
        {"  Stream #0:1[0x2](eng): Audio: aac (LC) (mp4a / 0x6134706D), 44100 Hz, stereo, fltp, 128 kb/s (default)",
         true, 1, "eng", "aac", "AAC 44100 Hz stereo"},
        {"    Stream #0:0: Audio: mp3, 48000 Hz, mono, fltp, 64 kb/s", true, 0, "", "mp3", "MP3 48000 Hz mono"},
        {"  Stream #0:2(und): Audio: ac3, 48000 Hz, 5.1(side), fltp, 384 kb/s", true, 2, "", "ac3",
         "AC3 48000 Hz 5.1(side)"},
        {"  Stream #0:1[0x1c0]: Audio: mp2, 48000 Hz, stereo, s16p, 224 kb/s", true, 1, "", "mp2",
         "MP2 48000 Hz stereo"},
        {"  Stream #0:3(ger): Audio: pcm_s16le ([1][0][0][0] / 0x0001), 8000 Hz, 2 channels, s16, 256 kb/s", true, 3,
         "ger", "pcm_s16le", "PCM_S16LE 8000 Hz 2 channels"},
        {"  Stream #0:1: Audio: none", true, 1, "", "none", "NONE"},
        // A language that is no code of letters is none: it would name files.
        {"  Stream #0:1(../x): Audio: aac", true, 1, "", "aac", "AAC"},
        {"  Stream #0:1(a/b): Audio: aac", true, 1, "", "aac", "AAC"},
        // Not a sound track, or not one of ours.
        {"  Stream #0:0(eng): Video: h264 (High), yuv420p, 640x480", false, 0, "", "", ""},
        {"  Stream #1:0: Audio: aac, 44100 Hz, stereo", false, 0, "", "", ""},
        {"  Stream #0:: Audio: aac", false, 0, "", "", ""},
        {"  Stream #0:99999999999: Audio: aac", false, 0, "", "", ""},
        {"  Stream #0:1(eng: Audio: aac", false, 0, "", "", ""},
        {"  Stream #0:1[0x2: Audio: aac", false, 0, "", "", ""},
        {"  Stream #0:1: Audio: ", false, 0, "", "", ""},
        {"Stream mapping:", false, 0, "", "", ""},
    };
    for (const Case &c : cases) {
        SoundTrack t;
        ASSERT_EQ(ReadSoundTrackLine(c.line, t), c.read) << c.line;
        if (!c.read)
            continue;
        EXPECT_EQ(t.StreamIndex, c.stream) << c.line;
        EXPECT_EQ(t.Language, c.language) << c.line;
        EXPECT_EQ(t.Codec, c.codec) << c.line;
        EXPECT_EQ(t.Described, c.described) << c.line;
    }
}

TEST(SoundTrackLine, OnlyTheInputsTracksAreTheSources)
{
    MediaFacts facts;
    ConverterOutputParser parser(facts);
    parser.BeginRun();
    const std::string report = "Input #0, matroska,webm, from 'a.mkv':\n"
                               "  Duration: 00:00:02.00, start: 0.000000, bitrate: 40 kb/s\n"
                               "  Stream #0:0: Video: h264 (High), yuv420p, 160x120, 10 fps\n"
                               "  Stream #0:1(eng): Audio: aac (LC), 44100 Hz, mono, fltp (default)\n"
                               "  Stream #0:2(deu): Audio: mp3, 44100 Hz, mono, fltp\n"
                               "Stream mapping:\n"
                               "  Stream #0:2 -> #0:0 (mp3 (mp3float) -> pcm_s16le (native))\n"
                               "Output #0, wav, to 'x.wav':\n"
                               "  Stream #0:0: Audio: pcm_s16le, 44100 Hz, stereo, s16, 1411 kb/s\n";
    parser.ParseConverterOutput(ConverterOutputParser::Stream::Err, report.data(), static_cast<int>(report.size()));
    parser.EndRun();
    ASSERT_EQ(facts.SoundTracks.size(), 2u);
    EXPECT_EQ(facts.SoundTracks[0].StreamIndex, 1);
    EXPECT_EQ(facts.SoundTracks[1].Language, "deu");
    EXPECT_EQ(facts.SoundTracks[1].Codec, "mp3");
}

TEST(SoundTrackLine, ACraftedReportCannotGrowTheListWithoutEnd)
{
    MediaFacts facts;
    ConverterOutputParser parser(facts);
    parser.BeginRun();
    std::string report = "Input #0, x, from 'a':\n";
    for (int i = 0; i < 100000; ++i)
        report += "  Stream #0:" + std::to_string(i) + ": Audio: aac, 44100 Hz, mono\n";
    parser.ParseConverterOutput(ConverterOutputParser::Stream::Err, report.data(), static_cast<int>(report.size()));
    EXPECT_LE(facts.SoundTracks.size(), 64u);
    EXPECT_FALSE(facts.SoundTracks.empty());
}

// The copy test covers the common codecs end to end; these are the edges.
TEST(OriginalContainer, SuitsTheCodec)
{
    const std::pair<const char *, const char *> cases[] = {
        {"pcm_alaw", "WAV"},
        {"wmapro", "WMA"},
        {"amr_wb", "AMR"},
        // Matroska for the rest, big-endian PCM (which WAV cannot hold) too.
        {"pcm_s16be", "MKA"},
        {"wavpack", "MKA"},
        {"", "MKA"},
        {"AAC", "MKA"}};
    for (const auto &[codec, extension] : cases)
        EXPECT_EQ(OriginalExtension(codec), extension) << codec;
}

TEST(TrackChoice, NamesFirstAllOrALanguage)
{
    EXPECT_EQ(TrackChoiceOf(""), "");
    EXPECT_EQ(TrackChoiceOf("First"), "");
    EXPECT_EQ(TrackChoiceOf("ALL"), "all");
    EXPECT_EQ(TrackChoiceOf("Eng"), "eng");
    for (const char *bad : {"e", "en", "e1g", "eng;rm", "abcdefghi", "fr-ca", " eng"})
        EXPECT_FALSE(TrackChoiceOf(bad).has_value()) << bad;
}

namespace {

SoundTrack track(int stream, const char *language, const char *codec = "aac") { return {stream, language, codec, ""}; }

std::vector<std::string> suffixes(const TrackSelection &s)
{
    std::vector<std::string> out;
    for (const auto &t : s.Tracks)
        out.push_back(std::to_string(t.Track.StreamIndex) + ":" + t.NameSuffix);
    return out;
}

} // namespace

TEST(TrackSelection, TakesTheChosenTracksWithNamesThatTellThemApart)
{
    using V = std::vector<std::string>;
    const std::vector<SoundTrack> three{track(1, "eng"), track(2, ""), track(4, "ger")};
    EXPECT_EQ(suffixes(SelectSoundTracks(three, "")), V{"1:"});
    EXPECT_EQ(suffixes(SelectSoundTracks(three, "all")), (V{"1: [eng]", "2: [2]", "4: [ger]"}));
    // The other code of a language, in any case, is the same language.
    EXPECT_EQ(suffixes(SelectSoundTracks(three, "DEU")), V{"4:"});
    EXPECT_TRUE(SelectSoundTracks(three, "deu").Notice.empty());
    const TrackSelection missing = SelectSoundTracks(three, "jpn");
    EXPECT_EQ(suffixes(missing), V{"1:"});
    EXPECT_EQ(missing.Notice, "No sound track in the language jpn; the first one was taken");
    // A language two tracks share names neither: their places do.
    EXPECT_EQ(suffixes(SelectSoundTracks({track(1, "eng"), track(2, "eng")}, "all")), (V{"1:", "2: [2]"}));
    // One track keeps the plain name, whatever its language.
    EXPECT_EQ(suffixes(SelectSoundTracks({track(3, "eng")}, "all")), V{"3:"});
    EXPECT_TRUE(SelectSoundTracks({}, "all").Tracks.empty());
}

TEST(TrackCommand, MapsTheTrackAndCopiesForOriginal)
{
    const SoundTrack t = track(2, "eng", "ac3");
    EXPECT_EQ(
        BuildExtractionCommandLine("/q/videoenc.dll", "/v/a.mkv", "Original", "44100", "128", true, "/o/a.AC3", &t),
        "/q/videoenc.dll -vn  -i \"/v/a.mkv\" -map 0:2 -metadata \"language=eng\" -acodec copy  \"/o/a.AC3\"");
    EXPECT_EQ(BuildExtractionCommandLine("/q/videoenc.dll", "/v/a.mkv", "AIFF", "44100", "128", false, "/o/a.AIFF"),
              "/q/videoenc.dll -vn  -i \"/v/a.mkv\"  -ac 2 -ar 44100 -ab 128000 -write_id3v2 1 \"/o/a.AIFF\"");
}
