#include "extract/extraction_command.h"

#include "platform/file_system.h"
#include "runner/command_line.h"

namespace quillon {

std::string MissingOptionMessage(const OutputOptions &options)
{
    auto outside = [](int index, size_t count) { return index < 0 || static_cast<size_t>(index) >= count; };
    if (outside(options.FormatIndex, FileFormats.size()))
        return "Please choose an audio file format in the options";
    if (outside(options.SampleRateIndex, SampleRates.size()))
        return "Please choose an audio sample rate in the options";
    if (outside(options.BitRateIndex, BitRates.size()))
        return "Please choose an audio bit rate in the options";
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

std::string BuildOutputFileName(const std::string &source, const OutputOptions &options, int currentIndex,
                                const std::vector<std::string> &jobSources)
{
    const std::string base = OutputBaseName(source, options.NamingMethod, currentIndex);
    const std::string format = FileFormats.at(static_cast<size_t>(options.FormatIndex));
    auto unusable = [&](const std::string &candidate) {
        if (!options.OverwriteExisting && PathTaken(candidate))
            return true;
        for (const std::string &s : jobSources)
            if (SameFile(candidate, s))
                return true;
        return false;
    };
    std::string candidate = options.OutputDir + base + "." + format;
    for (int n = 1; unusable(candidate); ++n)
        candidate = options.OutputDir + base + "(" + std::to_string(n) + ")." + format;
    return candidate;
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
                                       const std::string &bitRate, bool mono, const std::string &output)
{
    std::string line = converter + " -vn " + " -i " + QuoteCommandLineArgument(input) + " ";
    if (format != "3GP" && format != "OGG")
        line += mono ? " -ac 1 " : " -ac 2 ";
    line += MakeAudioOptions(format, sampleRate, bitRate);
    line += ' ';
    line += QuoteCommandLineArgument(output);
    return line;
}

} // namespace quillon
