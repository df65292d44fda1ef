#pragma once
// The output file name and the converter's command line of one extraction.

#include "extract/output_options.h"
#include "extract/sound_track.h"
#include "platform/partial_files.h"

#include <string>
#include <vector>

namespace quillon {

// The base name: the entry's index with "with number", otherwise the source's
// file name up to its last ".".
std::string OutputBaseName(const std::string &source, int namingMethod, int currentIndex);

struct ReservedOutput {
    Reservation Name;  // its Path is "" when no name could be had
    std::string Error; // why not
};

// The output file of an extraction: OutputDir + base + "." + format, then
// "(1)", "(2)"... while the name is taken (overwrite off) or names one of the
// job list's sources or an output this batch made already (even with
// overwrite on: a source is never the output, nor is one output replaced by
// the next). With overwrite on, a file with content at a name goes first. The
// chosen name is reserved (a Reservation), so that another run into the same
// folder, ours or anyone's, gets the next number; a live run's reservation is
// never taken over, one that a dead run left is. nameSuffix follows the base
// (" [eng]" for one of several sound tracks); extension, when given, replaces
// the format's (that of a track copied as it is).
ReservedOutput ReserveOutputFile(const std::string &source, const OutputOptions &options, int currentIndex,
                                 const std::vector<std::string> &untouchable, const std::string &nameSuffix = {},
                                 const std::string &extension = {});

// " -acodec wmav2 -ar 44100 -ab 128000" and its kin, by format.
std::string MakeAudioOptions(const std::string &format, const std::string &sampleRate, const std::string &bitRate);

// track: the sound track to take, when the probe told them; without one the
// converter chooses. "Original" copies the track's packets as they are.
std::string BuildExtractionCommandLine(const std::string &converter, const std::string &input,
                                       const std::string &format, const std::string &sampleRate,
                                       const std::string &bitRate, bool mono, const std::string &output,
                                       const SoundTrack *track = nullptr);

} // namespace quillon
