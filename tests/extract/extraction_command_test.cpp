#include "extract/extraction_command.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace quillon;
using namespace quillon::test;

namespace {

struct CommandCase {
    const char *format;
    bool mono;
    const char *expected;
};

void PrintTo(const CommandCase &c, std::ostream *os) { *os << c.format; }

class CommandLines : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandLines, AreExactToTheBlank)
{
    const CommandCase &c = GetParam();
    EXPECT_EQ(BuildExtractionCommandLine("/opt/q/videoenc.dll", "/v/a b.avi", c.format, "44100", "128", c.mono,
                                         "/out/a b." + std::string(c.format)),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CommandLines,
    ::testing::Values(
        CommandCase{"MP3", false,
                    "/opt/q/videoenc.dll -vn  -i \"/v/a b.avi\"  -ac 2 -ar 44100 -ab 128000 \"/out/a b.MP3\""},
        CommandCase{"MP4", true,
                    "/opt/q/videoenc.dll -vn  -i \"/v/a b.avi\"  -ac 1 -ar 44100 -ab 128000 \"/out/a b.MP4\""},
        CommandCase{"3GP", false,
                    "/opt/q/videoenc.dll -vn  -i \"/v/a b.avi\"  -acodec libamr_nb  -ac 1 -ar 8000 -ab 12200  \"/out/a "
                    "b.3GP\""},
        CommandCase{
            "WMA", false,
            "/opt/q/videoenc.dll -vn  -i \"/v/a b.avi\"  -ac 2  -acodec wmav2 -ar 44100 -ab 128000 \"/out/a b.WMA\""},
        CommandCase{"WAV", true,
                    "/opt/q/videoenc.dll -vn  -i \"/v/a b.avi\"  -ac 1 -ar 44100 -ab 128000 \"/out/a b.WAV\""},
        CommandCase{"AU", false,
                    "/opt/q/videoenc.dll -vn  -i \"/v/a b.avi\"  -ac 2 -ar 44100 -ab 128000 \"/out/a b.AU\""},
        CommandCase{
            "AIFF", false,
            "/opt/q/videoenc.dll -vn  -i \"/v/a b.avi\"  -ac 2 -ar 44100 -ab 128000 -write_id3v2 1 \"/out/a b.AIFF\""},
        CommandCase{
            "OGG", true,
            "/opt/q/videoenc.dll -vn  -i \"/v/a b.avi\"  -ac 1  -acodec vorbis -ar 44100 -ab 128000 \"/out/a b.OGG\""}),
    [](const ::testing::TestParamInfo<CommandCase> &info) { return std::string(info.param.format); });

} // namespace

TEST(AudioOptions, FollowTheFormatTable)
{
    EXPECT_EQ(MakeAudioOptions("WMA", "22050", "64"), " -acodec wmav2 -ar 22050 -ab 64000");
    EXPECT_EQ(MakeAudioOptions("OGG", "11025", "16"), " -acodec vorbis -ar 11025 -ab 16000");
    EXPECT_EQ(MakeAudioOptions("3GP", "44100", "320"), " -acodec libamr_nb  -ac 1 -ar 8000 -ab 12200 ");
    EXPECT_EQ(MakeAudioOptions("AIFF", "44100", "320"), "-ar 44100 -ab 320000");
    EXPECT_EQ(MakeAudioOptions("anything", "44100", "320"), "-ar 44100 -ab 320000");
}

TEST(AudioOptions, AQuoteInAPathCannotOpenAnOption)
{
    const std::string line =
        BuildExtractionCommandLine("/q/videoenc.dll", "/v/x\" -y \"z.avi", "MP3", "44100", "128", false, "/out/x.MP3");
    EXPECT_EQ(line, "/q/videoenc.dll -vn  -i \"/v/x\\\" -y \\\"z.avi\"  -ac 2 -ar 44100 -ab 128000 \"/out/x.MP3\"");
}

TEST(OutputBaseName, NamesAfterTheSourceOrTheIndex)
{
    EXPECT_EQ(OutputBaseName("/v/holiday.part1.avi", 0, 4), "holiday.part1");
    EXPECT_EQ(OutputBaseName("/v/archive.tar.avi", 2, 4), "archive.tar"); // any value but 1 names by source
    EXPECT_EQ(OutputBaseName("/v.d/noext", 0, 0), "noext");
    EXPECT_EQ(OutputBaseName("/v/a.avi", 1, 7), "7");
}

