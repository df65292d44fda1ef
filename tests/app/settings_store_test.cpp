#include "app/settings_store.h"
#include "platform/private_profile.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quillon;
using namespace quillon::test;

namespace {

class Settings : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string ini = dir.file("strings.ini");
    std::string documents = dir.file("Documents");
    void SetUp() override { std::filesystem::create_directory(documents); }
    SettingsStore store(bool documentsKnown = true)
    {
        return SettingsStore(ini, [this, documentsKnown]() -> std::optional<std::string> {
            return documentsKnown ? std::optional<std::string>(documents) : std::nullopt;
        });
    }
    OutputOptions load(const std::string &content, bool documentsKnown = true)
    {
        if (!content.empty())
            WriteFile(ini, content);
        OutputOptions o;
        store(documentsKnown).LoadSettings(o);
        return o;
    }
};

} // namespace

TEST_F(Settings, NoFileGivesTheDefaultsAndExitWritesEveryKeyInOrder)
{
    OutputOptions o = load("");
    EXPECT_EQ(o.FormatIndex, 0);
    EXPECT_EQ(o.SampleRateIndex, 0);
    EXPECT_EQ(o.BitRateIndex, 0);
    EXPECT_FALSE(o.Mono);
    EXPECT_EQ(o.NamingMethod, 0);
    EXPECT_FALSE(o.OverwriteExisting);
    EXPECT_EQ(o.OutputDir, documents + "/");
    EXPECT_EQ(o.Simultaneous, DefaultSimultaneousExtractions());
    store().SaveSettings(o);
    EXPECT_EQ(ReadFile(ini), "[Common]\r\nnNaming=0\r\nbOverWrite=0\r\nstrOutputDir=" + documents +
                                 "/\r\ncbAudioSampleRate=0\r\ncbAudioBitRate=0\r\ncbFileFormat=0\r\nckMono=0\r\n"
                                 "nSimultaneous=" +
                                 std::to_string(DefaultSimultaneousExtractions()) +
                                 "\r\nstrTrack=\r\nbKeepDates=1\r\n");
}

TEST_F(Settings, TrackChoiceAndDatesAreReadAsTheyCanBeUsed)
{
    const std::pair<const char *, const char *> tracks[] = {{"all", "all"}, {"ENG", "eng"}, {"first", ""},
                                                            {"", ""},       {"en g", ""},   {"x;rm -rf", ""}};
    for (const auto &[stored, expected] : tracks)
        EXPECT_EQ(load(std::string("[Common]\r\nstrTrack=") + stored + "\r\n").Track, expected) << stored;
    EXPECT_TRUE(load("").KeepDates);
    EXPECT_FALSE(load("[Common]\r\nbKeepDates=0\r\n").KeepDates);
}

TEST_F(Settings, SimultaneousExtractionsAreReadWithinTheirRange)
{
    const std::pair<const char *, int> cases[] = {{"3", 3}, {"0", 1}, {"-2", 1}, {"99", MaxSimultaneousExtractions}};
    for (const auto &[stored, expected] : cases)
        EXPECT_EQ(load(std::string("[Common]\r\nnSimultaneous=") + stored + "\r\n").Simultaneous, expected) << stored;
    EXPECT_GE(DefaultSimultaneousExtractions(), 1);
    EXPECT_LE(DefaultSimultaneousExtractions(), 8);
}

struct ValueCase {
    const char *stored;
    int naming, format, bitRate;
    bool mono, overwrite;
};

class SettingsValues : public Settings, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(SettingsValues, FollowTheReadingRules)
{
    const ValueCase &c = GetParam();
    const OutputOptions o = load(std::string("[Common]\r\n") + c.stored);
    EXPECT_EQ(o.NamingMethod, c.naming);
    EXPECT_EQ(o.FormatIndex, c.format);
    EXPECT_EQ(o.BitRateIndex, c.bitRate);
    EXPECT_EQ(o.Mono, c.mono);
    EXPECT_EQ(o.OverwriteExisting, c.overwrite);
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsValues,
                         ::testing::Values(ValueCase{"nNaming=5\r\n", 2, 0, 0, false, false},
                                           ValueCase{"nNaming=-3\r\n", 0, 0, 0, false, false},
                                           ValueCase{"nNaming=abc\r\n", 0, 0, 0, false, false},
                                           ValueCase{"nNaming=1\r\n", 1, 0, 0, false, false},
                                           ValueCase{"bOverWrite=7\r\nckMono=2\r\n", 0, 0, 0, true, true},
                                           ValueCase{"cbFileFormat=99\r\n", 0, -1, 0, false, false},
                                           ValueCase{"cbFileFormat=-1\r\n", 0, -1, 0, false, false},
                                           ValueCase{"cbAudioBitRate=0x7\r\n", 0, 0, 7, false, false},
                                           ValueCase{"cbAudioBitRate=$C\r\n", 0, 0, 12, false, false},
                                           ValueCase{"CBFILEFORMAT = 3 \r\n", 0, 3, 0, false, false},
                                           ValueCase{"cbFileFormat=3x\r\n", 0, 0, 0, false, false}));

