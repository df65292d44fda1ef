#include "extract/extraction_command.h"

#include "platform/file_system.h"
#include "platform/translation.h"
#include "runner/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <thread>

namespace quillon {

int SimultaneousWithinRange(int n) { return std::clamp(n, 1, MaxSimultaneousExtractions); }

int DefaultSimultaneousExtractions() { return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8); }

std::string MissingOptionMessage(const OutputOptions &options)
{
    auto outside = [](int index, size_t count) { return index < 0 || static_cast<size_t>(index) >= count; };
    if (outside(options.FormatIndex, FileFormats.size()))
        return Tr("Options", "Please choose an audio file format in the options");
    if (options.Original()) // copied as they are: no rate applies
        return {};
    if (outside(options.SampleRateIndex, SampleRates.size()))
        return Tr("Options", "Please choose an audio sample rate in the options");
    if (outside(options.BitRateIndex, BitRates.size()))
        return Tr("Options", "Please choose an audio bit rate in the options");
    return {};
}

std::string OutputBaseName(const std::string &source, int namingMethod, int currentIndex)
{
    if (namingMethod == 1)
        return std::to_string(currentIndex);
    const size_t slash = source.find_last_of('/');
    const std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

ReservedOutput ReserveOutputFile(const std::string &source, const OutputOptions &options, int currentIndex,
                                 const std::vector<std::string> &untouchable, const std::string &nameSuffix,
                                 const std::string &extension)
{
    const std::string base = OutputBaseName(source, options.NamingMethod, currentIndex) + nameSuffix;
    const std::string format = extension.empty() ? FileFormats.at(static_cast<size_t>(options.FormatIndex)) : extension;
    auto isSource = [&](const std::string &candidate) {
        for (const std::string &s : untouchable)
            if (SameFile(candidate, s))
                return true;
        return false;
    };
    ReservedOutput out;
    for (int n = 0; n < 1000000; ++n) {
        const std::string name = base + (n ? "(" + std::to_string(n) + ")" : "") + "." + format;
        const std::string candidate = options.OutputDir + name;
        // A name of the temporary files' form would be swept as the remains of
        // a dead run.
        if (isSource(candidate) || IsPartialFileName(name))
            continue;
        // Never opened to look: a named pipe there would block us.
        struct stat there {};
        if (options.OverwriteExisting && ::lstat(candidate.c_str(), &there) == 0 && S_ISREG(there.st_mode) &&
            there.st_size > 0)
            DeleteFileAt(candidate); // one that cannot go keeps its name taken
        if (out.Name.Make(candidate))
            return out;
        int error = errno;
        if (error == EEXIST && ReclaimStaleReservation(candidate)) {
            if (out.Name.Make(candidate))
                return out;
            error = errno;
        }
        if (error == EEXIST)
            continue;
        out.Error = error == ENOENT && !DirectoryExists(options.OutputDir)
                        ? Arg(Tr("Extract", "The output folder does not exist: %1"), {options.OutputDir})
                        : Arg(Tr("Extract", "Cannot create the output file %1: %2"), {candidate, std::strerror(error)});
        return out;
    }
    out.Error = Arg(Tr("Extract", "No free name for the output file in %1"), {options.OutputDir});
    return out;
}

std::string MakeAudioOptions(const std::string &format, const std::string &sampleRate, const std::string &bitRate)
{
    if (format == "WMA")
        return " -acodec wmav2 -ar " + sampleRate + " " + "-ab " + bitRate + "000";
    if (format == "OGG")
        return " -acodec vorbis -ar " + sampleRate + " " + "-ab " + bitRate + "000";
    if (format == "3GP")
        return " -acodec libamr_nb  -ac 1 -ar 8000 -ab 12200 ";
    return "-ar " + sampleRate + " " + "-ab " + bitRate + "000";
}

std::string BuildExtractionCommandLine(const std::string &converter, const std::string &input,
                                       const std::string &format, const std::string &sampleRate,
                                       const std::string &bitRate, bool mono, const std::string &output,
                                       const SoundTrack *track)
{
    std::string line = converter + " -vn " + " -i " + QuoteCommandLineArgument(input) + " ";
    if (track && track->StreamIndex >= 0) {
        line += "-map 0:" + std::to_string(track->StreamIndex) + " ";
        // The track's language is a stream's tag, which MP3 and WAV keep
        // only as one of the whole file.
        if (!track->Language.empty())
            line += "-metadata " + QuoteCommandLineArgument("language=" + track->Language) + " ";
    }
    if (format == FileFormats[OriginalFormat]) {
        line += "-acodec copy ";
    } else {
        // OGG too: without it a 5.1 source gives six Vorbis channels,
        // whatever the user chose. 3GP is always mono.
        if (format != "3GP")
            line += mono ? " -ac 1 " : " -ac 2 ";
        line += MakeAudioOptions(format, sampleRate, bitRate);
        // AIFF's own chunks hold a title and a comment; the rest of the tags
        // need its ID3 chunk.
        if (format == "AIFF")
            line += " -write_id3v2 1";
    }
    line += ' ';
    line += QuoteCommandLineArgument(output);
    return line;
}

} // namespace quillon
