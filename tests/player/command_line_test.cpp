// The command line's words, the program-name rule and the long name's replacement of a path's
// last component, with hostile lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/dynamic_array.h"
#include "player/command_line.h"

namespace {

std::vector<std::string> Split(const char* text)
{
    DynamicArray* words = NewDynamicArray(0, sizeof(char*), 8);
    SplitCommandLine(text, words);
    std::vector<std::string> out;
    for (int32_t i = 0; i < words->ArrayCount(); ++i) out.emplace_back(CommandLineWord(words, i));
    FreeCommandLineWords(words);
    EXPECT_EQ(words->ArrayCount(), 0);
    words->Destroy();
    return out;
}

using Words = std::vector<std::string>;

TEST(SplitCommandLineTest, WordsAndQuotedWords)
{
    EXPECT_EQ(Split("one \"two words\" three"), (Words{"one", "two words", "three"}));
    EXPECT_EQ(Split("   lead  and   trail   "), (Words{"lead", "and", "trail"}));
    EXPECT_EQ(Split("\"C:\\My Models\\room.qpy\""), (Words{"C:\\My Models\\room.qpy"}));
    // A quote inside a word does not start a quoted word.
    EXPECT_EQ(Split("a\"b c"), (Words{"a\"b", "c"}));
    EXPECT_EQ(Split(""), Words{});
    EXPECT_EQ(Split("    "), Words{});
}

TEST(SplitCommandLineTest, HostileQuotesNeverReadPastTheEnd)
{
    // Each text is copied into a buffer of its own length, so that a read past its terminator is
    // a read past the buffer (caught under the address sanitizer of the native build).
    struct Case {
        const char* text;
        Words words;
    };
    const Case cases[] = {
        {"\"", {}},                        // a lone quote at the end
        {"word \"", {"word"}},             // a trailing quote
        {"\"\"", {}},                      // an empty pair
        {"\"\" next", {"next"}},           // an empty pair, then a word
        {"\"\"\"", {}},                    // an empty pair and a lone quote
        {"\"unclosed words", {"unclosed words"}},
        {"a \"\" b \"\"", {"a", "b"}},
    };
    for (const Case& c : cases) {
        const std::string text = c.text;
        std::vector<char> exact(text.begin(), text.end());
        exact.push_back('\0');
        EXPECT_EQ(Split(exact.data()), c.words) << c.text;
    }
}

TEST(SplitCommandLineTest, LongWordsAreKeptWhole)
{
    const std::string longWord(5000, 'x');
    const Words words = Split(("a " + longWord + " b").c_str());
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[1], longWord);
}

TEST(NamesProgramTest, EndsInExeInAnyCaseAndIsLongerThanThree)
{
    EXPECT_TRUE(NamesProgram("C:\\QPlayer.exe"));
    EXPECT_TRUE(NamesProgram("run.EXE"));
    EXPECT_TRUE(NamesProgram("xExE"));
    EXPECT_FALSE(NamesProgram("exe"));
    EXPECT_FALSE(NamesProgram(""));
    EXPECT_FALSE(NamesProgram("room.qpy"));
    EXPECT_FALSE(NamesProgram("program.exe.qpy"));
    EXPECT_FALSE(NamesProgram("program.ex"));
}

TEST(ReplaceLastPathComponentTest, SplitsOnBothSlashesAndRefusesWhatDoesNotFit)
{
    char path[kCommandPathSize] = "C:\\models\\ROOM~1.QPY";
    EXPECT_TRUE(ReplaceLastPathComponent(path, sizeof path, "room model.qpy"));
    EXPECT_STREQ(path, "C:\\models\\room model.qpy");

    char slashed[kCommandPathSize] = "C:\\models/sub/ROOM~1.QPY";
    EXPECT_TRUE(ReplaceLastPathComponent(slashed, sizeof slashed, "room.qpy"));
    EXPECT_STREQ(slashed, "C:\\models/sub/room.qpy");

    char mixed[kCommandPathSize] = "C:/models\\ROOM~1.QPY";
    EXPECT_TRUE(ReplaceLastPathComponent(mixed, sizeof mixed, "room.qpy"));
    EXPECT_STREQ(mixed, "C:/models\\room.qpy");

    char bare[kCommandPathSize] = "ROOM~1.QPY";
    EXPECT_TRUE(ReplaceLastPathComponent(bare, sizeof bare, "room.qpy"));
    EXPECT_STREQ(bare, "room.qpy");

    // A result of the path's whole size or more is refused, the path unchanged.
    char full[16] = "C:\\a\\B~1";
    EXPECT_FALSE(ReplaceLastPathComponent(full, sizeof full, "longname.qp"));
    EXPECT_STREQ(full, "C:\\a\\B~1");
    EXPECT_TRUE(ReplaceLastPathComponent(full, sizeof full, "longname.q"));
    EXPECT_STREQ(full, "C:\\a\\longname.q");
}

}  // namespace
