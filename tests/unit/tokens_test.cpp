#include "launch/tokens.h"

#include <string>

#include "res/strings.h"
#include "tests/unit/test_support.h"

namespace {

class ReadTokenTest : public HostTest {};

TEST_F(ReadTokenTest, EscapesQuotesAndBlanks)
{
    struct Row {
        const char* Source;
        const char* Token;
        const char* Rest;  // null when the token ended the text
    };
    const Row rows[] = {
        {"abc def", "abc", "def"},
        {"   abc", "abc", nullptr},
        {"a_b$s", "a b%s", nullptr},
        {"\"a b\" c", "\"a b\"", "c"},
        {"\"a_b $x\"", "\"a b %x\"", nullptr},
        {"\"unterminated to end", "\"unterminated to end", nullptr},
        {"a\tb c", "a\tb", "c"},
        {"x\"y z\"w v", "x\"y z\"w", "v"},
        {"abc  def", "abc", " def"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Source);
        char token[64] = "untouched";
        bool fits = true;
        const char* next = ReadToken(row.Source, token, &fits);
        EXPECT_TRUE(fits);
        EXPECT_STREQ(row.Token, token);
        ASSERT_NE(nullptr, next);
        if (row.Rest == nullptr)
            EXPECT_EQ('\0', *next);
        else
            EXPECT_STREQ(row.Rest, next);
    }
}

// On a double-byte code page a character's second byte is no escape and no option letter;
// on a single-byte code page the same bytes are read as before.
TEST_F(ReadTokenTest, DoubleByteCharactersStandForThemselves)
{
    const std::string da = "\x83\x5F";  // its second byte is an underscore
    const std::string pe = "\x83\x50";  // its second byte is a P
    struct Row {
        const char* Name;
        bool CodePage932;
        std::string Tail, Target, Title, Template;
        bool ScriptMode;
    };
    const Row rows[] = {
        {"kept whole", true, da + ".dll " + da + "_Tools " + da + "\\run.exe_$s " + pe, da + ".dll",
         da + " Tools", da + "\\run.exe %s", false},
        {"single-byte: the same bytes escape", false, da + ".dll T c " + pe, "\x83 .dll", "T", "c",
         true},
        {"lead byte at the end of the tail", true, "a b c\x83", "a", "b", "c\x83", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        FreshMachine(row.CodePage932);
        ASSERT_TRUE(ReadArguments(row.Tail.c_str()));
        EXPECT_EQ(row.Target, Launch.TargetFile);
        EXPECT_EQ(row.Title, Launch.ProductTitle);
        EXPECT_EQ(row.Template, Launch.CommandTemplate);
        EXPECT_EQ(row.ScriptMode, Launch.ScriptMode);
    }
}

TEST_F(ReadTokenTest, NoTokenLeavesTheDestinationAlone)
{
    for (const char* source : {"", "   "}) {
        SCOPED_TRACE(source);
        char token[16] = "untouched";
        bool fits = true;
        EXPECT_EQ(nullptr, ReadToken(source, token, &fits));
        EXPECT_STREQ("untouched", token);
    }
    char token[16] = "untouched";
    bool fits = true;
    EXPECT_EQ(nullptr, ReadToken(nullptr, token, &fits));
    EXPECT_STREQ("untouched", token);
}

TEST_F(ReadTokenTest, CapacityBoundary)
{
    char token[8];
    bool fits = true;
    ReadToken("1234567", token, &fits);
    EXPECT_TRUE(fits);
    EXPECT_STREQ("1234567", token);
    const char* next = ReadToken("12345678 next", token, &fits);
    EXPECT_FALSE(fits);
    EXPECT_STREQ("1234567", token);
    EXPECT_STREQ("next", next);
}

class ReadArgumentsTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        CopyProgramDir("C:\\Suite\\BIN");
    }
    static void CopyProgramDir(const std::string& dir)
    {
        std::string(dir).copy(Launch.ProgramDir, sizeof Launch.ProgramDir - 1);
        Launch.ProgramDir[dir.size()] = '\0';
    }
};

TEST_F(ReadArgumentsTest, FourTokensAndTheirOptions)
{
    ASSERT_TRUE(ReadArguments(
        "devshl.dll Duzudiziv_Eraziz_DLL_Files \"C:\\Program Files\\X\\run.exe\"_$s S"));
    EXPECT_STREQ("devshl.dll", Launch.TargetFile);
    EXPECT_STREQ("Duzudiziv Eraziz DLL Files", Launch.ProductTitle);
    EXPECT_STREQ("\"C:\\Program Files\\X\\run.exe\" %s", Launch.CommandTemplate);
    EXPECT_TRUE(Launch.PathPrefix);
    EXPECT_FALSE(Launch.ScriptMode);
    EXPECT_FALSE(Launch.FloppyPrompt);
}

