#include "plug-in/render/inject.h"

#include "common/coreboundary.h"
#include "common/text.h"
#include "plug-in/render/jobstate.h"
#include "plug-in/render/nupproc.h"
#include "plug-in/render/pjl.h"

namespace corv::render {
namespace {

constexpr DWORD kOutputEps = 2;
constexpr DWORD kOutputFax = 3;

constexpr char kDuplexMode1[] =
    "statusdict dup /setmanualduplexmode known {begin 1 setmanualduplexmode end}{pop}ifelse\n";
constexpr char kDuplexMode2[] =
    "statusdict dup /setmanualduplexmode known {begin 2 setmanualduplexmode end}{pop}ifelse\n";

// The fax cover page is drawn inside the job: whatever n-up state the job is in, its page must
// neither start nor finish a sheet.
constexpr char kCoverPageNoNup[] =
    "/definenup {pop pop pop pop pop pop} def\n"
    "/definenup {pop pop pop pop pop pop} def\n"
    "/startnup {pop pop} def\n"
    "userdict /realshowpage known {finalpage} if\r\n"
    "/finalpage {} def\n";

// First page of a sheet: the core driver's own n-up calls must not act, their operands are kept.
constexpr char kNupDisabled[] = "/definenup {} def\n/startnup {} def\n/finalpage {} def\n";
constexpr char kFinishSheet[] = "finalpage\n";
constexpr char kCallDefineNup[] = "dn6 dn5 dn4 dn3 dn2 dn1 definenup\n";
constexpr char kCallStartNup[] = "sn2 sn1 startnup\n";

constexpr char kRotate180[] = "clippath pathbbox translate 180 rotate pop pop\r\n";
constexpr char kStoreCell[] = "/sn1 exch def\n/sn2 exch def\n";
constexpr char kStoreGrid[] =
    "/dn1 exch def\n/dn2 exch def\n/dn3 exch def\n/dn4 exch def\n/dn5 exch def\n/dn6 exch def\n";

constexpr char kErasePage[] = "erasepage\n";

constexpr char kDefineNup[] =
    "\n/definenup {/LH/nupshowpage ld nupv astore !/pgx_nup 0 store/pgy_nup 0 store} def\n";
constexpr char kFinishIfShowing[] = "userdict /realshowpage known {finalpage} if\r\n";
constexpr char kDefineFinalPage[] = "/finalpage {; realshowpage/LH/realshowpage ld} def\n";

constexpr size_t kNupBlockCapacity = 2048;
static_assert(sizeof kDefineNup + kStartNupProcedureLength + sizeof kFinishIfShowing + sizeof kDefineFinalPage <
              kNupBlockCapacity);

void WriteDuplexModeSwitch(JobState& state, Sink& out) {
    if (state.duplexModeRequest == 1) {
        out.Write(kDuplexMode1);
        state.duplexModeRequest &= static_cast<WORD>(~1u);
    } else if (state.duplexModeRequest == 2) {
        out.Write(kDuplexMode2);
        state.duplexModeRequest &= static_cast<WORD>(~2u);
    }
    // Both requested at once is contradictory: neither is sent, and both stay pending.
}

// The fax cover page: its n-up calls only take their operands off the stack.
bool CoverPageNow(const JobState& state, const JobSettings& record) {
    return record.dwOutputTo == kOutputFax && record.fax.bFaxCoverPage && state.coverPageActive;
}

bool LastPageSlot(LONG position, const SheetLayout& layout) {
    return position == 2 || (position == 0 && layout.pagesPerSheet == 2);
}

bool ManualDuplex(IPrintCorePS2* helper, PDEVOBJ device) {
    if (!device->pPublicDM) return false;
    short duplex = device->pPublicDM->dmDuplex;
    return (duplex == DMDUP_VERTICAL || duplex == DMDUP_HORIZONTAL) && HasFeature(helper, device, "HasManualDuplex");
}

LONG ReadPagesPerSheet(IPrintCorePS2* helper, PDEVOBJ device) {
    return PagesPerSheet(helper, device, BookletMatch::IgnoreCase);
}

SheetLayout ReadLayout(IPrintCorePS2* helper, PDEVOBJ device) {
    SheetLayout layout;
    layout.manualDuplex = ManualDuplex(helper, device);
    layout.pagesPerSheet = ReadPagesPerSheet(helper, device);
    return layout;
}

}  // namespace

DWORD SheetOf(DWORD pageCount, LONG pagesPerSheet) {
    if (pagesPerSheet <= 0) return 1;
    if (pagesPerSheet == 1) return pageCount;
    ULONGLONG n = static_cast<ULONGLONG>(pagesPerSheet);
    return static_cast<DWORD>((pageCount + n - 1) / n);
}

LONG PositionOf(DWORD pageCount, LONG pagesPerSheet) {
    if (pagesPerSheet <= 0) return 0;
    return static_cast<LONG>(pageCount) % pagesPerSheet;
}

bool IsNupPage(DWORD pageCount, const SheetLayout& layout) {
    return layout.manualDuplex && pageCount >= 1 && SheetOf(pageCount, layout.pagesPerSheet) >= 1 &&
           layout.pagesPerSheet >= 2;
}

NupCall BeginPageNupCall(DWORD pageCount, const SheetLayout& layout) {
    if (!IsNupPage(pageCount, layout)) return NupCall::None;
    LONG position = PositionOf(pageCount, layout.pagesPerSheet);
    if (position == 1) return NupCall::Disable;
    if (pageCount == 2) return NupCall::Start;
    if (LastPageSlot(position, layout)) return NupCall::FinishAndStart;
    return NupCall::None;
}

void WriteVersionComment(Sink& out) {
    TextBuf<64> line;
    line.appendf("%%%%Corvane PS System Driver Version:  %s\n", "3.0");
    out.Write(line.text);
}

void WritePageSizePolicy(const JobSettings& record, Sink& out) {
    if (record.dwOutputTo == kOutputEps) return;  // an EPS file must not change the page device
    TextBuf<256> block;
    block.appendf(
        "[{\r\n<< currentpagedevice /InputAttributes get 0 get /PageSize get /PageSize exch /Policies << /PageSize %d "
        ">> >> setpagedevice\r\n} stopped cleartomark\r\n",
        static_cast<int>(record.wPageSizePolicy));
    out.Write(block.text);
}

void PageNumber(JobState& state, LONG pagesPerSheet, Sink& out) {
    TextBuf<64> comment;
    int page = static_cast<int>(state.pageCount + 1);  // the page about to begin
    comment.appendf("%%%%Page: %d %d\n", page, page);
    out.Write(comment.text);
    // With several pages per sheet the switch waits for the page trailer, where the sheet is known.
    if (pagesPerSheet == 1) WriteDuplexModeSwitch(state, out);
}

void BeginPageSetup(JobState& state, const JobSettings& record, const SheetLayout& layout, Sink& out) {
    ++state.pageCount;
    if (CoverPageNow(state, record)) {
        out.Write(kCoverPageNoNup);
        return;
    }
    switch (BeginPageNupCall(state.pageCount, layout)) {
        case NupCall::None:
            break;
        case NupCall::Disable:
            out.Write(kNupDisabled);
            break;
        case NupCall::Start:
            out.Write(kCallDefineNup);
            out.Write(kCallStartNup);
            break;
        case NupCall::FinishAndStart: {
            TextBuf<sizeof kFinishSheet + sizeof kCallDefineNup + sizeof kCallStartNup> block;
            block.append(kFinishSheet);
            block.append(kCallDefineNup);
            block.append(kCallStartNup);
            out.Write(block.text);
            break;
        }
    }
}

void EndPageSetup(JobState& state, const JobSettings& record, const SheetLayout& layout, Sink& out) {
    if (record.bRotate180) out.Write(kRotate180);
    if (!IsNupPage(state.pageCount, layout)) return;
    LONG position = PositionOf(state.pageCount, layout.pagesPerSheet);
    if (position == 1 && !CoverPageNow(state, record)) {
        // The core driver's page setup left the n-up operands on the stack: keep them for the
        // second page of the sheet, which makes the calls. On the cover page the calls took them
        // (see the begin page setup): taking them again would stop the job on an empty stack.
        out.Write(kStoreCell);
        out.Write(kStoreGrid);
    }
    if (state.pageSkipFlag) {
        if (LastPageSlot(position, layout)) state.eraseArmed = 1;
        if (position == 1 && state.pageCount != 1 && state.eraseArmed) {
            state.eraseAtTrailer = 1;
            state.eraseArmed = 0;
        }
    }
}

void PageTrailer(JobState& state, const SheetLayout& layout, Sink& out) {
    if (!layout.manualDuplex || layout.pagesPerSheet < 2) return;
    WriteDuplexModeSwitch(state, out);
    if (state.pageCount >= 1 && SheetOf(state.pageCount, layout.pagesPerSheet) >= 1 && state.eraseAtTrailer) {
        out.Write(kErasePage);
        state.eraseAtTrailer = 0;
    }
}

void ShowPage(JobState& state, const SheetLayout& layout, Sink& out) {
    if (IsNupPage(state.pageCount, layout) && PositionOf(state.pageCount, layout.pagesPerSheet) == 1) {
        TextBuf<kNupBlockCapacity> block;
        block.append(kDefineNup);
        block.append(kStartNupProcedure);
        block.append(kFinishIfShowing);
        block.append(kDefineFinalPage);
        out.Write(block.text);
    }
    state.pendingPageValue = 0;
}

HRESULT HandleInjection(PDEVOBJ device, IPrintCorePS2* helper, DWORD point) {
    if (!device || !helper || !device->pOEMDM || !device->pdevOEM) return E_FAIL;
    JobState& state = *static_cast<JobState*>(device->pdevOEM);
    const JobSettings& record = *static_cast<const JobSettings*>(device->pOEMDM);
    SpoolSink out(helper, device);

    switch (point) {
        case PSINJECT_BEGINSTREAM:
            BeginStream(device, helper);
            return S_OK;
        case PSINJECT_PSADOBE:
            RoutingAndColour(device, helper);
            return S_OK;
        case PSINJECT_EOF:
            EndStream(device, helper);
            return S_OK;
        case PSINJECT_COMMENTS:
            WriteVersionComment(out);
            return S_OK;
        case PSINJECT_BEGINSETUP:
            WritePageSizePolicy(record, out);
            return S_OK;
        case PSINJECT_PAGENUMBER:
            PageNumber(state, ReadPagesPerSheet(helper, device), out);
            return S_OK;
        case PSINJECT_BEGINPAGESETUP:
            BeginPageSetup(state, record, ReadLayout(helper, device), out);
            return S_OK;
        case PSINJECT_ENDPAGESETUP:
            EndPageSetup(state, record, ReadLayout(helper, device), out);
            return S_OK;
        case PSINJECT_PAGETRAILER:
            PageTrailer(state, ReadLayout(helper, device), out);
            return S_OK;
        case PSINJECT_SHOWPAGE:
            ShowPage(state, ReadLayout(helper, device), out);
            return S_OK;
        default:
            return E_NOTIMPL;
    }
}

}  // namespace corv::render
