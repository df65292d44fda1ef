#include "platform/partial_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

TEST(PartialFiles, TheirNamesAreHiddenMarkedAndKeepTheExtension)
{
    ScratchDir dir;
    const PartialFile file = CreatePartialFile(dir.file("talk.MP3"));
    ASSERT_GE(file.Fd, 0);
    const std::string name = fs::path(file.Path).filename().string();
    EXPECT_EQ(name.rfind(".talk.quillon-", 0), 0u) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".MP3");
    EXPECT_TRUE(IsPartialFileName(name));
    EXPECT_EQ(fs::status(file.Path).permissions() & fs::perms::owner_write, fs::perms::owner_write);
    ::close(file.Fd);

    for (const char *other : {"talk.MP3", ".talk.MP3", ".talk.quillon-abc.MP3", ".talk.quillon-abcdef.x.MP3",
                              "talk.quillon-abcdef.MP3", ".talk.quillon-abc!ef.MP3", ".quillon-abcdef.MP3"})
        EXPECT_FALSE(IsPartialFileName(other)) << other;
    EXPECT_TRUE(IsPartialFileName(".x.quillon-Ab3xYz"));
    // A very long final name still gives a name the file system takes.
    const PartialFile longOne = CreatePartialFile(dir.file(std::string(250, 'n') + ".AIFF"));
    EXPECT_GE(longOne.Fd, 0);
    ::close(longOne.Fd);
}

TEST(PartialFiles, OnlyWhatNoLiveWriterHoldsIsSwept)
{
    ScratchDir dir;
    const PartialFile live = CreatePartialFile(dir.file("a.MP3"));
    const PartialFile dead = CreatePartialFile(dir.file("b.MP3"));
    ASSERT_TRUE(live.Fd >= 0 && dead.Fd >= 0);
    ::close(dead.Fd);                                      // its writer died
    WriteFile(dir.file(".c.quillon-two.txt"), "not ours"); // not of the form
    WriteFile(dir.file("b.MP3"), "");
    EXPECT_EQ(SweepStalePartialFiles(dir.path().string()), 1);
    EXPECT_TRUE(fs::exists(live.Path));
    EXPECT_FALSE(fs::exists(dead.Path));
    EXPECT_TRUE(fs::exists(dir.file(".c.quillon-two.txt")));
    EXPECT_TRUE(fs::exists(dir.file("b.MP3")));
    ::close(live.Fd);
    EXPECT_EQ(SweepStalePartialFiles(dir.path().string()), 1);
}

TEST(PartialFiles, InstallingNeverReplacesAFileWithContent)
{
    ScratchDir dir;
    auto partialWith = [&](const std::string &final, const std::string &bytes) {
        const PartialFile f = CreatePartialFile(final);
        EXPECT_EQ(::write(f.Fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(f.Fd);
        return f.Path;
    };
    // Over a reservation.
    const std::string reserved = dir.file("a.MP3");
    Reservation name, again;
    ASSERT_TRUE(name.Make(reserved));
    EXPECT_FALSE(again.Make(reserved)) << "a name is reserved once";
    EXPECT_FALSE(ReclaimStaleReservation(reserved)) << "while its run lives";
    const FileIdentity identity = name.Identity();
    EXPECT_EQ(InstallPartialFile(partialWith(reserved, "sound"), reserved, &identity), 0);
    EXPECT_EQ(ReadFile(reserved), "sound");
    name.Release(); // now a finished output: it stays
    EXPECT_EQ(ReadFile(reserved), "sound");
    // Another run's reservation, made after ours went, is not ours to fill.
    const std::string other = dir.file("c.MP3");
    Reservation theirs;
    ASSERT_TRUE(theirs.Make(other));
    const FileIdentity gone{}; // no file has it
    EXPECT_EQ(InstallPartialFile(partialWith(other, "x"), other, &gone), EEXIST);
    // Where nothing is.
    EXPECT_EQ(InstallPartialFile(partialWith(dir.file("b.MP3"), "b"), dir.file("b.MP3")), 0);
    EXPECT_EQ(ReadFile(dir.file("b.MP3")), "b");
    // Over the user's file: refused, and the temporary file is the caller's to remove.
    const std::string partial = partialWith(reserved, "new");
    EXPECT_EQ(InstallPartialFile(partial, reserved), EEXIST);
    EXPECT_EQ(ReadFile(reserved), "sound");
    EXPECT_TRUE(fs::exists(partial));
}

TEST(PartialFiles, MessagesNameTheFileTheUserKnows)
{
    const std::string final = "/out/my talk.MP3";
    EXPECT_EQ(NamePartialFilesAs(
                  "Error writing trailer of file:/out/.my talk.quillon-Ab3xYz.MP3: No space left on device", final),
              "Error writing trailer of /out/my talk.MP3: No space left on device");
    EXPECT_EQ(NamePartialFilesAs(
                  "'/out/.x.quillon-abcdef.MP3' and /out/.hidden.MP3 and /elsewhere/.x.quillon-abcdef.MP3", final),
              "'/out/my talk.MP3' and /out/.hidden.MP3 and /elsewhere/.x.quillon-abcdef.MP3");
    // Two mentions back to back, the first one's extension running into the
    // second one's "file:" (found by the fuzzer).
    EXPECT_EQ(NamePartialFilesAs("/out/.a.quillon-abcdef.MP3file:/out/.b.quillon-abcdef.MP3", final),
              final + ":" + final);
}
