// The resources of the built program as the platform's own loaders see them: the dialog the
// platform builds from template 102, each string loaded into the buffer the program gives it,
// the version block read through the version calls, and an icon made from each group and each
// image. What the bytes say (the language of everything too) is checked once, outside Wine, by
// tests/resources/check_resources.py.
#include <windows.h>

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

// The platform builds the location dialog from the template, with its controls in template
// order, which is the tab order.
TEST_F(ResourcesTest, LocateDialogIsBuiltFromTemplate102WithItsControlsInTabOrder)
{
    auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(ResourceData(RT_DIALOG, IDD_LOCATE));
    ASSERT_NE(nullptr, dialogTemplate) << "no dialog 102";
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, nullptr,
                                             NoDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(child));
    EXPECT_EQ(std::vector<int>(
                  {IDOK, IDCANCEL, IDC_PROMPT, IDC_LOCATION_GROUP, IDC_LOCATION, IDC_BROWSE}),
              ids);
    DestroyWindow(dialog);
}

// Each string loads whole into the buffer the program loads it into: the words of the insert
// prompt into 36 bytes, every other text into 1024.
TEST_F(ResourcesTest, StringsLoadWholeIntoTheProgramsBuffers)
{
    for (UINT id = IDS_LOCATE; id <= IDS_UNATTENDED_OTHER_VOLUME; ++id) {
        SCOPED_TRACE("string " + std::to_string(id));
        const int limit = id >= IDS_MEDIA_CDROM && id <= IDS_LABEL_DISK1 ? 36 : 1024;
        char buffer[1024] = {};
        int n = LoadStringA(Program(), id, buffer, limit);
        EXPECT_LT(0, n) << "not found";
        EXPECT_LT(n, limit - 1) << "filled its buffer";
    }
}

// The version block as a file's property page reads it: the fixed part, and each text under
// the language and code page that the translation names.
TEST_F(ResourcesTest, VersionBlockReadsThroughTheVersionCalls)
{
    const std::string path = E2eTest::Env("NRTEST_PROGRAM");
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_NE(0u, size);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(4u, length);
    char table[9];
    wsprintfA(table, "%04X%04X", translation[0], translation[1]);
    for (const char* name : {"FileDescription", "FileVersion", "InternalName", "OriginalFilename",
                             "ProductName", "ProductVersion"}) {
        SCOPED_TRACE(name);
        char* value = nullptr;
        ASSERT_TRUE(VerQueryValueA(
            info.data(), (std::string("\\StringFileInfo\\") + table + "\\" + name).c_str(),
            reinterpret_cast<void**>(&value), &length));
        EXPECT_STRNE("", value);
    }
}

BOOL CALLBACK AddId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids)
{
    // A named resource is recorded as 0, which finds no resource and so fails its test.
    reinterpret_cast<std::vector<WORD>*>(ids)->push_back(
        IS_INTRESOURCE(name) ? LOWORD(reinterpret_cast<ULONG_PTR>(name)) : 0);
    return TRUE;
}

// Each image, at its own size, is one the platform can make an icon of, and each group gives
// the platform a 32-pixel one.
TEST_F(ResourcesTest, EveryIconImageMakesAnIconAndEachGroupA32PixelOne)
{
    auto makeIcon = [](WORD image, int size) {
        HRSRC found = FindResourceA(Program(), MAKEINTRESOURCEA(image), RT_ICON);
        auto* bits = static_cast<BYTE*>(const_cast<void*>(ResourceData(RT_ICON, image)));
        HICON icon = found == nullptr
                         ? nullptr
                         : CreateIconFromResourceEx(bits, SizeofResource(Program(), found), TRUE,
                                                    0x00030000, size, size, 0);
        ICONINFO info{};
        BITMAP mask{};
        if (icon != nullptr && GetIconInfo(icon, &info)) {
            GetObjectA(info.hbmMask, sizeof mask, &mask);
            DeleteObject(info.hbmMask);
            DeleteObject(info.hbmColor);
        }
        if (icon != nullptr)
            DestroyIcon(icon);
        return icon != nullptr ? static_cast<int>(mask.bmWidth) : -1;
    };
    std::vector<WORD> images, groups;
    EnumResourceNamesA(Program(), RT_ICON, AddId, reinterpret_cast<LONG_PTR>(&images));
    EnumResourceNamesA(Program(), RT_GROUP_ICON, AddId, reinterpret_cast<LONG_PTR>(&groups));
    ASSERT_FALSE(images.empty());
    ASSERT_FALSE(groups.empty());
    for (WORD image : images)
        EXPECT_LT(0, makeIcon(image, 0)) << "icon image " << image;
    for (WORD group : groups) {
        auto* directory = static_cast<const BYTE*>(ResourceData(RT_GROUP_ICON, group));
        int image = directory == nullptr ? 0
                                         : LookupIconIdFromDirectoryEx(const_cast<BYTE*>(directory),
                                                                       TRUE, 32, 32, 0);
        EXPECT_EQ(32, makeIcon(static_cast<WORD>(image), 32)) << "icon group " << group;
    }
}

}  // namespace
