// The whole run over the fake machine, with a fuzzed tail, registry, PATH, dialog input, code
// pages, drives with their volumes, and process creation that may fail.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "launch/launch_target.h"
#include "res/resource.h"
#include "run/launch_sequence.h"
#include "tests/fake/fake_host.h"

namespace {

constexpr const char* Product = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6";
constexpr const char* Locator = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6\\nrcdrom";
constexpr const char* Script = "C:\\Suite\\BIN\\NRVARCD.BAT";
constexpr const char* Stored = "E:\\SUITE\\BIN";

// No fuzzed name holds a question mark, so that one in NRVARCD.BAT can only be a character
// that cmd's code page could not spell.
std::string WithoutQuestionMarks(std::string text)
{
    for (char& c : text)
        if (c == '?')
            c = '_';
    return text;
}

const std::u16string Labels[] = {u"MARLINTH66", u"\u03A9MEGA", u"OMEGA", u"marlinth66", u""};
const uint32_t Serials[] = {0x1A2B3C4D, 0x6B6B6B6B};
const uint32_t DriveTypes[] = {HostDriveCdrom,  HostDriveRemovable, HostDriveFixed,
                               HostDriveRemote, HostDriveRamdisk,   1};

// The identity the program must find on a drive to take it: written out here on its own, so
// that the two accounts can disagree.
std::u16string IdentityOf(const FakeDrive& drive)
{
    std::u16string text;
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += static_cast<char16_t>("0123456789ABCDEF"[(drive.Serial >> shift) & 15]);
        if (shift == 16)
            text += u'-';
    }
    return text + u' ' + drive.Label;
}

// Drives C: to J:, each present or not, of a fuzzed kind, serial and label, holding the
// target at the stored path or not; the identity recorded for the target, if any.
void SetUpDrives(FuzzInput& in, const std::string& target)
{
    uint8_t present = in.Byte();
    for (int i = 0; i < 8; ++i) {
        if ((present & (1 << i)) == 0)
            continue;
        uint8_t kind = in.Byte();
        char letter = static_cast<char>('C' + i);
        FakeDrive drive{DriveTypes[kind % 6], Serials[(kind >> 3) & 1], Labels[(kind >> 4) % 5]};
        drive.NoVolume = (kind & 0x80) != 0;
        Fake().Drives[letter] = drive;
        if (kind & 4)
            AddFile(std::string(1, letter) + ":\\SUITE\\BIN\\" + target);
    }
    uint8_t recorded = in.Byte();
    const std::string identity = target + "|volume";
    FakeDrive like{HostDriveCdrom, Serials[recorded & 1], Labels[(recorded >> 1) % 5]};
    if (recorded & 0x10)
        SetRegStringW(Locator, identity, IdentityOf(like));
    else if (recorded & 0x20)
        SetRegString(Locator, identity, "6B6B-6B6B OMEGA");  // an earlier ANSI record of ΩMEGA
}

std::u16string RecordedIdentity(const std::string& target)
{
    auto key = Fake().Keys.find(Locator);
    if (key == Fake().Keys.end())
        return u"(none)";
    auto value = key->second.find(target + "|volume");
    if (value == key->second.end())
        return u"(none)";
    const std::string& data = value->second.Data;
    std::u16string text;
    if (!value->second.Wide)
        return Decode(Fake().AnsiCodePage, data.substr(0, data.find('\0')));
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        auto unit = static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                          static_cast<unsigned char>(data[i + 1]) << 8);
        if (unit == 0)
            break;
        text += unit;
    }
    return text;
}

