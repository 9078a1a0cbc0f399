// Path rules: each only ever shortens (or completes a drive by one byte), strip is
// idempotent, and every result is a prefix of its input.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "tests/fake/fake_host.h"
#include "base/launch_state.h"
#include "base/path_text.h"
#include "base/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    ResetFake();
    if (in.Byte() % 2)
        UseCodePage932();
    std::string text = in.Text(PathCapacity - 2);
    const std::set<unsigned char>& lead = Fake().LeadBytes;

    char strip[PathCapacity];
    CopyText(strip, text.c_str());
    StripTrailingSeparators(strip);
    FUZZ_CHECK(text.compare(0, std::strlen(strip), strip) == 0);
    size_t n = std::strlen(strip);
    FUZZ_CHECK(n == 0 || !IsSeparator(strip[n - 1]) || SingleBytes(strip, lead)[n - 1] == '0');
    // Only whole single-byte separators were stripped.
    for (size_t i = n; i < text.size(); ++i)
        FUZZ_CHECK(IsSeparator(text[i]) && SingleBytes(text, lead)[i] == '1');
    char again[PathCapacity];
    CopyText(again, strip);
    StripTrailingSeparators(again);
    FUZZ_CHECK(std::strcmp(strip, again) == 0);

    char cut[PathCapacity];
    CopyText(cut, text.c_str());
    CutLastComponent(cut);
    FUZZ_CHECK(std::strlen(cut) < text.size() || text.empty());
    FUZZ_CHECK(text.compare(0, std::strlen(cut), cut) == 0);

    char complete[PathCapacity];
    CopyText(complete, strip);
    CompleteDriveRoot(complete);
    // A drive is a letter and a colon.
    char letter = static_cast<char>(strip[0] | 0x20);
    bool drive = n == 2 && strip[1] == ':' && letter >= 'a' && letter <= 'z';
    FUZZ_CHECK(std::strlen(complete) == n + (drive ? 1 : 0));

    const char* quote = QuoteIfBlank(text.c_str());
    FUZZ_CHECK((*quote != '\0') == HoldsSingle(text, lead, " \t"));
    // The cut falls on a single-byte separator, or empties the text.
    size_t c = std::strlen(cut);
    FUZZ_CHECK(c == 0 || (IsSeparator(text[c]) && SingleBytes(text, lead)[c] == '1'));
    return 0;
}
