#include "astro/datafile.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace nivora;

namespace {

// Reads a text by a plan of 't' (text), 'n' (number) and 'l' (line) and joins what came out.
std::vector<std::string> readByPlan(const std::string& text, std::string_view plan) {
    ItemReader reader(text, "plan.txt");
    std::vector<std::string> out;
    for (char step : plan) {
        if (step == 't')
            out.push_back(reader.readText());
        else if (step == 'n')
            out.push_back(std::to_string(reader.readNumber()));
        else
            out.push_back(reader.readLine());
    }
    return out;
}

std::string num(double v) {
    return std::to_string(v);
}

} // namespace

TEST(ItemReader, FollowsTheItemRule) {
    struct Case {
        const char* name;
        std::string text;
        std::string_view plan;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"commas, colons and line ends separate", "a,b:c\r\nd", "tttt", {"a", "b", "c", "d"}},
        {"LF alone and a lone CR end lines too", "a\nb\rc", "ttt", {"a", "b", "c"}},
        {"leading blanks skipped, inner kept, trailing dropped",
         "   two words   ,x",
         "tt",
         {"two words", "x"}},
        {"a tab is not a blank", "\tx  ,y", "tt", {"\tx", "y"}},
        {"a CR before LF is no part of the item", "end\r\nnext", "tt", {"end", "next"}},
        {"quotes hold commas and colons", "\"a, b: c\" ,d", "tt", {"a, b: c", "d"}},
        {"text after a closing quote is dropped", "\"a\"bc,d", "tt", {"a", "d"}},
        {"an empty line is an empty text item", "a\r\n\r\nb", "ttt", {"a", "", "b"}},
        {"numbers end at blanks", "1 2.5   -3e2\r\n", "nnn", {num(1), num(2.5), num(-300)}},
        {"blanks then a comma are one separator", "1  , 2 ,3", "nnn", {num(1), num(2), num(3)}},
        {"two commas in a row give an empty number", "1,,2", "nnn", {num(1), num(0), num(2)}},
        {"a plus sign is allowed", "+4.5,+.5", "nn", {num(4.5), num(0.5)}},
        {"line ends before a number are skipped", "1,\r\n\r\n  2", "nn", {num(1), num(2)}},
        {"a label followed by blanks swallows the numbers", "mean 1 2 3\r\n4", "tn", {"mean 1 2 3", num(4)}},
        {"a label then the numbers after the comma", "mean, 1 2 3", "tnnn", {"mean", num(1), num(2), num(3)}},
        {"a number then a text on the same line", "36 latitude\r\n", "nt", {num(36), "latitude"}},
        {"a whole line after the last number of a line",
         "1 2\r\nheader, with: commas\r\n3",
         "nnln",
         {num(1), num(2), "header, with: commas", num(3)}},
        {"a line read from the middle keeps the rest",
         "a, rest of it\r\nb",
         "tlt",
         {"a", " rest of it", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readByPlan(c.text, c.plan), c.expected);
    }
}

TEST(ItemReader, NumbersIgnoreTheLocale) {
    // from_chars never reads a decimal comma: "1,5" is two numbers whatever the process locale.
    EXPECT_EQ(readByPlan("1,5", "nn"), (std::vector<std::string>{num(1), num(5)}));
}

TEST(ItemReader, RejectsWhatIsNotANumber) {
    for (const char* text : {"abc", "1.5x", "--1", "+-1", "inf", "nan", "1e999", "\"1\"", "\t1", "1..2"}) {
        SCOPED_TRACE(text);
        ItemReader reader(text, "bad.txt");
        EXPECT_THROW(reader.readNumber(), DataFileError);
    }
}

