// Media that moved to another drive letter, on drives of the platform's own kinds: the volume
// a location lies on is remembered by the serial number and label the platform reports, and
// the same path on another drive is taken when its volume is the remembered one.
//
// The group's drives (NRTEST_DRIVES in CMakeLists.txt), the same for every test:
//   E: CD-ROM 1a2b3c4d MARLINTH66   where the suite was found
//   F: CD-ROM 5e6f7a8b STRANGER     another disc
//   G: CD-ROM 1a2b3c4d MARLINTH66   the suite's disc, in another drive
//   H: floppy 0badf00d DISK1        removable
//   N: network
//   I: CD-ROM 6b6b6b6b OMEGA        a look-alike of J: under the ANSI code page
//   J: CD-ROM 6b6b6b6b ΩMEGA        a label no ANSI code page here spells
#include <string>

#include "e2e_support.h"

namespace {

const std::string Nul(1, '\0');
const char* const Identity = "devshl.dll|volume";
const std::string Suite = "1A2B-3C4D MARLINTH66";

class MovedMediaTest : public E2eTest {
protected:
    void SetUp() override
    {
        E2eTest::SetUp();
        ClearDrives();
        // The drives as the platform reports them to the program; on any others the rows
        // below would show nothing.
        const struct {
            const char* Root;
            UINT Type;
            DWORD Serial;
        } drives[] = {
            {"E:\\", DRIVE_CDROM, 0x1a2b3c4d}, {"F:\\", DRIVE_CDROM, 0x5e6f7a8b},
            {"G:\\", DRIVE_CDROM, 0x1a2b3c4d}, {"H:\\", DRIVE_REMOVABLE, 0x0badf00d},
            {"N:\\", DRIVE_REMOTE, 0},         {"I:\\", DRIVE_CDROM, 0x6b6b6b6b},
            {"J:\\", DRIVE_CDROM, 0x6b6b6b6b},
        };
        for (const auto& drive : drives) {
            SCOPED_TRACE(drive.Root);
            ASSERT_EQ(drive.Type, GetDriveTypeA(drive.Root));
            DWORD serial = 0;
            if (drive.Serial != 0) {
                ASSERT_TRUE(GetVolumeInformationA(drive.Root, nullptr, 0, &serial, nullptr, nullptr,
                                                  nullptr, 0));
                ASSERT_EQ(drive.Serial, serial);
            }
        }
    }
    void TearDown() override
    {
        E2eTest::TearDown();
        if (Env("NRTEST_KEEP") != "1")
            ClearDrives();
    }

    // letter:\SUITE\BIN\devshl.dll
    bool Place(const char* file, int line, char letter)
    {
        const std::string dir = std::string(1, letter) + ":\\SUITE\\BIN";
        return MakeDir(file, line, dir) && WriteFileText(file, line, dir + "\\devshl.dll", "");
    }

    // A run that ends by itself, its standard error read back; NRCDROM_UNATTENDED set when
    // asked.
    Outcome RunAlone(const char* file, int line, bool unattended, std::string* errors)
    {
        const std::string path = In("stderr.txt");
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            ADD_FAILURE_AT(file, line) << "cannot make " << path;
            return Outcome();
        }
        RunOptions options;
        if (unattended)
            options.Env["NRCDROM_UNATTENDED"] = std::string("1");
        options.StdErr = handle;
        // A window would wait for an answer, and the run would not end in time.
        Outcome run = Finish(file, line, Start(file, line, Tail, options), 10000);
        CloseHandle(handle);
        *errors = ReadFileText(path);
        return run;
    }

    const std::string Tail = "devshl.dll T tool.exe_$s S";

    static void ClearDrives()
    {
        for (char letter : std::string("EFGHNIJ")) {
            const std::string dir = std::string(1, letter) + ":\\SUITE";
            DeleteFileA((dir + "\\BIN\\devshl.dll").c_str());
            RemoveDirectoryA((dir + "\\BIN").c_str());
            RemoveDirectoryA(dir.c_str());
        }
    }
};

