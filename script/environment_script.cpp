// Writing NRVARCD.BAT in script mode.
#include "script/environment_script.h"

#include "host/host.h"
#include "base/format_text.h"
#include "base/path_text.h"
#include "base/text.h"
#include "base/wide_text.h"

namespace {

// The block for cmd. The old values reach it only through the output of set and the
// variables of for, which cmd never parses or expands again; with delayed expansion off,
// set "X=..." keeps every byte of them. What is left of them crosses the endlocal through
// the same file; the roots are written out where they are set, so that they never pass
// through a file in another code page. What a call added is remembered in NRVARCD_<name>,
// so the next call, or /off, takes out one occurrence of each of those entries wherever it
// stands. The file lives in a folder of the call's own in %TEMP%, made by md, which fails when
// anything holds the name, so that two calls at the same instant never share it; a call that
// can make none in eight draws of %RANDOM% changes nothing and ends with errorlevel 1. The
// file is written in cmd's code page, so a letter outside it comes back as ?: each value is
// compared with the one cmd holds (!VAR! in an if, which parses neither again), and a call
// that finds one changed changes nothing either.
// The last lines run after the endlocal, in the caller's state; with delayed expansion on
// (set "NRVARCD_E=!" leaves the name undefined only then), cmd takes a ! there, and in a text
// that holds one a ^ too. For such a caller an old value that holds a ! goes to the file
// escaped (NRVARCD_KE<n>): each quote doubled first, so that the per-cent expansions that put
// a caret before each ^ and ! never leave a quote open, and a ! after the line makes sure the
// carets are taken; the doubled quotes are halved by a !VAR:""="! expansion, whose result cmd
// never parses again. A value that holds no ! is set as for any caller, since cmd leaves a text
// without ! alone; when a root holds a !, every value is escaped and the roots are written for
// such a caller too. In the text, a line that begins with $* is written once for each
// variable, one that begins with $! only when a root holds a !; $N is the variable's name, $E
// the two entries this file adds to it, $R the same escaped for delayed expansion and $I the
// variable's number (1 to 3).
constexpr char NtBlockText[] =
    "@setlocal EnableExtensions & set \"NRVARCD_E=!\" & setlocal DisableDelayedExpansion\r\n"
    "@for %%V in (K1 K2 K3 KE1 KE2 KE3 M1 M2 M3 OFF OK T FAIL) do @set NRVARCD_%%V=\r\n"
    "@if /i \"%~1\"==\"/off\" set NRVARCD_OFF=1\r\n"
    ":nrmake\r\n"
    "@set \"NRVARCD_D=%TEMP%\\NRVARCD.%RANDOM%.tmp\" & set \"NRVARCD_T=%NRVARCD_T%.\" & "
    "setlocal EnableExtensions & endlocal\r\n"
    "@md \"%NRVARCD_D%\" 2>nul\r\n"
    "@if errorlevel 1 goto nrtry\r\n"
    "@set \"NRVARCD_F=%NRVARCD_D%\\v\"\r\n"
    "@>\"%NRVARCD_F%\" set\r\n"
    "@for /f \"usebackq tokens=1* delims==\" %%A in (\"%NRVARCD_F%\") do (\r\n"
    "$*if /i \"%%A\"==\"$N\" set \"NRVARCD_K$I=%%B\"\r\n"
    "$*if /i \"%%A\"==\"NRVARCD_$N\" set \"NRVARCD_M$I=%%B\"\r\n"
    "if \"%%A\"==\"NRVARCD_F\" set NRVARCD_OK=1\r\n"
    ")\r\n"
    "@if not defined NRVARCD_OK del \"%NRVARCD_F%\" 2>nul & rd \"%NRVARCD_D%\" & exit /b 1\r\n"
    "@call :nrsame 2>nul\r\n"
    "$*@if defined NRVARCD_M$I call :nrdrop $I 2>nul\r\n"
    "@if not defined NRVARCD_E for /f \"tokens=2 delims=!\" %%A in (\"x%NRVARCD_D%x\") do "
    "set NRVARCD_FAIL=1\r\n"
    "@if not defined NRVARCD_E for %%I in (1 2 3) do @call :nrbang %%I 2>nul\r\n"
    "@if defined NRVARCD_FAIL del \"%NRVARCD_F%\" & rd \"%NRVARCD_D%\" & exit /b 1\r\n"
    "@set NRVARCD_K0=1\r\n"
    "@>\"%NRVARCD_F%\" set NRVARCD_K\r\n"
    "@endlocal & endlocal & set \"NRVARCD_F=%NRVARCD_F%\" & set \"NRVARCD_D=%NRVARCD_D%\" & "
    "set \"NRVARCD_OFF=%NRVARCD_OFF%\" & for %%V in (KE1 KE2 KE3) do @set NRVARCD_%%V=\r\n"
    "@if defined NRVARCD_OFF goto nroff\r\n"
    "$*@set \"$N=$E\" & set \"NRVARCD_$N=$E\"\r\n"
    "$!$*@if \"!\"==\"\" set \"$N=$R\" & set \"NRVARCD_$N=$R\"\r\n"
    "@for /f \"usebackq tokens=1* delims==\" %%A in (\"%NRVARCD_F%\") do (\r\n"
    "$*if \"%%A\"==\"NRVARCD_K$I\" set \"$N=$E;%%B\"\r\n"
    "$*if \"%%A\"==\"NRVARCD_KE$I\" set \"NRVARCD_KE$I=%%B\"!\r\n"
    ")\r\n"
    "$*@if defined NRVARCD_KE$I set \"$N=$R;!NRVARCD_KE$I:\"\"=\"!\"\r\n"
    "@goto nrdone\r\n"
    ":nroff\r\n"
    "$*@set \"$N=\" & set \"NRVARCD_$N=\"\r\n"
    "@for /f \"usebackq tokens=1* delims==\" %%A in (\"%NRVARCD_F%\") do (\r\n"
    "$*if \"%%A\"==\"NRVARCD_K$I\" set \"$N=%%B\"\r\n"
    "$*if \"%%A\"==\"NRVARCD_KE$I\" set \"NRVARCD_KE$I=%%B\"!\r\n"
    ")\r\n"
    "$*@if defined NRVARCD_KE$I set \"$N=!NRVARCD_KE$I:\"\"=\"!\"\r\n"
    ":nrdone\r\n"
    "@del \"%NRVARCD_F%\" & rd \"%NRVARCD_D%\" & "
    "for %%V in (F D OFF KE1 KE2 KE3) do @set NRVARCD_%%V=\r\n"
    "@exit /b 0\r\n"
    ":nrtry\r\n"
    "@if not \"%NRVARCD_T%\"==\"........\" goto nrmake\r\n"
    "@exit /b 1\r\n"
    ":nrsame\r\n"
    "@setlocal EnableDelayedExpansion\r\n"
    "$*@if not \"!$N!\"==\"!NRVARCD_K$I!\" set NRVARCD_FAIL=1\r\n"
    "@endlocal & set \"NRVARCD_FAIL=%NRVARCD_FAIL%\"\r\n"
    "@goto :eof\r\n"
    ":nrbang\r\n"
    "@set \"NRVARCD_V=\" & set \"NRVARCD_S=\" & set \"NRVARCD_Y=\"\r\n"
    "$!@set NRVARCD_Y=1\r\n"
    "@>\"%NRVARCD_F%\" set NRVARCD_K%1\r\n"
    "@for /f \"usebackq tokens=1* delims==\" %%A in (\"%NRVARCD_F%\") do (\r\n"
    "if \"%%A\"==\"NRVARCD_K%1\" set \"NRVARCD_V=%%B\"\r\n"
    "if \"%%A\"==\"NRVARCD_K%1\" set \"NRVARCD_S=%%B.\"\r\n"
    ")\r\n"
    "@if not defined NRVARCD_V goto :eof\r\n"
    "@>\"%NRVARCD_F%\" set NRVARCD_S\r\n"
    "@if not defined NRVARCD_Y for /f \"usebackq tokens=1* delims=!\" %%A in (\"%NRVARCD_F%\") "
    "do set \"NRVARCD_Y=%%B\"\r\n"
    "@if not defined NRVARCD_Y goto :eof\r\n"
    "@setlocal EnableDelayedExpansion\r\n"
    "@set \"NRVARCD_L=!NRVARCD_S:~4001!\"\r\n"
    "@if defined NRVARCD_L endlocal & set NRVARCD_FAIL=1 & goto :eof\r\n"
    "@endlocal\r\n"
    "@set \"NRVARCD_V=%NRVARCD_V:\"=\"\"%\"\r\n"
    "@set \"NRVARCD_V=%NRVARCD_V:^=^^%\"\r\n"
    "@set \"NRVARCD_V=%NRVARCD_V:!=^!%\"\r\n"
    "@set \"NRVARCD_KE%1=%NRVARCD_V%\" & set NRVARCD_K%1=\r\n"
    "@goto :eof\r\n"
    ":nrdrop\r\n"
    "@if not defined NRVARCD_K%1 goto :eof\r\n"
    "@set \"NRVARCD_A=;\" & set \"NRVARCD_X1=\" & set \"NRVARCD_X2=\"\r\n"
    "@>\"%NRVARCD_F%\" set NRVARCD_\r\n"
    "@for /f \"usebackq tokens=1* delims==\" %%A in (\"%NRVARCD_F%\") do if "
    "\"%%A\"==\"NRVARCD_M%1\" "
    "for /f \"usebackq tokens=1* delims==\" %%C in (\"%NRVARCD_F%\") do if "
    "\"%%C\"==\"NRVARCD_K%1\" "
    "set \"NRVARCD_R=;%%B;%%D\"\r\n"
    "@>\"%NRVARCD_F%\" set NRVARCD_\r\n"
    "@set NRVARCD_Q=\r\n"
    "@for /f \"usebackq tokens=1-5* delims=;\" %%A in (\"%NRVARCD_F%\") do (\r\n"
    "if \"%%A\"==\"NRVARCD_R=\" if \"%%D\"==\"%%B\" if \"%%E\"==\"%%C\" set NRVARCD_Q=1\r\n"
    "if \"%%A\"==\"NRVARCD_R=\" if defined NRVARCD_Q set \"NRVARCD_K%1=%%F\"\r\n"
    ")\r\n"
    "@if defined NRVARCD_Q goto :eof\r\n"
    ":nrnext\r\n"
    "@>\"%NRVARCD_F%\" set NRVARCD_\r\n"
    "@set \"NRVARCD_Y=\" & set \"NRVARCD_Z=\" & set \"NRVARCD_N=\" & set NRVARCD_KEEP=1\r\n"
    "@for /f \"usebackq tokens=1-4* delims=;\" %%A in (\"%NRVARCD_F%\") do (\r\n"
    "if \"%%A\"==\"NRVARCD_R=\" if \"%%D\"==\"%%B\" if not defined NRVARCD_X1 set NRVARCD_Y=1\r\n"
    "if \"%%A\"==\"NRVARCD_R=\" if \"%%D\"==\"%%C\" if not defined NRVARCD_X2 set NRVARCD_Z=1\r\n"
    ")\r\n"
    "@if defined NRVARCD_Y set NRVARCD_Z=\r\n"
    "@if defined NRVARCD_Y set NRVARCD_X1=1\r\n"
    "@if defined NRVARCD_Z set NRVARCD_X2=1\r\n"
    "@if defined NRVARCD_Y set NRVARCD_KEEP=\r\n"
    "@if defined NRVARCD_Z set NRVARCD_KEEP=\r\n"
    "@if defined NRVARCD_KEEP for /f \"usebackq tokens=1-4* delims=;\" %%A in (\"%NRVARCD_F%\") do "
    "if \"%%A\"==\"NRVARCD_R=\" for /f \"usebackq tokens=1* delims==\" %%F in (\"%NRVARCD_F%\") "
    "do if \"%%F\"==\"NRVARCD_A\" set \"NRVARCD_A=%%G;%%D\"\r\n"
    "@for /f \"usebackq tokens=1-4* delims=;\" %%A in (\"%NRVARCD_F%\") do (\r\n"
    "if \"%%A\"==\"NRVARCD_R=\" set \"NRVARCD_R=;%%B;%%C;%%E\"\r\n"
    "if \"%%A\"==\"NRVARCD_R=\" set \"NRVARCD_N=%%E\"\r\n"
    ")\r\n"
    "@if not defined NRVARCD_N goto nrlast\r\n"
    "@if not defined NRVARCD_X1 goto nrnext\r\n"
    "@if not defined NRVARCD_X2 goto nrnext\r\n"
    "@>\"%NRVARCD_F%\" set NRVARCD_\r\n"
    "@for /f \"usebackq tokens=1-3* delims=;\" %%A in (\"%NRVARCD_F%\") do if "
    "\"%%A\"==\"NRVARCD_R=\" "
    "for /f \"usebackq tokens=1* delims==\" %%F in (\"%NRVARCD_F%\") do if \"%%F\"==\"NRVARCD_A\" "
    "set \"NRVARCD_A=%%G;%%D\"\r\n"
    ":nrlast\r\n"
    "@set NRVARCD_K%1=\r\n"
    "@>\"%NRVARCD_F%\" set NRVARCD_A\r\n"
    "@for /f \"usebackq tokens=1* delims=;\" %%A in (\"%NRVARCD_F%\") do "
    "if \"%%A\"==\"NRVARCD_A=\" set \"NRVARCD_K%1=%%B\"\r\n"
    "@goto :eof\r\n";
static_assert(sizeof NtBlockText <= ScriptNtTextCapacity, "the block's own text fits its capacity");

// Bytes that cmd reads as its own outside double quotes; a root holding one is quoted.
constexpr const char* CmdSyntax = " \t&|<>^";

void EscapePercent(char (&out)[ScriptRootCapacity], const char* root)
{
    TextBuilder text(out, sizeof out);
    for (; *root != '\0'; ++root) {
        if (*root == '%')
            text.Put('%');
        text.Put(*root);
    }
}

// A root as delayed expansion gives it back from a text that holds a !: a caret before each
// caret and each !. A double-byte character is copied whole, its second byte never escaped.
void EscapeBang(char (&out)[ScriptRootCapacity], const char* root)
{
    TextBuilder text(out, sizeof out);
    for (size_t n = 0; *root != '\0'; root += n) {
        n = CharLength(root);
        if (n == 1 && (*root == '^' || *root == '!'))
            text.Put('^');
        for (size_t i = 0; i < n; ++i)
            text.Put(root[i]);
    }
}

// NRVARCD.BAT.<process id>.new: a name of this run's own, so that runs at the same time
// never write into, or remove, each other's file.
void SetTempPath(char (&tempPath)[ScriptPathCapacity + 14])
{
    CopyText(tempPath, Launch.ScriptPath);
    AppendText(tempPath, ".");
    char digits[9];
    uint32_t id = HostGetCurrentProcessId();
    for (int i = 7; i >= 0; --i, id >>= 4)
        digits[i] = "0123456789ABCDEF"[id & 15];
    digits[8] = '\0';
    AppendText(tempPath, digits);
    AppendText(tempPath, ".new");
}

// The id of the run whose temporary file this is: NRVARCD.BAT.<eight hexadecimal digits>.new,
// in any letter case; false for any other name.
bool TempFileRun(const char* name, uint32_t& id)
{
    constexpr const char* Prefix = "nrvarcd.bat.";
    constexpr const char* Suffix = ".new";
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    size_t at = 0;
    for (; Prefix[at] != '\0'; ++at)
        if (lower(name[at]) != Prefix[at])
            return false;
    id = 0;
    for (size_t end = at + 8; at < end; ++at) {
        char c = lower(name[at]);
        uint32_t digit = c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
                         : c >= 'a' && c <= 'f' ? static_cast<uint32_t>(c - 'a' + 10)
                                                : 16;
        if (digit == 16)
            return false;
        id = id << 4 | digit;
    }
    for (size_t i = 0; Suffix[i] != '\0'; ++i, ++at)
        if (lower(name[at]) != Suffix[i])
            return false;
    return name[at] == '\0';
}

// A process that cannot be looked at counts as running: only a process id the system no
// longer knows, or a process that has ended, is known to be gone.
bool ProcessRuns(uint32_t id)
{
    HostHandle process = HostOpenProcess(HostSynchronize, id);
    if (process == nullptr)
        return HostGetLastError() != HostErrorInvalidParameter;
    bool runs = HostWaitForSingleObject(process, 0) == HostWaitTimeout;
    HostCloseHandle(process);
    return runs;
}

// Removes the temporary files of runs that ended between writing theirs and moving it into
// place; a file of a run that still goes on is left to it.
void RemoveDeadRunsFiles()
{
    char pattern[ScriptPathCapacity + 8];
    CopyText(pattern, Launch.ScriptPath);
    AppendText(pattern, ".*.new");
    char name[NameCapacity];
    HostFind find = HostFindFirstFile(pattern, name, sizeof name);
    if (find == nullptr)
        return;
    do {
        uint32_t id = 0;
        if (TempFileRun(name, id) && !ProcessRuns(id)) {
            char path[ScriptPathCapacity + NameCapacity];
            JoinPath(path, Launch.ProgramDir, name);
            HostDeleteFile(path);
        }
    } while (HostFindNextFile(find, name, sizeof name));
    HostFindClose(find);
}

// True when the file under ScriptPath holds these bytes and no others. One byte more than
// the new content is asked for, so that a longer file is told apart; a file that cannot be
// read counts as different and is written anew.
bool HoldsExactly(const char* script, size_t length)
{
    HostFile file = HostCreateFile(Launch.ScriptPath, HostGenericRead, HostFileShareRead,
                                   HostOpenExisting, HostAttributeNormal);
    if (file == nullptr)
        return false;
    static char old[ScriptCapacity + 1];
    size_t got = 0;
    bool readable = true;
    while (readable && got < sizeof old) {
        uint32_t n = 0;
        readable = HostReadFile(file, old + got, static_cast<uint32_t>(sizeof old - got), &n);
        if (n == 0)
            break;
        got += n;
    }
    HostCloseHandle(file);
    if (!readable || got != length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (old[i] != script[i])
            return false;
    return true;
}

// The folder above dir as cmd reads it back; false, with the folder named in failure, when
// its code page can spell neither the folder's name nor a short name of it.
bool ParentForConsole(const char* dir, char (&parent)[PathCapacity], ScriptFailure& failure)
{
    char ansi[PathCapacity];
    CopyText(ansi, dir);
    CutToParent(ansi);
    if (ConsoleNameInto(ansi, parent, sizeof parent))
        return true;
    CopyText(failure.Folder, ansi);
    return false;
}

// The roots as the block writes them: as they stand ($E), and escaped for delayed expansion
// ($R).
struct NtRoots {
    char Program[ScriptRootCapacity], Location[ScriptRootCapacity];
    char ProgramBang[ScriptRootCapacity], LocationBang[ScriptRootCapacity];
};

// The text $E (or $R) stands for: the program's and the location's directory of one variable.
void PutEntries(TextBuilder& text, const char* programRoot, const char* locationRoot,
                const char* dir)
{
    text.Append(programRoot);
    text.Put('\\');
    text.Append(dir);
    text.Put(';');
    text.Append(locationRoot);
    text.Put('\\');
    text.Append(dir);
}

// Copies one line of NtBlockText from line up to its end, for the variable of number index.
const char* PutNtLine(TextBuilder& text, const char* line, size_t index, const NtRoots& roots)
{
    static const char* const names[] = {"PATH", "INCLUDE", "LIB"};
    static const char* const dirs[] = {"BIN", "INCLUDE", "LIB"};
    const char* at = line;
    for (; *at != '\n'; ++at) {
        if (*at != '$') {
            text.Put(*at);
            continue;
        }
        switch (*++at) {
        case 'N': text.Append(names[index]); break;
        case 'E': PutEntries(text, roots.Program, roots.Location, dirs[index]); break;
        case 'R': PutEntries(text, roots.ProgramBang, roots.LocationBang, dirs[index]); break;
        case 'I': text.Put(static_cast<char>('1' + index)); break;
        }
    }
    text.Put('\n');
    return at + 1;
}

}  // namespace

size_t FormatEnvironmentBlock(char (&block)[ScriptBlockCapacity], const char* programParent,
                              const char* locationParent, const char* valueQuote)
{
    const char* programQuote = QuoteIfHolds(programParent, CmdSyntax);
    const char* locationQuote = QuoteIfHolds(locationParent, CmdSyntax);
    char programRoot[ScriptRootCapacity];
    char locationRoot[ScriptRootCapacity];
    EscapePercent(programRoot, programParent);
    EscapePercent(locationRoot, locationParent);
    const char* args[24];
    for (size_t line = 0; line < 3; ++line) {
        const char** a = args + line * 8;
        a[0] = programQuote;
        a[1] = programRoot;
        a[2] = programQuote;
        a[3] = locationQuote;
        a[4] = locationRoot;
        a[5] = locationQuote;
        a[6] = valueQuote;
        a[7] = valueQuote;
    }
    FormatInto(block, sizeof block, ScriptBlockFormat, args, 24);
    return TextLength(block);
}

size_t FormatNtBlock(char (&block)[ScriptNtBlockCapacity], const char* programParent,
                     const char* locationParent)
{
    static NtRoots roots;
    EscapePercent(roots.Program, programParent);
    EscapePercent(roots.Location, locationParent);
    EscapeBang(roots.ProgramBang, roots.Program);
    EscapeBang(roots.LocationBang, roots.Location);
    bool bang = HoldsAnyOf(programParent, "!") || HoldsAnyOf(locationParent, "!");
    TextBuilder text(block, sizeof block);
    for (const char* line = NtBlockText; *line != '\0';) {
        const char* next = line;
        while (*next++ != '\n') {
        }
        if (line[0] == '$' && line[1] == '!') {
            if (!bang) {
                line = next;
                continue;
            }
            line += 2;
        }
        if (line[0] != '$' || line[1] != '*') {
            line = PutNtLine(text, line, 0, roots);
            continue;
        }
        for (size_t index = 0; index < 3; ++index)
            PutNtLine(text, line + 2, index, roots);
        line = next;
    }
    return text.Length();
}

size_t FormatEnvironmentScript(char (&script)[ScriptCapacity], ScriptFailure& failure)
{
    char programParent[PathCapacity];
    char locationParent[PathCapacity];
    if (!ParentForConsole(Launch.ProgramDir, programParent, failure) ||
        !ParentForConsole(Launch.LocationDir, locationParent, failure))
        return 0;

    static char block[ScriptBlockCapacity];
    static char ntBlock[ScriptNtBlockCapacity];
    TextBuilder text(script, sizeof script);
    text.Append(ScriptHeader);
    FormatEnvironmentBlock(block, programParent, locationParent, "\"");
    text.Append(block);
    text.Append(ScriptMiddle);
    FormatNtBlock(ntBlock, programParent, locationParent);
    text.Append(ntBlock);
    text.Append(ScriptFooter);
    return text.Length();
}

ScriptOutcome WriteEnvironmentScript(bool onlyWhenChanged, ScriptFailure& failure)
{
    failure.Error = 0;
    failure.Folder[0] = '\0';
    static char script[ScriptCapacity];
    size_t length = FormatEnvironmentScript(script, failure);

    // A read-only file, or a directory of the name, is not ours to replace.
    uint32_t existing = HostGetFileAttributes(Launch.ScriptPath);
    if (existing != HostNoAttributes &&
        (existing & (HostAttributeReadOnly | HostAttributeDirectory)) != 0)
        return ScriptOutcome::Kept;
    if (length == 0)
        return ScriptOutcome::Unspellable;
    if (onlyWhenChanged && existing != HostNoAttributes && HoldsExactly(script, length))
        return ScriptOutcome::Current;

    // The new content goes to a file of its own first, so that a failure at any point
    // leaves the old batch file whole.
    RemoveDeadRunsFiles();
    char tempPath[ScriptPathCapacity + 14];
    SetTempPath(tempPath);
    HostFile file =
        HostCreateFile(tempPath, HostGenericWrite, 0, HostCreateAlways, HostAttributeNormal);
    if (file == nullptr) {
        failure.Error = HostGetLastError();
        return ScriptOutcome::Failed;
    }
    bool written = HostWriteFile(file, script, static_cast<uint32_t>(length));
    if (!written)
        failure.Error = HostGetLastError();
    HostCloseHandle(file);

    if (written &&
        HostMoveFileEx(tempPath, Launch.ScriptPath, HostMoveReplaceExisting | HostMoveWriteThrough))
        return ScriptOutcome::Written;
    if (written)
        failure.Error = HostGetLastError();
    HostDeleteFile(tempPath);
    return ScriptOutcome::Failed;
}
