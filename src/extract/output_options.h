#pragma once
// The output options as the options panel holds them: the settings values and
// the selections of the three audio boxes and the Mono check box.

#include <array>
#include <string>

namespace quillon {

// The last, "Original", copies the sound track as it is into the container
// that suits its codec; the others re-encode it, each into its own file type.
inline constexpr std::array<const char *, 9> FileFormats{"MP3", "MP4",  "3GP", "WMA",     "WAV",
                                                         "AU",  "AIFF", "OGG", "Original"};
inline constexpr int OriginalFormat = 8;
inline constexpr std::array<const char *, 3> SampleRates{"11025", "22050", "44100"};
inline constexpr std::array<const char *, 13> BitRates{"16",  "24",  "32",  "48",  "56",  "96", "112",
                                                       "128", "160", "192", "224", "256", "320"};

struct OutputOptions {
    std::string OutputDir; // ends in a path separator
    int NamingMethod = 0;  // 1 "with number"; anything else by input file name
    bool OverwriteExisting = false;
    int FormatIndex = -1; // -1: no selection
    int SampleRateIndex = -1;
    int BitRateIndex = -1;
    bool Mono = false;
    int Simultaneous = 1;  // extractions (and an add's probes) at once
    std::string Track;     // which sound tracks: "" the first, "all", a language
    bool KeepDates = true; // outputs take their source's modification time

    bool Original() const { return FormatIndex == OriginalFormat; }
};

// How many extractions run at once when the user has not said: one per
// processor core, at most eight.
int DefaultSimultaneousExtractions();
inline constexpr int MaxSimultaneousExtractions = 16;
// n within 1..MaxSimultaneousExtractions: what a setting or a box may hold
// beyond it is not a number of extractions.
int SimultaneousWithinRange(int n);

// Which option still needs a choice before a batch can run, or "".
std::string MissingOptionMessage(const OutputOptions &options);

} // namespace quillon
