#include "extract/media_probe.h"
#include "platform/file_system.h"
#include "platform/program_layout.h"
#include "platform/quillon_error.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

namespace {

// Points the temporary directory at a scratch directory for one test, so
// that what the probe leaves behind can be seen.
class TempDirScope {
public:
    explicit TempDirScope(const std::string &dir)
    {
        const char *old = std::getenv("TMPDIR");
        Old = old ? old : "";
        HadOld = old != nullptr;
        setenv("TMPDIR", dir.c_str(), 1);
    }
    ~TempDirScope()
    {
        if (HadOld)
            setenv("TMPDIR", Old.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

private:
    std::string Old;
    bool HadOld = false;
};

bool isEmptyDir(const fs::path &dir) { return fs::is_empty(dir); }

struct ProbeCase {
    const char *kind;
    bool passes;
    int duration, width, height;
    bool wrapper;
};

void PrintTo(const ProbeCase &c, std::ostream *os) { *os << c.kind; }

class ProbeClips : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbeClips, JudgeTheSource)
{
    const ProbeCase &c = GetParam();
    ScratchDir temp;
    TempDirScope scope(temp.path().string());
    ConverterSession session(ProgramDir());
    MediaProbe probe(session);
    EXPECT_EQ(probe.ProbeFile(Clip(c.kind)), c.passes);
    if (c.passes) {
        EXPECT_EQ(session.Facts().Duration, c.duration);
        EXPECT_EQ(session.Facts().PictureWidth, c.width);
        EXPECT_EQ(session.Facts().PictureHeight, c.height);
        EXPECT_TRUE(session.Facts().HasAudio);
    }
    EXPECT_EQ(session.Facts().UseWrapper, c.wrapper);
    EXPECT_TRUE(isEmptyDir(temp.path())) << "a wrapper script or its reservation was left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Clips, ProbeClips,
    ::testing::Values(ProbeCase{"mp4", true, 2, 160, 120, false}, ProbeCase{"avi", true, 2, 176, 144, true},
                      ProbeCase{"mpg", true, 2, 160, 120, false}, ProbeCase{"vob", true, 2, 160, 120, false},
                      ProbeCase{"wmv", true, 2, 160, 120, true}, ProbeCase{"mov", true, 2, 160, 120, false},
                      ProbeCase{"3gp", true, 2, 176, 144, false}, ProbeCase{"mkv", true, 2, 160, 120, false},
                      ProbeCase{"m4a", true, 2, 0, 0, false}, ProbeCase{"mp3", true, 2, 0, 0, false},
                      ProbeCase{"wav", true, 2, 0, 0, false}, ProbeCase{"noaudio", false, 0, 0, 0, false},
                      ProbeCase{"short", false, 0, 0, 0, false}, ProbeCase{"truncated", false, 0, 0, 0, false},
                      ProbeCase{"empty", false, 0, 0, 0, false}, ProbeCase{"text", false, 0, 0, 0, false}),
    [](const ::testing::TestParamInfo<ProbeCase> &info) { return std::string(info.param.kind); });

} // namespace

TEST(MediaProbe, ExtensionsAreComparedInCapitals)
{
    for (const char *path : {"clip.avi", "clip.AVI", "a.b/clip.Rmvb", "x.rm", "x.wmv", "x.asf"})
        EXPECT_TRUE(MediaProbe::NeedsWrapper(path)) << path;
    for (const char *path : {"clip.mpg", "noext", "dir.avi/noext", "clip.avi.mp4", "clip.avs"})
        EXPECT_FALSE(MediaProbe::NeedsWrapper(path)) << path;
    EXPECT_EQ(UpperExtension("/a/b.tar.Gz"), ".GZ");
    EXPECT_EQ(UpperExtension("/a.b/c"), "");
}

TEST(MediaProbe, WrapperScriptHasItsExactFormAndName)
{
    ScratchDir temp;
    TempDirScope scope(temp.path().string());
    const std::string script = MediaProbe::WriteWrapperScript("/videos/my clip.avi");
    const fs::path p(script);
    EXPECT_EQ(p.parent_path(), temp.path());
    const std::string name = p.filename().string();
    EXPECT_EQ(name.substr(0, 3), "tmp");
    EXPECT_EQ(name.substr(name.size() - 8), ".tmp.avs");
    EXPECT_TRUE(fs::exists(script.substr(0, script.size() - 4))) << "the name is reserved by an empty file";
    EXPECT_EQ(ReadFile(script), "DirectShowSource(\"/videos/my clip.avi\", fps=30, convertfps=true)\r\n");
    MediaProbe::DeleteWrapperScript(script);
    EXPECT_TRUE(isEmptyDir(temp.path()));
}

TEST(MediaProbe, AFakeRealMediaFileIsReadThroughTheWrapper)
{
    ScratchDir dir;
    const std::string source = dir.file("movie.rmvb");
    fs::copy_file(Clip("mp4"), source);
    ConverterSession session(ProgramDir());
    MediaProbe probe(session);
    EXPECT_TRUE(probe.ProbeFile(source));
    EXPECT_TRUE(session.Facts().UseWrapper);
}

TEST(MediaProbe, AFailedWrapperProbeFallsBackToTheDirectProbe)
{
    // A line break in the name makes a script the converter refuses to read.
    ScratchDir dir;
    const std::string source = dir.file("movie\nname.rmvb");
    fs::copy_file(Clip("mp4"), source);
    ConverterSession session(ProgramDir());
    MediaProbe probe(session);
    EXPECT_TRUE(probe.ProbeFile(source));
    EXPECT_FALSE(session.Facts().UseWrapper);
}

TEST(MediaProbe, AwkwardPathsReachTheConverterIntact)
{
    ScratchDir dir;
    ConverterSession session(ProgramDir());
    MediaProbe probe(session);
    for (const std::string name : {"with blanks.mp4", "ünïcødé ✓.avi", "double\"quote.avi", "back\\slash\\.mp4",
                                   "$HOME.wmv", "-i.mp4", "-", "trailing backslash\\"}) {
        const std::string source = dir.file(name);
        fs::copy_file(Clip("mp4"), source);
        EXPECT_TRUE(probe.ProbeFile(source)) << name;
        EXPECT_EQ(session.Facts().Duration, 2) << name;
    }
}

TEST(MediaProbe, AMissingConverterIsTheRunnersError)
{
    ScratchDir empty;
    ConverterSession session(empty.path().string() + "/");
    MediaProbe probe(session);
    try {
        probe.ProbeFile(Clip("mp4"));
        FAIL() << "no error";
    } catch (const QuillonError &e) {
        // The runner's words, then every place the launcher was looked for.
        EXPECT_EQ(std::string(e.what()),
                  "Error creating process : 2\n" + LauncherMissingText(LayoutOf(empty.path().string() + "/"), ENOENT));
    }
    EXPECT_FALSE(session.Runner().Active());
}

TEST(MediaProbe, AMissingFfmpegIsSaidOnceAndNothingIsRemembered)
{
    ConverterSession session(ProgramDir());
    MediaProbe probe(session);
    const std::string clip = Clip("avi"); // through a wrapper script first
    {
        ScopedEnv env("QUILLON_FFMPEG", "/nonexistent/ffmpeg");
        try {
            probe.ProbeFile(clip);
            FAIL() << "a missing FFmpeg is no bad video";
        } catch (const QuillonError &e) {
            EXPECT_STREQ(
                e.what(),
                "The converter could not be run: cannot run FFmpeg (/nonexistent/ffmpeg): No such file or directory");
        }
    }
    EXPECT_TRUE(probe.ProbeFile(clip)) << "the failure was not remembered as the file's answer";
}

TEST(MediaProbe, AProbeThatWasStoppedIsNotRemembered)
{
    ScopedEnv env("QUILLON_FFMPEG", PacedFfmpeg(false, true));
    ConverterSession session(ProgramDir());
    MediaProbe probe(session);
    ScratchDir dir;
    const std::string source = dir.file("good.mp4");
    fs::copy_file(Clip("mp4"), source);
    QTimer::singleShot(300, [&] { session.Runner().Terminate(0); });
    EXPECT_FALSE(probe.ProbeFile(source));
    EXPECT_TRUE(probe.Interrupted());
    EXPECT_TRUE(probe.ProbeFile(source));
    EXPECT_FALSE(probe.Interrupted());
    EXPECT_EQ(session.Facts().Duration, 2);
}

TEST(NewFiles, AreNeverOpenedThroughWhatIsAlreadyThere)
{
    ScratchDir dir;
    const std::string victim = dir.file("victim"), planted = dir.file("tmp1.tmp.avs");
    WriteFile(victim, "precious");
    fs::create_symlink(victim, planted);
    EXPECT_FALSE(CreateNewFile(planted, "DirectShowSource(...)"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(ReadFile(victim), "precious");
    fs::remove(planted);
    fs::create_symlink(dir.file("nowhere"), planted); // a dangling link is refused too
    EXPECT_FALSE(CreateNewFile(planted, "x"));
    EXPECT_FALSE(fs::exists(dir.file("nowhere")));
    EXPECT_TRUE(CreateNewFile(dir.file("fresh"), "text"));
    EXPECT_EQ(ReadFile(dir.file("fresh")), "text");
}

TEST(MediaProbe, AScriptThatCannotBeWrittenIsAnErrorAndNoDirectProbe)
{
    ScratchDir dir;
    TempDirScope scope(dir.file("missing"));
    ConverterSession session(ProgramDir());
    MediaProbe probe(session);
    try {
        probe.ProbeFile(Clip("avi"));
        FAIL() << "no error";
    } catch (const QuillonError &e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file", 0), 0u) << e.what();
    }
    EXPECT_EQ(session.Facts().Duration, 0) << "the direct probe must not run";
}

TEST(MediaProbe, TheWaitSleepsBetweenEvents)
{
    // A converter that takes half a second before it answers.
    ScratchDir dir;
    const std::string slow = dir.file("videoenc.dll");
    WriteFile(slow, "#!/bin/sh\nsleep 0.5\nexec '" + ProgramDir() + "videoenc.dll' \"$@\"\n");
    fs::permissions(slow, fs::perms::owner_all);
    ConverterSession session(dir.path().string() + "/");
    MediaProbe probe(session);
    rusage before{}, after{};
    getrusage(RUSAGE_THREAD, &before);
    QElapsedTimer wall;
    wall.start();
    EXPECT_TRUE(probe.ProbeFile(Clip("mp4")));
    getrusage(RUSAGE_THREAD, &after);
    const double cpuMs = (after.ru_utime.tv_sec - before.ru_utime.tv_sec) * 1000.0 +
                         (after.ru_utime.tv_usec - before.ru_utime.tv_usec) / 1000.0 +
                         (after.ru_stime.tv_sec - before.ru_stime.tv_sec) * 1000.0 +
                         (after.ru_stime.tv_usec - before.ru_stime.tv_usec) / 1000.0;
    EXPECT_GT(wall.elapsed(), 500);
    EXPECT_LT(cpuMs, wall.elapsed() * 0.25) << "the main thread spun while it waited";
}

TEST(MediaProbe, AnUnchangedFileIsNotProbedTwice)
{
    ScratchDir dir;
    const std::string source = dir.file("a.avi");
    std::filesystem::copy_file(Clip("avi"), source);
    // A converter that counts its starts.
    const std::string counter = dir.file("starts");
    WriteScript(dir.file("ffmpeg.sh"), "echo x >> '" + counter + "'\nexec ffmpeg \"$@\"\n");
    ScopedEnv env("QUILLON_FFMPEG", dir.file("ffmpeg.sh"));
    ConverterSession session(ProgramDir());
    MediaProbe probe(session);
    auto starts = [&] {
        const std::string text = ReadFile(counter);
        return std::count(text.begin(), text.end(), 'x');
    };
    ASSERT_TRUE(probe.ProbeFile(source));
    const auto first = starts();
    session.Facts() = MediaFacts{};
    EXPECT_TRUE(probe.ProbeFile(source));
    EXPECT_EQ(starts(), first);
    EXPECT_EQ(session.Facts().Duration, 2);
    EXPECT_TRUE(session.Facts().UseWrapper);
    // Changed: probed afresh. Gone: rejected.
    fs::last_write_time(source, fs::file_time_type::clock::now() + std::chrono::seconds(5));
    EXPECT_TRUE(probe.ProbeFile(source));
    EXPECT_GT(starts(), first);
    fs::remove(source);
    EXPECT_FALSE(probe.ProbeFile(source));
}
