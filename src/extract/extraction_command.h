#pragma once
// The output file name and the converter's command line of one extraction.

#include "extract/output_options.h"

#include <string>
#include <vector>

namespace quillon {

// The base name: the entry's index with "with number", otherwise the source's
// file name up to its last ".".
std::string OutputBaseName(const std::string &source, int namingMethod, int currentIndex);

// OutputDir + base + "." + format, then "(1)", "(2)"... while the name is
// taken (overwrite off) or while it names one of the job list's sources (even
// with overwrite on: a source is never the output).
std::string BuildOutputFileName(const std::string &source, const OutputOptions &options, int currentIndex,
                                const std::vector<std::string> &jobSources);

// " -acodec wmav2 -ar 44100 -ab 128000" and its kin, by format.
std::string MakeAudioOptions(const std::string &format, const std::string &sampleRate, const std::string &bitRate);

std::string BuildExtractionCommandLine(const std::string &converter, const std::string &input,
                                       const std::string &format, const std::string &sampleRate,
                                       const std::string &bitRate, bool mono, const std::string &output);

} // namespace quillon
