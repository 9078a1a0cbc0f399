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
#include <cstdlib>
#include <string>

#include "e2e_support.h"

namespace {

const char* const Identity = "devshl.dll|volume";

class MovedMediaTest : public E2eTest {
protected:
    void SetUp() override
    {
        E2eTest::SetUp();
        ClearDrives();
        // The drives as the platform reports them to the program (a type of GetDriveType and a
        // serial); on any others the rows below would show nothing.
        for (const char* drive : {"E5 1a2b3c4d", "F5 5e6f7a8b", "G5 1a2b3c4d", "H2 0badf00d", "N4 ",
                                  "I5 6b6b6b6b", "J5 6b6b6b6b"}) {
            const std::string root = std::string(1, drive[0]) + ":\\";
            DWORD serial = 0;
            GetVolumeInformationA(root.c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
            ASSERT_EQ(drive[1] - '0', static_cast<int>(GetDriveTypeA(root.c_str()))) << root;
            if (drive[3] != '\0') {
                ASSERT_EQ(strtoul(drive + 3, nullptr, 16), serial) << root;
            }
        }
    }
    void TearDown() override
    {
        E2eTest::TearDown();
        if (Env("NRTEST_KEEP") != "1")
            ClearDrives();
    }

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

TEST_F(MovedMediaTest, Runs)
{
    const std::string suite = "1A2B-3C4D MARLINTH66";
    const RegKey stored = {{"devshl.dll", Sz("E:\\SUITE\\BIN")}, {Identity, Sz(suite)}};
    auto on = [](const std::string& letters) {
        std::map<std::string, std::string> files;
        for (char letter : letters)
            files[std::string(1, letter) + ":\\SUITE\\BIN\\devshl.dll"] = "";
        return files;
    };
    auto holdsOne = [](char letter, const char* why) {
        return std::string("nrcdrom: devshl.dll is not in E:\\SUITE\\BIN; ") + letter +
               ":\\SUITE\\BIN holds one, on " + why +
               "; not asking because NRCDROM_UNATTENDED is set\r\n";
    };
    const char* const tail = "devshl.dll T tool.exe_$s S";
    // clang-format off
    RunCases(HERE, {
        // A location confirmed in the dialog records its volume by the drive's kind; a stale
        // record is replaced, or removed where no volume is remembered.
        {.Name = "confirmed on a CD-ROM", .Values = {{Identity, Sz("0000-0000 OLD")}},
         .Files = on("E"), .Tail = tail, .Dialog = {"type E:\\SUITE\\BIN", "ok"},
         .Tool = {{"cmdline", "tool.exe E:\\SUITE\\BIN\\devshl.dll"}}, .After = stored},
        {.Name = "confirmed on a floppy disk", .Values = {{Identity, Sz("0000-0000 OLD")}},
         .Files = on("H"), .Tail = tail, .Dialog = {"type H:\\SUITE\\BIN", "ok"},
         .Tool = {{"cmdline", "tool.exe H:\\SUITE\\BIN\\devshl.dll"}},
         .After = RegKey{{"devshl.dll", Sz("H:\\SUITE\\BIN")}, {Identity, Sz("0BAD-F00D DISK1")}}},
        {.Name = "confirmed on a network drive", .Values = {{Identity, Sz("0000-0000 OLD")}},
         .Files = on("N"), .Tail = tail, .Dialog = {"type N:\\SUITE\\BIN", "ok"},
         .Tool = {{"cmdline", "tool.exe N:\\SUITE\\BIN\\devshl.dll"}},
         .After = RegKey{{"devshl.dll", Sz("N:\\SUITE\\BIN")}}},
        // The suite's disc in another drive is found there without a word, attended or not,
        // whatever drive before it holds the same path on another disc.
        {.Name = "remembered volume on G:", .Values = stored, .Files = on("FG"), .Tail = tail,
         .Tool = {{"cmdline", "tool.exe G:\\SUITE\\BIN\\devshl.dll"},
                  {"path", "G:\\SUITE\\BIN;C:\\windows\\system32;C:\\windows"}},
         .After = RegKey{{"devshl.dll", Sz("G:\\SUITE\\BIN")}, {Identity, Sz(suite)}}},
        {.Name = "remembered volume on G:, unattended", .Values = stored, .Files = on("FG"),
         .Env = Unattended, .Tail = tail,
         .Tool = {{"cmdline", "tool.exe G:\\SUITE\\BIN\\devshl.dll"}},
         .After = RegKey{{"devshl.dll", Sz("G:\\SUITE\\BIN")}, {Identity, Sz(suite)}}},
        // Another disc holding the same path is offered in the dialog, never taken;
        // unattended, the run ends saying why it was not.
        {.Name = "a stranger offered", .Values = stored, .Files = on("F"), .Tail = tail,
         .Dialog = {"field F:\\SUITE\\BIN", "cancel"}, .Exit = 2},
        {.Name = "no identity, unattended", .Values = {{"devshl.dll", Sz("E:\\SUITE\\BIN")}},
         .Files = on("F"), .Env = Unattended, .Tail = tail, .Exit = 2,
         .Output = holdsOne('F', "a volume not seen here before")},
        {.Name = "another volume, unattended", .Values = stored, .Files = on("F"),
         .Env = Unattended, .Tail = tail, .Exit = 2,
         .Output = holdsOne('F', "another volume than the one it was found on")},
        // A label outside the ANSI code page is compared as the volume holds it: the
        // look-alike the code page would make of it is passed over, the real disc taken.
        {.Name = "ΩMEGA taken, OMEGA passed over",
         .Values = {{"devshl.dll", Sz("E:\\SUITE\\BIN")}, {Identity, Sz("6B6B-6B6B ΩMEGA")}},
         .Files = on("IJ"), .Env = Unattended, .Tail = tail,
         .Tool = {{"cmdline", "tool.exe J:\\SUITE\\BIN\\devshl.dll"}},
         .After = RegKey{{"devshl.dll", Sz("J:\\SUITE\\BIN")}, {Identity, Sz("6B6B-6B6B ΩMEGA")}}},
        {.Name = "OMEGA alone, unattended",
         .Values = {{"devshl.dll", Sz("E:\\SUITE\\BIN")}, {Identity, Sz("6B6B-6B6B ΩMEGA")}},
         .Files = on("I"), .Env = Unattended, .Tail = tail, .Exit = 2,
         .Output = holdsOne('I', "another volume than the one it was found on")},
        // Found where it was stored, the volume is not looked at again: a missing record stays
        // missing and a stale one stays, though the drive now tells another.
        {.Name = "found where stored, no record", .Values = {{"devshl.dll", Sz("E:\\SUITE\\BIN")}},
         .Files = on("E"), .Tail = tail,
         .Tool = {{"cmdline", "tool.exe E:\\SUITE\\BIN\\devshl.dll"}}},
        {.Name = "found where stored, a stale record",
         .Values = {{"devshl.dll", Sz("E:\\SUITE\\BIN")}, {Identity, Sz("0000-0000 OLD")}},
         .Files = on("E"), .Tail = tail,
         .Tool = {{"cmdline", "tool.exe E:\\SUITE\\BIN\\devshl.dll"}}},
    });
    // clang-format on
}

}  // namespace
