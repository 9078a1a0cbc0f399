// Bounded formatting: never reads past its texts, never writes past its buffer.
#include "launch/format_text.h"

namespace {

struct Sink {
    char* Out;
    size_t Capacity;
    size_t Used;
    bool Cut;

    void Put(char c)
    {
        if (Used + 1 < Capacity)
            Out[Used++] = c;
        else
            Cut = true;
    }
};

}  // namespace

bool FormatInto(char* out, size_t capacity, const char* format, const char* const* args,
                size_t count)
{
    if (capacity == 0)
        return false;
    Sink sink{out, capacity, 0, false};
    size_t next = 0;
    for (size_t i = 0; format[i] != '\0'; ++i) {
        if (format[i] == '%' && format[i + 1] == 's') {
            if (next < count)
                for (const char* p = args[next]; *p != '\0'; ++p)
                    sink.Put(*p);
            ++next;
            ++i;
        } else if (format[i] == '%' && format[i + 1] == '%') {
            sink.Put('%');
            ++i;
        } else {
            sink.Put(format[i]);
        }
    }
    out[sink.Used] = '\0';
    return !sink.Cut;
}
