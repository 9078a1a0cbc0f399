// Tokens: never longer than their field, never spanning a blank outside quotes, and a
// command line either refused or read into terminated fields.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "base/launch_state.h"
#include "base/text.h"
#include "launch/tokens.h"
#include "tests/fake/fake_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    ResetFake();
    ResetLaunchState();
    uint8_t choice = in.Byte();
    size_t capacity = 1 + choice % 64;
    if (choice & 64)
        UseCodePage932();
    std::string source = in.Text();
    std::string single = SingleBytes(source, Fake().LeadBytes);

    char token[65];
    std::memset(token, 'u', sizeof token);
    bool fits = true;
    const char* start = source.c_str();
    const char* next = ReadTokenInto(start, token, capacity, &fits);
    if (next == nullptr) {
        FUZZ_CHECK(source.find_first_not_of(' ') == std::string::npos);
    } else {
        size_t length = std::strlen(token);
        FUZZ_CHECK(length < capacity);
        // The token runs from the first non-blank to the first blank outside quotes.
        size_t from = source.find_first_not_of(' ');
        size_t to = from;
        bool quoted = false;
        while (to < source.size() && (quoted || source[to] != ' ' || single[to] == '0')) {
            if (source[to] == '"' && single[to] == '1')
                quoted = !quoted;
            ++to;
        }
        FUZZ_CHECK(next == start + (to < source.size() ? to + 1 : to));
        FUZZ_CHECK(length == (to - from < capacity ? to - from : capacity - 1));
        FUZZ_CHECK(fits == (to - from < capacity));
        // A double-byte character is copied as it stands; only single bytes are escapes.
        for (size_t i = 0; i < length; ++i)
            if (single[from + i] == '0')
                FUZZ_CHECK(token[i] == source[from + i]);
    }

    std::string programDir = in.Text(519);
    CopyText(Launch.ProgramDir, programDir.c_str());
    std::string tail = in.Text();
    bool accepted = ReadArguments(tail.c_str());
    FUZZ_CHECK(std::strlen(Launch.TargetFile) < sizeof Launch.TargetFile);
    FUZZ_CHECK(std::strlen(Launch.ProductTitle) < sizeof Launch.ProductTitle);
    FUZZ_CHECK(std::strlen(Launch.CommandTemplate) < sizeof Launch.CommandTemplate);
    FUZZ_CHECK(std::strlen(Launch.OptionLetters) < sizeof Launch.OptionLetters);
    (void)accepted;
    return 0;
}
