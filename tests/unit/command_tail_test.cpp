#include "base/command_tail.h"

#include <cstring>
#include <set>
#include <string>

#include "tests/unit/test_support.h"

namespace {

class CommandTailTest : public HostTest {};

TEST_F(CommandTailTest, CutsTheProgramNameAndTheBlanksAfterIt)
{
    struct Row {
        const char* Line;
        const char* Tail;
        bool Lead81 = false;  // 0x81 a lead byte
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
        // 0x81 0x22 is one double-byte character whose trail byte looks like a quote.
        {"\"C:\\\x81\"dir\\nrcdrom.exe\" tail", "dir\\nrcdrom.exe\" tail"},
        {"\"C:\\\x81\"dir\\nrcdrom.exe\" tail", "tail", true},
        {"\"name\x81", "", true},  // a lead byte at the end does not run past it
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Line);
        Fake().LeadBytes = row.Lead81 ? std::set<unsigned char>{0x81} : std::set<unsigned char>{};
        const char* tail = CutCommandTail(row.Line);
        EXPECT_STREQ(row.Tail, tail);
        EXPECT_EQ(row.Line + std::strlen(row.Line), tail + std::strlen(tail));  // not past the end
    }
}

}  // namespace
