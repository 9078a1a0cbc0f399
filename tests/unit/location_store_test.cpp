#include "launch/location_store.h"

#include <string>

#include "tests/unit/test_support.h"

namespace {

class LocationStoreTest : public HostTest {
protected:
    StoreKey store{};

    void Load()
    {
        FindProductKey(store);
        LoadLocation(store);
    }

    // A fresh machine with the locator key and one value in it (none when type is 0).
    void Prepare(const char* name, uint32_t type, const std::string& data,
                 const std::u16string& unicode = u"")
    {
        SetUp();
        store = StoreKey{};
        Fake().Keys[LocatorKeyPath];
        Fake().Environment["SystemDrive"] = "C:";
        Fake().Environment["Deep"] = "C:\\" + std::string(507, 'd');
        CopyText(Launch.TargetFile, "devshl.dll");
        Fake().ShortNames[u"C:\\t\\dirΩ\\BIN"] = u"C:\\t\\DIR~1\\BIN";
        Fake().ShortNames[u"C:\\t\\dirΩ"] = u"C:\\t\\DIR~1";
        SetRegString(LocatorKeyPath, "other.dll", "F:\\OTHER");
        if (!unicode.empty())
            SetRegStringW(LocatorKeyPath, name, unicode);
        else if (type != 0)
            SetRegValue(LocatorKeyPath, name, type, data);
    }
};

TEST_F(LocationStoreTest, StoredValues)
{
    const std::string long519 = "C:\\" + std::string(516, 'x');
    const std::string deep519 = "C:\\" + std::string(507, 'd') + std::string(9, 'e');
    struct Row {
        const char* Name;
        uint32_t Type;
        std::string Data;  // absent when Type is 0
        const char* Location;
        bool SaveNeeded;
        bool KeptOnSave = false;       // the value stays in its author's form when saved unchanged
        std::u16string Unicode = u"";  // a value stored in Unicode instead of Data
    };
    // clang-format off
    const Row rows[] = {
        {"plain string", HostRegSz, std::string("E:\\SUITE\\BIN\0", 13), "E:\\SUITE\\BIN", false},
        {"trailing backslash kept", HostRegSz, std::string("C:\\Tools\\\0", 10), "C:\\Tools\\", false},
        {"no terminator", HostRegSz, "E:\\NOTERM", "E:\\NOTERM", false},
        {"empty data", HostRegSz, "", "", false},
        {"absent", 0, "", "C:\\Work", true},
        {"expand string", HostRegExpandSz, std::string("%SystemDrive%\\X\0", 16), "C:\\X", false, true},
        {"expand string without variables", HostRegExpandSz, std::string("E:\\X\0", 5), "E:\\X", false, true},
        {"expand string of 519 bytes", HostRegExpandSz, "%Deep%" + std::string(9, 'e'), deep519.c_str(), false, true},
        {"expand string past 519 bytes", HostRegExpandSz, "%Deep%" + std::string(10, 'e'), "C:\\Work", true},
        {"blanks around", HostRegSz, std::string(" \tE:\\SUITE\\BIN  \0", 18), "E:\\SUITE\\BIN", false, true},
        {"Unicode, spelled by its short name", HostRegSz, "", "C:\\t\\DIR~1\\BIN", false, true, u"C:\\t\\dirΩ\\BIN"},
        {"Unicode without a short name: never found", HostRegSz, "", "E:\\dir?", false, true, u"E:\\dirΩ"},
        {"in double quotes", HostRegSz, std::string("\"E:\\My Tools\"\0", 14), "E:\\My Tools", false, true},
        {"relative: the folder it names", HostRegSz, "SUITE\\BIN", "C:\\Work\\SUITE\\BIN", false, true},
        {"relative to the current folder", HostRegSz, ".\\BIN", "C:\\Work\\BIN", false, true},
        {"a drive without a backslash", HostRegSz, "F:SUITE\\BIN", "F:\\SUITE\\BIN", false, true},
        {"one leading backslash", HostRegSz, "\\SUITE\\BIN", "C:\\SUITE\\BIN", false, true},
        {"relative past 519 bytes absolute", HostRegSz, std::string(512, 'r'), "?", false, true},
        {"binary", HostRegBinary, "E:\\X", "C:\\Work", true},
        {"empty binary", HostRegBinary, "", "C:\\Work", true},
        {"multi string", HostRegMultiSz, std::string("E:\\X\0\0", 5), "C:\\Work", true},
        {"dword", HostRegDword, std::string("\1\0\0\0", 4), "C:\\Work", true},
        {"520 bytes with terminator", HostRegSz, long519 + '\0', long519.c_str(), false},
        {"519 bytes without terminator", HostRegSz, long519, long519.c_str(), false},
        {"520 bytes without terminator", HostRegSz, long519 + 'y', "C:\\Work", true},
        {"521 bytes", HostRegSz, long519 + "y" + '\0', "C:\\Work", true},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Prepare("devshl.dll", row.Type, row.Data, row.Unicode);
        Load();
        EXPECT_STREQ(row.Location, Launch.Location);
        EXPECT_EQ(row.SaveNeeded, Launch.SaveNeeded);
        EXPECT_EQ(0, Fake().OpenKeys);
        SaveLocation(store);
        EXPECT_EQ(row.KeptOnSave ? 0 : 1, Fake().RegistryWrites);
        CopyText(Launch.Location, "F:\\NEW");
        SaveLocation(store);
        // One string value written, with its terminator; the others left alone.
        EXPECT_EQ(HostRegSz, Fake().Keys[LocatorKeyPath]["devshl.dll"].Type);
        EXPECT_EQ(std::string("F:\\NEW\0", 7), Fake().Keys[LocatorKeyPath]["devshl.dll"].Data);
        EXPECT_EQ("F:\\OTHER", RegText(LocatorKeyPath, "other.dll"));
    }
}

// The current directory stands in exactly, or by its short name; one too long for Location,
// or without an ANSI form, is unavailable rather than cut or spelled like another.
TEST_F(LocationStoreTest, CurrentDirectoryAsTheSystemNamesIt)
{
    const std::string d516(516, 'd');
    struct Row {
        const char* Name;
        std::string Ansi;
        std::u16string Unicode;
        std::string Location;
    };
    const Row rows[] = {
        {"519 bytes", "C:\\" + d516, u"", "C:\\" + d516},
        {"520 bytes: one too many", "C:\\" + d516 + "d", u"", ""},
        {"unspellable, with a short name", "", u"C:\\t\\dirΩ", "C:\\t\\DIR~1"},
        {"unspellable, no short name", "", u"C:\\t\\dirΣ", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Prepare("devshl.dll", 0, "");
        Fake().CurrentDirectory = row.Ansi;
        Fake().CurrentDirectoryW = row.Unicode;
        Load();
        EXPECT_EQ(row.Location, Launch.Location);
        EXPECT_TRUE(Launch.SaveNeeded);
    }
}

TEST_F(LocationStoreTest, MediaKind)
{
    struct Row {
        const char* Name;
        uint32_t Type;
        std::string Data;
        uint32_t Expected;
    };
    const Row rows[] = {
        {"absent", 0, "", 0},
        {"dword 1", HostRegDword, std::string("\1\0\0\0", 4), 1},
        {"dword 2", HostRegDword, std::string("\2\0\0\0", 4), 2},
        {"dword 7", HostRegDword, std::string("\7\0\0\0", 4), 7},
        {"string", HostRegSz, std::string("2\0", 2), 0},
        {"two bytes", HostRegDword, std::string("\2\0", 2), 0},
        {"four bytes of another type", HostRegBinary, std::string("\2\0\0\0", 4), 0},
        {"eight bytes", HostRegDword, std::string(8, '\1'), 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Prepare("media", row.Type, row.Data);
        Load();
        EXPECT_EQ(row.Expected, Launch.MediaKind);
    }
}

// A 64-bit registry editor writes the 64-bit view, where a 32-bit program does not look
// unless asked: the store is taken from whichever view holds the product key, the program's
// own first, and a 32-bit system has one view only.
TEST_F(LocationStoreTest, RegistryViewHoldingTheProductKey)
{
    struct Row {
        const char* Name;
        bool Is64BitSystem, OwnView, View64;
        const char* Location;                 // "" when the store is off
        bool WritesView64, ReadOnly = false;  // a key open for reading only takes no save
    };
    const Row rows[] = {
        {"own view only", true, true, false, "E:\\OWN", false},
        {"64-bit view only", true, false, true, "E:\\SIXTYFOUR", true},
        {"both views: the program's own wins", true, true, true, "E:\\OWN", false},
        {"neither view", true, false, false, "", false},
        {"32-bit system: one view", false, false, true, "", false},
        {"own view, read only", true, true, false, "E:\\OWN", false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        SetUp();
        Fake().Is64BitSystem = row.Is64BitSystem;
        if (row.OwnView)
            SetRegString(LocatorKeyPath, "devshl.dll", "E:\\OWN");
        if (row.View64)
            Fake().Keys64[LocatorKeyPath]["devshl.dll"] =
                FakeValue{HostRegSz, std::string("E:\\SIXTYFOUR\0", 13)};
        if (row.ReadOnly)
            Fake().ReadOnlyKeys.insert(LocatorKeyPath);
        CopyText(Launch.TargetFile, "devshl.dll");
        Load();
        EXPECT_STREQ(row.Location, Launch.Location);
        CopyText(Launch.Location, "F:\\NEW");
        SaveLocation(store);
        const auto& written = row.WritesView64 ? Fake().Keys64 : Fake().Keys;
        const auto& untouched = row.WritesView64 ? Fake().Keys : Fake().Keys64;
        bool storeOn = row.Location[0] != '\0' && !row.ReadOnly;
        EXPECT_EQ(storeOn ? 1 : 0, Fake().RegistryWrites);
        if (storeOn) {
            EXPECT_EQ(std::string("F:\\NEW\0", 7),
                      written.at(LocatorKeyPath).at("devshl.dll").Data);
            auto other = untouched.find(LocatorKeyPath);
            if (other != untouched.end() && other->second.count("devshl.dll") != 0) {
                EXPECT_NE(std::string("F:\\NEW\0", 7), other->second.at("devshl.dll").Data);
            }
        }
        EXPECT_EQ(0, Fake().OpenKeys);
    }
}

}  // namespace
