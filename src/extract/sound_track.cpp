#include "extract/sound_track.h"

#include "platform/text_case.h"
#include "platform/translation.h"

#include <map>

namespace quillon {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The text up to the next ", " (or the end), from pos on; pos moves past it.
std::string nextField(const std::string &text, size_t &pos)
{
    const size_t comma = text.find(", ", pos);
    const size_t end = comma == std::string::npos ? text.size() : comma;
    std::string field = text.substr(pos, end - pos);
    pos = comma == std::string::npos ? text.size() : comma + 2;
    return field;
}

} // namespace

bool ReadSoundTrackLine(const std::string &line, SoundTrack &track)
{
    static const std::string head = "Stream #0:";
    static const std::string audio = ": Audio: ";
    size_t pos = line.find_first_not_of(" \t");
    if (pos == std::string::npos || line.compare(pos, head.size(), head) != 0)
        return false;
    pos += head.size();
    const size_t digits = pos;
    while (pos < line.size() && isDigit(line[pos]) && pos - digits < 6)
        ++pos;
    if (pos == digits || (pos < line.size() && isDigit(line[pos])))
        return false;
    SoundTrack t;
    t.StreamIndex = std::stoi(line.substr(digits, pos - digits));
    if (pos < line.size() && line[pos] == '[') { // the container's own id: "[0x1c0]"
        const size_t close = line.find(']', pos);
        if (close == std::string::npos)
            return false;
        pos = close + 1;
    }
    if (pos < line.size() && line[pos] == '(') {
        const size_t close = line.find(')', pos);
        if (close == std::string::npos || close - pos > 9)
            return false;
        t.Language = line.substr(pos + 1, close - pos - 1);
        pos = close + 1;
        // The language names output files: from a crafted file it could
        // hold a "/" or "..". Only a code of letters is one.
        if (t.Language == "und" || !AllLetters(t.Language))
            t.Language.clear();
    }
    if (line.compare(pos, audio.size(), audio) != 0)
        return false;
    pos += audio.size();
    const size_t nameEnd = line.find_first_of(" ,", pos);
    t.Codec = line.substr(pos, nameEnd == std::string::npos ? std::string::npos : nameEnd - pos);
    if (t.Codec.empty())
        return false;
    t.Described = UpperCase(t.Codec);
    // The fields after the codec's: "44100 Hz", then the channel layout.
    size_t fields = line.find(", ", pos);
    if (fields != std::string::npos) {
        fields += 2;
        const std::string rate = nextField(line, fields);
        if (rate.size() > 3 && rate.compare(rate.size() - 3, 3, " Hz") == 0) {
            t.Described += " " + rate;
            const std::string layout = nextField(line, fields);
            if (!layout.empty())
                t.Described += " " + layout;
        }
    }
    track = std::move(t);
    return true;
}

std::string OriginalExtension(const std::string &codec)
{
    static const std::map<std::string, std::string> containers{
        {"aac", "M4A"},
        {"alac", "M4A"},
        {"mp3", "MP3"},
        {"mp2", "MP2"},
        {"ac3", "AC3"},
        {"eac3", "EAC3"},
        {"dts", "DTS"},
        {"flac", "FLAC"},
        {"opus", "OPUS"},
        {"vorbis", "OGG"},
        {"wmav1", "WMA"},
        {"wmav2", "WMA"},
        {"wmapro", "WMA"},
        {"wmalossless", "WMA"},
        {"wmavoice", "WMA"},
        {"amr_nb", "AMR"},
        {"amr_wb", "AMR"},
        // WAV holds the little-endian and the companded forms of PCM; the
        // big-endian ones of QuickTime files go to Matroska.
        {"pcm_u8", "WAV"},
        {"pcm_s16le", "WAV"},
        {"pcm_s24le", "WAV"},
        {"pcm_s32le", "WAV"},
        {"pcm_f32le", "WAV"},
        {"pcm_f64le", "WAV"},
        {"pcm_alaw", "WAV"},
        {"pcm_mulaw", "WAV"}};
    const auto found = containers.find(codec);
    return found == containers.end() ? "MKA" : found->second;
}

bool SameLanguage(const std::string &a, const std::string &b)
{
    // ISO 639-2 names twenty languages twice.
    static const std::map<std::string, std::string> terminology{
        {"alb", "sqi"}, {"arm", "hye"}, {"baq", "eus"}, {"bur", "mya"}, {"chi", "zho"}, {"cze", "ces"}, {"dut", "nld"},
        {"fre", "fra"}, {"geo", "kat"}, {"ger", "deu"}, {"gre", "ell"}, {"ice", "isl"}, {"mac", "mkd"}, {"mao", "mri"},
        {"may", "msa"}, {"per", "fas"}, {"rum", "ron"}, {"slo", "slk"}, {"tib", "bod"}, {"wel", "cym"}};
    auto canonical = [](const std::string &code) {
        const std::string lower = LowerCase(code);
        const auto t = terminology.find(lower);
        return t == terminology.end() ? lower : t->second;
    };
    return !a.empty() && canonical(a) == canonical(b);
}

std::optional<std::string> TrackChoiceOf(const std::string &text)
{
    const std::string lower = LowerCase(text);
    if (lower.empty() || lower == "first")
        return std::string();
    // The converter names languages by three letters (ISO 639-2).
    if (lower.size() < 3 || lower.size() > 8 || !AllLetters(lower))
        return std::nullopt;
    return lower;
}

TrackSelection SelectSoundTracks(const std::vector<SoundTrack> &tracks, const std::string &choice)
{
    TrackSelection s;
    if (tracks.empty())
        return s;
    if (SameTextIgnoringCase(choice, AllTracks)) {
        auto languageIsOnlyOnce = [&](const std::string &language) {
            int n = 0;
            for (const SoundTrack &t : tracks)
                n += SameLanguage(t.Language, language);
            return n == 1;
        };
        for (size_t i = 0; i < tracks.size(); ++i) {
            std::string suffix;
            // One track keeps the plain name; of several, each is named by
            // its language where that tells it apart, else by its place.
            if (tracks.size() > 1 && languageIsOnlyOnce(tracks[i].Language))
                suffix = " [" + tracks[i].Language + "]";
            else if (i > 0)
                suffix = " [" + std::to_string(i + 1) + "]";
            s.Tracks.push_back({tracks[i], suffix});
        }
        return s;
    }
    if (!choice.empty() && !SameTextIgnoringCase(choice, "first")) {
        for (const SoundTrack &t : tracks)
            if (SameLanguage(t.Language, choice)) {
                s.Tracks.push_back({t, ""});
                return s;
            }
        s.Notice = Arg(Tr("Extract", "No sound track in the language %1; the first one was taken"), {choice});
    }
    s.Tracks.push_back({tracks.front(), ""});
    return s;
}

} // namespace quillon
