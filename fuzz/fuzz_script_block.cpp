// The batch file's blocks: always whole, of exactly the length the format gives.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "launch/path_text.h"
#include "script/environment_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    std::string program = in.Text(PathCapacity - 1);
    std::string location = in.Text(PathCapacity - 1);
    const char* valueQuote = in.Byte() % 2 ? "\"" : "";
    static char block[ScriptBlockCapacity];
    size_t length = FormatEnvironmentBlock(block, program.c_str(), location.c_str(), valueQuote);
    size_t quotes = (*QuoteIfBlank(program.c_str()) ? 1 : 0) +
                    (*QuoteIfBlank(location.c_str()) ? 1 : 0) + (*valueQuote ? 1 : 0);
    FUZZ_CHECK(length == 93 + 3 * (program.size() + location.size()) + 6 * quotes);
    FUZZ_CHECK(length == std::strlen(block));
    FUZZ_CHECK(std::strncmp(block, "set PATH=", 9) == 0);
    FUZZ_CHECK(length >= 2 && std::strcmp(block + length - 2, "\r\n") == 0);
    return 0;
}
