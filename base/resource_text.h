// The program's own texts, from its string table, in buffers of fixed capacity.
#pragma once
#include <cstddef>
#include <cstdint>

#include "host/host.h"
#include "base/launch_state.h"

// String id, cut to the buffer's capacity; the empty text when the table has none.
template <size_t N>
void LoadText(uint32_t id, char (&buffer)[N])
{
    buffer[0] = '\0';
    HostLoadString(Launch.Instance, id, buffer, static_cast<int>(N));
}
