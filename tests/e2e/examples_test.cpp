// The files of examples/ as a user runs them: the registry file imported by the registry
// editor, and each batch file in the platform's own cmd, with the outcome it states.
#include <string>

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

std::string Quoted(const std::string& path)
{
    return '"' + path + '"';
}

bool Says(const CmdResult& result, const std::string& text)
{
    return result.Output.find(text) != std::string::npos;
}

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
// with its line.
TEST_F(ExamplesTest, BatchFilesEndWithTheOutcomeTheyState)
{
    const std::string output = "compiling\r\nwarning: old\r\nlinking\r\n";
    const std::string gone = "nrcdrom: run.exe is not in " + In("gone") +
                             "; not asking because NRCDROM_UNATTENDED is set\r\n";
    struct Row {
        const char* Name;
        const char* Example;
        std::string Location;  // stored for run.exe
        const char* Tool;      // run.exe: the recorder, or these bytes
        EnvSet Env;
        DWORD Exit;
        std::string Said;
    };
    const EnvSet build = {{"BUILD_LOG", In("build.log")},
                          {"NRTEST_WRITE", "1:compiling|2:warning: old|1:linking"}};
    auto with = [](EnvSet env, const char* exit) {
        env["NRTEST_EXIT"] = std::string(exit);
        return env;
    };
    const Row rows[] = {
        {"run-tool: started", "run-tool.bat", Media(), nullptr, {}, 0, "Started."},
        // Nobody to answer the dialog: the unattended run ends with 2, as cancelling would.
        {"run-tool: no location", "run-tool.bat", In("gone"), nullptr, Unattended, 2,
         "The location was not given; nothing was started."},
        // Found, but no program: 3, which start /wait passes on to errorlevel.
        {"run-tool: no program", "run-tool.bat", Media(), "not a program", Unattended, 3,
         "run.exe was found but could not be started."},
        {"build-step: the tool succeeds", "build-step.bat", Media(), nullptr, with(build, "0"), 0,
         output + "run.exe ended with exit code 0.\r\n"},
        {"build-step: the tool fails with 3", "build-step.bat", Media(), nullptr, with(build, "3"),
         3, output + "Build stopped: run.exe ended with exit code 3.\r\n"},
        {"build-step: no location", "build-step.bat", In("gone"), nullptr, with(build, "0"), 2,
         gone + "Build stopped: nrcdrom did not run the tool (exit code 2); see its line "
                "above.\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        if (row.Tool == nullptr) {
            ASSERT_TRUE(CopyFileW(Utf16(Env("NRTEST_RECORDER")).c_str(),
                                  Utf16(Media() + "\\run.exe").c_str(), FALSE));
        } else {
            ASSERT_TRUE(WriteFileText(HERE, Media() + "\\run.exe", row.Tool));
        }
        ASSERT_TRUE(SetString(HERE, "run.exe", row.Location));
        EnvSet env = env_;
        for (const auto& variable : row.Env)
            env[variable.first] = variable.second;
        CmdResult result =
            RunCmd(HERE, Quoted(Examples() + "\\" + row.Example), In("out.txt"), env);
        EXPECT_EQ(row.Exit, result.ExitCode) << result.Output;
        EXPECT_TRUE(Says(result, row.Said)) << result.Output;
    }
    // The tool of the first row, as started.
    EXPECT_EQ(Media() + "\\run.exe", ParseRecord(ReadFileText(In("record.txt")))["cmdline"]);
}

TEST_F(ExamplesTest, DevvarsPutsTheFoldersInFrontFromAnywhere)
{
    ASSERT_TRUE(SetString(HERE, "devshl.dll", Media()));
    // Called, so that the variables it sets are still there for set to print. (Wine's cmd
    // ends a called file's exit code as 1, so only its output is read here.)
    CmdResult result =
        RunCmd(HERE, "call \"" + Examples() + "\\devvars.bat\" & set", In("out.txt"), env_);
    EXPECT_TRUE(Says(result, "PATH, INCLUDE and LIB are set for the Duzudiziv Eraziz DLL Files."))
        << result.Output;
    // The program and the location both lie in the scratch folder, the root of both trees.
    const std::string root = Scratch();
    std::string set = "\n" + result.Output;
    EXPECT_EQ(root + "\\BIN;" + root + "\\BIN;" + SystemPath, Variable(set, "PATH"));
    EXPECT_EQ(root + "\\INCLUDE;" + root + "\\INCLUDE;C:\\inc", Variable(set, "INCLUDE"));
}

TEST_F(ExamplesTest, CiBuildSetsTheRegistryAndRunsUnattended)
{
    // The example writes the 32-bit registry view, where the 32-bit program reads. The 64-bit
    // stand-in of a machine that runs no 32-bit programs reads the 64-bit view: it gets a copy
    // that writes there, and otherwise the same lines.
    std::string example = Examples() + "\\ci-build.bat";
    if (Env("NRTEST_STANDIN") == "1") {
        std::string text = ReadFileText(example);
        size_t view = text.find("/f /reg:32");
        ASSERT_NE(std::string::npos, view);
        text.replace(view, 10, "/f /reg:64");
        example = In("ci-build.bat");
        ASSERT_TRUE(WriteFileText(HERE, example, text));
    }
    const auto Call = [&](const char* file, int line, const char*) {
        return RunCmd(file, line, Quoted(example), In("out.txt"), env_);
    };
    env_["NRCDROM_LOCATION"] = Media();
    CmdResult ready = Call(HERE, "ci-build.bat");
    EXPECT_EQ(0u, ready.ExitCode) << ready.Output;
    EXPECT_TRUE(Says(ready, "Build environment ready: devshl.dll in " + Media() + "."))
        << ready.Output;
    EXPECT_EQ(Sz(Media()).Data, LocatorValues()["devshl.dll"].Data);
    EXPECT_TRUE(Exists(In("prog\\NRVARCD.BAT")));

    // nrcdrom's own line, which the 2>&1 after its command line puts in the build's output,
    // and then the build's.
    env_["NRCDROM_LOCATION"] = In("gone");
    CmdResult stopped = Call(HERE, "ci-build.bat");
    EXPECT_EQ(2u, stopped.ExitCode) << stopped.Output;
    EXPECT_TRUE(Says(stopped, "nrcdrom: devshl.dll is not in " + In("gone") +
                                  "; not asking because NRCDROM_UNATTENDED is set\r\n"
                                  "Build stopped: nrcdrom ended with exit code 2; see its line "
                                  "above.\r\n"))
        << stopped.Output;
}

}  // namespace
