#include "cli/cli_options.h"

#include "extract/output_options.h"
#include "extract/sound_track.h"
#include "platform/text_case.h"
#include "platform/translation.h"

#include <charconv>
#include <getopt.h>

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
    throw UsageError(Arg(Tr("Cli", "%1: '%2' is not one of %3"), {option, given, joined(values)}));
}

// text as a whole decimal number, and nothing else.
bool wholeNumber(const std::string &text, int &value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

int jobsValue(const std::string &given, const std::string &option)
{
    int jobs = 0;
    if (!wholeNumber(given, jobs) || jobs < 1 || jobs > MaxSimultaneousExtractions)
        throw UsageError(Arg(Tr("Cli", "%1: '%2' is not a number from 1 to %3"),
                             {option, given, std::to_string(MaxSimultaneousExtractions)}));
    return jobs;
}

} // namespace

std::string HelpText()
{
    return Arg(
        Tr("Cli", "Usage: quillon-cli [options] PATH...\n"
                  "Extracts the sound track of each video file. PATHs ending in .lst (any case)\n"
                  "are list files whose lines are added; - reads sources from standard input,\n"
                  "one a line; every other PATH is a source.\n"
                  "\n"
                  "Options (unset ones come from the window's settings, strings.ini):\n"
                  "  -f, --format NAME        %1\n"
                  "                           (Original copies the sound track as it is into the\n"
                  "                           file type that suits its codec, .M4A for AAC...;\n"
                  "                           rate, bit rate and mono do not apply)\n"
                  "  -r, --sample-rate HZ     %2\n"
                  "  -b, --bit-rate KBIT      %3\n"
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
                  "                           core, at most 8; 1 to %4)\n"
                  "      --from-file FILE     add the sources listed in FILE, one a line; relative\n"
                  "                           ones are taken from FILE's folder\n"
                  "  -0, --null               sources read from standard input (PATH -) or\n"
                  "                           --from-file are separated by NULs (find -print0)\n"
                  "      --shard K/N          keep only the sources whose place (from 0) is K modulo\n"
                  "                           N, before anything is probed: N machines share a library\n"
                  "      --probe              admit the sources and print their information; no extraction\n"
                  "      --save-list FILE     write the admitted sources as a list file; no extraction\n"
                  "      --json               one JSON object a line instead of the tab-separated\n"
                  "                           line: state, source, output, reason, duration (s)\n"
                  "  -q, --quiet              no progress display\n"
                  "  -h, --help               this text\n"
                  "      --version            the program's version\n"
                  "\n"
                  "Options may be combined (-mq), take attached values (-fMP3) and be shortened\n"
                  "where that is unambiguous (--out DIR).\n"
                  "Entries may end in any order when several run at once.\n"
                  "Every entry ends with a line STATE<TAB>SOURCE<TAB>OUTPUT<TAB>REASON on standard\n"
                  "output; REASON says why an Error is one, or what a Done entry could not follow.\n"
                  "An entry that made several files (--track all) has a Done line for each.\n"
                  "A tab, line break or backslash inside a field is written as \\t, \\n or \\\\.\n"
                  "Ctrl+C (or SIGTERM, SIGHUP) stops the batch as the Stop button does; a second\n"
                  "one ends at once.\n"
                  "Exit status: 0 all Done and every PATH admitted; 1 otherwise (a PATH or list\n"
                  "line missing or refused, an entry not Done, nothing admitted); 2 usage;\n"
                  "130 interrupted.\n"),
        {joined(FileFormats), joined(SampleRates), joined(BitRates), std::to_string(MaxSimultaneousExtractions)});
}

namespace {

// The long options and the short ones they stand for; values above the
// characters are long-only.
enum LongOnly : int {
    Numbered = 256,
    Overwrite,
    KeepDates,
    NoKeepDates,
    Probe,
    SaveList,
    FromFile,
    Json,
    ShardOption,
    Version
};

constexpr option LongOptions[] = {
    {"format", required_argument, nullptr, 'f'},
    {"sample-rate", required_argument, nullptr, 'r'},
    {"bit-rate", required_argument, nullptr, 'b'},
    {"mono", no_argument, nullptr, 'm'},
    {"track", required_argument, nullptr, 't'},
    {"keep-dates", no_argument, nullptr, KeepDates},
    {"no-keep-dates", no_argument, nullptr, NoKeepDates},
    {"output-dir", required_argument, nullptr, 'o'},
    {"numbered", no_argument, nullptr, Numbered},
    {"overwrite", no_argument, nullptr, Overwrite},
    {"jobs", required_argument, nullptr, 'j'},
    {"from-file", required_argument, nullptr, FromFile},
    {"null", no_argument, nullptr, '0'},
    {"shard", required_argument, nullptr, ShardOption},
    {"probe", no_argument, nullptr, Probe},
    {"save-list", required_argument, nullptr, SaveList},
    {"json", no_argument, nullptr, Json},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, Version},
    {nullptr, 0, nullptr, 0},
};
constexpr const char *ShortOptions = ":f:r:b:mt:o:j:0qh";

