// The whole run over the fake machine, with a fuzzed tail, registry, PATH and dialog input.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "run/launch_sequence.h"
#include "launch/launch_target.h"
#include "res/resource.h"
#include "tests/fake/fake_host.h"

namespace {

constexpr const char* Product = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6";
constexpr const char* Locator = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6\\nrcdrom";
constexpr const char* Script = "C:\\Suite\\BIN\\NRVARCD.BAT";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    ResetFake();
    ResetLaunchState();
    uint8_t flags = in.Byte();
    std::string tail = in.Text(4000);
    std::string name = in.Text(300);
    std::string value = in.Bytes();
    uint32_t type = in.Byte() % 8;
    std::string media = in.Bytes();
    std::string path = in.Text(40000);
    std::string typed = in.Text(700);
    std::string present = in.Text(600);
    uint8_t more = in.Byte();
    if (more & 1)
        UseCodePage932();
    if (more & 2)
        Fake().Environment["NRCDROM_UNATTENDED"] = "1";
    Fake().HasStdError = (more & 4) != 0;
    Fake().Is64BitSystem = (more & 8) != 0;
    if (more & 16)
        Fake().LockedFiles.insert(Script);

    bool productKey = flags & 1;
    if (productKey) {
        Fake().Keys[flags & 2 ? Locator : Product];
        if (flags & 2) {
            SetRegValue(Locator, name.empty() ? "devshl.dll" : name, type, value);
            SetRegValue(Locator, "media", flags & 4 ? HostRegDword : type, media);
        }
    }
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
    FUZZ_CHECK(exitCode >= 0 && exitCode <= 2);
    if (!productKey)
        FUZZ_CHECK(Fake().RegistryWrites == 0);
    FUZZ_CHECK(Fake().OpenKeys == 0 && Fake().OpenBlocks == 0);
    FUZZ_CHECK(Fake().Started.size() <= 1);
    if (exitCode != 0)
        FUZZ_CHECK(Fake().Started.empty());
    for (const FakeProcess& started : Fake().Started)
        FUZZ_CHECK(started.CommandLine.size() < ChildCommandLineCapacity);
    if (more & 2)
        FUZZ_CHECK(Fake().DialogRuns.empty() && Fake().MessageBoxes.empty());
    else
        FUZZ_CHECK(Fake().StdError.empty());
    // The batch file and the registry move together: a run that could not replace the file
    // wrote no location.
    if ((more & 16) && (flags & 16) && exitCode == 1)
        FUZZ_CHECK(Fake().RegistryWrites == 0);
    for (const auto& file : Fake().Files) {
        FUZZ_CHECK(file.first.find(".new") == std::string::npos);  // no temporary file left
        const std::string& content = file.second;
        if (content == "old")
            continue;
        FUZZ_CHECK(content.compare(0, 4, "rem ") == 0);
        FUZZ_CHECK(content.size() >= 7 && content.compare(content.size() - 7, 7, ":done\r\n") == 0);
    }
    return 0;
}
