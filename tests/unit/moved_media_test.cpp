#include "launch/moved_media.h"

#include <string>
#include <vector>

#include "run/launch_sequence.h"
#include "tests/unit/test_support.h"

namespace {

constexpr const char* Tail = "run.exe Marlinth_Tools tool.exe_$s";
constexpr const char* Identity = "run.exe|volume";

class MovedMediaTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        Fake().HasStdError = true;
        Fake().Drives['C'] = FakeDrive{HostDriveFixed, 0x11111111, u"SYSTEM"};
        Fake().Drives['E'] = FakeDrive{HostDriveCdrom, 0x1A2B3C4D, u"MARLINTH66"};
        SetRegString(LocatorKeyPath, "run.exe", "E:\\SUITE\\BIN");
    }
    static int Run(const char* tail = Tail) { return RunLauncher(nullptr, tail); }
    static bool Called(const std::string& prefix)
    {
        for (const std::string& call : Fake().Calls)
            if (call.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
};

// Whatever writes a location records the identity of the volume it is on, where the drive is
// of a kind whose volume is kept; elsewhere an identity from before is removed.
TEST_F(MovedMediaTest, IdentityIsRecordedWithEveryStoredLocation)
{
    struct Row {
        const char* Name;
        const char* Typed;
        uint32_t Type;  // of drive F:
        bool NoVolume;
        const char* Recorded;  // "(absent)": removed
    };
    // clang-format off
    const Row rows[] = {
        {"CD-ROM", "F:\\SUITE\\BIN", HostDriveCdrom, false, "00AB-00CD DISC 2"},
        {"removable", "F:\\SUITE\\BIN", HostDriveRemovable, false, "00AB-00CD DISC 2"},
        {"fixed", "f:\\suite\\bin", HostDriveFixed, false, "00AB-00CD DISC 2"},
        {"RAM drive", "F:\\", HostDriveRamdisk, false, "00AB-00CD DISC 2"},
        {"network drive", "F:\\SUITE\\BIN", HostDriveRemote, false, "(absent)"},
        {"no medium to tell", "F:\\SUITE\\BIN", HostDriveCdrom, true, "(absent)"},
        {"share", "\\\\srv\\share\\BIN", HostDriveCdrom, false, "(absent)"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        SetUp();
        Fake().Drives['F'] = FakeDrive{row.Type, 0x00AB00CD, u"DISC 2", row.NoVolume};
        SetRegString(LocatorKeyPath, Identity, "DEAD-BEEF FROM BEFORE");
        AddFile("F:\\SUITE\\BIN\\run.exe");
        AddFile("F:\\run.exe");
        AddFile("\\\\srv\\share\\BIN\\run.exe");
        AnswerDialog(row.Typed);
        EXPECT_EQ(ExitStarted, Run());
        EXPECT_EQ(row.Recorded, RegText(LocatorKeyPath, Identity));
    }
}

// The other drives in letter order, never A: or B:, never a network drive, never the
// location's own; the first that holds the target on the remembered volume is taken,
// attended or not, and stored with its new letter.
TEST_F(MovedMediaTest, RememberedVolumeOnAnotherLetterIsTakenWithoutAsking)
{
    for (bool unattended : {false, true}) {
        SCOPED_TRACE(unattended ? "unattended" : "attended");
        SetUp();
        SetRegString(LocatorKeyPath, Identity, "1A2B-3C4D MARLINTH66");
        Fake().Drives['A'] = FakeDrive{HostDriveRemovable, 0x1A2B3C4D, u"MARLINTH66"};
        Fake().Drives['B'] = FakeDrive{HostDriveRemovable, 0x1A2B3C4D, u"MARLINTH66"};
        Fake().Drives['D'] = FakeDrive{HostDriveRemote, 0x1A2B3C4D, u"MARLINTH66"};
        Fake().Drives['F'] = FakeDrive{HostDriveRemovable, 0x99999999, u"STRANGER"};
        Fake().Drives['G'] = FakeDrive{HostDriveCdrom, 0x1A2B3C4D, u"MARLINTH66"};
        Fake().Drives['H'] = FakeDrive{HostDriveRamdisk, 0x1A2B3C4D, u"MARLINTH66"};
        for (const char* drive : {"A", "B", "C", "D", "F", "G", "H"})
            AddFile(std::string(drive) + ":\\SUITE\\BIN\\run.exe");
        if (unattended)
            Fake().Environment["NRCDROM_UNATTENDED"] = "1";
        EXPECT_EQ(ExitStarted, Run());
        EXPECT_TRUE(Fake().DialogRuns.empty());
        ASSERT_EQ(1u, Fake().Started.size());
        EXPECT_EQ("tool.exe G:\\SUITE\\BIN\\run.exe", Fake().Started[0].CommandLine);
        EXPECT_EQ("G:\\SUITE\\BIN", RegText(LocatorKeyPath, "run.exe"));
        EXPECT_EQ("1A2B-3C4D MARLINTH66", RegText(LocatorKeyPath, Identity));
        std::vector<std::string> drives;
        for (const std::string& call : Fake().Calls)
            if (call.rfind("GetDriveType ", 0) == 0)
                drives.push_back(call.substr(13));
        EXPECT_EQ((std::vector<std::string>{"C:\\", "D:\\", "F:\\", "G:\\", "G:\\"}), drives);
        for (const char* never : {"A:", "B:", "D:"})
            EXPECT_FALSE(Called(std::string("GetFileAttributes ") + never)) << never;
        EXPECT_EQ("", Fake().StdError);
    }
}

// A file of the target's name on a volume not remembered for it is offered, never taken: the
// dialog shows the first such place, and an unattended run says what it saw and why it stops.
// Serial and label are compared with the volume's unit for unit in UTF-16, letter case
// included: a label the ANSI code page cannot spell is matched exactly, its look-alike never,
// and an identity recorded through that code page earlier only offers the disc. What is
// then confirmed is recorded as the volume has it.
TEST_F(MovedMediaTest, OnlyTheRememberedVolumeIsTaken)
{
    const std::string unknown =
        "nrcdrom: run.exe is not in E:\\SUITE\\BIN; F:\\SUITE\\BIN holds one, on a volume not seen "
        "here before; not asking because NRCDROM_UNATTENDED is set\r\n";
    const std::string other =
        "nrcdrom: run.exe is not in E:\\SUITE\\BIN; F:\\SUITE\\BIN holds one, on another volume "
        "than the one it was found on; not asking because NRCDROM_UNATTENDED is set\r\n";
    const std::u16string marlinth = u"1A2B-3C4D MARLINTH66";
    struct Row {
        const char* Name;
        std::u16string Recorded;  // empty: none
        bool RecordedInAnsi;
        uint32_t Serial;  // of the disc in F:
        std::u16string Label;
        bool Unattended;
        int Exit;
        std::string Said;
        size_t Dialogs;
        const char* RecordedAfter;
    };
    // clang-format off
    const Row rows[] = {
        {"no identity, attended", u"", false, 0x99999999, u"STRANGER", false, ExitStarted, "", 1, "9999-9999 STRANGER"},
        {"another volume, attended", marlinth, false, 0x99999999, u"STRANGER", false, ExitStarted, "", 1, "9999-9999 STRANGER"},
        {"no identity, unattended", u"", false, 0x99999999, u"STRANGER", true, ExitCancelled, unknown, 0, "(absent)"},
        {"another volume, unattended", marlinth, false, 0x99999999, u"STRANGER", true, ExitCancelled, other, 0, "1A2B-3C4D MARLINTH66"},
        {"label outside the code page", u"6B6B-6B6B ΩMEGA", false, 0x6B6B6B6B, u"ΩMEGA", false, ExitStarted, "", 0, "6B6B-6B6B ΩMEGA"},
        {"its look-alike", u"6B6B-6B6B ΩMEGA", false, 0x6B6B6B6B, u"OMEGA", false, ExitStarted, "", 1, "6B6B-6B6B OMEGA"},
        {"the look-alike recorded", u"6B6B-6B6B OMEGA", false, 0x6B6B6B6B, u"ΩMEGA", false, ExitStarted, "", 1, "6B6B-6B6B ΩMEGA"},
        {"earlier ANSI form", u"6B6B-6B6B ?A", true, 0x6B6B6B6B, u"卷A", false, ExitStarted, "", 1, "6B6B-6B6B 卷A"},
        {"letter case", u"6B6B-6B6B omega", false, 0x6B6B6B6B, u"OMEGA", false, ExitStarted, "", 1, "6B6B-6B6B OMEGA"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        SetUp();
        if (row.RecordedInAnsi)
            SetRegString(LocatorKeyPath, Identity,
                         std::string(row.Recorded.begin(), row.Recorded.end()));
        else if (!row.Recorded.empty())
            SetRegStringW(LocatorKeyPath, Identity, row.Recorded);
        Fake().Drives['F'] = FakeDrive{HostDriveCdrom, row.Serial, row.Label};
        Fake().Drives['G'] = FakeDrive{HostDriveCdrom, 0x88888888, u"ANOTHER"};
        AddFile("F:\\SUITE\\BIN\\run.exe");
        AddFile("G:\\SUITE\\BIN\\run.exe");
        if (row.Unattended)
            Fake().Environment["NRCDROM_UNATTENDED"] = "1";
        AnswerDialog("=");  // the place shown confirmed
        EXPECT_EQ(row.Exit, Run());
        EXPECT_EQ(row.Said, Fake().StdError);
        EXPECT_EQ(row.Dialogs, Fake().DialogRuns.size());
        EXPECT_EQ(row.Unattended ? "E:\\SUITE\\BIN" : "F:\\SUITE\\BIN",
                  RegText(LocatorKeyPath, "run.exe"));
        EXPECT_EQ(row.RecordedAfter, RegText(LocatorKeyPath, Identity));
    }
}

// Only a stored location on a drive is looked for elsewhere, and only once it is missing:
// a run that finds its target asks nothing of the drives and writes nothing.
TEST_F(MovedMediaTest, DrivesAreAskedOnlyForAMissingStoredDriveLocation)
{
    struct Row {
        const char* Name;
        const char* Stored;  // null: no value, the current directory stands in
        bool Present;
        bool Searched;
    };
    const Row rows[] = {
        {"found where stored", "E:\\SUITE\\BIN", true, false},
        {"missing where stored", "E:\\SUITE\\BIN", false, true},
        {"stored on a share", "\\\\srv\\share\\BIN", false, false},
        {"stored relative: the folder it names", "SUITE\\BIN", false, true},
        {"no stored value", nullptr, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        SetUp();
        Fake().Keys[LocatorKeyPath].erase("run.exe");
        if (row.Stored != nullptr)
            SetRegString(LocatorKeyPath, "run.exe", row.Stored);
        if (row.Present)
            AddFile(std::string(row.Stored) + "\\run.exe");
        Run();
        EXPECT_EQ(row.Searched, Called("GetLogicalDrives"));
        if (!row.Searched) {
            EXPECT_FALSE(Called("GetDriveType"));
            EXPECT_FALSE(Called("GetVolumeInformation"));
        }
        if (row.Present) {
            EXPECT_EQ(0, Fake().RegistryWrites);
            EXPECT_FALSE(Called("RegDeleteValue"));
        }
    }
}

}  // namespace
