// Turns the command-line tail into the launch state's tokens and options.
#include "launch/tokens.h"

#include "host/host.h"
#include "launch/launch_state.h"
#include "launch/path_text.h"
#include "launch/text.h"
#include "res/resource.h"

const char* ReadTokenInto(const char* source, char* dest, size_t capacity, bool* fits)
{
    if (source == nullptr)
        return nullptr;
    while (*source == ' ')
        ++source;
    if (*source == '\0')
        return nullptr;
    bool quoted = false;
    size_t n = 0;
    for (; *source != '\0' && (quoted || *source != ' '); ++source) {
        char c = *source;
        if (c == '"')
            quoted = !quoted;
        else if (c == '_')
            c = ' ';
        else if (c == '$')
            c = '%';
        if (n + 1 < capacity)
            dest[n++] = c;
        else
            *fits = false;
    }
    dest[n] = '\0';
    return *source == ' ' ? source + 1 : source;
}

namespace {

void SetOptions(const char* letters)
{
    for (; *letters != '\0'; ++letters) {
        switch (*letters) {
        case '1': Launch.FloppyPrompt = 1; break;
        case 'P':
        case 'p': Launch.ScriptMode = 1; break;
        case 'S':
        case 's': Launch.PathPrefix = 1; break;
        default: break;
        }
    }
}

// The development environment beside the program, with the raw tail after it. A blank in
// the program's directory gets the path quoted, so that process creation cannot start a
// shorter path first; a per-cent sign in it is doubled, so it reaches the child as itself.
bool SetDefaultRun(const char* tail)
{
    CopyText(Launch.TargetFile, "devshl.dll");
    HostLoadString(Launch.Instance, IDS_DEFAULT_TITLE, Launch.ProductTitle,
                   static_cast<int>(sizeof Launch.ProductTitle));
    Launch.OptionLetters[0] = '\0';
    Launch.FloppyPrompt = 0;
    Launch.ScriptMode = 0;
    Launch.PathPrefix = 1;

    char* out = Launch.CommandTemplate;
    size_t n = 0;
    bool fits = true;
    auto put = [&](char c) {
        if (n + 1 < sizeof Launch.CommandTemplate)
            out[n++] = c;
        else
            fits = false;
    };
    const char* quote = QuoteIfBlank(Launch.ProgramDir);
    for (const char* p = quote; *p != '\0'; ++p)
        put(*p);
    for (const char* p = Launch.ProgramDir; *p != '\0'; ++p) {
        put(*p);
        if (*p == '%')
            put('%');
    }
    for (const char* p = "\\diriz.exe"; *p != '\0'; ++p)
        put(*p);
    for (const char* p = quote; *p != '\0'; ++p)
        put(*p);
    if (*tail != '\0') {
        put(' ');
        for (const char* p = tail; *p != '\0'; ++p)
            put(*p);
    }
    out[n] = '\0';
    return fits;
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
