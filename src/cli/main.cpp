// quillon-cli: the batch without a window, on the same engine as the window.

#include "app/engine.h"
#include "app/settings_store.h"
#include "app/version.h"
#include "cli/cli_front_end.h"
#include "cli/cli_options.h"
#include "joblist/list_file.h"
#include "platform/file_system.h"
#include "platform/partial_files.h"
#include "platform/program_layout.h"
#include "platform/quillon_error.h"
#include "platform/signal_notifier.h"
#include "platform/translation.h"

#include <QCoreApplication>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

using namespace quillon;
using namespace quillon::cli;

namespace {

// An option the command line gave replaces the setting.
template <class T>
void takeGiven(T &setting, const std::optional<T> &given)
{
    if (given)
        setting = *given;
}

OutputOptions startingOptions(const std::string &programDir, const CliOptions &cli)
{
    OutputOptions o;
    o.FormatIndex = o.SampleRateIndex = o.BitRateIndex = 0;
    SettingsStore(LayoutOf(programDir).Settings).LoadSettings(o); // read only: the CLI never writes it
    takeGiven(o.FormatIndex, cli.FormatIndex);
    takeGiven(o.SampleRateIndex, cli.SampleRateIndex);
    takeGiven(o.BitRateIndex, cli.BitRateIndex);
    takeGiven(o.Simultaneous, cli.Jobs);
    takeGiven(o.Track, cli.Track);
    takeGiven(o.KeepDates, cli.KeepDates);
    if (cli.Mono)
        o.Mono = true;
    if (cli.Numbered)
        o.NamingMethod = 1;
    if (cli.Overwrite)
        o.OverwriteExisting = true;
    if (cli.OutputDir) {
        if (!DirectoryExists(*cli.OutputDir))
            throw UsageError(Arg(Tr("Cli", "--output-dir: no directory at %1"), {*cli.OutputDir}));
        o.OutputDir = *cli.OutputDir;
    }
    if (o.OutputDir.empty())
        o.OutputDir = "./";
    if (o.OutputDir.back() != '/')
        o.OutputDir += '/';
    return o;
}

std::string readAll(std::FILE *stream)
{
    std::string text;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        text.append(buffer, n);
    return text;
}

// What the command line names, in its order: the sources, the lines of the
// list files among the paths, those read from standard input ("-") and from
// --from-file (relative ones from that file's folder). A list file that
// cannot be read stays an item of its own: the add reports it missing.
std::vector<AddItem> namedItems(const CliOptions &cli)
{
    std::vector<AddItem> items;
    bool stdinRead = false;
    for (const std::string &path : cli.Paths) {
        if (path == "-") {
            if (stdinRead) // standard input has been read to its end
                continue;
            stdinRead = true;
            for (std::string &entry : SourceEntries(readAll(stdin), cli.NullSeparated))
                items.push_back({std::move(entry), AddKind::Source});
        } else if (UpperExtension(path) != ".LST") {
            items.push_back({path, AddKind::Source});
        } else if (const auto text = ReadListFile(path)) {
            for (std::string &line : ListFileSources(*text))
                items.push_back({std::move(line), AddKind::Source});
        } else {
            items.push_back({path, AddKind::ListFile});
        }
    }
    if (cli.FromFile) {
        std::FILE *file = std::fopen(cli.FromFile->c_str(), "rb");
        if (!file) {
            const int error = errno;
            throw UsageError(Arg(Tr("Cli", "--from-file: cannot read %1: %2"), {*cli.FromFile, std::strerror(error)}));
        }
        const std::string text = readAll(file);
        std::fclose(file);
        const std::string folder = DirectoryOf(*cli.FromFile) + "/";
        for (std::string &entry : SourceEntries(text, cli.NullSeparated))
            items.push_back({entry[0] == '/' ? std::move(entry) : folder + entry, AddKind::Source});
    }
    return cli.Sharding ? ShardOf(items, *cli.Sharding) : items;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    // First: every text, the help and the usage errors too, may be translated.
    QCoreApplication app(argc, argv);
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString() + "/";
    InstallTranslations(programDir);
    CliOptions cli;
    try {
        cli = ParseCliArguments(args);
    } catch (const UsageError &e) {
        std::fprintf(stderr, "quillon-cli: %s\n", e.what());
        return 2;
    }
    if (cli.Help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    if (cli.Version) {
        std::printf("quillon-cli %s\n", QUILLON_VERSION);
        return 0;
    }

    OutputOptions options;
    try {
        options = startingOptions(programDir, cli);
        const std::string missing = MissingOptionMessage(options);
        if (!missing.empty())
            throw UsageError(options.FormatIndex < 0 ? Tr("Cli", "strings.ini selects no format: use --format")
                             : options.SampleRateIndex < 0
                                 ? Tr("Cli", "strings.ini selects no sample rate: use --sample-rate")
                                 : Tr("Cli", "strings.ini selects no bit rate: use --bit-rate"));
    } catch (const UsageError &e) {
        std::fprintf(stderr, "quillon-cli: %s\n", e.what());
        return 2;
    }

    std::vector<AddItem> items;
    try {
        items = namedItems(cli);
    } catch (const UsageError &e) {
        std::fprintf(stderr, "quillon-cli: %s\n", e.what());
        return 2;
    }
    std::vector<std::string> named;
    for (const AddItem &item : items)
        named.push_back(item.Path);
    // The list is written over whatever is at its name: never over a video.
    if (cli.SaveList && ListWouldReplaceASource(*cli.SaveList, named)) {
        std::fprintf(
            stderr, "quillon-cli: %s\n",
            Arg(Tr("Cli", "--save-list: %1 is one of the sources; it is not overwritten"), {*cli.SaveList}).c_str());
        return 2;
    }

    // A live line needs a terminal that understands its escape sequences.
    const char *term = std::getenv("TERM");
    const bool terminal = ::isatty(STDERR_FILENO) == 1 && !(term && std::string(term) == "dumb");
    CliFrontEnd front(options, cli.Quiet, terminal);
    front.Json = cli.Json;
    Engine engine(programDir, front);
    front.Attach(engine);

    // Only --probe, --save-list and numbered names need to know before the
    // batch which sources have sound (a number counts the admitted ones);
    // a track copied as it is, or one chosen, needs the source's tracks.
    // Otherwise the sources enter the list unprobed, and each extraction's
    // own output tells whether its source has sound: one converter run per
    // good file. A converter that cannot run at all then ends the batch as
    // it would have ended the admission: its message, no result lines.
    const bool probeFirst =
        cli.ProbeOnly || cli.SaveList || options.NamingMethod == 1 || options.Original() || !options.Track.empty();
    engine.Adder.ProbeOnAdmission = engine.Batch.ProbeBeforeExtraction = probeFirst;
    front.ReportConverterFailure = probeFirst;

    int interrupts = 0;
    SignalNotifier interruptions({SIGINT, SIGTERM, SIGHUP}, [&](int) {
        ++interrupts;
        if (interrupts == 1 && !engine.Batch.Idle()) {
            engine.Batch.btnStopConvertClick(); // as the Stop button
            return;
        }
        // At once: the converter goes, and with it what it and the probe
        // were writing.
        engine.AbandonNow();
        std::fflush(stdout);
        ::_exit(130);
    });

    // A path that did not make it fails the run, even when every entry that
    // did is extracted: "quillon-cli *.avi && rm *.avi" must not lose a video.
    bool passedOver = false;
    engine.Adder.OnPassedOver = [&](const std::string &path, PassedOver why) {
        passedOver = true;
        if (why == PassedOver::Missing)
            std::fprintf(stderr, "%s\n", Arg(Tr("Cli", "Not found: %1"), {path}).c_str());
    };
    try {
        engine.Adder.Offer(items);
    } catch (const QuillonError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const int count = engine.Jobs.Count();
    if (cli.ProbeOnly)
        for (int i = 0; i < count; ++i)
            std::printf("%s\t%s\n", engine.Jobs.SourcePath(i).c_str(), engine.Jobs.Entry(i).Information.c_str());
    if (cli.SaveList && !SaveListFile(*cli.SaveList, engine.Jobs.SourcePaths())) {
        std::fprintf(stderr, "quillon-cli: %s\n",
                     Arg(Tr("Cli", "cannot write the list file %1"), {*cli.SaveList}).c_str());
        return 1;
    }
    if (cli.ProbeOnly || cli.SaveList)
        return count > 0 && !passedOver ? 0 : 1;
    if (count == 0)
        return 1;

    engine.Batch.btnConvertClick();
    while (!engine.Batch.Idle() || engine.Batch.ConverterActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents(); // messages posted at the very end
    const bool stopped = interrupts > 0;
    front.ReportRemaining(stopped);
    if (stopped)
        return 130;
    return front.AllDone() && front.RefusedCount() == 0 && !passedOver ? 0 : 1;
}
