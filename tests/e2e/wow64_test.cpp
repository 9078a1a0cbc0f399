// The 32-bit program on a 64-bit system (a 64-bit prefix, the program under WoW64): the
// registry file imported by the 64-bit registry editor lands in the 64-bit view, where the
// program now finds the store, uses it and writes back to it.
#include <string>

#include "e2e_support.h"

namespace {

class Wow64Test : public E2eTest {
protected:
    void TearDown() override
    {
        for (const char* key :
             {LocatorKey, ProductKey, "SOFTWARE\\HalvardWorks\\Marlinth", "SOFTWARE\\HalvardWorks"})
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0);
        E2eTest::TearDown();
    }
    // A string of the locator key in the 64-bit view.
    static std::string TextIn64BitView(const char* name)
    {
        char data[600] = "";
        DWORD size = sizeof data - 1;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, LocatorKey, name,
                         RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, data, &size) != 0)
            return "(absent)";
        return data;
    }
};

TEST_F(Wow64Test, RegistryFileFromThe64BitEditorIsFoundUsedAndWrittenBack)
{
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64) && wow64)
        << "this group runs in a 64-bit prefix";
    // The examples' registry file, its location pointed at this test's media folder.
    std::string reg = ReadFileText(Examples() + "\\marlinth.reg");
    const std::string stored = "E:\\\\SUITE\\\\BIN";
    size_t at = reg.find(stored);
    ASSERT_NE(std::string::npos, at) << reg;
    std::string media;
    for (char c : Media())
        media += c == '\\' ? std::string("\\\\") : std::string(1, c);
    reg.replace(at, stored.size(), media);
    ASSERT_TRUE(WriteFileText(HERE, In("marlinth.reg"), reg));
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\devshl.dll", ""));

    // What double-clicking the file does on a 64-bit system: the 64-bit registry editor.
    EXPECT_EQ(
        0, RunUnix(HERE, "/usr/lib/wine/wine64 regedit /s '" + UnixPath(In("marlinth.reg")) + "'"));
    ASSERT_EQ(Media(), TextIn64BitView("devshl.dll"));
    EXPECT_FALSE(KeyExists(ProductKey)) << "the file landed in the program's own view";

    // No prompt: the store is found in the 64-bit view.
    Outcome run = Run(HERE, "devshl.dll T tool.exe_$s");
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ("tool.exe " + Media() + "\\devshl.dll", run.Tool["cmdline"]);

    // A target the file does not name, found in the current directory, is written back to
    // the same view.
    ASSERT_TRUE(WriteFileText(HERE, Cwd() + "\\other.dll", ""));
    run = Run(HERE, "other.dll T tool.exe_$s");
    EXPECT_EQ(0u, run.ExitCode);
    EXPECT_EQ(2u, run.Processes);
    EXPECT_EQ(Cwd(), TextIn64BitView("other.dll"));
    EXPECT_FALSE(KeyExists(ProductKey));
}

}  // namespace
