#include "base/format_text.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(FormatTextTest, ConversionsAndPlainBytes)
{
    struct Row {
        const char* Format;
        const char* Expected;
    };
    const Row rows[] = {
        {"%s", "one"},
        {"a %s b %s", "a one b two"},
        {"%s%s%s%s%s%s", "onetwothreefour"},
        {"100%%", "100%"},
        {"%d %x %p %n %c", "%d %x %p %n %c"},
        {"%ls %S %-5s", "%ls %S %-5s"},
        {"%", "%"},
        {"50% off", "50% off"},
        {"%%s", "%s"},
        {"%%%s", "%one"},
        {"C:\\Suite\\diriz.exe a b", "C:\\Suite\\diriz.exe a b"},
        {"", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Format);
        char out[64];
        EXPECT_TRUE(FormatText(out, row.Format, "one", "two", "three", "four"));
        EXPECT_STREQ(row.Expected, out);
    }
}

TEST(FormatTextTest, CutsAtCapacityAndSaysSo)
{
    char out[8];
    EXPECT_FALSE(FormatText(out, "%s!", "abcdefgh"));
    EXPECT_STREQ("abcdefg", out);
    EXPECT_TRUE(FormatText(out, "%s", "abcdefg"));
    EXPECT_STREQ("abcdefg", out);
}

}  // namespace
