// Folder names in any language on the real program: each group runs under a locale of its own
// (German 1252/850, Russian 1251/866, US English 1252/437), where the ANSI code page, the OEM
// code page cmd reads batch files in, and the Unicode names on disk all differ. The driver is
// an ANSI program; the fixture makes and names these folders through the Unicode calls; the texts
// in this file are UTF-8, as the fixture takes every name.
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

// One fixture for the three locale groups: the code pages the group's locale must give.
class FolderNamesTest : public E2eTest {
protected:
    FolderNamesTest(const char* locale, UINT ansi, UINT oem)
        : locale_(locale), ansi_(ansi), oem_(oem)
    {
    }

    void SetUp() override
    {
        // The fixture's own set-up first, so that its tear-down has a scratch folder to remove
        // even when the test skips.
        E2eTest::SetUp();
        std::string missing = Env("NRTEST_NO_LOCALE");
        if (!missing.empty())
            GTEST_SKIP() << "no " << locale_ << " locale on this machine: " << missing;
        ASSERT_EQ(ansi_, GetACP()) << "the group runs under " << locale_ << ".UTF-8";
        ASSERT_EQ(oem_, GetOEMCP()) << "the group runs under " << locale_ << ".UTF-8";
    }

    // An unattended run, so that a location the program cannot use ends it at once.
    Outcome RunAlone(const char* file, int line, const std::string& program,
                     const std::string& tail, RunOptions options = RunOptions())
    {
        options.Program = program;
        options.Env["NRCDROM_UNATTENDED"] = std::string("1");
        return Run(file, line, tail, options);
    }

    // The program in Übung\BIN and the target in Проекты\BIN, stored there; script mode, then
    // the batch file called in cmd, whose PATH, INCLUDE and LIB the Unicode form of `set`
    // prints. What it printed, in UTF-8; empty (and a failure) when a step failed.
    std::string ScriptCalledInCmd(const char* file, int line)
    {
        const std::string program = InstallProgram(file, line, In("Übung\\BIN"));
        if (!MakeDir(file, line, In("Проекты\\BIN")) ||
            !WriteFileText(file, line, In("Проекты\\BIN\\devshl.dll"), "") ||
            !SetString(file, line, "devshl.dll", In("Проекты\\BIN")))
            return std::string();
        Outcome run = RunAlone(file, line, program, "devshl.dll T x P");
        if (run.ExitCode != 1) {
            ADD_FAILURE_AT(file, line) << "script mode ended with " << run.ExitCode;
            return std::string();
        }
        // cmd is started through the ANSI call, so it is given the file by its short name.
        const std::string script = ShortName(file, line, In("Übung\\BIN\\NRVARCD.BAT"));
        if (script.empty())
            return std::string();
        CmdResult cmd = RunCmd(
            file, line, "call \"" + script + "\" >nul & C:\\windows\\system32\\cmd.exe /u /c set",
            In("set.txt"),
            {{"PATH", std::string(SystemPath)},
             {"INCLUDE", std::string("C:\\inc")},
             {"LIB", std::nullopt},
             {"OS", std::string("Windows_NT")}});
        return "\n" + Utf8(std::wstring(reinterpret_cast<const wchar_t*>(cmd.Output.data()),
                                        cmd.Output.size() / sizeof(wchar_t)));
    }

private:
    const char* locale_;
    UINT ansi_, oem_;
};

class LocaleGermanTest : public FolderNamesTest {
protected:
    LocaleGermanTest() : FolderNamesTest("de_DE", 1252, 850) {}
};

class LocaleRussianTest : public FolderNamesTest {
protected:
    LocaleRussianTest() : FolderNamesTest("ru_RU", 1251, 866) {}
};

class LocaleEnglishTest : public FolderNamesTest {
protected:
    LocaleEnglishTest() : FolderNamesTest("en_US", 1252, 437) {}
};

