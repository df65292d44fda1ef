#pragma once
// The command line of quillon-cli.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillon::cli {

struct CliOptions {
    std::optional<int> FormatIndex, SampleRateIndex, BitRateIndex;
    bool Mono = false;
    std::optional<std::string> OutputDir;
    bool Numbered = false;
    bool Overwrite = false;
    std::optional<int> Jobs;          // extractions at once
    std::optional<std::string> Track; // "" first, "all", a language
    std::optional<bool> KeepDates;
    bool ProbeOnly = false;
    std::optional<std::string> SaveList;
    std::optional<std::string> FromFile; // sources, one a line (or NUL-separated)
    bool NullSeparated = false;          // -0: the sources read are separated by NULs
    bool Json = false;                   // result lines as JSON objects
    struct Shard {
        int Index = 0, Count = 1; // keep sources whose place is Index modulo Count
    };
    std::optional<Shard> Sharding;
    bool Quiet = false;
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Paths;
};

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws UsageError with a message that names the accepted values. Options
// follow getopt's conventions: combined short options (-mq), attached values
// (-fMP3, --format=MP3), unambiguous prefixes of long ones (--out DIR),
// options after paths, and "--" ending them.
CliOptions ParseCliArguments(const std::vector<std::string> &args);

// The entries of a list of sources read from standard input or --from-file:
// one a line (LF or CR LF), or NUL-separated; empty ones are skipped.
std::vector<std::string> SourceEntries(const std::string &text, bool nullSeparated);

// The items whose place is shard.Index modulo shard.Count.
template <class T>
std::vector<T> ShardOf(const std::vector<T> &items, const CliOptions::Shard &shard)
{
    std::vector<T> kept;
    for (size_t i = static_cast<size_t>(shard.Index); i < items.size(); i += static_cast<size_t>(shard.Count))
        kept.push_back(items[i]);
    return kept;
}
std::string HelpText();

} // namespace quillon::cli