CliOptions::Shard shardValue(const std::string &given, const std::string &option)
{
    CliOptions::Shard shard;
    const size_t slash = given.find('/');
    if (slash == std::string::npos || !wholeNumber(given.substr(0, slash), shard.Index) ||
        !wholeNumber(given.substr(slash + 1), shard.Count) || shard.Count < 1 || shard.Index < 0 ||
        shard.Index >= shard.Count)
        throw UsageError(Arg(Tr("Cli", "%1: '%2' is not K/N with 0 <= K < N"), {option, given}));
    return shard;
}

// What getopt refused, in our words. arg: the argument it was in.
[[noreturn]] void refuse(int code, const std::string &arg, int optopt)
{
    const bool isLong = arg.rfind("--", 0) == 0;
    const std::string name = isLong ? arg.substr(0, arg.find('=')) : std::string("-") + static_cast<char>(optopt);
    if (code == ':')
        throw UsageError(Arg(Tr("Cli", "%1 needs a value"), {name}));
    if (isLong) {
        // A long option that exists (or is a prefix of exactly one) and was
        // given a value it does not take; else unknown or ambiguous.
        const std::string typed = name.substr(2);
        int matches = 0;
        const option *match = nullptr;
        for (const option *o = LongOptions; o->name; ++o)
            if (std::string(o->name).rfind(typed, 0) == 0) {
                ++matches;
                match = o;
                if (typed == o->name) {
                    matches = 1;
                    break;
                }
            }
        if (matches == 1 && match->has_arg == no_argument && arg.find('=') != std::string::npos)
            throw UsageError(Arg(Tr("Cli", "%1 takes no value"), {name}));
        if (matches > 1)
            throw UsageError(Arg(Tr("Cli", "option %1 is ambiguous (see --help)"), {name}));
    }
    throw UsageError(Arg(Tr("Cli", "unknown option %1 (see --help)"), {name}));
}

} // namespace

CliOptions ParseCliArguments(const std::vector<std::string> &args)
{
    CliOptions o;
    // getopt permutes its argv: it works on a copy.
    std::vector<std::string> words{"quillon-cli"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());
    optind = 0; // a fresh start, for every call
    opterr = 0;
    for (;;) {
        int longIndex = -1;
        const int before = optind;
        const int code = getopt_long(argc, argv.data(), ShortOptions, LongOptions, &longIndex);
        if (code == -1)
            break;
        if (code == '?' || code == ':') {
            // getopt stays on a group of short options until its last one;
            // otherwise it has passed the word it refused.
            const int at = optind == before && optind < argc ? optind : optind - 1;
            refuse(code, at > 0 && at < argc ? argv[static_cast<size_t>(at)] : "", optopt);
        }
        // The option as the user named it, for the messages about its value.
        const std::string arg = longIndex >= 0 ? std::string("--") + LongOptions[longIndex].name
                                               : std::string("-") + static_cast<char>(code);
        const std::string value = optarg ? optarg : "";
        switch (code) {
        case 'f': o.FormatIndex = indexOf(FileFormats, value, arg); break;
        case 'r': o.SampleRateIndex = indexOf(SampleRates, value, arg); break;
        case 'b': o.BitRateIndex = indexOf(BitRates, value, arg); break;
        case 'o': o.OutputDir = value; break;
        case 'j': o.Jobs = jobsValue(value, arg); break;
        case 't':
            if (const auto choice = TrackChoiceOf(value))
                o.Track = *choice;
            else
                throw UsageError(Arg(Tr("Cli", "%1: '%2' is not first, all or a language code (eng)"), {arg, value}));
            break;
        case SaveList: o.SaveList = value; break;
        case FromFile: o.FromFile = value; break;
        case ShardOption: o.Sharding = shardValue(value, arg); break;
        case 'm': o.Mono = true; break;
        case KeepDates: o.KeepDates = true; break;
        case NoKeepDates: o.KeepDates = false; break;
        case Numbered: o.Numbered = true; break;
        case Overwrite: o.Overwrite = true; break;
        case '0': o.NullSeparated = true; break;
        case Probe: o.ProbeOnly = true; break;
        case Json: o.Json = true; break;
        case 'q': o.Quiet = true; break;
        case 'h': o.Help = true; break;
        case Version: o.Version = true; break;
        default: refuse('?', "", code);
        }
    }
    for (int i = optind; i < argc; ++i)
        o.Paths.push_back(argv[static_cast<size_t>(i)]);
    if (!o.Help && !o.Version && o.Paths.empty() && !o.FromFile)
        throw UsageError(Tr("Cli", "no PATH given (see --help)"));
    return o;
}

std::vector<std::string> SourceEntries(const std::string &text, bool nullSeparated)
{
    std::vector<std::string> entries;
    const char separator = nullSeparated ? '\0' : '\n';
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        std::string entry = text.substr(start, end - start);
        if (!nullSeparated && !entry.empty() && entry.back() == '\r')
            entry.pop_back();
        if (!entry.empty())
            entries.push_back(std::move(entry));
        start = end + 1;
    }
    return entries;
}

} // namespace quillon::cli
