#include "joblist/job_list.h"
#include "joblist/list_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace quillon;
using namespace quillon::test;

TEST(InformationText, WidthXHeightAndUnboundedHours)
{
    EXPECT_EQ(InformationText(640, 480, 3725), "640X480 01:02:05");
    EXPECT_EQ(InformationText(0, 0, 205), "0X0 00:03:25");
    EXPECT_EQ(InformationText(320, 240, 59), "320X240 00:00:59");
    EXPECT_EQ(InformationText(320, 240, 3600), "320X240 01:00:00");
    EXPECT_EQ(InformationText(1920, 1080, 360000), "1920X1080 100:00:00");
}

TEST(JobList, DeleteRemovesExactlyTheSelectedRows)
{
    JobList list;
    for (const char *s : {"a", "b", "c", "d", "e"})
        list.Append(s, "info");
    list.DeleteSelected(); // nothing selected: nothing happens
    EXPECT_EQ(list.Count(), 5);
    for (int i : {0, 2, 4})
        list.SetSelected(i, true);
    list.DeleteSelected();
    EXPECT_EQ(list.SourcePaths(), (std::vector<std::string>{"b", "d"}));
    list.Append("b", "info"); // the same source twice is two jobs
    EXPECT_EQ(list.Count(), 3);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Clear();
}

TEST(ListFile, IsWrittenByteForByte)
{
    EXPECT_EQ(ListFileText({}), "#Quillon File List\r\n");
    EXPECT_EQ(ListFileText({"/v/a b.avi", " /lead", "/x/\xE9t\xE9.mpg"}),
              "#Quillon File List\r\n/v/a b.avi\r\n /lead\r\n/x/\xE9t\xE9.mpg\r\n");
}

TEST(ListFile, ReadingSkipsCommentsAndBlankLinesAndStopsAtCtrlZ)
{
    const std::string text = "#Quillon File List\r\n/a.avi\r\n\r\n#/commented.avi\r\n  /lead.avi \r\n/lf.avi\n"
                             "\n/last.avi\x1A/after.avi\r\n";
    EXPECT_EQ(ListFileSources(text), (std::vector<std::string>{"/a.avi", "  /lead.avi ", "/lf.avi", "/last.avi"}));
    EXPECT_EQ(ListFileSources("/no/header.avi"), std::vector<std::string>{"/no/header.avi"});
    EXPECT_EQ(ListFileSources(""), std::vector<std::string>{});
}

TEST(ListFile, SaveRoundTrips)
{
    ScratchDir dir;
    const std::vector<std::string> sources{"/v/one.avi", "/v/two words.mp4", "/v/three.wmv"};
    ASSERT_TRUE(SaveListFile(dir.file("Quillon.lst"), sources));
    EXPECT_EQ(ListFileSources(*ReadListFile(dir.file("Quillon.lst"))), sources);
    EXPECT_FALSE(ReadListFile(dir.file("missing.lst")).has_value());
    EXPECT_FALSE(SaveListFile(dir.file("no/such/dir/x.lst"), sources));
}

TEST(ListFile, AFailedSaveKeepsTheOldList)
{
    ScratchDir dir;
    const std::string path = dir.file("keep.lst");
    ASSERT_TRUE(SaveListFile(path, {"/v/old.avi"}));
    const std::string before = ReadFile(path);
    // No file may grow beyond 64 bytes: the new list cannot be written.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    rlimit small{64, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = SaveListFile(path, std::vector<std::string>(20, "/v/a rather long path name.avi"));
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a temporary file was left";
}

TEST(JobList, AnEntrysStateShowsAsItsText)
{
    JobList jobs;
    jobs.Append("a.avi", "320X240 00:00:05");
    EXPECT_EQ(jobs.Entry(0).State, EntryState::Waiting);
    const std::pair<EntryState, const char *> shown[] = {{EntryState::Running, "0%"},
                                                         {EntryState::Done, "Done"},
                                                         {EntryState::Error, "Error"},
                                                         {EntryState::Abort, "Abort"}};
    for (const auto &[state, text] : shown) {
        jobs.SetState(0, state);
        EXPECT_EQ(jobs.Entry(0).State, state);
        EXPECT_EQ(jobs.Entry(0).Progress, text);
    }
    jobs.ClearProgressTexts();
    EXPECT_EQ(jobs.Entry(0).State, EntryState::Waiting);
    EXPECT_EQ(jobs.Entry(0).Progress, "");
}
