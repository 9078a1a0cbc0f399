#include "launch/path_text.h"

#include <string>

#include "tests/unit/test_support.h"

namespace {

struct Row {
    void (*Rule)(char*);
    const char* Name;
    const char* Input;
    const char* Expected;
};

TEST(PathTextTest, RulesFollowTheExampleTable)
{
    const Row rows[] = {
        {StripTrailingSeparators, "strip", "C:\\", "C:"},
        {StripTrailingSeparators, "strip", "D:\\dir\\/", "D:\\dir"},
        {StripTrailingSeparators, "strip", "\\", ""},
        {StripTrailingSeparators, "strip", "/\\/", ""},
        {StripTrailingSeparators, "strip", "D:", "D:"},
        {StripTrailingSeparators, "strip", "", ""},
        {CutLastComponent, "cut", "C:\\Tools\\BIN\\run.exe", "C:\\Tools\\BIN"},
        {CutLastComponent, "cut", "C:\\run.exe", "C:"},
        {CutLastComponent, "cut", "C:\\Tools\\", "C:\\Tools"},
        {CutLastComponent, "cut", "run.exe", ""},
        {CutLastComponent, "cut", "\\run.exe", ""},
        {CutLastComponent, "cut", "C:/Tools/run.exe", "C:/Tools"},
        {CutLastComponent, "cut", "\\\\server\\share\\devshl.dll", "\\\\server\\share"},
        {CutLastComponent, "cut", "", ""},
        {CompleteDriveRoot, "complete", "D:", "D:\\"},
        {CompleteDriveRoot, "complete", "D:\\", "D:\\"},
        {CompleteDriveRoot, "complete", "1:", "1:\\"},
        {CompleteDriveRoot, "complete", "D:x", "D:x"},
        {CompleteDriveRoot, "complete", ":", ":"},
        {CompleteDriveRoot, "complete", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.Name) + " of [" + row.Input + "]");
        char buffer[16] = {};
        std::string(row.Input).copy(buffer, sizeof buffer - 1);
        row.Rule(buffer);
        EXPECT_STREQ(row.Expected, buffer);
    }
}

TEST(PathTextTest, QuoteIfBlankLooksForBlanksAndTabs)
{
    EXPECT_STREQ("\"", QuoteIfBlank("C:\\Program Files\\X"));
    EXPECT_STREQ("\"", QuoteIfBlank("C:\\Tab\there"));
    EXPECT_STREQ("", QuoteIfBlank("C:\\Tools"));
    EXPECT_STREQ("", QuoteIfBlank(""));
}

TEST(PathTextTest, BareDriveSurvivesStripAndBecomesRoot)
{
    char text[8] = "E:\\\\";
    StripTrailingSeparators(text);
    EXPECT_STREQ("E:", text);
    CompleteDriveRoot(text);
    EXPECT_STREQ("E:\\", text);
}

class PathExistsTest : public HostTest {};

TEST_F(PathExistsTest, DirectoryOfTheNameCountsAsPresent)
{
    AddDirectory("C:\\Tools\\devshl.dll");
    EXPECT_TRUE(PathExists("C:\\Tools\\devshl.dll"));
    EXPECT_FALSE(PathExists("C:\\Tools\\other.dll"));
}

}  // namespace
