// The Escape hook: the private escapes between the two plug-ins, the filter on applications'
// PostScript escapes and the image-mask bracket on passthrough data.
#pragma once

#include "common/platform/oemintf.h"

namespace corv::render {

// Private escape codes; the UI plug-in uses the same numbers.
enum PrivateEscape : ULONG {
    kEscGetPublicDevMode = 0x10001,
    kEscGetRecord = 0x10002,
    kEscNextPage = 0x10003,
    kEscResetPageCount = 0x10004,
    kEscGetPageCount = 0x10005,
    kEscGetJobState = 0x10006,
    kEscSetCoverPageActive = 0x10008,
    kEscGetSheetCount = 0x10009,
    kEscSetRecord = 0x1000A,
    kEscSetJobState = 0x1000B,
    kEscSetPublicDevMode = 0x1000C,
    kEscGetJobId = 0x1000D,
    kEscGetStartTime = 0x10010,
    kEscAnnouncedOnly = 0x10017,  // announced as supported, never handled
    kEscDuplexMode1 = 0x10018,
    kEscDuplexMode2 = 0x10019,
    kEscHasManualDuplex = 0x10020,
    kEscSetPageSkip = 0x10021,
    kEscGetPageSkip = 0x10022,
    kEscClearPageSkip = 0x10023,
    kEscSetPendingPageValue = 0x10024,
};

// The hooked DrvEscape. dhpdev of the surface is the core driver's device object.
ULONG APIENTRY HookEscape(SURFOBJ* surface, ULONG code, ULONG inSize, PVOID in, ULONG outSize, PVOID out);

// What QUERYESCSUPPORT answers for a code without asking the core driver: 1 or 0, or -1 when
// the question goes on to the core driver.
int EscapeSupport(ULONG code, bool blockAppPostScript);

// escapePageCount in sheets of n pages; n below 1 counts as 1.
ULONG SheetCount(ULONG pages, LONG pagesPerSheet);

}  // namespace corv::render
