#include "runner/command_line.h"

#include <gtest/gtest.h>

using quillon::QuoteCommandLineArgument;
using quillon::SplitCommandLine;

struct SplitCase {
    const char *line;
    std::vector<std::string> args;
};

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, FollowsTheWindowsRules)
{
    EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().args) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"   ", {}}, SplitCase{"prog", {"prog"}},
                      SplitCase{"prog  -i \"a b.avi\"", {"prog", "-i", "a b.avi"}},
                      SplitCase{"\"C:\\Program Files\\x.exe\" a", {"C:\\Program Files\\x.exe", "a"}},
                      // the program name takes backslashes literally
                      SplitCase{"C:\\dir\\prog.exe \\\\server\\share", {"C:\\dir\\prog.exe", "\\\\server\\share"}},
                      SplitCase{"p a\\\\\\\"b", {"p", "a\\\"b"}},    // 3 backslashes + quote: one backslash, a quote
                      SplitCase{"p \"a\\\\\" b", {"p", "a\\", "b"}}, // 2 backslashes + quote: one backslash, closes
                      SplitCase{"p a\\b\\c", {"p", "a\\b\\c"}},      // backslashes without a quote are literal
                      SplitCase{"p \"\"", {"p", ""}}, SplitCase{"p \"a\"\"b\"", {"p", "a\"b"}},
                      SplitCase{"p \t x\ty ", {"p", "x", "y"}}, SplitCase{"p a\"b c\"d", {"p", "ab cd"}},
                      SplitCase{"p \"-leading dash\" $HOME", {"p", "-leading dash", "$HOME"}},
                      SplitCase{"p \"unterminated quote", {"p", "unterminated quote"}}),
    [](const ::testing::TestParamInfo<SplitCase> &info) { return "case" + std::to_string(info.index); });

TEST(QuoteCommandLineArgument, GivesTheTextBackAsOneArgument)
{
    const std::vector<std::string> texts{"plain.avi",
                                         "with blank.avi",
                                         "quote\"inside.avi",
                                         "back\\slash",
                                         "trailing\\",
                                         "trailing\\\\",
                                         "\\\"mixed\\\\\"",
                                         "-dash",
                                         "$dollar",
                                         "Ünïcödé ✓.mp4",
                                         ""};
    for (const std::string &t : texts) {
        const auto args = SplitCommandLine("prog " + QuoteCommandLineArgument(t) + " next");
        ASSERT_EQ(args.size(), 3u) << t;
        EXPECT_EQ(args[1], t);
        EXPECT_EQ(args[2], "next");
    }
    // Paths that are legal on Windows keep the plain form.
    EXPECT_EQ(QuoteCommandLineArgument("C:\\Videos\\a b.avi"), "\"C:\\Videos\\a b.avi\"");
    EXPECT_EQ(QuoteCommandLineArgument("/home/me/a b.avi"), "\"/home/me/a b.avi\"");
}
