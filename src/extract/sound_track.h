#pragma once
// The sound tracks of a source, as the converter describes them, and which of
// them an extraction takes: the first, the one in a language, or all. Also
// the container that holds a track copied unchanged ("Original").

#include <optional>
#include <string>
#include <vector>

namespace quillon {

struct SoundTrack {
    int StreamIndex = -1;  // the converter's number of the stream in the source
    std::string Language;  // "eng"; "" when the source names none ("und")
    std::string Codec;     // the converter's codec name: "aac", "pcm_s16le"
    std::string Described; // "AAC 44100 Hz stereo"
};

// Reads one stream line of the converter's report of its input:
// "  Stream #0:1[0x2](eng): Audio: aac (LC) (mp4a / 0x6134706D), 44100 Hz,
// stereo, fltp, 128 kb/s (default)". False for any other line.
bool ReadSoundTrackLine(const std::string &line, SoundTrack &track);

// The upper-case extension of the container that takes a codec's packets as
// they are: "M4A" for AAC, "WAV" for little-endian PCM... and "MKA", which
// takes every codec, for the rest.
std::string OriginalExtension(const std::string &codec);

// Which tracks an extraction takes, as the options hold it: "" the first,
// "all", or a language code.
inline constexpr const char *AllTracks = "all";
// The choice a text names: "first" (or ""), "all", or a language code of
// three to eight letters, in lower case; nothing for any other text.
std::optional<std::string> TrackChoiceOf(const std::string &text);

// Whether two language codes name the same language: the bibliographic and
// the terminology codes of a language ("ger", "deu") are one, and the case
// does not matter.
bool SameLanguage(const std::string &a, const std::string &b);

struct TrackSelection {
    // What is taken, in the source's order, with what sets each output's
    // name apart: "", " [2]", " [eng]".
    struct Taken {
        SoundTrack Track;
        std::string NameSuffix;
    };
    std::vector<Taken> Tracks;
    // Said when the choice could not be followed: no track in the language.
    std::string Notice;
};

TrackSelection SelectSoundTracks(const std::vector<SoundTrack> &tracks, const std::string &choice);

} // namespace quillon
