// PostScript the rendering plug-in adds at the core driver's injection points.
#pragma once

#include "common/platform/oemintf.h"
#include "common/record.h"
#include "plug-in/render/spool.h"

namespace corv::render {

struct JobState;

// 0 (S_OK) when the point is handled, also when nothing needed writing; E_NOTIMPL for a point the
// plug-in does not inject at; E_FAIL when the device, helper, record or job state is missing.
HRESULT HandleInjection(PDEVOBJ device, IPrintCorePS2* helper, DWORD point);

// The two printer settings the page points depend on; the shell reads them afresh at each point.
struct SheetLayout {
    LONG pagesPerSheet = 1;  // 1 for a booklet, 0 for an option that is not a number
    bool manualDuplex = false;
};

// The sheet a page count has reached: the count itself for one page per sheet, the count divided
// by the pages per sheet rounded up for more, 1 when there is no layout to divide by.
DWORD SheetOf(DWORD pageCount, LONG pagesPerSheet);

// The page's place on its sheet as a signed remainder: 1 is the first page of a sheet, 0 the last.
// 0 when there is no layout to divide by.
LONG PositionOf(DWORD pageCount, LONG pagesPerSheet);

// Pages that the plug-in's own n-up handles: manual duplex with at least two pages per sheet,
// once a page has begun.
bool IsNupPage(DWORD pageCount, const SheetLayout& layout);

// What the begin-page-setup point does about n-up for the page just begun.
enum class NupCall {
    None,            // nothing to write
    Disable,         // the first page of a sheet: the n-up calls become no-ops
    Start,           // the second page of the first sheet: call definenup and startnup
    FinishAndStart,  // later sheets: finish the previous sheet first
};
NupCall BeginPageNupCall(DWORD pageCount, const SheetLayout& layout);

// The pure halves of the points: each writes its pieces to the sink and keeps the job state's
// counters and flags.
void WriteVersionComment(Sink& out);
void WritePageSizePolicy(const JobSettings& record, Sink& out);
void PageNumber(JobState& state, LONG pagesPerSheet, Sink& out);
void BeginPageSetup(JobState& state, const JobSettings& record, const SheetLayout& layout, Sink& out);
void EndPageSetup(JobState& state, const JobSettings& record, const SheetLayout& layout, Sink& out);
void PageTrailer(JobState& state, const SheetLayout& layout, Sink& out);
void ShowPage(JobState& state, const SheetLayout& layout, Sink& out);

}  // namespace corv::render
