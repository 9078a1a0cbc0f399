// The Browse button's open-file dialog, listing only files of the target's name.
#include "base/format_text.h"
#include "base/launch_state.h"
#include "base/path_text.h"
#include "base/resource_text.h"
#include "base/text.h"
#include "base/wide_text.h"
#include "prompt/file_browser.h"
#include "res/resource.h"

BrowseResult BrowseForTarget(HostWindow dialog)
{
    static HostWideChar file[NameCapacity];
    Widen(Launch.TargetFile, file);

    // One filter: the title as its display name, the target's own name as its pattern, and
    // the empty text that ends the list.
    static HostWideChar filter[TextCapacity + NameCapacity + 1];
    size_t used = 0;
    const char* parts[] = {Launch.ProductTitle, Launch.TargetFile};
    for (const char* part : parts) {
        WidenInto(part, filter + used, sizeof filter / sizeof filter[0] - used - 1);
        used += WideLength(filter + used) + 1;
    }
    filter[used] = 0;

    char format[TextCapacity];
    char title[TextCapacity];
    LoadText(IDS_LOCATE, format);
    FormatText(title, format, Launch.ProductTitle);
    static HostWideChar wideTitle[TextCapacity];
    Widen(title, wideTitle);

    uint32_t attributes = HostGetFileAttributes(Launch.Location);
    bool isDirectory = attributes != HostNoAttributes && (attributes & HostAttributeDirectory) != 0;
    static HostWideChar initialDir[WidePathCapacity];
    Widen(Launch.Location, initialDir);

    HostOpenFileRequest request{};
    request.Owner = dialog;
    request.Filter = filter;
    request.File = file;
    request.FileCapacity = NameCapacity;
    request.InitialDir = isDirectory ? initialDir : nullptr;
    request.Title = wideTitle;
    request.Flags = HostOfnFlags;
    if (!HostGetOpenFileName(&request))
        return BrowseResult::Cancelled;

    char chosen[NameCapacity];
    if (AnsiName(file, chosen) == NameForm::Unusable)
        return BrowseResult::Unusable;
    CutLastComponent(chosen);
    CompleteDriveRoot(chosen);  // a file in a drive's root gives D:, completed to D:\ .
    CopyText(Launch.Location, chosen);
    return BrowseResult::Chosen;
}