void UseFuzzedCodePages(uint8_t which)
{
    switch (which % 4) {
    case 0: UseCodePages(1252, 437); break;
    case 1: UseCodePages(1252, 850); break;
    case 2: UseCodePages(1251, 866); break;
    default: UseCodePage932(); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    ResetFake();
    ResetLaunchState();
    uint8_t flags = in.Byte();
    std::string tail = in.Text(4000);
    std::string name = WithoutQuestionMarks(in.Text(300));
    std::string value = WithoutQuestionMarks(in.Bytes());
    uint32_t type = in.Byte() % 8;
    std::string media = in.Bytes();
    std::string path = in.Text(40000);
    std::string typed = WithoutQuestionMarks(in.Text(700));
    std::string present = WithoutQuestionMarks(in.Text(600));
    uint8_t more = in.Byte();
    UseFuzzedCodePages(more);
    if (more & 4)
        Fake().Environment["NRCDROM_UNATTENDED"] = "1";
    Fake().HasStdError = (more & 8) != 0;
    Fake().Is64BitSystem = (more & 16) != 0;
    if (more & 32)
        Fake().LockedFiles.insert(Script);
    if (more & 64)
        Fake().Failures["CreateProcess"] = {0, 2};
    // The program's folder in characters no code page here has; with a short name or none.
    if (more & 128) {
        Fake().ModuleFileNameW = u"C:\\t\\dir\u03A9\\Suite\\BIN\\nrcdrom.exe";
        if (flags & 128)
            Fake().ShortNames[Fake().ModuleFileNameW] = u"C:\\t\\DIR~1\\Suite\\BIN\\nrcdrom.exe";
        AddDirectory("C:\\t\\DIR~1\\Suite\\BIN");
    }

    const std::string target = name.empty() ? "devshl.dll" : name;
    bool productKey = flags & 1;
    bool stored = productKey && (flags & 2) && (flags & 64);
    if (productKey) {
        Fake().Keys[flags & 2 ? Locator : Product];
        if (flags & 2) {
            if (stored)
                SetRegString(Locator, target, Stored);
            else
                SetRegValue(Locator, target, type, value);
            SetRegValue(Locator, "media", flags & 4 ? HostRegDword : type, media);
            SetUpDrives(in, target);
        }
    }
    const std::u16string recorded = RecordedIdentity(target);
    if (flags & 8)
        Fake().Environment["PATH"] = path;
    if (flags & 16)
        Fake().Files[Script] = "old";
    AddDirectory("C:\\Suite\\BIN");
    if (!present.empty())
        AddFile(present);
    Fake().DialogScript = [&](HostDialogProc proc) -> intptr_t {
        proc(FakeDialog(), HostWmInitDialog, 0, 0);
        Fake().DialogTexts[IDC_LOCATION] = typed;
        proc(FakeDialog(), HostWmCommand, flags & 32 ? IDC_BROWSE : IDOK, 0);
        if (Fake().EndDialogResults.empty())
            proc(FakeDialog(), HostWmCommand, IDCANCEL, 0);
        return Fake().EndDialogResults.back();
    };

    int exitCode = RunLauncher(nullptr, tail.c_str());
    FUZZ_CHECK(exitCode >= 0 && exitCode <= 3);
    if (!productKey)
        FUZZ_CHECK(Fake().RegistryWrites == 0);
    FUZZ_CHECK(Fake().OpenKeys == 0 && Fake().OpenBlocks == 0);
    FUZZ_CHECK(Fake().Started.size() <= 1);
    if (exitCode != 0)
        FUZZ_CHECK(Fake().Started.empty());
    if (exitCode == 3)
        FUZZ_CHECK(Fake().Failures.count("CreateProcess") != 0);
    for (const FakeProcess& started : Fake().Started)
        FUZZ_CHECK(started.CommandLine.size() < ChildCommandLineCapacity);
    if (more & 4)
        FUZZ_CHECK(Fake().DialogRuns.empty() && Fake().MessageBoxes.empty());
    else
        FUZZ_CHECK(Fake().StdError.empty());
    // The batch file and the registry move together: a run that could not replace the file
    // wrote no location.
    if ((more & 32) && (flags & 16) && exitCode == 1 && std::strcmp(Launch.ScriptPath, Script) == 0)
        FUZZ_CHECK(Fake().RegistryWrites == 0);
    // A location on another drive than the stored one, taken without the dialog, lies on the
    // volume recorded for the target, serial and label unit for unit.
    if (stored && Fake().DialogRuns.empty() && exitCode != 2 && Launch.Location[0] != 'E') {
        auto drive = Fake().Drives.find(Launch.Location[0]);
        FUZZ_CHECK(drive != Fake().Drives.end() && IdentityOf(drive->second) == recorded);
    }
    for (const auto& file : Fake().Files) {
        FUZZ_CHECK(file.first.find(".new") == std::string::npos);  // no temporary file left
        const std::string& content = file.second;
        if (content == "old" || content.empty())
            continue;
        FUZZ_CHECK(content.compare(0, 4, "rem ") == 0);
        FUZZ_CHECK(content.size() >= 7 && content.compare(content.size() - 7, 7, ":done\r\n") == 0);
        // Every name in it is one cmd's code page spells: no default character, no look-alike.
        FUZZ_CHECK(content.find('?') == std::string::npos);
        FUZZ_CHECK(content.find("dirO") == std::string::npos);
    }
    return 0;
}
