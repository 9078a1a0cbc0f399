#include <string>

#include "prompt/file_browser.h"
#include "tests/unit/test_support.h"

namespace {

class FileBrowserTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        CopyText(Launch.TargetFile, "devshl.dll");
        CopyText(Launch.ProductTitle, "Duzudiziv Eraziz DLL Files");
    }
};

// The request names the target and the title, where the product's own name is not repeated.
TEST_F(FileBrowserTest, RequestNamesTheTargetAndTheTitle)
{
    BrowseForTarget(FakeDialog());
    CopyText(Launch.ProductTitle, "Marlinth Tools");
    BrowseForTarget(FakeDialog());
    ASSERT_EQ(2u, Fake().OpenFileRequests.size());
    const FakeOpenFile& request = Fake().OpenFileRequests[0];
    EXPECT_EQ(FakeDialog(), request.Owner);
    EXPECT_EQ(std::string("Duzudiziv Eraziz DLL Files\0devshl.dll\0\0", 39), request.Filter);
    EXPECT_EQ("devshl.dll", request.PresetFile);
    EXPECT_EQ("Locate Duzudiziv Eraziz DLL Files", request.Title);
    EXPECT_EQ("Locate Marlinth Tools", Fake().OpenFileRequests[1].Title);
}

TEST_F(FileBrowserTest, InitialDirectoryOnlyForAnExistingDirectory)
{
    AddDirectory("D:\\Tools");
    AddFile("D:\\Tools\\devshl.dll");
    struct Row {
        const char* Location;
        bool Given;
    };
    const Row rows[] = {
        {"D:\\Tools\\", true},  {"D:\\Tools", true}, {"D:\\Tools\\devshl.dll", false},
        {"D:\\Nowhere", false}, {"", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Location);
        Fake().OpenFileRequests.clear();
        CopyText(Launch.Location, row.Location);
        BrowseForTarget(FakeDialog());
        ASSERT_EQ(1u, Fake().OpenFileRequests.size());
        EXPECT_EQ(row.Given ? row.Location : "(none)", Fake().OpenFileRequests[0].InitialDir);
    }
}

TEST_F(FileBrowserTest, ChosenPathTooLongForTheFileTextLeavesLocationAlone)
{
    CopyText(Launch.Location, "D:\\typed");
    Fake().OpenFileChoice = "C:\\" + std::string(300, 'x') + "\\devshl.dll";
    BrowseForTarget(FakeDialog());
    EXPECT_STREQ("D:\\typed", Launch.Location);
}

}  // namespace
