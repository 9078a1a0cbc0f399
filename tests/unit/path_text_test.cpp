#include "base/path_text.h"

#include <string>

#include "tests/unit/test_support.h"

namespace {

class PathTextTest : public HostTest {};

// On a double-byte code page a trail byte of 0x5C is part of its character, not a separator;
// on a single-byte code page the same bytes are cut as before.
TEST_F(PathTextTest, RulesFollowTheExampleTable)
{
    const std::string so = "\x83\x5C";  // a character whose second byte is a backslash
    struct Row {
        void (*Rule)(char*);
        const char* Name;
        std::string Input, Expected;
        bool CodePage932 = false;
    };
    const Row rows[] = {
        {StripTrailingSeparators, "strip", "C:\\", "C:"},
        {StripTrailingSeparators, "strip", "D:\\dir\\/", "D:\\dir"},
        {StripTrailingSeparators, "strip", "\\", ""},
        {StripTrailingSeparators, "strip", "/\\/", ""},
        {StripTrailingSeparators, "strip", "D:", "D:"},
        {StripTrailingSeparators, "strip", "", ""},
        {StripTrailingSeparators, "strip", "E:\\\\", "E:"},  // a bare drive survives
        {CutLastComponent, "cut", "C:\\Tools\\BIN\\run.exe", "C:\\Tools\\BIN"},
        {CutLastComponent, "cut", "C:\\run.exe", "C:"},
        {CutLastComponent, "cut", "C:\\Tools\\", "C:\\Tools"},
        {CutLastComponent, "cut", "run.exe", ""},
        {CutLastComponent, "cut", "\\run.exe", ""},
        {CutLastComponent, "cut", "C:/Tools/run.exe", "C:/Tools"},
        {CutLastComponent, "cut", "\\\\server\\share\\devshl.dll", "\\\\server\\share"},
        {CutLastComponent, "cut", "", ""},
        {CutToParent, "parent", "E:\\BIN", "E:"},
        {CutToParent, "parent", "E:", "E:"},
        {CutToParent, "parent", "\\\\srv\\share", "\\\\srv\\share"},
        {CutToParent, "parent", "//srv/share", "//srv/share"},
        {CutToParent, "parent", "\\\\srv\\share\\BIN", "\\\\srv\\share"},
        {CutToParent, "parent", "\\\\srv\\", "\\\\srv"},
        {CutToParent, "parent", "\\\\srv", "\\"},
        {CutToParent, "parent", "\\BIN", ""},
        {CutToParent, "parent", "", ""},
        {CompleteDriveRoot, "complete", "D:", "D:\\"},
        {CompleteDriveRoot, "complete", "D:\\", "D:\\"},
        {CompleteDriveRoot, "complete", "1:", "1:"},  // a drive is a letter
        {CompleteDriveRoot, "complete", "D:x", "D:x"},
        {CompleteDriveRoot, "complete", ":", ":"},
        {CompleteDriveRoot, "complete", "", ""},
        {TrimPastedPath, "trim", "\"D:\\Suite\\BIN\"", "D:\\Suite\\BIN"},
        {TrimPastedPath, "trim", "  D:\\Suite\\BIN \t", "D:\\Suite\\BIN"},
        {TrimPastedPath, "trim", " \"D:\\My Suite\" ", "D:\\My Suite"},
        {TrimPastedPath, "trim", "\"D:\\x", "\"D:\\x"},
        {TrimPastedPath, "trim", "\"", "\""},
        {TrimPastedPath, "trim", "\"\"", ""},
        {TrimPastedPath, "trim", "D:\\a \"b\"", "D:\\a \"b\""},
        {StripTrailingSeparators, "strip", "E:\\" + so, "E:\\" + so, true},
        {StripTrailingSeparators, "strip", "E:\\" + so + "\\\\", "E:\\" + so, true},
        {StripTrailingSeparators, "strip", "E:\\" + so, "E:\\\x83"},
        {CutLastComponent, "cut", "C:\\Suite" + so, "C:", true},
        {CutLastComponent, "cut", "C:\\" + so + "\\BIN", "C:\\" + so, true},
        {CutLastComponent, "cut", "C:\\Suite" + so, "C:\\Suite\x83"},
        {TrimPastedPath, "trim", " \"E:\\" + so + "\" ", "E:\\" + so, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.Name) + " of [" + row.Input + "]" +
                     (row.CodePage932 ? " on 932" : ""));
        FreshMachine(row.CodePage932);
        char buffer[32] = {};
        row.Input.copy(buffer, sizeof buffer - 1);
        row.Rule(buffer);
        EXPECT_EQ(row.Expected, buffer);
    }
}

TEST_F(PathTextTest, QuoteIfBlankLooksForBlanksAndTabs)
{
    EXPECT_STREQ("\"", QuoteIfBlank("C:\\Program Files\\X"));
    EXPECT_STREQ("\"", QuoteIfBlank("C:\\Tab\there"));
    EXPECT_STREQ("", QuoteIfBlank("C:\\Tools"));
    EXPECT_STREQ("", QuoteIfBlank(""));
}

TEST_F(PathTextTest, AbsolutePaths)
{
    for (const char* absolute : {"C:\\x", "C:/x", "\\\\server\\share", "//server/share"})
        EXPECT_TRUE(IsAbsolutePath(absolute)) << absolute;
    for (const char* relative : {"", ".", "..", "sub\\dir", "\\SUITE\\BIN", "D:", "D:sub"})
        EXPECT_FALSE(IsAbsolutePath(relative)) << relative;
}

class PathExistsTest : public HostTest {};

TEST_F(PathExistsTest, DirectoryOfTheNameCountsAsPresent)
{
    AddDirectory("C:\\Tools\\devshl.dll");
    EXPECT_TRUE(PathExists("C:\\Tools\\devshl.dll"));
    EXPECT_FALSE(PathExists("C:\\Tools\\other.dll"));
}

}  // namespace