// What a location confirmed in the dialog records of its volume, by the drive's kind; a
// stale record is replaced, or removed where no volume is remembered.
TEST_F(MovedMediaTest, ConfirmedLocationRecordsItsVolume)
{
    struct Row {
        char Letter;
        const char* Recorded;  // null: none
    };
    const Row rows[] = {
        {'E', "1A2B-3C4D MARLINTH66"},
        {'H', "0BAD-F00D DISK1"},
        {'N', nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Letter);
        RemoveProductKeys();
        ASSERT_TRUE(SetString(HERE, Identity, "0000-0000 OLD"));
        ASSERT_TRUE(Place(HERE, row.Letter));
        const std::string location = std::string(1, row.Letter) + ":\\SUITE\\BIN";
        ProgramRun* program = Start(HERE, Tail);
        HWND dialog = WaitForWindow(HERE, program);
        ASSERT_NE(nullptr, dialog);
        SetItem(dialog, IDC_LOCATION, location);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        Outcome run = Finish(HERE, program);
        EXPECT_EQ(0u, run.ExitCode);
        EXPECT_EQ(2u, run.Processes);
        EXPECT_EQ(location, GetValue("devshl.dll").Text());
        RegValue recorded = GetValue(Identity);
        if (row.Recorded != nullptr) {
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), recorded.Type);
            EXPECT_EQ(row.Recorded + Nul, recorded.Data);
        } else {
            EXPECT_FALSE(recorded.Present) << recorded.Data;
        }
    }
}

// The suite's disc in another drive is found there without a word, whatever drive before it
// holds the same path on another disc; the tool starts from there.
TEST_F(MovedMediaTest, RememberedVolumeOnAnotherLetterIsTakenWithoutAsking)
{
    ASSERT_TRUE(Place(HERE, 'F'));
    ASSERT_TRUE(Place(HERE, 'G'));
    for (bool unattended : {false, true}) {
        SCOPED_TRACE(unattended ? "unattended" : "attended");
        ASSERT_TRUE(SetString(HERE, "devshl.dll", "E:\\SUITE\\BIN"));
        ASSERT_TRUE(SetString(HERE, Identity, Suite));
        std::string errors;
        Outcome run = RunAlone(HERE, unattended, &errors);
        EXPECT_EQ(0u, run.ExitCode);
        ASSERT_EQ(2u, run.Processes);
        EXPECT_EQ("tool.exe G:\\SUITE\\BIN\\devshl.dll", run.Tool["cmdline"]);
        EXPECT_EQ("G:\\SUITE\\BIN;C:\\windows\\system32;C:\\windows", run.Tool["path"]);
        EXPECT_EQ("", errors);
        EXPECT_EQ("G:\\SUITE\\BIN", GetValue("devshl.dll").Text());
        EXPECT_EQ(Suite + Nul, GetValue(Identity).Data);
    }
}

// Another disc holding the same path is offered in the dialog, never taken; unattended, the
// run ends saying why it was not.
TEST_F(MovedMediaTest, StrangersVolumeIsOfferedNotTaken)
{
    ASSERT_TRUE(Place(HERE, 'F'));
    ASSERT_TRUE(SetString(HERE, "devshl.dll", "E:\\SUITE\\BIN"));
    ASSERT_TRUE(SetString(HERE, Identity, Suite));
    ProgramRun* program = Start(HERE, Tail);
    HWND dialog = WaitForWindow(HERE, program);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("F:\\SUITE\\BIN", ItemText(dialog, IDC_LOCATION));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2u, Finish(HERE, program).ExitCode);
    EXPECT_EQ("E:\\SUITE\\BIN", GetValue("devshl.dll").Text());
    EXPECT_EQ(Suite + Nul, GetValue(Identity).Data);

    struct Row {
        const char* Recorded;  // null: none
        const char* Line;
    };
    const Row rows[] = {
        {nullptr,
         "nrcdrom: devshl.dll is not in E:\\SUITE\\BIN; F:\\SUITE\\BIN holds one, on a volume "
         "not seen here before; not asking because NRCDROM_UNATTENDED is set\r\n"},
        {"1A2B-3C4D MARLINTH66",
         "nrcdrom: devshl.dll is not in E:\\SUITE\\BIN; F:\\SUITE\\BIN holds one, on another "
         "volume than the one it was found on; not asking because NRCDROM_UNATTENDED is "
         "set\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Line);
        RemoveProductKeys();
        ASSERT_TRUE(SetString(HERE, "devshl.dll", "E:\\SUITE\\BIN"));
        if (row.Recorded != nullptr) {
            ASSERT_TRUE(SetString(HERE, Identity, row.Recorded));
        }
        std::string errors;
        Outcome run = RunAlone(HERE, true, &errors);
        EXPECT_EQ(2u, run.ExitCode);
        EXPECT_EQ(1u, run.Processes);
        EXPECT_EQ(row.Line, errors);
        EXPECT_EQ("E:\\SUITE\\BIN", GetValue("devshl.dll").Text());
        EXPECT_EQ(row.Recorded != nullptr, GetValue(Identity).Present);
    }
}

