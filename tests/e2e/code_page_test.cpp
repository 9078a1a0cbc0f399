// The real program under a double-byte ANSI code page (Japanese, 932): folder and file names
// whose characters have a second byte of 0x5C or 0x5F, which a byte-wise scan would take for
// a separator or an escape. The group runs under a Japanese locale, where Wine's code page
// is 932.
#include <string>

#include "e2e_support.h"

namespace {

// In Shift-JIS, ソ and 表 end in 0x5C (a backslash), ダ in 0x5F (an underscore); the fixture
// and its rows take them in UTF-8, as every name.
class CodePageTest : public E2eTest {};

// A folder ending in ソ stored, typed and browsed; a target, title and command holding ダ
// kept whole, the title in the dialog's caption; and an old PATH whose characters take two
// bytes reaches the tool whole.
TEST_F(CodePageTest, Runs)
{
    ASSERT_TRUE(MakeDir(HERE, In("Suiteソ")) && WriteFileText(HERE, In("Suiteソ\\devshl.dll"), ""));
    const RegKey gone = {{"devshl.dll", Sz("@s\\gone")}};
    const RegKey stored = {{"devshl.dll", Sz("@s\\Suiteソ")}, {"devshl.dll|volume", OnSystemDrive}};
    const Record tool = {{"cmdline", "tool.exe @s\\Suiteソ\\devshl.dll"}};
    const std::map<std::string, std::string> da = {{"@s\\Suiteソ\\ダ.dll", ""}};
    // clang-format off
    RunCases(HERE, {
        {.Name = "stored", .Values = {{"devshl.dll", Sz("@s\\Suiteソ")}},
         .Tail = "devshl.dll T tool.exe_$s", .Tool = tool},
        {.Name = "typed", .Values = gone, .Tail = "devshl.dll T tool.exe_$s",
         .Dialog = {"type @s\\Suiteソ\\", "ok"}, .Tool = tool, .After = stored},
        {.Name = "browsed", .Values = gone, .Tail = "devshl.dll T tool.exe_$s",
         .Dialog = {"browse @s\\Suiteソ\\devshl.dll", "field @s\\Suiteソ", "ok"}, .Tool = tool,
         .After = stored},
        {.Name = "ダ in the title", .Files = da, .Tail = "ダ.dll ダ_Tools tool.exe_ダ_$s",
         .Dialog = {"caption Locate Marlinth ダ Tools", "cancel"}, .Exit = 2},
        {.Name = "ダ in the target and the command", .Values = {{"ダ.dll", Sz("@s\\Suiteソ")}},
         .Files = da, .Tail = "ダ.dll ダ_Tools tool.exe_ダ_$s",
         .Tool = {{"cmdline", "tool.exe ダ @s\\Suiteソ\\ダ.dll"}}},
        {.Name = "S with an old PATH of two-byte characters",
         .Values = {{"devshl.dll", Sz("@s\\Suiteソ")}},
         .Env = {{"PATH", "C:\\t\\日本語\\bin;C:\\windows\\system32;C:\\windows"}},
         .Tail = "devshl.dll T tool.exe S",
         .Tool = {{"path", "@s\\Suiteソ;C:\\t\\日本語\\bin;C:\\windows\\system32;C:\\windows"}}},
        // The program in a folder ending in 表: both folders lie directly in the scratch
        // folder, which is therefore both roots.
        {.Name = "script mode in Suite表", .Values = {{"devshl.dll", Sz("@s\\Suiteソ")}},
         .Program = "@s\\Suite表", .Tail = "devshl.dll T x P", .Exit = 1, .After = stored,
         .Cmd = {"call \"@p\\NRVARCD.BAT\""},
         .Vars = {{"PATH", "@s\\BIN;@s\\BIN;" + std::string(SystemPath)}}},
    });
    // clang-format on
}

}  // namespace
