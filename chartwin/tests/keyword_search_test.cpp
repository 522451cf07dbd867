#include "chartwin/keyword_search.h"

#include <gtest/gtest.h>

namespace nivora {
namespace {

// Fields are cut by bytes; a character cut at either end is dropped rather than printed as a
// broken byte sequence.
TEST(KeywordSearch, FieldsLoseCharactersCutInHalf) {
    struct Case { const char* line; int column, width; const char* text; };
    const Case cases[] = {
        {"abc", 1, 3, "abc"},
        {"abc", 2, 5, "bc"},                        // fewer at the end of the line
        {"abc", 4, 2, ""},                          // none past it
        {"abc", 0, 2, ""},                          // no column
        {"ab\xC3\xA9" "c", 1, 3, "ab"},             // é cut after its first byte
        {"ab\xC3\xA9" "c", 4, 2, "c"},              // begun in its second byte
        {"\xE6\x9D\xB1\xE4\xBA\xAC", 1, 5, "\xE6\x9D\xB1"},   // 東京 cut inside 京
        {"\xE6\x9D\xB1\xE4\xBA\xAC", 1, 6, "\xE6\x9D\xB1\xE4\xBA\xAC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.line << ' ' << c.column << ' ' << c.width);
        EXPECT_EQ(wholeCharacters(lineField(c.line, c.column, c.width)), c.text);
    }
}

TEST(KeywordSearch, ListingHeights) {
    struct Case { int matches, height; };
    for (const Case& c : {Case{0, 102}, Case{1, 136}, Case{9, 544}, Case{10, 561}}) {
        SCOPED_TRACE(c.matches);
        EXPECT_EQ(searchListingHeight(c.matches, 9), c.height);
    }
}

} // namespace
} // namespace nivora
