#pragma once
// Reads the converter's console output: the duration, the first picture size,
// whether there is an audio stream, and the running position of an
// extraction, which becomes the percentage in the job list.
//
// A chunk may end anywhere: the converter writes "  Duration: " and the time
// in separate writes, and a pipe read can fall between them. The unfinished
// last line of a chunk is therefore kept and put in front of the next chunk of
// the same stream; EndRun hands the rest over when the child has ended.
// Nothing in the output can make the parser throw.

#include "extract/media_facts.h"
#include "extract/progress_target.h"

#include <cstddef>
#include <deque>
#include <regex>
#include <string>

namespace quillon {

// The two patterns, compiled once for the whole program at their first use.
const std::regex &DurationPattern(); // "Duration: (\d+):(\d+):(\d+)"
const std::regex &SizePattern();     // ", (\d+)x(\d+)"

class ConverterOutputParser {
public:
    enum class Stream { Out, Err };
    static constexpr size_t MaxPendingLine = 64 * 1024;

    explicit ConverterOutputParser(MediaFacts &facts) : Facts(facts) {}

    // Progress goes to entry index of target while an extraction runs, and
    // nowhere otherwise (a probe's positions are not an entry's progress).
    void SetProgressTarget(ProgressTarget *target, int index);
    void ClearProgressTarget() { SetProgressTarget(nullptr, -1); }

    void BeginRun();
    void ParseConverterOutput(Stream stream, const char *data, int count);
    void EndRun();

    // One line through the four tests; exposed for the tests and the fuzzer.
    void ParseLine(const std::string &line);

    // Why the last run failed in the converter's own words: its last message
    // lines (not progress, not the stream descriptions), "" when it said none.
    std::string FailureText() const;
    // The launcher's word that it could not run FFmpeg at all ("cannot run
    // FFmpeg (ffmpeg): No such file or directory"); "" when it could.
    const std::string &LauncherFailure() const { return LauncherFailure_; }

private:
    void KeepMessage(const std::string &line);

    void ParseText(std::string &pending, const char *data, size_t size);

    MediaFacts &Facts;
    std::string Separator = ".";
    ProgressTarget *Target = nullptr;
    int TargetIndex = -1;
    std::string PendingOut, PendingErr;
    std::deque<std::string> Messages; // the last message lines of the run
    std::string LauncherFailure_;
    bool InInputReport = false; // between "Input #0" and the outputs' report
};

// "42.0%" from a position and a duration, with the given decimal separator
// (the user's, fetched afresh for every chunk).
std::string FormatProgress(long long positionSeconds, int32_t duration, const std::string &separator);

} // namespace quillon
