// The command-line tail: always a suffix of the line, never starting with a blank or control.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "base/command_tail.h"
#include "tests/fake/fake_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    ResetFake();
    uint8_t lead = in.Byte();
    if (lead >= 0x80)
        Fake().LeadBytes = {lead};
    std::string line = in.Text();
    const char* tail = CutCommandTail(line.c_str());
    FUZZ_CHECK(tail >= line.c_str() && tail <= line.c_str() + line.size());
    FUZZ_CHECK(std::strlen(tail) == line.size() - static_cast<size_t>(tail - line.c_str()));
    FUZZ_CHECK(*tail == '\0' || static_cast<unsigned char>(*tail) > 0x20);
    return 0;
}