TEST_F(ReadArgumentsTest, OptionLetters)
{
    struct Row {
        const char* Tail;
        uint32_t Floppy, Script, Prefix, Wait;
    };
    const Row rows[] = {
        {"a b c", 0, 0, 0, 0},       {"a b c S", 0, 0, 1, 0},    {"a b c s", 0, 0, 1, 0},
        {"a b c P", 0, 1, 0, 0},     {"a b c p", 0, 1, 0, 0},    {"a b c 1", 1, 0, 0, 0},
        {"a b c xPz", 0, 1, 0, 0},   {"a b c S1pS", 1, 1, 1, 0}, {"a b c S P", 0, 0, 1, 0},
        {"a b c \"P\"", 0, 1, 0, 0}, {"a b c _1", 1, 0, 0, 0},   {"a b c QRT", 0, 0, 0, 0},
        {"a b c W", 0, 0, 0, 1},     {"a b c w", 0, 0, 0, 1},    {"a b c SwP", 0, 1, 1, 1},
        {"a b c S W", 0, 0, 1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Tail);
        ResetLaunchState();
        CopyProgramDir("C:\\Suite\\BIN");
        ASSERT_TRUE(ReadArguments(row.Tail));
        EXPECT_EQ(row.Floppy, Launch.FloppyPrompt);
        EXPECT_EQ(row.Script, Launch.ScriptMode);
        EXPECT_EQ(row.Prefix, Launch.PathPrefix);
        EXPECT_EQ(row.Wait, Launch.WaitForTool);
    }
}

TEST_F(ReadArgumentsTest, FewerThanThreeTokensGiveTheDefaultRunWithTheRawTail)
{
    struct Row {
        const char* Tail;
        const char* Template;
    };
    const Row rows[] = {
        {"", "C:\\Suite\\BIN\\diriz.exe"},
        {"project.prj", "C:\\Suite\\BIN\\diriz.exe project.prj"},
        {"a_b  \"$c d\"", "C:\\Suite\\BIN\\diriz.exe a_b  \"$c d\""},
        {"a\tb\tc", "C:\\Suite\\BIN\\diriz.exe a\tb\tc"},
        {"a W", "C:\\Suite\\BIN\\diriz.exe a W"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Tail);
        ResetLaunchState();
        CopyProgramDir("C:\\Suite\\BIN");
        ASSERT_TRUE(ReadArguments(row.Tail));
        EXPECT_STREQ("devshl.dll", Launch.TargetFile);
        EXPECT_STREQ(STR_DEFAULT_TITLE, Launch.ProductTitle);
        EXPECT_STREQ(row.Template, Launch.CommandTemplate);
        EXPECT_TRUE(Launch.PathPrefix);
        EXPECT_FALSE(Launch.ScriptMode);
        EXPECT_FALSE(Launch.WaitForTool);
    }
}

TEST_F(ReadArgumentsTest, DefaultCommandQuotesABlankProgramDirAndIsTakenAsItStands)
{
    struct Row {
        const char* ProgramDir;
        const char* Template;
    };
    const Row rows[] = {
        {"C:\\Program Files\\Suite", "\"C:\\Program Files\\Suite\\diriz.exe\" x"},
        {"C:\\Tab\there", "\"C:\\Tab\there\\diriz.exe\" x"},
        {"C:\\100%\\s", "C:\\100%\\s\\diriz.exe x"},
        {"", "\\diriz.exe x"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ProgramDir);
        ResetLaunchState();
        CopyProgramDir(row.ProgramDir);
        ASSERT_TRUE(ReadArguments("x"));
        EXPECT_STREQ(row.Template, Launch.CommandTemplate);
        EXPECT_TRUE(Launch.CommandIsLiteral);
    }
}

TEST_F(ReadArgumentsTest, TokensThatDoNotFitTheirFieldsAreRefused)
{
    const std::string n259(259, 'n'), n260(260, 'n'), t1023(1023, 't'), t1024(1024, 't'),
        c799(799, 'c'), c800(800, 'c');
    struct Row {
        std::string Tail;
        bool Accepted;
    };
    const Row rows[] = {
        {n259 + " t c o", true},       {n260 + " t c o", false},
        {"n " + t1023 + " c o", true}, {"n " + t1024 + " c o", false},
        {"n t " + c799 + " o", true},  {"n t " + c800 + " o", false},
        {"n t c " + n259, true},       {"n t c " + n260, false},
        {"n t c o " + t1024, true},  // nothing after the fourth token is read
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Tail.size());
        ResetLaunchState();
        EXPECT_EQ(row.Accepted, ReadArguments(row.Tail.c_str()));
    }
}

TEST_F(ReadArgumentsTest, DefaultCommandLongerThanItsFieldIsRefused)
{
    // "C:\Suite\BIN\diriz.exe " is 23 bytes; the template holds 799.
    EXPECT_TRUE(ReadArguments(std::string(776, 'a').c_str()));
    EXPECT_EQ(799u, std::string(Launch.CommandTemplate).size());
    ResetLaunchState();
    CopyProgramDir("C:\\Suite\\BIN");
    EXPECT_FALSE(ReadArguments(std::string(777, 'a').c_str()));
    ResetLaunchState();
    CopyProgramDir("C:\\Suite\\BIN");
    // A long first token is no reason to refuse when the default run replaces it.
    EXPECT_TRUE(ReadArguments((std::string(300, 'n') + " t").c_str()));
}

}  // namespace
