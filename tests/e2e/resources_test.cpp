// The resources of the built program as the platform's own loaders see them: the dialog
// created from template 102, the strings loaded into the buffers the program gives them,
// the version texts, the icons made from each group, and the language of everything. The
// bytes themselves are checked once, outside Wine, by tests/resources/check_resources.py.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

// The program file loaded as data only: none of its code runs, its resources can be found.
HMODULE Program()
{
    static HMODULE module =
        LoadLibraryExA(E2eTest::Env("NRTEST_PROGRAM").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

const void* ResourceData(LPCSTR type, WORD id)
{
    HRSRC found = FindResourceA(Program(), MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found != nullptr ? LoadResource(Program(), found) : nullptr;
    return loaded != nullptr ? LockResource(loaded) : nullptr;
}

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, Program()) << "cannot load " << E2eTest::Env("NRTEST_PROGRAM")
                                      << " as data, error " << GetLastError();
    }
};

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Control ids, classes, styles, places (in dialog units) and texts.
struct ControlRow {
    int Id;
    const char* Class;
    DWORD Style;
    RECT Place;  // x, y, width, height
    const char* Text;
};

// clang-format off
const ControlRow LocateControls[] = {
    {IDOK, "Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, {87, 93, 50, 14}, "&OK"},
    {IDCANCEL, "Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, {159, 93, 50, 14},
     "&Cancel"},
    {IDC_PROMPT, "Static", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, {11, 10, 270, 28},
     "Please insert the CD-ROM labeled \"Brenmoor Marlinth\" into your CD-ROM drive. "},
    {IDC_LOCATION_GROUP, "Button", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, {7, 40, 282, 41},
     "&Location of Marlinth Files"},
    {IDC_LOCATION, "Edit", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
     {12, 58, 210, 13}, ""},
    {IDC_BROWSE, "Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, {231, 57, 50, 14},
     "&Browse..."},
};
// clang-format on

// The platform builds the location dialog from the template: its frame, font and size, and
// its controls in tab order with their places and texts.
TEST_F(ResourcesTest, LocateDialogIsBuiltFromTemplate102)
{
    auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(ResourceData(RT_DIALOG, IDD_LOCATE));
    ASSERT_NE(nullptr, dialogTemplate) << "no dialog 102";
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, nullptr,
                                             NoDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(frame, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)) & frame);
    EXPECT_NE(0, GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_EQ("", E2eTest::WindowText(dialog)) << "caption";
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ("MS Sans Serif", font.lfFaceName);
    RECT size = {0, 0, 297, 117};
    MapDialogRect(dialog, &size);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(size.right, client.right);
    EXPECT_EQ(size.bottom, client.bottom);

    HWND child = GetWindow(dialog, GW_CHILD);
    for (const ControlRow& want : LocateControls) {
        SCOPED_TRACE("control " + std::to_string(want.Id));
        ASSERT_NE(nullptr, child) << "fewer controls than expected";
        EXPECT_EQ(want.Id, GetDlgCtrlID(child));
        char name[32] = "";
        GetClassNameA(child, name, sizeof name);
        EXPECT_STRCASEEQ(want.Class, name);
        // The platform draws a bordered edit control of a dialog with a sunken client edge
        // instead of the border.
        DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        if (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
            style |= WS_BORDER;
        EXPECT_EQ(want.Style, style);
        EXPECT_EQ(want.Text, E2eTest::WindowText(child));
        // Place and extent are each converted from dialog units on their own.
        RECT place = want.Place;
        MapDialogRect(dialog, &place);
        RECT actual = E2eTest::WindowRect(child);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(place.left, actual.left);
        EXPECT_EQ(place.top, actual.top);
        EXPECT_EQ(place.right, actual.right - actual.left) << "width";
        EXPECT_EQ(place.bottom, actual.bottom - actual.top) << "height";
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, child) << "more controls than expected";
    DestroyWindow(dialog);
}

// Each string loads whole into the buffer the program loads it into.
TEST_F(ResourcesTest, StringsLoadWholeIntoTheProgramsBuffers)
{
    const struct Row {
        UINT Id;
        const char* Text;  // null: any text
        int Limit;
    } rows[] = {
        {1, "Locate %s", 1024},
        {2, "Locate %s %s", 1024},
        {3,
         "Please enter the path to the %s.  If these files cannot be found on your system, "
         "please reinstall %s.",
         1024},
        {4, "Please enter the network path to the %s.", 1024},
        {5,
         "Please insert the %s labeled \"%s %s%s\" into your %s drive, or enter the path to "
         "the %s.",
         1024},
        {6, "CD-ROM", 36},
        {7, "floppy", 36},
        {8, "floppy disk", 36},
        {9, ", Disk 1", 36},
        {10, "&Location of %s", 1024},
        {11, "The specified location is invalid or does not contain the %s.", 1024},
        {12, "File Location Error", 1024},
        {13, "Duzudiziv Eraziz DLL Files", 1024},
        {14, nullptr, 1024},  // the command line error
        {15, "Command Line Error", 1024},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("string " + std::to_string(row.Id));
        char buffer[1024] = {};
        int n = LoadStringA(Program(), row.Id, buffer, row.Limit);
        if (row.Text != nullptr)
            EXPECT_EQ(row.Text, std::string(buffer, n > 0 ? n : 0));
        else
            EXPECT_LT(0, n);
        EXPECT_LT(n, row.Limit - 1) << "filled its buffer";
    }
}

// The version block as a file's property page reads it.
TEST_F(ResourcesTest, VersionBlockReadsThroughTheVersionCalls)
{
    const std::string path = E2eTest::Env("NRTEST_PROGRAM");
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_NE(0u, size);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    const std::map<std::string, std::string> texts = {
        {"FileDescription", "Marlinth CDROM Redirector "},
        {"FileVersion", "6.6 - 7"},
        {"InternalName", "nrcdrom.exe"},
        {"OriginalFilename", "nrcdrom.exe"},
        {"ProductName", "Brenmoor Marlinth"},
        {"ProductVersion", "6.6"},
    };
    for (const auto& want : texts) {
        SCOPED_TRACE(want.first);
        char* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(),
                                   ("\\StringFileInfo\\040904B0\\" + want.first).c_str(),
                                   reinterpret_cast<void**>(&value), &length));
        EXPECT_EQ(want.second, std::string(value));
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(0x00060006u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00070000u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00060006u, fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VOS__WINDOWS32), fixed->dwFileOS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(1200, translation[1]);
}

