// The Browse button's open-file dialog, listing only files of the target's name.
#include "launch/format_text.h"
#include "launch/launch_state.h"
#include "launch/path_text.h"
#include "launch/text.h"
#include "prompt/location_dialog.h"
#include "res/resource.h"

void BrowseForTarget(HostWindow dialog)
{
    char file[NameCapacity];
    CopyText(file, Launch.TargetFile);

    // One filter: the title as its display name, the target's own name as its pattern, and
    // the empty text that ends the list.
    char filter[TextCapacity + NameCapacity + 1];
    TextBuilder list(filter, sizeof filter);
    list.Append(Launch.ProductTitle);
    list.Put('\0');
    list.Append(Launch.TargetFile);
    list.Put('\0');  // the builder ends the text with the second NUL

    char format[TextCapacity] = "";
    char title[TextCapacity];
    HostLoadString(Launch.Instance, IDS_LOCATE, format, static_cast<int>(sizeof format));
    FormatText(title, format, Launch.ProductTitle);

    uint32_t attributes = HostGetFileAttributes(Launch.Location);
    bool isDirectory = attributes != HostNoAttributes && (attributes & HostAttributeDirectory) != 0;

    HostOpenFileRequest request{};
    request.Owner = dialog;
    request.Filter = filter;
    request.File = file;
    request.FileCapacity = sizeof file;
    request.InitialDir = isDirectory ? Launch.Location : nullptr;
    request.Title = title;
    request.Flags = HostOfnFlags;
    if (!HostGetOpenFileName(&request))
        return;

    CutLastComponent(file);
    CompleteDriveRoot(file);  // a file in a drive's root gives D:, completed to D:\ .
    CopyText(Launch.Location, file);
}