class OutputNames : public ::testing::Test {
protected:
    ScratchDir dir;
    OutputOptions options;
    void SetUp() override
    {
        options.OutputDir = dir.path().string() + "/";
        options.FormatIndex = 0; // MP3
    }
    // Reserves a name and gives the reservation up again, so that each call
    // sees the folder as the test left it.
    std::string name(const std::string &source, int index = 0, std::vector<std::string> sources = {})
    {
        ReservedOutput out = ReserveOutputFile(source, options, index, sources);
        EXPECT_EQ(out.Error, "");
        const std::string path = out.Name.Path();
        out.Name.Release();
        return std::filesystem::path(path).filename().string();
    }
};

TEST_F(OutputNames, NumbersUntilTheNameIsFree)
{
    EXPECT_EQ(name("/v/a.avi"), "a.MP3");
    WriteFile(dir.file("a.MP3"), "x");
    WriteFile(dir.file("a(1).MP3"), "x");
    EXPECT_EQ(name("/v/a.avi"), "a(2).MP3");
    std::filesystem::create_directory(dir.file("a(2).MP3"));           // a directory takes the name too
    std::filesystem::create_symlink("/nowhere", dir.file("a(3).MP3")); // and so does a dangling link
    EXPECT_EQ(name("/v/a.avi"), "a(4).MP3");
}

TEST_F(OutputNames, OverwriteReplacesAFileWithContentOnly)
{
    WriteFile(dir.file("a.MP3"), "x");
    options.OverwriteExisting = true;
    ReservedOutput out = ReserveOutputFile("/v/a.avi", options, 0, {});
    EXPECT_EQ(std::filesystem::path(out.Name.Path()).filename(), "a.MP3");
    EXPECT_EQ(ReadFile(out.Name.Path()), ""); // the old file went before the converter starts
    // A live run's reservation is not taken over.
    EXPECT_EQ(name("/v/a.avi"), "a(1).MP3");
    // One whose run died is: its lock went with the run.
    out.Name.Close();
    EXPECT_EQ(name("/v/a.avi"), "a.MP3");
    // A user's own empty file is no reservation.
    WriteFile(dir.file("b.MP3"), "");
    EXPECT_EQ(name("/v/b.avi"), "b(1).MP3");
    EXPECT_TRUE(std::filesystem::exists(dir.file("b.MP3")));
}

TEST_F(OutputNames, NumberedNamesUseTheIndex)
{
    options.NamingMethod = 1;
    EXPECT_EQ(name("/v/a.avi", 0), "0.MP3");
    EXPECT_EQ(name("/v/b.avi", 2), "2.MP3");
    WriteFile(dir.file("0.MP3"), "x");
    EXPECT_EQ(name("/v/a.avi", 0), "0(1).MP3");
}

TEST_F(OutputNames, ASourceIsNeverTheOutputEvenWithOverwrite)
{
    const std::string source = dir.file("song.MP3");
    WriteFile(source, "the user's own file");
    options.OverwriteExisting = true;
    // Reached through another spelling of the same file.
    std::filesystem::create_symlink(source, dir.file("link.mp3"));
    EXPECT_EQ(name(source, 0, {dir.file("link.mp3")}), "song(1).MP3");
    EXPECT_EQ(ReadFile(source), "the user's own file");
}

TEST_F(OutputNames, NeverOneThatLooksLikeATemporaryFile)
{
    EXPECT_EQ(name("/v/.x.quillon-abcdef.mp4"), ".x.quillon-abcdef(1).MP3");
}

TEST_F(OutputNames, AReservedNameIsNotGivenTwice)
{
    // Two runs into one folder with sources of the same name.
    ReservedOutput first = ReserveOutputFile("/v/talk.avi", options, 0, {});
    ReservedOutput second = ReserveOutputFile("/w/talk.mp4", options, 0, {});
    const std::string firstPath = first.Name.Path(), secondPath = second.Name.Path();
    EXPECT_EQ(std::filesystem::path(firstPath).filename(), "talk.MP3");
    EXPECT_EQ(std::filesystem::path(secondPath).filename(), "talk(1).MP3");
    // Giving a reservation up leaves a file that has content since alone.
    WriteFile(secondPath, "sound");
    first.Name.Release();
    second.Name.Release();
    EXPECT_FALSE(std::filesystem::exists(firstPath));
    EXPECT_EQ(ReadFile(secondPath), "sound");
}

TEST_F(OutputNames, AFolderThatRefusesSaysWhy)
{
    options.OutputDir = dir.file("gone") + "/";
    EXPECT_EQ(ReserveOutputFile("/v/a.avi", options, 0, {}).Error,
              "The output folder does not exist: " + options.OutputDir);
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    std::filesystem::create_directory(dir.file("ro"));
    std::filesystem::permissions(dir.file("ro"),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    options.OutputDir = dir.file("ro") + "/";
    EXPECT_EQ(ReserveOutputFile("/v/a.avi", options, 0, {}).Error,
              "Cannot create the output file " + options.OutputDir + "a.MP3: Permission denied");
}
