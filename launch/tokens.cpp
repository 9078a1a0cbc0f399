// Turns the command-line tail into the launch state's tokens and options.
#include "launch/tokens.h"

#include "host/host.h"
#include "base/launch_state.h"
#include "base/path_text.h"
#include "base/resource_text.h"
#include "base/text.h"
#include "res/resource.h"

const char* ReadTokenInto(const char* source, char* dest, size_t capacity, bool* fits)
{
    if (source == nullptr)
        return nullptr;
    while (*source == ' ')
        ++source;
    if (*source == '\0')
        return nullptr;
    TextBuilder out(dest, capacity);
    bool quoted = false;
    while (*source != '\0' && (quoted || *source != ' ')) {
        size_t n = CharLength(source);
        char c = *source;
        if (n == 2) {
            // A double-byte character stands for itself: its trail byte is no escape.
            out.Put(source[0]);
            out.Put(source[1]);
        } else {
            if (c == '"')
                quoted = !quoted;
            else if (c == '_')
                c = ' ';
            else if (c == '$')
                c = '%';
            out.Put(c);
        }
        source += n;
    }
    if (out.Cut())
        *fits = false;
    return *source == ' ' ? source + 1 : source;
}

namespace {

void SetOptions(const char* letters)
{
    // A double-byte character's lead byte is above 0x80, so only its trail byte could be
    // taken for a letter; stepping a character at a time passes over it.
    for (; *letters != '\0'; letters += CharLength(letters)) {
        switch (*letters) {
        case '1': Launch.FloppyPrompt = true; break;
        case 'P':
        case 'p': Launch.ScriptMode = true; break;
        case 'S':
        case 's': Launch.PathPrefix = true; break;
        case 'W':
        case 'w': Launch.WaitForTool = true; break;
        default: break;
        }
    }
}

// The development environment beside the program, with the raw tail after it, started as it
// stands: the command holds no conversion, so a per-cent sign in the program's directory or
// in the tail reaches the child as itself. A blank in the program's directory gets the path
// quoted, so that process creation cannot start a shorter path first.
bool SetDefaultRun(const char* tail)
{
    CopyText(Launch.TargetFile, "devshl.dll");
    LoadText(IDS_DEFAULT_TITLE, Launch.ProductTitle);
    Launch.OptionLetters[0] = '\0';
    Launch.FloppyPrompt = false;
    Launch.ScriptMode = false;
    Launch.PathPrefix = true;
    Launch.WaitForTool = false;
    Launch.CommandIsLiteral = true;

    TextBuilder out(Launch.CommandTemplate, sizeof Launch.CommandTemplate);
    const char* quote = QuoteIfBlank(Launch.ProgramDir);
    out.Append(quote);
    out.Append(Launch.ProgramDir);
    out.Append("\\diriz.exe");
    out.Append(quote);
    if (*tail != '\0') {
        out.Put(' ');
        out.Append(tail);
    }
    return !out.Cut();
}

}  // namespace

bool ReadArguments(const char* tail)
{
    bool fits = true;
    const char* next = ReadToken(tail, Launch.TargetFile, &fits);
    if (next != nullptr)
        next = ReadToken(next, Launch.ProductTitle, &fits);
    if (next != nullptr)
        next = ReadToken(next, Launch.CommandTemplate, &fits);
    if (next == nullptr)
        return SetDefaultRun(tail);
    if (ReadToken(next, Launch.OptionLetters, &fits) != nullptr)
        SetOptions(Launch.OptionLetters);
    return fits;
}
