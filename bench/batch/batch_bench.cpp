// Twenty 10-second clips to MP3 at 44100 Hz and 128 kbit/s through
// quillon-cli, against a shell loop that runs the same FFmpeg extractions
// directly, in one run. Prints the ratio and the overhead per file.
//
//   bench/bench_batch [QUILLON_CLI]   (default: quillon-cli beside the build's programs)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

int run(const std::string &command)
{
    const int rc = std::system(command.c_str());
    if (rc != 0)
        std::fprintf(stderr, "failed (%d): %s\n", rc, command.c_str());
    return rc;
}

double timed(const std::string &command)
{
    const auto t0 = Clock::now();
    run(command);
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

} // namespace

int main(int argc, char **argv)
{
    const std::string cli = argc > 1 ? argv[1] : std::string(QUILLON_PROGRAM_DIR) + "/quillon-cli";
    const fs::path work = fs::temp_directory_path() / "quillon-bench-batch";
    fs::remove_all(work);
    fs::create_directories(work / "clips");
    fs::create_directories(work / "cli");
    fs::create_directories(work / "loop");
    const fs::path first = work / "clips" / "clip00.mp4";
    if (run("ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=10 "
            "-f lavfi -i sine=f=440:duration=10 -c:v libx264 -preset ultrafast -c:a aac -shortest '" +
            first.string() + "'") != 0)
        return 1;
    std::string list;
    for (int i = 0; i < 20; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "clip%02d.mp4", i);
        const fs::path p = work / "clips" / name;
        if (i > 0)
            fs::copy_file(first, p);
        list += " '" + p.string() + "'";
    }

    // The same extraction the program asks of the converter, file by file.
    const std::string loop = "for f in" + list +
                             "; do b=$(basename \"$f\" .mp4); "
                             "ffmpeg -nostdin -vn -i \"file:$f\" -ac 2 -ar 44100 -ab 128000 \"file:" +
                             (work / "loop").string() + "/$b.MP3\" >/dev/null 2>&1 || exit 1; done";
    const std::string quillon =
        "'" + cli + "' -q -f MP3 -r 44100 -b 128 -o '" + (work / "cli").string() + "'" + list + " >/dev/null";
    timed(loop); // warm the caches for both
    fs::remove_all(work / "loop");
    fs::create_directories(work / "loop");
    const double direct = timed("sh -c '" + [&] {
        std::string escaped;
        for (char c : loop)
            escaped += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return escaped;
    }() + "'");
    const double ours = timed(quillon);
    std::printf("20 x 10 s clips to MP3 44100 Hz 128 kbit/s\n");
    std::printf("  shell loop of FFmpeg: %.2f s\n  quillon-cli:          %.2f s\n", direct, ours);
    std::printf("  ratio %.2f (target <= 1.6), overhead %.0f ms per file\n", ours / direct,
                (ours - direct) * 1000 / 20);
    fs::remove_all(work);
    return 0;
}
