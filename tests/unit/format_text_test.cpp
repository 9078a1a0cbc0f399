#include "base/format_text.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(FormatTextTest, ConversionsPlainBytesAndCapacity)
{
    struct Row {
        const char* Format;
        const char* Expected;
        bool Whole = true;  // false: cut at the buffer's sixteen bytes, and said so
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
        {"C:\\S\\diriz.exe", "C:\\S\\diriz.exe"},
        {"", ""},
        {"%s%s%s%s!", "onetwothreefour", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Format);
        char out[16];
        EXPECT_EQ(row.Whole, FormatText(out, row.Format, "one", "two", "three", "four"));
        EXPECT_STREQ(row.Expected, out);
    }
}

}  // namespace
