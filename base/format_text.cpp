// Bounded formatting: never reads past its texts, never writes past its buffer.
#include "base/format_text.h"

#include "base/text.h"

bool FormatInto(char* out, size_t capacity, const char* format, const char* const* args,
                size_t count)
{
    TextBuilder sink(out, capacity);
    size_t next = 0;
    for (size_t i = 0; format[i] != '\0'; ++i) {
        if (format[i] == '%' && format[i + 1] == 's') {
            if (next < count)
                sink.Append(args[next]);
            ++next;
            ++i;
        } else if (format[i] == '%' && format[i + 1] == '%') {
            sink.Put('%');
            ++i;
        } else {
            sink.Put(format[i]);
        }
    }
    return !sink.Cut();
}
