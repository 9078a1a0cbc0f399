// The files of examples/ as a user runs them: the registry file imported by the registry
// editor, and each batch file in the platform's own cmd, with the outcome it states.
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

class ExamplesTest : public E2eTest {
protected:
    void SetUp() override
    {
        E2eTest::SetUp();
        ASSERT_TRUE(WriteFileText(HERE, Media() + "\\devshl.dll", ""));
        env_["NRCDROM_DIR"] = In("prog");
        env_["NRTEST_RECORD"] = In("record.txt");
        env_["PATH"] = std::string(SystemPath);
        env_["INCLUDE"] = std::string("C:\\inc");
        env_["LIB"] = std::nullopt;
        env_["NRCDROM_UNATTENDED"] = std::nullopt;
    }
    EnvSet env_;
};

TEST_F(ExamplesTest, RegistryFileImportsWithTheRegistryEditor)
{
    CmdResult import =
        RunCmd(HERE, "start \"\" /wait regedit /s \"" + Examples() + "\\marlinth.reg\"",
               In("regedit.txt"));
    EXPECT_EQ(0u, import.ExitCode) << import.Output;
    EXPECT_TRUE(LocatorValues() == RegKey({{"devshl.dll", Sz("E:\\SUITE\\BIN")},
                                           {"media", {REG_DWORD, std::string(4, '\0')}}}));
}

// Each batch file run as cmd /c does, ending with the file's exit code and saying what it
// states: run-tool.bat starts the tool, or says why not; build-step.bat waits for the tool, logs
// its output in its order and ends with its code, a 3 too, and nrcdrom's own failure comes
// with its line; devvars.bat, called, leaves the folders in front of the variables, which set
// then prints; ci-build.bat stores the location it is given and runs unattended, nrcdrom's
// own line put in the build's output by the 2>&1 after its command line, then the build's.
TEST_F(ExamplesTest, BatchFilesEndWithTheOutcomeTheyState)
{
    // ci-build.bat writes the 32-bit registry view, where the 32-bit program reads. The 64-bit
    // stand-in of a machine that runs no 32-bit programs reads the 64-bit view: it gets a copy
    // that writes there, and otherwise the same lines.
    std::string ciBuild = Examples() + "\\ci-build.bat";
    if (Env("NRTEST_STANDIN") == "1") {
        std::string text = ReadFileText(ciBuild);
        size_t view = text.find("/f /reg:32");
        ASSERT_NE(std::string::npos, view);
        text.replace(view, 10, "/f /reg:64");
        ASSERT_TRUE(WriteFileText(HERE, ciBuild = In("ci-build.bat"), text));
    }
    auto Quoted = [](const std::string& path) { return '"' + path + '"'; };
    const std::string output = "compiling\r\nwarning: old\r\nlinking\r\n";
    const std::string gone =
        " is not in " + In("gone") + "; not asking because NRCDROM_UNATTENDED is set\r\n";
    // The program and the location both lie in the scratch folder, the root of both trees.
    const std::string root = Scratch();
    struct Row {
        const char* Name;
        std::string Command;
        std::string Location;  // stored for run.exe and devshl.dll
        const char* Tool;      // run.exe: the recorder, or these bytes
        EnvSet Env;
        DWORD Exit;  // NoExitCode: not read (Wine's cmd ends a called file's code as 1)
        std::vector<std::string> Said;  // texts in what it printed
        std::string Stored = {};        // devshl.dll's value after, when given
    };
    const EnvSet build = {{"BUILD_LOG", In("build.log")},
                          {"NRTEST_WRITE", "1:compiling|2:warning: old|1:linking"}};
    auto with = [](EnvSet env, const char* exit) {
        env["NRTEST_EXIT"] = std::string(exit);
        return env;
    };
    const std::string runTool = Quoted(Examples() + "\\run-tool.bat"),
                      buildStep = Quoted(Examples() + "\\build-step.bat");
    // clang-format off
    const Row rows[] = {
        {"run-tool: started", runTool, Media(), nullptr, {}, 0, {"Started."}},
        // Nobody to answer the dialog: the unattended run ends with 2, as cancelling would.
        {"run-tool: no location", runTool, In("gone"), nullptr, Unattended, 2,
         {"The location was not given; nothing was started."}},
        // Found, but no program: 3, which start /wait passes on to errorlevel.
        {"run-tool: no program", runTool, Media(), "not a program", Unattended, 3,
         {"run.exe was found but could not be started."}},
        {"build-step: the tool succeeds", buildStep, Media(), nullptr, with(build, "0"), 0,
         {output + "run.exe ended with exit code 0.\r\n"}},
        {"build-step: the tool fails with 3", buildStep, Media(), nullptr, with(build, "3"), 3,
         {output + "Build stopped: run.exe ended with exit code 3.\r\n"}},
        {"build-step: no location", buildStep, In("gone"), nullptr, with(build, "0"), 2,
         {"nrcdrom: run.exe" + gone + "Build stopped: nrcdrom did not run the tool (exit code 2); see its line above.\r\n"}},
        {"devvars", "call " + Quoted(Examples() + "\\devvars.bat") + " & set", Media(), nullptr, {}, NoExitCode,
         {"PATH, INCLUDE and LIB are set for the Duzudiziv Eraziz DLL Files.",
          "\nPATH=" + root + "\\BIN;" + root + "\\BIN;" + SystemPath + "\r\n",
          "\nINCLUDE=" + root + "\\INCLUDE;" + root + "\\INCLUDE;C:\\inc\r\n"}},
        {"ci-build: ready", Quoted(ciBuild), In("gone"), nullptr, {{"NRCDROM_LOCATION", Media()}}, 0,
         {"Build environment ready: devshl.dll in " + Media() + "."}, Media()},
        {"ci-build: stopped", Quoted(ciBuild), Media(), nullptr, {{"NRCDROM_LOCATION", In("gone")}}, 2,
         {"nrcdrom: devshl.dll" + gone + "Build stopped: nrcdrom ended with exit code 2; see its line above.\r\n"}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        if (row.Tool == nullptr) {
            ASSERT_TRUE(CopyFileW(Utf16(Env("NRTEST_RECORDER")).c_str(),
                                  Utf16(Media() + "\\run.exe").c_str(), FALSE));
        } else {
            ASSERT_TRUE(WriteFileText(HERE, Media() + "\\run.exe", row.Tool));
        }
        ASSERT_TRUE(SetString(HERE, "run.exe", row.Location) &&
                    SetString(HERE, "devshl.dll", row.Location));
        EnvSet env = env_;
        for (const auto& variable : row.Env)
            env[variable.first] = variable.second;
        CmdResult result = RunCmd(HERE, row.Command, In("out.txt"), env);
        if (row.Exit != NoExitCode) {
            EXPECT_EQ(row.Exit, result.ExitCode) << result.Output;
        }
        for (const std::string& said : row.Said)
            EXPECT_NE(std::string::npos, result.Output.find(said)) << said << "\nin\n"
                                                                   << result.Output;
        if (!row.Stored.empty()) {
            EXPECT_EQ(Sz(row.Stored).Data, LocatorValues()["devshl.dll"].Data);
            EXPECT_TRUE(Exists(In("prog\\NRVARCD.BAT")));
        }
    }
    // The tool of the first row, as started.
    EXPECT_EQ(Media() + "\\run.exe", ParseRecord(ReadFileText(In("record.txt")))["cmdline"]);
}

}  // namespace