TEST_F(Settings, ValuesAreWrittenBackInTheirStoredForms)
{
    OutputOptions o = load("[Common]\r\nbOverWrite=7\r\nckMono=2\r\ncbFileFormat=99\r\n");
    store().SaveSettings(o);
    const PrivateProfile profile(ini);
    EXPECT_EQ(profile.ReadString("Common", "bOverWrite"), "-1");
    EXPECT_EQ(profile.ReadString("Common", "ckMono"), "1");
    EXPECT_EQ(profile.ReadString("Common", "cbFileFormat"), "-1");
    EXPECT_EQ(load("").FormatIndex, -1); // and the next start again shows no selection
}

TEST_F(Settings, OutputDirectoryRules)
{
    const std::string existing = dir.file("out");
    std::filesystem::create_directory(existing);
    EXPECT_EQ(load("[Common]\r\nstrOutputDir=" + existing + "\r\n").OutputDir, existing + "/");
    EXPECT_EQ(load("[Common]\r\nstrOutputDir=" + existing + "/\r\n").OutputDir, existing + "/");
    EXPECT_EQ(load("[Common]\r\nstrOutputDir=" + dir.file("gone") + "\r\n").OutputDir, documents + "/");
    EXPECT_EQ(load("[Common]\r\nstrOutputDir=\r\n").OutputDir, documents + "/");
}

TEST_F(Settings, UnknownDocumentsFolderEndsTheReadingThere)
{
    OutputOptions o = load("[Common]\r\nstrOutputDir=/tmp\r\nbOverWrite=1\r\ncbFileFormat=2\r\n", false);
    EXPECT_EQ(o.FormatIndex, 2);
    EXPECT_TRUE(o.OverwriteExisting);
    EXPECT_EQ(o.OutputDir, ""); // not read: the error ended the reading
    EXPECT_THROW(store(false).GetDocumentsFolder(), std::exception);
    try {
        store(false).GetDocumentsFolder();
    } catch (const std::exception &e) {
        EXPECT_STREQ(e.what(), "Could not find your default documents folder");
    }
}

TEST_F(Settings, WritingKeepsOtherSectionsAndUpdatesKeysInPlace)
{
    WriteFile(ini,
              "; comment\r\n[Other]\r\nnNaming=9\r\n\r\n[common]\r\nckMono=1\r\nextra=keep\r\n\r\n[Tail]\r\nx=1\r\n");
    OutputOptions o;
    o.OutputDir = "/music/";
    store().SaveSettings(o);
    EXPECT_EQ(ReadFile(ini),
              "; comment\r\n[Other]\r\nnNaming=9\r\n\r\n[common]\r\nckMono=0\r\nextra=keep\r\n"
              "nNaming=0\r\nbOverWrite=0\r\nstrOutputDir=/music/\r\ncbAudioSampleRate=-1\r\n"
              "cbAudioBitRate=-1\r\ncbFileFormat=-1\r\nnSimultaneous=1\r\nstrTrack=\r\nbKeepDates=1\r\n\r\n"
              "[Tail]\r\nx=1\r\n");
}

TEST_F(Settings, AFailedWriteIsSwallowedAndChangesNothing)
{
    SettingsStore broken(dir.file("no/such/dir/strings.ini"), [] { return std::optional<std::string>("/tmp"); });
    OutputOptions o;
    broken.SaveSettings(o); // no throw
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
}

TEST(ProfileInteger, Rules)
{
    EXPECT_EQ(ParseProfileInteger("12"), 12);
    EXPECT_EQ(ParseProfileInteger(" -12 "), -12);
    EXPECT_EQ(ParseProfileInteger("0x1F"), 31);
    EXPECT_EQ(ParseProfileInteger("0X1f"), 31);
    EXPECT_EQ(ParseProfileInteger("$ff"), 255);
    EXPECT_EQ(ParseProfileInteger("0x"), std::nullopt); // not longer than two characters
    EXPECT_EQ(ParseProfileInteger("$"), std::nullopt);
    EXPECT_EQ(ParseProfileInteger(""), std::nullopt);
    EXPECT_EQ(ParseProfileInteger("1.5"), std::nullopt);
    EXPECT_EQ(ParseProfileInteger("99999999999"), std::nullopt);
    EXPECT_EQ(ParseProfileInteger("$FFFFFFFF"), -1);
}

TEST_F(Settings, TheSettingsFolderIsMadeWhenMissing)
{
    const std::string nested =
        (std::filesystem::path(ini).parent_path() / "config" / "quillon" / "strings.ini").string();
    SettingsStore store(nested);
    store.MakesItsFolder = true;
    store.SaveSettings(OutputOptions{});
    EXPECT_TRUE(std::filesystem::exists(nested));
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(fs::path(nested).parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
}
