// Document events of the printer's device context: which watermark goes on which page, drawn
// under or over the page's content or on each logical page, and the fax cover page at the end.
// Nothing is kept between events: the page counter, the job settings record and the DEVMODE
// live in the rendering plug-in and are asked for through private escapes every time.
#pragma once

#include "common/record.h"

namespace corv::ui {

// The private escapes the rendering plug-in answers, as far as this side uses them.
namespace esc {
inline constexpr int kGetDevMode = 0x10001;
inline constexpr int kGetRecord = 0x10002;
inline constexpr int kNextPage = 0x10003;
inline constexpr int kResetPages = 0x10004;
inline constexpr int kPageNumber = 0x10005;
inline constexpr int kSheetCount = 0x10009;
inline constexpr int kStartTime = 0x10010;
inline constexpr int kPageSkipped = 0x10022;
inline constexpr int kClearPageSkip = 0x10023;
// Sent by a caller outside this system through the device context; answered by neither plug-in.
inline constexpr int kLogicalPage = 0x1000E;
}  // namespace esc

// Largest answers the handler accepts for the two records it fetches.
inline constexpr int kMaxRecordAnswer = static_cast<int>(kRecordSize);
inline constexpr int kMaxDevModeAnswer = static_cast<int>(sizeof(DEVMODEW));

// wmFirst on every page of "All Pages", on odd pages of "Odd/Even" and on page 1 of
// "First/Other"; wmOther everywhere else.
const WatermarkRecord& ChooseWatermark(const JobSettings& record, DWORD pageNumber);

// Where the job's watermark is drawn. Under the page means at its start, before the content;
// over the page at its end. On the logical-page path neither page event draws.
bool DrawsUnderPage(const JobSettings& record);
bool DrawsOverPage(const JobSettings& record);
bool DrawsOnLogicalPage(const JobSettings& record);
bool AddsFaxCoverPage(const JobSettings& record);

// The events this handler wants to see, in the order the driver lists them.
inline constexpr DWORD kFilteredEvents[] = {DOCUMENTEVENT_STARTPAGE, DOCUMENTEVENT_ENDDOC, DOCUMENTEVENT_ENDPAGE,
                                            DOCUMENTEVENT_ESCAPE};

// Answers DOCUMENTEVENT_QUERYFILTER into the driver's filter of cbOut bytes; returns the event
// result. Room is what the filter announces, as far as cbOut really holds it.
int FillEventFilter(void* filter, ULONG cbOut);

// One logical page as its 0x1000E description gives it.
struct LogicalPage {
    LONG pageNumber;
    const DEVMODEW* devmode;  // the caller's, valid for the duration of the event
    RECT rect;
    float scale;
};

// Reads the description from the escape's input data. False when the data is missing, shorter
// than the description (a negative size counts as short), has no DEVMODE or a scale that is
// not a finite number.
inline constexpr int kLogicalPageSize = 108;
bool ReadLogicalPage(const void* data, int size, LogicalPage* page);

// What the handler calls beyond itself. The product uses the platform's ExtEscape and the UI
// plug-in's drawing; tests put stand-ins here.
struct DocEventCalls {
    int(WINAPI* extEscape)(HDC, int, int, LPCSTR, int, LPSTR);
    BOOL (*drawWatermark)(HDC dc, HANDLE printer, const JobSettings* record, const DEVMODEW* devmode,
                          const WatermarkRecord* wm, DWORD pageNumber, BOOL hasRect, const RECT* rect, float scale);
    BOOL (*drawFaxCoverPage)(HDC dc, HANDLE printer, const JobSettings* record, const DEVMODEW* devmode,
                             LONG pageCount);
};

// The platform's ExtEscape, reached through this module's import at every call, so that whatever
// stands in the driver's escape chain for the device context is the one asked.
int WINAPI PlatformExtEscape(HDC dc, int code, int cbIn, LPCSTR in, int cbOut, LPSTR out);

HRESULT HandleDocumentEvent(const DocEventCalls& calls, HANDLE printer, HDC dc, INT iEsc, ULONG cbIn, PVOID pvIn,
                            ULONG cbOut, PVOID pvOut, PINT piResult);

}  // namespace corv::ui