// Ü is in both of the group's code pages, at another byte in each; Проекты is in neither, so
// the program knows its folder by the short name only.
TEST_F(LocaleGermanTest, BatchFileRootsReachCmdAsTheFoldersTheyName)
{
    const std::string set = ScriptCalledInCmd(HERE);
    ASSERT_FALSE(set.empty());
    const std::string ubung = In("Übung");
    const std::string projects = ShortName(HERE, In("Проекты"));
    EXPECT_EQ(ubung + "\\BIN;" + projects + "\\BIN;C:\\windows\\system32;C:\\windows",
              Variable(set, "PATH"));
    EXPECT_EQ(ubung + "\\INCLUDE;" + projects + "\\INCLUDE;C:\\inc", Variable(set, "INCLUDE"));
    EXPECT_EQ(ubung + "\\LIB;" + projects + "\\LIB", Variable(set, "LIB"));
}

// The other way round: Проекты is in both code pages, Übung in neither.
TEST_F(LocaleRussianTest, BatchFileRootsReachCmdAsTheFoldersTheyName)
{
    const std::string set = ScriptCalledInCmd(HERE);
    ASSERT_FALSE(set.empty());
    const std::string ubung = ShortName(HERE, In("Übung"));
    const std::string projects = In("Проекты");
    EXPECT_EQ(ubung + "\\BIN;" + projects + "\\BIN;C:\\windows\\system32;C:\\windows",
              Variable(set, "PATH"));
    EXPECT_EQ(ubung + "\\INCLUDE;" + projects + "\\INCLUDE;C:\\inc", Variable(set, "INCLUDE"));
    EXPECT_EQ(ubung + "\\LIB;" + projects + "\\LIB", Variable(set, "LIB"));
}

// Code page 1252 has no Ω; the platform's best fit for dirΩ is dirO, a folder that exists
// too, with the program and its tools in it.
TEST_F(LocaleEnglishTest, ProgramInAFolderTheCodePageCannotSpellUsesThatFolder)
{
    const std::string program = InstallProgram(HERE, In("dirΩ\\BIN"));
    InstallProgram(HERE, In("dirO\\BIN"));
    ASSERT_TRUE(WriteFileText(HERE, Media() + "\\devshl.dll", ""));
    ASSERT_TRUE(SetString(HERE, "devshl.dll", Media()));
    const std::string bin = ShortName(HERE, In("dirΩ\\BIN"));

    EXPECT_EQ(1u, RunAlone(HERE, program, "devshl.dll T x P").ExitCode);
    EXPECT_NE(std::string::npos, ReadFileText(bin + "\\NRVARCD.BAT")
                                     .find("set \"PATH=" + ShortName(HERE, In("dirΩ")) + "\\BIN;" +
                                           Scratch() + "\\BIN\""))
        << ReadFileText(bin + "\\NRVARCD.BAT");
    EXPECT_FALSE(Exists(In("dirO\\BIN\\NRVARCD.BAT")));

    Outcome run = RunAlone(HERE, program, "a.prj");
    EXPECT_EQ(0u, run.ExitCode);
    ASSERT_EQ(2u, run.Processes);
    EXPECT_EQ(bin + "\\diriz.exe a.prj", run.Tool["cmdline"]);
}

// dirΩ and its look-alike dirO both hold the target. The registry holds Unicode: the program
// reads a stored dirΩ so, uses it by its short name and leaves the value as its author wrote it;
// browsed into, dirΩ is stored by its short name; with S an old PATH entry the code page
// cannot spell reaches the tool whole.
TEST_F(LocaleEnglishTest, Runs)
{
    for (const char* dir : {"dirΩ\\BIN", "dirO\\BIN"}) {
        ASSERT_TRUE(MakeDir(HERE, In(dir)));
        ASSERT_TRUE(WriteFileText(HERE, In(dir) + "\\devshl.dll", ""));
    }
    const std::string bin = ShortName(HERE, In("dirΩ\\BIN"));
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
    });
    // clang-format on
}

}  // namespace
