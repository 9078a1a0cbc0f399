// The launcher on the real program: tokens, the stored location, the started tool.
#include "e2e_support.h"

namespace {

class LaunchTest : public E2eTest {};

TEST_F(LaunchTest, DefaultRunStartsDirizWithRawTailAndLocationInFrontOfPath)
{
    std::string program = InstallProgram(In("prog"));
    MakeDir(In("media"));
    WriteFileText(In("media\\devshl.dll"), "");
    CreateKey(LocatorKey);
    SetString(LocatorKey, "devshl.dll", In("media"));

    RunResult run = Run(program, "project_1  \"$s x\"", Scratch());
    EXPECT_EQ(0u, run.ExitCode);
    Record record;
    ASSERT_TRUE(WaitForRecord(&record));
    EXPECT_EQ(In("prog") + "\\diriz.exe project_1  \"$s x\"", record["cmdline"]);
    EXPECT_EQ(In("media") + ";", record["path"].substr(0, In("media").size() + 1));
    EXPECT_EQ(Scratch(), record["cwd"]);
}

}  // namespace
