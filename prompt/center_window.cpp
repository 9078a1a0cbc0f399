// Centring the dialog on the desktop.
#include "prompt/center_window.h"

namespace {

// Each width and height is halved on its own, signed and toward zero, before subtracting.
int32_t Half(int32_t extent)
{
    return extent / 2;
}

}  // namespace

void CenterOnDesktop(HostWindow window, HostWindow reference)
{
    HostRect w{};
    HostRect r{};
    HostGetWindowRect(window, &w);
    HostGetWindowRect(reference, &r);
    int32_t x = r.Left + Half(r.Right - r.Left) - Half(w.Right - w.Left);
    int32_t y = r.Top + Half(r.Bottom - r.Top) - Half(w.Bottom - w.Top);
    HostSetWindowPos(window, nullptr, x, y, 0, 0, HostSwpNoSizeNoZOrder);
}
