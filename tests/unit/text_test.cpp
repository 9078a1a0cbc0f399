#include "base/text.h"

#include <string>

#include "tests/unit/test_support.h"

namespace {

// Copying and appending fill a buffer to its last byte, and say when a text had to be cut.
TEST(TextTest, CopyAndAppendFillTheBufferExactly)
{
    struct Row {
        const char* Start;
        const char* Appended;
        const char* Result;
        bool Whole;
    };
    const Row rows[] = {
        {"", "abcdefg", "abcdefg", true},  // seven bytes and the terminator: full
        {"abc", "defg", "abcdefg", true}, {"abc", "defgh", "abcdefg", false},  // one byte too many
        {"abcdefg", "", "abcdefg", true}, {"abcdefg", "h", "abcdefg", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.Start) + "+" + row.Appended);
        char buffer[8];
        EXPECT_TRUE(CopyText(buffer, row.Start));
        EXPECT_EQ(row.Whole, AppendText(buffer, row.Appended));
        EXPECT_STREQ(row.Result, buffer);
    }
    char buffer[8];
    EXPECT_FALSE(CopyText(buffer, "abcdefgh"));
    EXPECT_STREQ("abcdefg", buffer);
}

}  // namespace