// A label outside the ANSI code page is compared as the volume holds it: the look-alike that
// the code page would make of it is passed over, unattended, and the real disc is taken.
TEST_F(MovedMediaTest, LabelOutsideTheCodePageIsMatchedExactly)
{
    struct Row {
        const char* Letters;  // the drives that hold the target
        DWORD Exit;
        const char* Cmdline;
        const char* Line;
    };
    const Row rows[] = {
        {"IJ", 0, "tool.exe J:\\SUITE\\BIN\\devshl.dll", ""},
        {"I", 2, "",
         "nrcdrom: devshl.dll is not in E:\\SUITE\\BIN; I:\\SUITE\\BIN holds one, on another "
         "volume than the one it was found on; not asking because NRCDROM_UNATTENDED is "
         "set\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Letters);
        ClearDrives();
        RemoveProductKeys();
        for (const char* letter = row.Letters; *letter != '\0'; ++letter)
            ASSERT_TRUE(Place(HERE, *letter));
        ASSERT_TRUE(SetString(HERE, "devshl.dll", "E:\\SUITE\\BIN"));
        ASSERT_TRUE(SetUnicodeString(HERE, Identity, "6B6B-6B6B \u03A9MEGA"));
        std::string errors;
        Outcome run = RunAlone(HERE, true, &errors);
        EXPECT_EQ(row.Exit, run.ExitCode);
        EXPECT_EQ(row.Cmdline, run.Tool["cmdline"]);
        EXPECT_EQ(row.Line, errors);
    }
}

// Found where it was stored, the target's volume is not looked at again: a missing record
// stays missing and a stale one stays as it is, though the drive now tells another.
TEST_F(MovedMediaTest, TargetAtTheStoredLocationChangesNothing)
{
    ASSERT_TRUE(Place(HERE, 'E'));
    for (const char* recorded : {static_cast<const char*>(nullptr), "0000-0000 OLD"}) {
        SCOPED_TRACE(recorded != nullptr ? recorded : "none");
        RemoveProductKeys();
        ASSERT_TRUE(SetString(HERE, "devshl.dll", "E:\\SUITE\\BIN"));
        if (recorded != nullptr) {
            ASSERT_TRUE(SetString(HERE, Identity, recorded));
        }
        Outcome run = Run(HERE, Tail);
        EXPECT_EQ(0u, run.ExitCode);
        ASSERT_EQ(2u, run.Processes);
        EXPECT_EQ("tool.exe E:\\SUITE\\BIN\\devshl.dll", run.Tool["cmdline"]);
        EXPECT_EQ("E:\\SUITE\\BIN", GetValue("devshl.dll").Text());
        RegValue kept = GetValue(Identity);
        EXPECT_EQ(recorded != nullptr, kept.Present);
        if (recorded != nullptr) {
            EXPECT_EQ(recorded + Nul, kept.Data);
        }
    }
}

}  // namespace
