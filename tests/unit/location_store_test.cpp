#include "launch/location_store.h"

#include <string>

#include "tests/unit/test_support.h"

namespace {

class LocationStoreTest : public HostTest {
protected:
    char keyPath[KeyPathCapacity] = {};

    void Load()
    {
        TestProductKey(keyPath);
        LoadLocation(keyPath);
    }

    // A fresh machine with the locator key, one value in it (none when type is 0), and a load.
    void LoadWithValue(const char* name, uint32_t type, const std::string& data)
    {
        ResetFake();
        ResetLaunchState();
        Fake().Keys[LocatorKeyPath];
        CopyText(Launch.TargetFile, "devshl.dll");
        if (type != 0)
            SetRegValue(LocatorKeyPath, name, type, data);
        Load();
    }
};

TEST_F(LocationStoreTest, ProductKeyAbsentReadsAndWritesNothing)
{
    CopyText(Launch.TargetFile, "devshl.dll");
    Load();
    EXPECT_STREQ("", keyPath);
    EXPECT_STREQ("", Launch.Location);
    EXPECT_EQ(0u, Launch.SaveNeeded);
    CopyText(Launch.Location, "C:\\x");
    SaveLocation(keyPath);
    EXPECT_EQ(0, Fake().RegistryWrites);
    EXPECT_TRUE(Fake().Keys.empty());
}

TEST_F(LocationStoreTest, LocatorKeyAbsentUsesTheCurrentDirectoryAndWritesNothing)
{
    Fake().Keys[ProductKeyPath];
    CopyText(Launch.TargetFile, "devshl.dll");
    Load();
    EXPECT_STREQ("C:\\Work", Launch.Location);
    EXPECT_EQ(0u, Launch.SaveNeeded);
    SaveLocation(keyPath);
    EXPECT_EQ(0, Fake().RegistryWrites);
    EXPECT_EQ(0, Fake().OpenKeys);
}

TEST_F(LocationStoreTest, StoredValues)
{
    const std::string long519(519, 'x');
    struct Row {
        const char* Name;
        uint32_t Type;
        std::string Data;  // absent when Type is 0
        const char* Location;
        uint32_t SaveNeeded;
    };
    const Row rows[] = {
        {"plain string", HostRegSz, std::string("E:\\SUITE\\BIN\0", 13), "E:\\SUITE\\BIN", 0},
        {"trailing backslash kept", HostRegSz, std::string("C:\\Tools\\\0", 10), "C:\\Tools\\", 0},
        {"no terminator", HostRegSz, "E:\\NOTERM", "E:\\NOTERM", 0},
        {"empty data", HostRegSz, "", "", 0},
        {"absent", 0, "", "C:\\Work", 1},
        {"expand string", HostRegExpandSz, std::string("E:\\X\0", 5), "C:\\Work", 1},
        {"binary", HostRegBinary, "E:\\X", "C:\\Work", 1},
        {"dword", HostRegDword, std::string("\1\0\0\0", 4), "C:\\Work", 1},
        {"520 bytes with terminator", HostRegSz, long519 + '\0', long519.c_str(), 0},
        {"519 bytes without terminator", HostRegSz, long519, long519.c_str(), 0},
        {"520 bytes without terminator", HostRegSz, long519 + 'y', "C:\\Work", 1},
        {"521 bytes", HostRegSz, long519 + "y" + '\0', "C:\\Work", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        LoadWithValue("devshl.dll", row.Type, row.Data);
        EXPECT_STREQ(row.Location, Launch.Location);
        EXPECT_EQ(row.SaveNeeded, Launch.SaveNeeded);
        EXPECT_EQ(0, Fake().OpenKeys);
    }
}

TEST_F(LocationStoreTest, CurrentDirectoryTooLongIsUnavailable)
{
    Fake().Keys[LocatorKeyPath];
    CopyText(Launch.TargetFile, "devshl.dll");
    Fake().CurrentDirectory = "C:\\" + std::string(517, 'd');  // 520 bytes: one too many
    Load();
    EXPECT_STREQ("", Launch.Location);
    EXPECT_EQ(1u, Launch.SaveNeeded);

    ResetLaunchState();
    CopyText(Launch.TargetFile, "devshl.dll");
    Fake().CurrentDirectory = "C:\\" + std::string(516, 'd');
    Load();
    EXPECT_EQ(519u, std::string(Launch.Location).size());
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
        {"eight bytes", HostRegDword, std::string(8, '\1'), 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        LoadWithValue("media", row.Type, row.Data);
        EXPECT_EQ(row.Expected, Launch.MediaKind);
    }
}

TEST_F(LocationStoreTest, SaveWritesOneStringValueAndLeavesOthersAlone)
{
    SetRegString(LocatorKeyPath, "other.dll", "F:\\OTHER");
    SetRegValue(LocatorKeyPath, "devshl.dll", HostRegExpandSz, std::string("%X%\0", 4));
    CopyText(Launch.TargetFile, "devshl.dll");
    Load();
    CopyText(Launch.Location, "D:\\");
    SaveLocation(keyPath);
    const FakeValue& saved = Fake().Keys[LocatorKeyPath]["devshl.dll"];
    EXPECT_EQ(HostRegSz, saved.Type);
    EXPECT_EQ(std::string("D:\\\0", 4), saved.Data);
    EXPECT_EQ("F:\\OTHER", RegText(LocatorKeyPath, "other.dll"));
    EXPECT_EQ(1, Fake().RegistryWrites);
    EXPECT_EQ(0, Fake().OpenKeys);
}

TEST_F(LocationStoreTest, SaveWithoutWriteAccessIsSilent)
{
    Fake().Keys[LocatorKeyPath];
    Fake().ReadOnlyKeys.insert(LocatorKeyPath);
    CopyText(Launch.TargetFile, "devshl.dll");
    Load();
    SaveLocation(keyPath);
    EXPECT_EQ(0, Fake().RegistryWrites);
    EXPECT_EQ("(absent)", RegText(LocatorKeyPath, "devshl.dll"));
}

}  // namespace
