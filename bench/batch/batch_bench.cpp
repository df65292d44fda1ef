// The batch against the converter alone, in one run: twenty 10-second
// 640x480 H.264+AAC clips to MP3 at 44100 Hz and 128 kbit/s through
//   - a bare sequential shell loop of the same FFmpeg extractions (the 1.00),
//   - xargs -P2 over the same commands,
//   - quillon-cli -j 1 and -j 2,
//   - the window's batch phase (Extract pressed until the last row is done,
//     offscreen) with one and with two extractions at once;
// and three 3-minute clips through quillon-cli -j 1 against the loop, for
// Quillon's own cost per file beyond the converter's runs. Every figure is the
// median of five runs, taken in turns, and printed as a ratio to the loop.
// With --original: only the three 3-minute clips through quillon-cli, their
// sound track copied as it is ("Original") against MP3 at 128 kbit/s.
//
//   bench/bench_batch [--original]        (the programs beside the build's)
//   bench/bench_batch --window N OUTDIR PROGRAMDIR CLIP...   (one window batch; prints seconds)

#include "app/main_form.h"
#include "app/quillon_application.h"
#include "skin/te_combobox.h"
#include "theme/msstyles/theme_msux.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace quillon;

namespace {

int run(const std::string &command)
{
    const int rc = std::system(command.c_str());
    if (rc != 0)
        std::fprintf(stderr, "failed (%d): %s\n", rc, command.c_str());
    return rc;
}

std::string quoted(const std::string &text)
{
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double timed(const std::string &command)
{
    const auto t0 = Clock::now();
    run(command);
    return seconds(t0);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One batch in the window, from Extract to the last row's end.
int windowBatch(int argc, char **argv)
{
    const int simultaneous = std::atoi(argv[2]);
    const std::string outDir = argv[3], programDir = argv[4];
    int qtArgc = 3;
    char platform[] = "-platform", offscreen[] = "offscreen";
    char *qtArgv[] = {argv[0], platform, offscreen, nullptr};
    QuillonApplication app(qtArgc, qtArgv);
    TteThemeManager::Instance().RegisterThemeClass(TTeThemeMsStyles::ThemeClass());
    TfrmMain form({}, programDir);
    form.show();
    std::vector<AddItem> items;
    for (int i = 5; i < argc; ++i)
        items.push_back({argv[i], AddKind::Source});
    form.Eng().Adder.Offer(items);
    form.OutputDir = outDir;
    const std::pair<const char *, int> choices[] = {
        {"cbFileFormat", 0}, {"cbAudioSampleRate", 2}, {"cbAudioBitRate", 7}, {"cbSimultaneous", simultaneous - 1}};
    for (const auto &[name, index] : choices)
        form.findChild<TTeSComboBox *>(name)->setCurrentIndex(index);
    const auto t0 = Clock::now();
    form.btnConvertClick();
    while (!form.Idle() || form.Eng().Batch.ConverterActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double elapsed = seconds(t0);
    for (int i = 0; i < form.Eng().Jobs.Count(); ++i)
        if (form.Eng().Jobs.Entry(i).State != EntryState::Done)
            return 1;
    std::printf("%.4f\n", elapsed);
    return 0;
}

struct Clips {
    std::vector<std::string> paths;
    std::string list; // quoted, each after a blank
};

Clips makeClips(const fs::path &dir, int count, int duration)
{
    fs::create_directories(dir);
    Clips clips;
    const fs::path first = dir / "clip00.mp4";
    const std::string d = std::to_string(duration);
    if (run("ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc=size=640x480:rate=25:duration=" + d +
            " -f lavfi -i sine=f=440:duration=" + d + " -c:v libx264 -preset ultrafast -c:a aac -shortest " +
            quoted(first.string())) != 0)
        std::exit(1);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "clip%02d.mp4", i);
        const fs::path p = dir / name;
        if (i > 0)
            fs::copy_file(first, p);
        clips.paths.push_back(p.string());
        clips.list += " " + quoted(p.string());
    }
    return clips;
}

// The extraction the program asks of the converter, for one file.
std::string ffmpegCommand(const std::string &source, const fs::path &outDir)
{
    return "ffmpeg -nostdin -vn -i " + quoted("file:" + source) + " -ac 2 -ar 44100 -ab 128000 " +
           quoted("file:" + (outDir / (fs::path(source).stem().string() + ".MP3")).string()) + " >/dev/null 2>&1";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 4 && std::string(argv[1]) == "--window")
        return windowBatch(argc, argv);
    const std::string programDir = std::string(QUILLON_PROGRAM_DIR) + "/";
    const std::string self = fs::canonical("/proc/self/exe").string();
    const fs::path work = fs::temp_directory_path() / "quillon-bench-batch";
    fs::remove_all(work);
    // Both front ends read their settings beside their program, and the
    // window writes them there: each gets a folder of its own without
    // settings, so that none of the build's settings (numbered names, mono)
    // changes what is measured.
    const fs::path out = work / "out", windowDir = work / "window", cliDir = work / "cli";
    for (const fs::path &dir : {windowDir, cliDir}) {
        fs::create_directories(dir);
        fs::create_symlink(programDir + "videoenc.dll", dir / "videoenc.dll");
    }
    fs::copy_file(programDir + "quillon-cli", cliDir / "quillon-cli");
    const std::string cli = (cliDir / "quillon-cli").string();

    const Clips longClips = makeClips(work / "long", 3, 180);
    if (argc > 1 && std::string(argv[1]) == "--original") {
        std::vector<double> copied, encoded;
        const auto cliLong = [&](const std::string &format) {
            fs::remove_all(out);
            fs::create_directories(out);
            return timed("'" + cli + "' -q -j 1 -f " + format + " -r 44100 -b 128 -o " + quoted(out.string()) +
                         longClips.list + " >/dev/null");
        };
        cliLong("original"); // warm the caches
        for (int repeat = 0; repeat < 5; ++repeat) {
            encoded.push_back(cliLong("MP3"));
            copied.push_back(cliLong("original"));
        }
        const double e = median(encoded), o = median(copied);
        std::printf("3 x 3 min 640x480 clips with AAC sound through quillon-cli, medians of 5:\n"
                    "  MP3 128 kbit/s %.3f s, Original %.3f s, ratio %.3f (target <= 0.10)\n",
                    e, o, o / e);
        fs::remove_all(work);
        return 0;
    }
    const Clips shortClips = makeClips(work / "clips", 20, 10);

    // Each variant writes into a fresh folder; the loop's commands go to a
    // script that the loop and xargs both read.
    const auto fresh = [&] {
        fs::remove_all(out);
        fs::create_directories(out);
    };
    const auto commands = [&](const Clips &clips) {
        std::string text;
        for (const std::string &p : clips.paths)
            text += ffmpegCommand(p, out) + "\n";
        const fs::path file = work / "commands.sh";
        FILE *f = std::fopen(file.string().c_str(), "w");
        std::fputs(text.c_str(), f);
        std::fclose(f);
        return file.string();
    };
    const std::string shortCommands = commands(shortClips);
    const auto cliRun = [&](const Clips &clips, int jobs) {
        return "'" + cli + "' -q -j " + std::to_string(jobs) + " -f MP3 -r 44100 -b 128 -o " + quoted(out.string()) +
               clips.list + " >/dev/null";
    };
    const auto windowRun = [&](int n) {
        const std::string command = quoted(self) + " --window " + std::to_string(n) + " " + quoted(out.string() + "/") +
                                    " " + quoted(windowDir.string() + "/") + shortClips.list;
        FILE *p = ::popen(command.c_str(), "r");
        double elapsed = -1;
        if (!p || std::fscanf(p, "%lf", &elapsed) != 1)
            elapsed = -1;
        if (p && ::pclose(p) != 0)
            elapsed = -1;
        if (elapsed < 0)
            std::fprintf(stderr, "the window's batch failed\n");
        return elapsed;
    };

    struct Variant {
        const char *name;
        std::function<double()> measure;
        double target; // the ratio it must stay under; 0: none
    };
    const std::vector<Variant> variants = {
        {"bare sequential loop", [&] { return timed("sh " + quoted(shortCommands)); }, 0},
        {"xargs -P2", [&] { return timed("tr '\\n' '\\0' < " + quoted(shortCommands) + " | xargs -0 -P2 -n1 sh -c"); },
         0},
        {"quillon-cli -j 1", [&] { return timed(cliRun(shortClips, 1)); }, 1.10},
        {"quillon-cli -j 2", [&] { return timed(cliRun(shortClips, 2)); }, 0.55},
        {"window batch, N = 1", [&] { return windowRun(1); }, 1.05},
        {"window batch, N = 2", [&] { return windowRun(2); }, 0},
    };
    std::map<std::string, std::vector<double>> times;
    fresh();
    run("sh " + quoted(shortCommands)); // warm the caches for all
    for (int repeat = 0; repeat < 5; ++repeat)
        for (const Variant &v : variants) {
            fresh();
            times[v.name].push_back(v.measure());
        }
    const double loop = median(times["bare sequential loop"]);
    const double xargs = median(times["xargs -P2"]);
    std::printf("20 x 10 s 640x480 H.264+AAC clips to MP3 44100 Hz 128 kbit/s, medians of 5\n");
    for (const Variant &v : variants) {
        const double m = median(times[v.name]);
        std::printf("  %-22s %6.2f s  ratio %.2f", v.name, m, m / loop);
        if (v.target > 0)
            std::printf("  (target <= %.2f)", v.target);
        if (std::string(v.name) == "quillon-cli -j 2")
            std::printf("  %.2f x xargs -P2 (target <= 1.05)", m / xargs);
        std::printf("\n");
    }

    const std::string longCommands = commands(longClips);
    std::vector<double> longLoop, longCli;
    for (int repeat = 0; repeat < 5; ++repeat) {
        fresh();
        longLoop.push_back(timed("sh " + quoted(longCommands)));
        fresh();
        longCli.push_back(timed(cliRun(longClips, 1)));
    }
    const double l = median(longLoop), c = median(longCli);
    std::printf("3 x 3 min clips, quillon-cli -j 1: loop %.2f s, quillon-cli %.2f s, ratio %.3f; "
                "overhead %.1f ms per file (target < 5 ms)\n",
                l, c, c / l, (c - l) * 1000 / 3);
    fs::remove_all(work);
    return 0;
}
