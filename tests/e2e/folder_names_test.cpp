// Folder names in any language on the real program: each group runs under a locale of its own
// (German 1252/850, Russian 1251/866, US English 1252/437), where the ANSI code page, the OEM
// code page cmd reads batch files in, and the Unicode names on disk all differ. The driver is
// an ANSI program; the fixture makes and names these folders through the Unicode calls; the texts
// in this file are UTF-8, as the fixture takes every name.
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

// The fixture of the three locale groups.
class FolderNamesTest : public E2eTest {
protected:
    // Script mode with the program in Übung\BIN and the target in Проекты\BIN, then the
    // batch file called in cmd, by its short name: the roots in the variables are ubung and
    // projects, each the folder's own name or its short name. The location is written back,
    // with its volume, only where the code page spells it: a value kept in its author's form
    // stays as written.
    void ScriptCalledInCmd(const char* file, int line, const char* ubung, const char* projects)
    {
        const std::string bin = In("Übung\\BIN");
        InstallProgram(file, line, bin);
        MakeDir(file, line, In("Проекты\\BIN"));
        auto name = [&](const char* form, const std::string& path) {
            return std::string(form) == "short" ? ShortName(file, line, path) : path;
        };
        const std::string u = name(ubung, In("Übung")), p = name(projects, In("Проекты"));
        const RegKey stored = {{"devshl.dll", Sz("@s\\Проекты\\BIN")}};
        std::optional<RegKey> writtenBack;
        if (p == In("Проекты"))
            writtenBack = RegKey{*stored.begin(), {"devshl.dll|volume", OnSystemDrive}};
        // clang-format off
        RunCases(file, line, {{
            .Name = "script mode", .Values = stored, .Files = {{"@s\\Проекты\\BIN\\devshl.dll", ""}},
            .Env = Unattended, .Program = bin, .Tail = "devshl.dll T x P", .Exit = 1,
            .After = writtenBack, .Cmd = {"call \"" + ShortName(file, line, bin) + "\\NRVARCD.BAT\""},
            .Vars = {{"PATH", u + "\\BIN;" + p + "\\BIN;" + SystemPath},
                     {"INCLUDE", u + "\\INCLUDE;" + p + "\\INCLUDE;C:\\inc"},
                     {"LIB", u + "\\LIB;" + p + "\\LIB"}}}});
        // clang-format on
    }
};

class LocaleGermanTest : public FolderNamesTest {};
class LocaleRussianTest : public FolderNamesTest {};
class LocaleEnglishTest : public FolderNamesTest {};

// Ü is in both of the group's code pages, at another byte in each; Проекты is in neither, so
// the program knows its folder by the short name only.
TEST_F(LocaleGermanTest, BatchFileRootsReachCmdAsTheFoldersTheyName)
{
    ScriptCalledInCmd(HERE, "long", "short");
}

// The other way round: Проекты is in both code pages, Übung in neither.
TEST_F(LocaleRussianTest, BatchFileRootsReachCmdAsTheFoldersTheyName)
{
    ScriptCalledInCmd(HERE, "short", "long");
}

// dirΩ and its look-alike dirO both hold the target and the program. The registry holds
// Unicode: the program reads a stored dirΩ so, uses it by its short name and leaves the value
// as its author wrote it; browsed into, dirΩ is stored by its short name; with S an old PATH
// entry the code page cannot spell reaches the tool whole. Code page 1252 has no Ω; the
// platform's best fit for it is O: the program in dirΩ uses its own folder, by the short name,
// for NRVARCD.BAT and for its tools.
TEST_F(LocaleEnglishTest, Runs)
{
    for (const char* dir : {"dirΩ\\BIN", "dirO\\BIN"}) {
        InstallProgram(HERE, In(dir));
        ASSERT_TRUE(WriteFileText(HERE, In(dir) + "\\devshl.dll", ""));
    }
    const std::string bin = ShortName(HERE, In("dirΩ\\BIN"));
    const std::string root = ShortName(HERE, In("dirΩ"));
    const RegKey found = {{"devshl.dll", Sz("@m")}};
    const std::map<std::string, std::string> target = {{"@m\\devshl.dll", ""}};
    // clang-format off
    RunCases(HERE, {
        {.Name = "stored", .Values = {{"devshl.dll", Sz("@s\\dirΩ\\BIN")}}, .Env = Unattended,
         .Tail = "devshl.dll T tool.exe_$s",
         .Tool = {{"cmdline", "tool.exe " + bin + "\\devshl.dll"}}},
        {.Name = "browsed", .Values = {{"devshl.dll", Sz("@s\\gone")}},
         .Tail = "devshl.dll T tool.exe", .Dialog = {"browse @s\\dirΩ\\BIN\\devshl.dll", "ok"},
         .Tool = {{"cmdline", "tool.exe"}},
         .After = RegKey{{"devshl.dll", Sz(bin)}, {"devshl.dll|volume", OnSystemDrive}}},
        {.Name = "S with an old PATH entry the code page cannot spell",
         .Values = {{"devshl.dll", Sz("@m")}}, .Files = {{"@m\\devshl.dll", ""}},
         .Env = {{"NRCDROM_UNATTENDED", "1"},
                 {"PATH", "C:\\t\\日本語\\bin;C:\\windows\\system32;C:\\windows"}},
         .Tail = "devshl.dll T tool.exe S",
         .Tool = {{"path", "@m;C:\\t\\日本語\\bin;C:\\windows\\system32;C:\\windows"}}},
        {.Name = "script mode in dirΩ", .Values = found, .Files = target, .Env = Unattended,
         .Program = "@s\\dirΩ\\BIN", .Tail = "devshl.dll T x P", .Exit = 1,
         .After = RegKey{{"devshl.dll", Sz("@m")}, {"devshl.dll|volume", OnSystemDrive}},
         .FilesAfter = {{"@s\\dirO\\BIN\\NRVARCD.BAT", std::nullopt}},
         .Cmd = {"call \"" + bin + "\\NRVARCD.BAT\""},
         .Vars = {{"PATH", root + "\\BIN;@s\\BIN;" + SystemPath}}},
        {.Name = "the default tool beside the program in dirΩ", .Values = found, .Files = target,
         .Env = Unattended, .Program = "@s\\dirΩ\\BIN", .Tail = "a.prj",
         .Tool = {{"cmdline", bin + "\\diriz.exe a.prj"}}},
    });
    // clang-format on
}

}  // namespace
