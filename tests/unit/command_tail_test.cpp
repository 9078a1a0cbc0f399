#include "base/command_tail.h"

#include <string>

#include "tests/unit/test_support.h"

namespace {

class CommandTailTest : public HostTest {};

TEST_F(CommandTailTest, CutsTheProgramNameAndTheBlanksAfterIt)
{
    struct Row {
        const char* Line;
        const char* Tail;
    };
    const Row rows[] = {
        {"nrcdrom.exe", ""},
        {"nrcdrom.exe a b", "a b"},
        {"nrcdrom.exe \t  a  b ", "a  b "},
        {"\"C:\\Program Files\\nrcdrom.exe\" a", "a"},
        {"\"C:\\Program Files\\nrcdrom.exe\"a", "a"},
        {"\"C:\\unterminated name a b", ""},
        {"\"\" a", "a"},
        {"C:\\x\"y\".exe a", "a"},
        {" a b", "a b"},
        {"\ta b", "a b"},
        {"", ""},
        {"na\xe9me.exe a", "a"},
        {"name.exe\x01\x02\x1f\x20x", "x"},
        {"name.exe\x7f", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Line);
        EXPECT_STREQ(row.Tail, CutCommandTail(row.Line));
    }
}

TEST_F(CommandTailTest, LeadByteInQuotedNameTakesItsTrailByteAlong)
{
    // 0x81 0x22 is one double-byte character whose trail byte looks like a quote.
    const char line[] = "\"C:\\\x81\"dir\\nrcdrom.exe\" tail";
    EXPECT_STREQ("dir\\nrcdrom.exe\" tail", CutCommandTail(line));
    Fake().LeadBytes = {0x81};
    EXPECT_STREQ("tail", CutCommandTail(line));
}

TEST_F(CommandTailTest, LeadByteBeforeTheEndDoesNotRunPastIt)
{
    Fake().LeadBytes = {0x81};
    const char line[] = "\"name\x81";
    const char* tail = CutCommandTail(line);
    EXPECT_EQ(line + sizeof line - 1, tail);
}

}  // namespace