TEST(ItemReader, ErrorsNameFileLineAndWhatWasExpected) {
    ItemReader reader("1\r\n2\r\nthree\r\n", "coeffs.txt");
    reader.readNumber();
    reader.readNumber();
    try {
        reader.readNumber("the third coefficient");
        FAIL() << "no error";
    } catch (const DataFileError& error) {
        EXPECT_EQ(error.file(), "coeffs.txt");
        EXPECT_EQ(error.line(), 3);
        EXPECT_NE(error.expected().find("the third coefficient"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("coeffs.txt"), std::string::npos);
    }
}

TEST(ItemReader, EndOfFileThrowsForEveryKindOfRead) {
    for (const char* plan : {"t", "n", "l"}) {
        SCOPED_TRACE(plan);
        ItemReader reader("only\r\n", "short.txt");
        reader.readText();
        try {
            if (plan[0] == 't')
                reader.readText("the item \"end\"");
            else if (plan[0] == 'n')
                reader.readNumber();
            else
                reader.readLine();
            FAIL() << "no error";
        } catch (const DataFileError& error) {
            EXPECT_EQ(error.line(), 1); // the last line of the file, not the one after it
        }
    }
}

TEST(ItemReader, MissingFileIsADataFileError) {
    try {
        ItemReader::open(std::string(NIVORA_TEST_DIR) + "/fixtures/no-such-file.txt");
        FAIL() << "no error";
    } catch (const DataFileError& error) {
        EXPECT_EQ(error.line(), 0);
    }
}

TEST(LineReader, AcceptsEveryLineEnd) {
    LineReader lines("a\r\nb\nc\rd\r\n");
    std::vector<std::string> seen;
    std::string_view line;
    while (lines.next(line))
        seen.emplace_back(line);
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(lines.lineNumber(), 4);
}

// Random plans over truncated and garbled texts: the reader either answers or throws
// DataFileError; it never crashes, hangs or throws anything else.
TEST(ItemReader, FuzzedInputOnlyEverThrowsDataFileError) {
    const std::string seeds[] = {
        "label,\r\n 1 2 3, 4\r\nmean, 0 0 0\r\n\"quoted, text\" x\r\nend\r\n",
        "# 1.5e3 -2 +7 : 8,,9\n\n\r\r\nlatitude\rdist-exp, 10\n",
    };
    const char alphabet[] = " ,:\r\n\"#+-.eE0123456789abc\t";
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        std::string text = seeds[round % 2];
        text.resize(random() % (text.size() + 1));
        for (int k = random() % 6; k > 0 && !text.empty(); --k)
            text[random() % text.size()] = alphabet[random() % (sizeof alphabet - 1)];
        ItemReader reader(text, "fuzz.txt");
        try {
            for (int step = 0; step < 200; ++step) {
                switch (random() % 3) {
                case 0:
                    reader.readText();
                    break;
                case 1:
                    reader.readNumber();
                    break;
                default:
                    reader.readLine();
                    break;
                }
            }
            FAIL() << "200 reads from a text of " << text.size() << " characters without reaching its end";
        } catch (const DataFileError&) {
        }
    }
}

TEST(DataFileMessages, QuoteControlCharactersVisibly) {
    struct Case {
        std::string text, shown;
    };
    const Case cases[] = {
        {"plain text", "plain text"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"tab\there", "tab\\x09here"},
        {"two\r\nlines", "two\\x0D\\x0Alines"},
        {"\x7f", "\\x7F"},
        {"C:\\x00", "C:\\\\x00"},   // a backslash of the text is told apart from an escape
        {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},   // UTF-8 letters stay
    };
    for (const Case& c : cases)
        EXPECT_EQ(escapeControls(c.text), c.shown);

    const DataFileError error(std::string("od\nd.txt"), 3, std::string("a number, found \"1") + '\0' + "2\"");
    EXPECT_STREQ(error.what(), "\"od\\x0Ad.txt\", line 3: expected a number, found \"1\\x002\"");
}

TEST(DataFileMessages, RunningOutOfMemoryNamesTheFile) {
    try {
        withinMemory("big.plt", []() -> int { throw std::bad_alloc(); });
        FAIL() << "no error";
    } catch (const DataFileError& error) {
        EXPECT_EQ(error.file(), "big.plt");
        EXPECT_EQ(error.expected(), outOfMemoryText);
    }
}

TEST(ByteOrderMark, OnlyALeadingMarkIsSkipped) {
    EXPECT_EQ(withoutByteOrderMark("\xEF\xBB\xBFtext"), "text");
    EXPECT_EQ(withoutByteOrderMark("text\xEF\xBB\xBF"), "text\xEF\xBB\xBF");
    EXPECT_EQ(withoutByteOrderMark("\xEF\xBB"), "\xEF\xBB");
    std::string_view line;
    LineReader lines("\xEF\xBB\xBF#-\r");
    ASSERT_TRUE(lines.next(line));
    EXPECT_EQ(line, "#-");
}
