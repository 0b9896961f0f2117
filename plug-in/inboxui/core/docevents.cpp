#include "plug-in/inboxui/core/docevents.h"

#include "common/handles.h"
#include "plug-in/inboxui/core/coverpage.h"
#include "plug-in/inboxui/core/watermark.h"

#include <cmath>
#include <cstring>

namespace corv::ui {

const WatermarkRecord& ChooseWatermark(const JobSettings& record, DWORD pageNumber) {
    switch (record.dwWatermarkOrder) {
    case 1: return record.wmFirst;
    case 2: return (pageNumber % 2 == 1) ? record.wmFirst : record.wmOther;
    case 3: return pageNumber == 1 ? record.wmFirst : record.wmOther;
    default: return record.wmOther;
    }
}

bool DrawsUnderPage(const JobSettings& record) {
    return record.bWatermarks && record.bWatermarkOverPage == 0 && !record.bWatermarkOnEscape;
}

bool DrawsOverPage(const JobSettings& record) {
    return record.bWatermarks && record.bWatermarkOverPage == 1 && !record.bWatermarkOnEscape;
}

bool DrawsOnLogicalPage(const JobSettings& record) {
    return record.bWatermarks && record.bWatermarkOnEscape;
}

bool AddsFaxCoverPage(const JobSettings& record) {
    return record.dwOutputTo == kOutputFax && record.fax.bFaxCoverPage;
}

int FillEventFilter(void* out, ULONG cbOut) {
    constexpr ULONG kHeader = offsetof(DOCEVENT_FILTER, aDocEventCall);
    constexpr UINT kCount = sizeof(kFilteredEvents) / sizeof(kFilteredEvents[0]);
    // A block too small for the filter's own header cannot be answered at all.
    if (!out || cbOut < kHeader) return DOCUMENTEVENT_FAILURE;
    auto* filter = static_cast<DOCEVENT_FILTER*>(out);
    UINT room = filter->cElementsAllocated;
    UINT fits = (cbOut - kHeader) / sizeof(DWORD);
    if (room > fits) room = fits;
    if (room >= kCount) {
        for (UINT i = 0; i < kCount; ++i) filter->aDocEventCall[i] = kFilteredEvents[i];
        filter->cElementsReturned = kCount;
    } else {
        filter->cElementsNeeded = kCount;
    }
    return DOCUMENTEVENT_SUCCESS;
}

bool ReadLogicalPage(const void* data, int size, LogicalPage* page) {
    if (!data || !page || size < kLogicalPageSize) return false;
    // The description comes from outside this system, with no alignment promised: copy the
    // fields out rather than cast.
    const BYTE* bytes = static_cast<const BYTE*>(data);
    LogicalPage read{};
    std::memcpy(&read.pageNumber, bytes + 28, sizeof(read.pageNumber));
    std::memcpy(&read.devmode, bytes + 48, sizeof(read.devmode));
    std::memcpy(&read.rect, bytes + 56, sizeof(read.rect));
    std::memcpy(&read.scale, bytes + 104, sizeof(read.scale));
    if (!read.devmode || !std::isfinite(read.scale)) return false;
    *page = read;
    return true;
}

namespace {

static_assert(sizeof(RECT) == 16 && sizeof(float) == 4 && sizeof(void*) == 8);

// The escapes of one event on one device context.
class Escapes {
public:
    Escapes(const DocEventCalls& calls, HDC dc) : calls_(calls), dc_(dc) {}

    // An escape answered by its result alone. Counter escapes are sent with an output size of
    // four and no block, as the rendering plug-in has always been asked them.
    int Ask(int code, int cbOut = 0) const { return calls_.extEscape(dc_, code, 0, nullptr, cbOut, nullptr); }
    int Read(int code, void* out, int size) const {
        return calls_.extEscape(dc_, code, 0, nullptr, size, static_cast<LPSTR>(out));
    }

