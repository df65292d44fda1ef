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
    bool Quiet = false;
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Paths;
};

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws UsageError with a message that names the accepted values.
CliOptions ParseCliArguments(const std::vector<std::string> &args);
std::string HelpText();

} // namespace quillon::cli