BOOL CALLBACK AddId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids)
{
    // A named resource is recorded as 0, which no expected id is.
    reinterpret_cast<std::vector<WORD>*>(ids)->push_back(
        IS_INTRESOURCE(name) ? LOWORD(reinterpret_cast<ULONG_PTR>(name)) : 0);
    return TRUE;
}

// Each of the fourteen groups gives the platform a 32-pixel icon it can draw.
TEST_F(ResourcesTest, EachIconGroupGivesAnIcon)
{
    std::vector<WORD> groups;
    EnumResourceNamesA(Program(), RT_GROUP_ICON, AddId, reinterpret_cast<LONG_PTR>(&groups));
    EXPECT_EQ(
        std::vector<WORD>({101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114}),
        groups);
    for (WORD group : groups) {
        SCOPED_TRACE("icon group " + std::to_string(group));
        auto* directory = static_cast<const BYTE*>(ResourceData(RT_GROUP_ICON, group));
        ASSERT_NE(nullptr, directory);
        int image = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(directory), TRUE, 32, 32, 0);
        ASSERT_NE(0, image);
        HRSRC found = FindResourceA(Program(), MAKEINTRESOURCEA(image), RT_ICON);
        ASSERT_NE(nullptr, found);
        auto* bits = static_cast<BYTE*>(const_cast<void*>(ResourceData(RT_ICON, image)));
        HICON icon = CreateIconFromResourceEx(bits, SizeofResource(Program(), found), TRUE,
                                              0x00030000, 32, 32, 0);
        ASSERT_NE(nullptr, icon) << "image " << image;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(32, mask.bmWidth);
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        DestroyIcon(icon);
    }
}

// Each of the 23 images, at its own size, is one the platform can make an icon of.
TEST_F(ResourcesTest, EveryIconImageMakesAnIcon)
{
    std::vector<WORD> images;
    EnumResourceNamesA(Program(), RT_ICON, AddId, reinterpret_cast<LONG_PTR>(&images));
    EXPECT_EQ(23u, images.size());
    for (WORD image : images) {
        SCOPED_TRACE("icon image " + std::to_string(image));
        HRSRC found = FindResourceA(Program(), MAKEINTRESOURCEA(image), RT_ICON);
        ASSERT_NE(nullptr, found);
        auto* bits = static_cast<BYTE*>(const_cast<void*>(ResourceData(RT_ICON, image)));
        HICON icon = CreateIconFromResourceEx(bits, SizeofResource(Program(), found), TRUE,
                                              0x00030000, 0, 0, 0);
        ASSERT_NE(nullptr, icon);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        EXPECT_TRUE(mask.bmWidth == 16 || mask.bmWidth == 32) << mask.bmWidth;
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        DestroyIcon(icon);
    }
}

struct Found {
    std::map<ULONG_PTR, int> Counts;  // type -> resources (a named type as 0)
    std::vector<std::string> NotUsEnglish;
};

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR param)
{
    auto* found = reinterpret_cast<Found*>(param);
    ++found->Counts[IS_INTRESOURCE(type) ? reinterpret_cast<ULONG_PTR>(type) : 0];
    if (language != MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US))
        found->NotUsEnglish.push_back(
            std::to_string(reinterpret_cast<ULONG_PTR>(type)) + "/" +
            (IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name) +
            " in " + std::to_string(language));
    return TRUE;
}

BOOL CALLBACK AddLanguages(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found)
{
    EnumResourceLanguagesA(module, type, name, AddLanguage, found);
    return TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR found)
{
    EnumResourceNamesA(module, type, AddLanguages, found);
    return TRUE;
}

TEST_F(ResourcesTest, EveryResourceIsUsEnglishAndOfTheKindsTheProgramCarries)
{
    Found found;
    EnumResourceTypesA(Program(), AddType, reinterpret_cast<LONG_PTR>(&found));
    EXPECT_EQ(std::vector<std::string>(), found.NotUsEnglish);
    // Icons, the dialog, the string blocks, the icon groups, the version block.
    EXPECT_EQ(23, found.Counts[3]);
    EXPECT_EQ(1, found.Counts[5]);
    EXPECT_LE(1, found.Counts[6]);
    EXPECT_EQ(14, found.Counts[14]);
    EXPECT_EQ(1, found.Counts[16]);
    EXPECT_EQ(5u, found.Counts.size()) << "kinds of resource";
}

}  // namespace
