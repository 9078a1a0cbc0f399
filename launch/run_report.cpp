// The run's reports of what it could not do.
#include "launch/run_report.h"

#include "host/host.h"
#include "base/format_text.h"
#include "base/resource_text.h"
#include "base/text.h"
#include "base/wide_text.h"
#include "res/resource.h"

namespace {

// Room for the longest command line with the words around it.
constexpr size_t ReportCapacity = 4 * TextCapacity;

}  // namespace

bool IsUnattended()
{
    char value[4] = "";
    uint32_t n = HostGetEnvironmentVariable("NRCDROM_UNATTENDED", value, sizeof value);
    return n != 0 && !(n == 1 && value[0] == '0');
}

// In the console's own Unicode call on a console, else in cmd's code page, so that type
// shows a logged folder name as it is.
void TellStandardError(const char* line)
{
    HostFile standardError = HostGetStdHandle(HostStdErrorHandle);
    if (standardError == nullptr)
        return;
    if (HostGetConsoleMode(standardError)) {
        static HostWideChar wide[ReportCapacity];
        if (Widen(line, wide))
            HostWriteConsole(standardError, wide, static_cast<uint32_t>(WideLength(wide)));
        return;
    }
    static char text[2 * ReportCapacity];
    size_t n = ConsoleTextInto(line, text, sizeof text);
    HostWriteFile(standardError, text, static_cast<uint32_t>(n));
}

void SystemReason(uint32_t error, char (&reason)[TextCapacity])
{
    uint32_t n = HostFormatMessage(error, reason, sizeof reason);
    if (n == 0 || n >= sizeof reason) {
        char digits[12];
        size_t at = sizeof digits - 1;
        digits[at] = '\0';
        do {
            digits[--at] = static_cast<char>('0' + error % 10);
            error /= 10;
        } while (error != 0);
        CopyText(reason, "error ");
        AppendText(reason, digits + at);
        return;
    }
    while (n > 0 && (reason[n - 1] == '\r' || reason[n - 1] == '\n' || reason[n - 1] == ' '))
        --n;
    reason[n] = '\0';
}

void ReportStartFailure(const char* commandLine, uint32_t error)
{
    char reason[TextCapacity];
    char format[TextCapacity];
    static char text[ReportCapacity];
    SystemReason(error, reason);
    if (IsUnattended()) {
        LoadText(IDS_UNATTENDED_START_FAILED, format);
        FormatText(text, format, reason, commandLine);
        TellStandardError(text);
        return;
    }
    char caption[TextCapacity];
    LoadText(IDS_START_FAILED, format);
    FormatText(text, format, commandLine, reason);
    LoadText(IDS_START_FAILED_CAPTION, caption);
    HostMessageBox(nullptr, text, caption, HostMbIconError);
}

void ReportScriptFailure(uint32_t error, const char* folder)
{
    if (!IsUnattended())
        return;
    char format[TextCapacity];
    static char text[ReportCapacity];
    if (folder[0] != '\0') {
        LoadText(IDS_UNATTENDED_UNSPELLABLE, format);
        FormatText(text, format, Launch.ScriptPath, folder);
    } else {
        char reason[TextCapacity];
        SystemReason(error, reason);
        LoadText(IDS_UNATTENDED_SCRIPT_FAILED, format);
        FormatText(text, format, Launch.ScriptPath, reason);
    }
    TellStandardError(text);
}
