// The batch file's blocks: always whole, of exactly the length the format gives.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "tests/fake/fake_host.h"
#include "base/path_text.h"
#include "script/environment_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    ResetFake();
    if (in.Byte() % 2)
        UseCodePage932();
    const std::set<unsigned char>& lead = Fake().LeadBytes;
    std::string program = in.Text(PathCapacity - 1);
    std::string location = in.Text(PathCapacity - 1);
    const char* valueQuote = in.Byte() % 2 ? "\"" : "";
    static char block[ScriptBlockCapacity];
    size_t length = FormatEnvironmentBlock(block, program.c_str(), location.c_str(), valueQuote);
    // Each root is quoted when cmd would read one of its single bytes as syntax, and each of
    // its per-cent signs is written twice.
    const char* syntax = " \t&|<>^";
    size_t quotes = (HoldsSingle(program, lead, syntax) ? 1 : 0) +
                    (HoldsSingle(location, lead, syntax) ? 1 : 0) + (*valueQuote ? 1 : 0);
    auto written = [](const std::string& root) {
        size_t n = root.size();
        for (char c : root)
            n += c == '%' ? 1 : 0;
        return n;
    };
    FUZZ_CHECK(length == 93 + 3 * (written(program) + written(location)) + 6 * quotes);
    FUZZ_CHECK(length == std::strlen(block));
    FUZZ_CHECK(std::strncmp(block, "set PATH=", 9) == 0);
    FUZZ_CHECK(length >= 2 && std::strcmp(block + length - 2, "\r\n") == 0);
    return 0;
}
