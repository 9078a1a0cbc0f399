#include "launch/tokens.h"

#include <string>

#include "res/strings.h"
#include "tests/unit/test_support.h"

namespace {

class ReadTokenTest : public HostTest {};

// A token read into a buffer of eight bytes: what follows (null: the token ended the text; no
// token at all leaves the buffer alone and gives null), and whether it fitted.
TEST_F(ReadTokenTest, EscapesQuotesAndBlanks)
{
    struct Row {
        const char* Source;
        const char* Token;
        const char* Rest;
        bool Fits = true;
    };
    // clang-format off
    const Row rows[] = {
        {"abc def", "abc", "def"},
        {"   abc", "abc", ""},
        {"a_b$s", "a b%s", ""},
        {"\"a b\" c", "\"a b\"", "c"},
        {"\"a_ $x\"", "\"a  %x\"", ""},
        {"\"a b c", "\"a b c", ""},  // unterminated: to the end
        {"a\tb c", "a\tb", "c"},
        {"x\"y z\"w v", "x\"y z\"w", "v"},
        {"abc  def", "abc", " def"},
        {"1234567", "1234567", ""},
        {"12345678 next", "1234567", "next", false},
        {"", "kept", nullptr},
        {"   ", "kept", nullptr},
        {nullptr, "kept", nullptr},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Source != nullptr ? row.Source : "(null)");
        char token[8] = "kept";
        bool fits = true;
        const char* next = ReadToken(row.Source, token, &fits);
        EXPECT_EQ(row.Fits, fits);
        EXPECT_STREQ(row.Token, token);
        if (row.Rest == nullptr)
            EXPECT_EQ(nullptr, next);
        else
            EXPECT_STREQ(row.Rest, next);
    }
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

// Three tokens or more give the target, the title and the command; on a double-byte code page
// a character's second byte is no escape and no option letter, while on a single-byte one the
// same bytes are read as before. Fewer tokens give the default run, whose command is the
// program's diriz.exe (quoted when its folder has a blank) with the raw tail, taken as it
// stands, with S and nothing else.
TEST_F(ReadArgumentsTest, TailsGiveTheFields)
{
    const std::string da = "\x83\x5F";  // its second byte is an underscore
    const std::string pe = "\x83\x50";  // its second byte is a P
    const std::string diriz = "C:\\Suite\\BIN\\diriz.exe", title = STR_DEFAULT_TITLE;
    struct Row {
        const char* Name;
        bool CodePage932;
        const char* ProgramDir;
        std::string Tail, Target, Title, Template;
        bool ScriptMode;
    };
    // clang-format off
    const Row rows[] = {
        {"four tokens", false, "C:\\Suite\\BIN", "devshl.dll Duzudiziv_Eraziz_DLL_Files \"C:\\Program Files\\X\\run.exe\"_$s S",
         "devshl.dll", "Duzudiziv Eraziz DLL Files", "\"C:\\Program Files\\X\\run.exe\" %s", false},
        {"double-byte, kept whole", true, "C:\\Suite\\BIN", da + ".dll " + da + "_Tools " + da + "\\run.exe_$s " + pe,
         da + ".dll", da + " Tools", da + "\\run.exe %s", false},
        {"single-byte: the same bytes escape", false, "C:\\Suite\\BIN", da + ".dll T c " + pe, "\x83 .dll", "T", "c", true},
        {"lead byte at the end of the tail", true, "C:\\Suite\\BIN", "a b c\x83", "a", "b", "c\x83", false},
        {"no tail", false, "C:\\Suite\\BIN", "", "devshl.dll", title, diriz, false},
        {"one token", false, "C:\\Suite\\BIN", "project.prj", "devshl.dll", title, diriz + " project.prj", false},
        {"two tokens, escapes kept", false, "C:\\Suite\\BIN", "a_b  \"$c d\"", "devshl.dll", title, diriz + " a_b  \"$c d\"", false},
        {"tabs", false, "C:\\Suite\\BIN", "a\tb\tc", "devshl.dll", title, diriz + " a\tb\tc", false},
        {"W is no option", false, "C:\\Suite\\BIN", "a W", "devshl.dll", title, diriz + " a W", false},
        {"blank in the program's folder", false, "C:\\Program Files\\Suite", "x", "devshl.dll", title, "\"C:\\Program Files\\Suite\\diriz.exe\" x", false},
        {"tab in the program's folder", false, "C:\\Tab\there", "x", "devshl.dll", title, "\"C:\\Tab\there\\diriz.exe\" x", false},
        {"per-cent sign in the program's folder", false, "C:\\100%\\s", "x", "devshl.dll", title, "C:\\100%\\s\\diriz.exe x", false},
        {"program's folder unknown", false, "", "x", "devshl.dll", title, "\\diriz.exe x", false},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        FreshMachine(row.CodePage932);
        CopyProgramDir(row.ProgramDir);
        ASSERT_TRUE(ReadArguments(row.Tail.c_str()));
        EXPECT_EQ(row.Target, Launch.TargetFile);
        EXPECT_EQ(row.Title, Launch.ProductTitle);
        EXPECT_EQ(row.Template, Launch.CommandTemplate);
        EXPECT_EQ(row.ScriptMode, Launch.ScriptMode);
        const bool defaultRun = row.Template.find("diriz.exe") != std::string::npos;
        EXPECT_EQ(defaultRun, Launch.CommandIsLiteral);
        if (defaultRun) {
            EXPECT_TRUE(Launch.PathPrefix);
            EXPECT_FALSE(Launch.WaitForTool);
        }
    }
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
        SetUp();
        ASSERT_TRUE(ReadArguments(row.Tail));
        EXPECT_EQ(row.Floppy, Launch.FloppyPrompt);
        EXPECT_EQ(row.Script, Launch.ScriptMode);
        EXPECT_EQ(row.Prefix, Launch.PathPrefix);
        EXPECT_EQ(row.Wait, Launch.WaitForTool);
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
        {n259 + " t c o", true},
        {n260 + " t c o", false},
        {"n " + t1023 + " c o", true},
        {"n " + t1024 + " c o", false},
        {"n t " + c799 + " o", true},
        {"n t " + c800 + " o", false},
        {"n t c " + n259, true},
        {"n t c " + n260, false},
        {"n t c o " + t1024, true},  // nothing after the fourth token is read
        // The default run's command, "C:\\Suite\\BIN\\diriz.exe " and the tail, holds 799 bytes;
        // a long first token is no reason to refuse when the default run replaces it.
        {std::string(776, 'a'), true},
        {std::string(777, 'a'), false},
        {n259 + "n t", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Tail.size());
        SetUp();
        EXPECT_EQ(row.Accepted, ReadArguments(row.Tail.c_str()));
    }
}

}  // namespace