    // The size the rendering plug-in answers for a record, when a block of `capacity` bytes holds
    // it. The answer is a byte count: as an int, anything negative is beyond every block.
    bool AskSize(int code, int capacity, int* size) const {
        *size = Ask(code);
        return static_cast<unsigned>(*size) <= static_cast<unsigned>(capacity);
    }
    // A fetch counts only when it answers the size asked; otherwise the block may hold nothing.
    bool Fetch(int code, void* out, int size) const { return Read(code, out, size) == size; }
    // Fetched before every watermark, as the protocol has it; the drawing takes its own time.
    void FetchStartTime() const {
        SYSTEMTIME time{};
        Read(esc::kStartTime, &time, sizeof(time));
    }

private:
    const DocEventCalls& calls_;
    HDC dc_;
};

// Fresh copies of the rendering plug-in's answers, zero where it did not answer.
struct JobCopies {
    HeapArray<JobSettings> record{1};
    HeapArray<DEVMODEW> devmode{1};
    explicit operator bool() const { return record && devmode; }
};

// The sizes of the job settings record and the DEVMODE, each within its block.
struct JobSizes {
    int record = 0;
    int devmode = 0;
};

bool AskJobSizes(const Escapes& escapes, JobSizes* sizes) {
    return escapes.AskSize(esc::kGetRecord, kMaxRecordAnswer, &sizes->record) &&
           escapes.AskSize(esc::kGetDevMode, kMaxDevModeAnswer, &sizes->devmode);
}

bool FetchJob(const Escapes& escapes, const JobSizes& sizes, JobCopies& job) {
    return escapes.Fetch(esc::kGetRecord, job.record.get(), sizes.record) &&
           escapes.Fetch(esc::kGetDevMode, job.devmode.get(), sizes.devmode);
}

int StartPage(const DocEventCalls& calls, HANDLE printer, HDC dc) {
    Escapes escapes(calls, dc);
    if (escapes.Ask(esc::kPageSkipped)) return DOCUMENTEVENT_SUCCESS;
    escapes.Ask(esc::kNextPage, 4);
    JobSizes sizes;
    if (!AskJobSizes(escapes, &sizes)) return DOCUMENTEVENT_SUCCESS;
    JobCopies job;
    if (!job || !FetchJob(escapes, sizes, job)) return DOCUMENTEVENT_SUCCESS;
    DWORD page = static_cast<DWORD>(escapes.Ask(esc::kPageNumber, 4));
    escapes.FetchStartTime();
    const JobSettings& record = *job.record.get();
    if (DrawsUnderPage(record))
        calls.drawWatermark(dc, printer, &record, job.devmode.get(), &ChooseWatermark(record, page), page, FALSE,
                            nullptr, 1.0f);
    return DOCUMENTEVENT_SUCCESS;
}

int EndPage(const DocEventCalls& calls, HANDLE printer, HDC dc) {
    Escapes escapes(calls, dc);
    if (escapes.Ask(esc::kPageSkipped)) {
        escapes.Ask(esc::kClearPageSkip);
        return DOCUMENTEVENT_SUCCESS;
    }
    JobSizes sizes;
    if (!AskJobSizes(escapes, &sizes)) return DOCUMENTEVENT_SUCCESS;
    JobCopies job;
    if (!job || !FetchJob(escapes, sizes, job)) return DOCUMENTEVENT_SUCCESS;
    const JobSettings& record = *job.record.get();
    if (DrawsOverPage(record)) {
        DWORD page = static_cast<DWORD>(escapes.Ask(esc::kPageNumber, 4));
        escapes.FetchStartTime();
        calls.drawWatermark(dc, printer, &record, job.devmode.get(), &ChooseWatermark(record, page), page, FALSE,
                            nullptr, 1.0f);
    }
    return DOCUMENTEVENT_SUCCESS;
}

int EndDoc(const DocEventCalls& calls, HANDLE printer, HDC dc) {
    Escapes escapes(calls, dc);
    JobSizes sizes;
    if (!AskJobSizes(escapes, &sizes)) return DOCUMENTEVENT_FAILURE;
    JobCopies job;
    if (!job) {
        escapes.Ask(esc::kResetPages, 4);
        return DOCUMENTEVENT_FAILURE;
    }
    LONG sheets = escapes.Ask(esc::kSheetCount, 4);
    // A fetch that comes back short is handled as memory that could not be had: no cover page,
    // but the page counter still starts again for the next document.
    if (!FetchJob(escapes, sizes, job)) {
        escapes.Ask(esc::kResetPages, 4);
        return DOCUMENTEVENT_FAILURE;
    }
    if (AddsFaxCoverPage(*job.record.get()))
        calls.drawFaxCoverPage(dc, printer, job.record.get(), job.devmode.get(), sheets);
    escapes.Ask(esc::kResetPages, 4);
    return DOCUMENTEVENT_SUCCESS;
}

int Escape(const DocEventCalls& calls, HANDLE printer, HDC dc, ULONG cbIn, const void* pvIn) {
    // The event's own input must hold a whole DOCEVENT_ESCAPE before any of it is read.
    if (!pvIn || cbIn < sizeof(DOCEVENT_ESCAPE)) return DOCUMENTEVENT_FAILURE;
    DOCEVENT_ESCAPE escape;
    std::memcpy(&escape, pvIn, sizeof(escape));
    Escapes escapes(calls, dc);
    if (escape.iEscape != esc::kLogicalPage || escapes.Ask(esc::kPageSkipped)) return DOCUMENTEVENT_SUCCESS;
    LogicalPage page;
    if (!ReadLogicalPage(escape.pvInData, escape.cjInput, &page)) return DOCUMENTEVENT_FAILURE;
    int size = 0;
    if (!escapes.AskSize(esc::kGetRecord, kMaxRecordAnswer, &size)) return DOCUMENTEVENT_FAILURE;
    HeapArray<JobSettings> copy(1);
    if (!copy || !escapes.Fetch(esc::kGetRecord, copy.get(), size)) return DOCUMENTEVENT_FAILURE;
    const JobSettings& record = *copy.get();
    if (DrawsOnLogicalPage(record)) {
        escapes.FetchStartTime();
        DWORD number = static_cast<DWORD>(page.pageNumber);
        calls.drawWatermark(dc, printer, &record, page.devmode, &ChooseWatermark(record, number), number, TRUE,
                            &page.rect, page.scale);
    }
    return DOCUMENTEVENT_SUCCESS;
}

}  // namespace

int WINAPI PlatformExtEscape(HDC dc, int code, int cbIn, LPCSTR in, int cbOut, LPSTR out) {
    return ExtEscape(dc, code, cbIn, in, cbOut, out);
}

const DocEventCalls& PrinterCalls() {
    static constexpr DocEventCalls calls{&PlatformExtEscape, &DrawWatermark, &DrawFaxCoverPage};
    return calls;
}

HRESULT HandleDocumentEvent(HANDLE printer, HDC dc, INT iEsc, ULONG cbIn, PVOID pvIn, ULONG cbOut, PVOID pvOut,
                            PINT piResult) {
    return HandleDocumentEvent(PrinterCalls(), printer, dc, iEsc, cbIn, pvIn, cbOut, pvOut, piResult);
}

HRESULT HandleDocumentEvent(const DocEventCalls& calls, HANDLE printer, HDC dc, INT iEsc, ULONG cbIn, PVOID pvIn,
                            ULONG cbOut, PVOID pvOut, PINT piResult) {
    if (!piResult) return E_FAIL;
    switch (iEsc) {
    case DOCUMENTEVENT_QUERYFILTER: *piResult = FillEventFilter(pvOut, cbOut); break;
    case DOCUMENTEVENT_STARTPAGE: *piResult = StartPage(calls, printer, dc); break;
    case DOCUMENTEVENT_ENDPAGE: *piResult = EndPage(calls, printer, dc); break;
    case DOCUMENTEVENT_ENDDOC: *piResult = EndDoc(calls, printer, dc); break;
    case DOCUMENTEVENT_ESCAPE: *piResult = Escape(calls, printer, dc, cbIn, pvIn); break;
    default: *piResult = DOCUMENTEVENT_SUCCESS; break;
    }
    return S_OK;
}

}  // namespace corv::ui
