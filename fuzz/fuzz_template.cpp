// Template expansion: never cut, never past its texts, and a template without a per-cent
// sign is itself.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "launch/launch_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    std::string commandTemplate = in.Text(TemplateCapacity - 1);
    std::string dir = in.Text(PathCapacity - 1) + "\\";
    std::string probe = dir + in.Text(NameCapacity - 1);
    static char out[ChildCommandLineCapacity];
    ExpandCommandTemplate(out, commandTemplate.c_str(), probe.c_str(), dir.c_str());
    size_t length = std::strlen(out);
    FUZZ_CHECK(length < sizeof out - 1);

    // The length the rules give, counted on their own terms.
    size_t expected = 0;
    int next = 0;
    std::string firstWord = commandTemplate.substr(0, commandTemplate.find_first_of(" \t"));
    bool quote = commandTemplate.compare(0, 2, "%s") == 0 &&
                 probe.find_first_of(" \t") != std::string::npos &&
                 firstWord.find('"') == std::string::npos;
    for (size_t i = 0; i < commandTemplate.size(); ++i) {
        if (commandTemplate[i] == '%' && i + 1 < commandTemplate.size() &&
            commandTemplate[i + 1] == 's') {
            expected += next == 0 ? probe.size() : next < 4 ? dir.size() : 0;
            ++next;
            ++i;
        } else if (commandTemplate[i] == '%' && i + 1 < commandTemplate.size() &&
                   commandTemplate[i + 1] == '%') {
            ++expected;
            ++i;
        } else {
            ++expected;
        }
    }
    FUZZ_CHECK(length == expected + (quote ? 2 : 0));
    if (quote)
        FUZZ_CHECK(out[0] == '"' && std::strncmp(out + 1, probe.c_str(), probe.size()) == 0);
    if (commandTemplate.find('%') == std::string::npos)
        FUZZ_CHECK(commandTemplate == out);
    return 0;
}
