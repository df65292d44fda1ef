#include "cli/cli_options.h"

#include "extract/output_options.h"
#include "extract/sound_track.h"
#include "platform/text_case.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quillon::cli {

namespace {

template <size_t N>
std::string joined(const std::array<const char *, N> &values)
{
    std::string text;
    for (const char *v : values)
        text += (text.empty() ? "" : ", ") + std::string(v);
    return text;
}

template <size_t N>
int indexOf(const std::array<const char *, N> &values, const std::string &given, const std::string &option)
{
    for (size_t i = 0; i < N; ++i)
        if (SameTextIgnoringCase(given, values[i]))
            return static_cast<int>(i);
    throw UsageError(option + ": '" + given + "' is not one of " + joined(values));
}

int jobsValue(const std::string &given, const std::string &option)
{
    int jobs = 0;
    const auto [end, error] = std::from_chars(given.data(), given.data() + given.size(), jobs);
    if (error != std::errc() || end != given.data() + given.size() || jobs < 1 || jobs > MaxSimultaneousExtractions)
        throw UsageError(option + ": '" + given + "' is not a number from 1 to " +
                         std::to_string(MaxSimultaneousExtractions));
    return jobs;
}

} // namespace

std::string HelpText()
{
    return "Usage: quillon-cli [options] PATH...\n"
           "Extracts the sound track of each video file. PATHs ending in .lst (any case)\n"
           "are list files whose lines are added; every other PATH is a source.\n"
           "\n"
           "Options (unset ones come from strings.ini beside the program):\n"
           "  -f, --format NAME        " +
           joined(FileFormats) +
           "\n"
           "                           (Original copies the sound track as it is into the\n"
           "                           file type that suits its codec, .M4A for AAC...;\n"
           "                           rate, bit rate and mono do not apply)\n"
           "  -r, --sample-rate HZ     " +
           joined(SampleRates) +
           "\n"
           "  -b, --bit-rate KBIT      " +
           joined(BitRates) +
           "\n"
           "  -m, --mono               one channel\n"
           "  -t, --track WHICH        the sound track: first (default), a language (eng;\n"
           "                           the first when the source has none in it), or all\n"
           "                           (one file per track: name.EXT, name [eng].EXT, name [2].EXT)\n"
           "      --keep-dates         outputs take their source's modification time (default)\n"
           "      --no-keep-dates      outputs are dated when they are made\n"
           "  -o, --output-dir DIR     where the audio files go\n"
           "      --numbered           name outputs 0, 1, 2... by list position\n"
           "      --overwrite          replace existing output files\n"
           "  -j, --jobs N             extract N files at once (default: one per processor\n"
           "                           core, at most 8; 1 to " +
           std::to_string(MaxSimultaneousExtractions) +
           ")\n"
           "      --probe              admit the sources and print their information; no extraction\n"
           "      --save-list FILE     write the admitted sources as a list file; no extraction\n"
           "  -q, --quiet              no progress display\n"
           "  -h, --help               this text\n"
           "      --version            the program's version\n"
           "\n"
           "Entries may end in any order when several run at once.\n"
           "Every entry ends with a line STATE<TAB>SOURCE<TAB>OUTPUT<TAB>REASON on standard\n"
           "output; REASON says why an Error is one, or what a Done entry could not follow.\n"
           "An entry that made several files (--track all) has a Done line for each.\n"
           "A tab, line break or backslash inside a field is written as \\t, \\n or \\\\.\n"
           "Ctrl+C (or SIGTERM, SIGHUP) stops the batch as the Stop button does; a second\n"
           "one ends at once.\n"
           "Exit status: 0 all Done and every PATH admitted; 1 otherwise (a PATH or list\n"
           "line missing or refused, an entry not Done, nothing admitted); 2 usage;\n"
           "130 interrupted.\n";
}

CliOptions ParseCliArguments(const std::vector<std::string> &args)
{
    CliOptions o;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            o.Paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (arg.size() > 2 && arg.rfind("-j", 0) == 0) { // -j4
            inlineValue = arg.substr(2);
            arg = "-j";
        } else if (arg.rfind("--", 0) == 0) {
            const size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
            }
        }
        auto value = [&]() -> std::string {
            if (inlineValue)
                return *inlineValue;
            if (i + 1 >= args.size())
                throw UsageError(arg + " needs a value");
            return args[++i];
        };
        auto flag = [&] {
            if (inlineValue)
                throw UsageError(arg + " takes no value");
        };
        if (arg == "-f" || arg == "--format")
            o.FormatIndex = indexOf(FileFormats, value(), arg);
        else if (arg == "-r" || arg == "--sample-rate")
            o.SampleRateIndex = indexOf(SampleRates, value(), arg);
        else if (arg == "-b" || arg == "--bit-rate")
            o.BitRateIndex = indexOf(BitRates, value(), arg);
        else if (arg == "-o" || arg == "--output-dir")
            o.OutputDir = value();
        else if (arg == "-j" || arg == "--jobs")
            o.Jobs = jobsValue(value(), arg);
        else if (arg == "-t" || arg == "--track") {
            const std::string given = value();
            const auto choice = TrackChoiceOf(given);
            if (!choice)
                throw UsageError(arg + ": '" + given + "' is not first, all or a language code (eng)");
            o.Track = *choice;
        } else if (arg == "--save-list")
            o.SaveList = value();
        else if (arg == "-m" || arg == "--mono")
            flag(), o.Mono = true;
        else if (arg == "--numbered")
            flag(), o.Numbered = true;
        else if (arg == "--keep-dates")
            flag(), o.KeepDates = true;
        else if (arg == "--no-keep-dates")
            flag(), o.KeepDates = false;
        else if (arg == "--overwrite")
            flag(), o.Overwrite = true;
        else if (arg == "--probe")
            flag(), o.ProbeOnly = true;
        else if (arg == "-q" || arg == "--quiet")
            flag(), o.Quiet = true;
        else if (arg == "-h" || arg == "--help")
            flag(), o.Help = true;
        else if (arg == "--version")
            flag(), o.Version = true;
        else
            throw UsageError("unknown option " + arg + " (see --help)");
    }
    if (!o.Help && !o.Version && o.Paths.empty())
        throw UsageError("no PATH given (see --help)");
    return o;
}

} // namespace quillon::cli
