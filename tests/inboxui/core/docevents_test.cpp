#include "plug-in/inboxui/core/docevents.h"

#include "plug-in/render/escape.h"
#include "plug-in/render/jobstate.h"
#include "support/fakecore.h"
#include "support/iatpatch_ui.h"
#include "inboxui/core/printerdc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace corv;
using namespace corv::ui;

namespace {

JobSettings NamedRecord() {
    JobSettings r{};
    DefaultRecord(&r);
    wcscpy(r.wmFirst.szName, L"first");
    wcscpy(r.wmOther.szName, L"other");
    wcscpy(r.wmFirst.szText, L"FIRST");
    wcscpy(r.wmOther.szText, L"OTHER");
    r.bWatermarkOverPage = 0;
    return r;
}

std::wstring Name(const WatermarkRecord& wm) { return wm.szName; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Pure decisions

TEST(ChooseWatermark, FollowsTheOrderAndThePageNumber) {
    JobSettings r = NamedRecord();
    struct Row {
        DWORD order;
        const wchar_t* pages[5];  // pages 1..5
    } rows[] = {
        {0, {L"other", L"other", L"other", L"other", L"other"}},
        {1, {L"first", L"first", L"first", L"first", L"first"}},
        {2, {L"first", L"other", L"first", L"other", L"first"}},
        {3, {L"first", L"other", L"other", L"other", L"other"}},
        {9, {L"other", L"other", L"other", L"other", L"other"}},
    };
    for (const Row& row : rows) {
        r.dwWatermarkOrder = row.order;
        for (DWORD p = 1; p <= 5; ++p)
            EXPECT_EQ(Name(ChooseWatermark(r, p)), row.pages[p - 1]) << "order " << row.order << " page " << p;
    }
    r.dwWatermarkOrder = 3;
    EXPECT_EQ(Name(ChooseWatermark(r, 0)), L"other");  // a page never counted is not the first
}

TEST(WatermarkMoment, UnderOverOrLogicalPage) {
    struct Row {
        BOOL on, over, onEscape;
        bool under, overPage, logical;
    } rows[] = {
        {0, 0, 0, false, false, false}, {0, 1, 1, false, false, false}, {1, 0, 0, true, false, false},
        {1, 1, 0, false, true, false},  {1, 0, 1, false, false, true},  {1, 1, 1, false, false, true},
        {1, 2, 0, false, false, false},  // neither under nor over: no page event draws it
    };
    for (const Row& row : rows) {
        JobSettings r = NamedRecord();
        r.bWatermarks = row.on;
        r.bWatermarkOverPage = row.over;
        r.bWatermarkOnEscape = row.onEscape;
        EXPECT_EQ(DrawsUnderPage(r), row.under) << row.on << row.over << row.onEscape;
        EXPECT_EQ(DrawsOverPage(r), row.overPage) << row.on << row.over << row.onEscape;
        EXPECT_EQ(DrawsOnLogicalPage(r), row.logical) << row.on << row.over << row.onEscape;
    }
}

TEST(WatermarkMoment, CoverPageOnlyForFaxJobsThatAskForIt) {
    JobSettings r = NamedRecord();
    r.fax.bFaxCoverPage = 1;
    for (DWORD to = 0; to <= 7; ++to) {
        r.dwOutputTo = to;
        EXPECT_EQ(AddsFaxCoverPage(r), to == kOutputFax) << to;
    }
    r.fax.bFaxCoverPage = 0;
    EXPECT_FALSE(AddsFaxCoverPage(r));
}

namespace {

// A filter block with room for `room` entries and four more guard entries behind them.
struct FilterBlock {
    DOCEVENT_FILTER head;
    DWORD more[8];
};

ULONG FilterBytes(UINT entries) { return offsetof(DOCEVENT_FILTER, aDocEventCall) + entries * sizeof(DWORD); }

}  // namespace

TEST(EventFilter, ListsTheFourEventsWhenThereIsRoom) {
    FilterBlock f{};
    f.head.cbSize = FilterBytes(4);
    f.head.cElementsAllocated = 4;
    f.head.cElementsNeeded = 77;
    EXPECT_EQ(FillEventFilter(&f, FilterBytes(4)), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(f.head.cElementsReturned, 4u);
    const DWORD* list = f.head.aDocEventCall;
    EXPECT_EQ((std::vector<DWORD>(list, list + 4)), (std::vector<DWORD>{6, 8, 7, 11}));
    EXPECT_EQ(f.more[3], 0u);  // nothing written beyond the four
}

TEST(EventFilter, ReportsFourNeededWhenTheRoomIsShort) {
    FilterBlock f{};
    f.head.cElementsAllocated = 3;
    EXPECT_EQ(FillEventFilter(&f, FilterBytes(3)), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(f.head.cElementsNeeded, 4u);
    EXPECT_EQ(f.head.cElementsReturned, 0u);
    EXPECT_EQ(f.head.aDocEventCall[0], 0u);
}

TEST(EventFilter, RoomIsWhatTheBlockReallyHolds) {
    // The filter claims room for 8 but the block given is only big enough for 2.
    FilterBlock f{};
    f.head.cElementsAllocated = 8;
    EXPECT_EQ(FillEventFilter(&f, FilterBytes(2)), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(f.head.cElementsNeeded, 4u);
    EXPECT_EQ(f.head.cElementsReturned, 0u);
    EXPECT_EQ(f.head.aDocEventCall[0], 0u);
}

TEST(EventFilter, MissingOrHeaderlessBlockFails) {
    EXPECT_EQ(FillEventFilter(nullptr, 64), DOCUMENTEVENT_FAILURE);
    FilterBlock f{};
    f.head.cElementsAllocated = 4;
    EXPECT_EQ(FillEventFilter(&f, 12), DOCUMENTEVENT_FAILURE);
    EXPECT_EQ(f.head.cElementsNeeded, 0u);
}

namespace {

// The 108-byte description of one logical page, as the sender of 0x1000E lays it out.
struct Description {
    BYTE bytes[kLogicalPageSize + 4] = {};
    Description(LONG page, const DEVMODEW* dm, RECT rect, float scale) {
        std::memset(bytes, 0xCD, sizeof(bytes));  // the unlisted bytes carry nothing meaningful
        std::memcpy(bytes + 28, &page, 4);
        std::memcpy(bytes + 48, &dm, 8);
        std::memcpy(bytes + 56, &rect, 16);
        std::memcpy(bytes + 104, &scale, 4);
    }
};

}  // namespace

TEST(LogicalPageDescription, ReadsItsFieldsAtTheirOffsets) {
    DEVMODEW dm{};
    Description d(7, &dm, RECT{10, 20, 3010, 4020}, 0.5f);
    LogicalPage page{};
    ASSERT_TRUE(ReadLogicalPage(d.bytes, kLogicalPageSize, &page));
    EXPECT_EQ(page.pageNumber, 7);
    EXPECT_EQ(page.devmode, &dm);
    EXPECT_EQ(page.rect.left, 10);
    EXPECT_EQ(page.rect.top, 20);
    EXPECT_EQ(page.rect.right, 3010);
    EXPECT_EQ(page.rect.bottom, 4020);
    EXPECT_EQ(page.scale, 0.5f);
    // Unaligned data is read just the same.
    BYTE shifted[kLogicalPageSize + 1];
    std::memcpy(shifted + 1, d.bytes, kLogicalPageSize);
    LogicalPage again{};
    ASSERT_TRUE(ReadLogicalPage(shifted + 1, kLogicalPageSize, &again));
    EXPECT_EQ(again.pageNumber, 7);
    EXPECT_EQ(again.devmode, &dm);
}

TEST(LogicalPageDescription, RefusesWhatCannotBeADescription) {
    DEVMODEW dm{};
    Description good(1, &dm, RECT{0, 0, 100, 100}, 1.0f);
    LogicalPage page{};
    page.pageNumber = -5;
    EXPECT_FALSE(ReadLogicalPage(good.bytes, kLogicalPageSize - 1, &page));
    EXPECT_FALSE(ReadLogicalPage(good.bytes, -1, &page));  // a size that lies below zero
    EXPECT_FALSE(ReadLogicalPage(nullptr, kLogicalPageSize, &page));
    EXPECT_EQ(page.pageNumber, -5);  // untouched on refusal

    Description noDevmode(1, nullptr, RECT{0, 0, 100, 100}, 1.0f);
    EXPECT_FALSE(ReadLogicalPage(noDevmode.bytes, kLogicalPageSize, &page));
    Description nanScale(1, &dm, RECT{0, 0, 100, 100}, std::nanf(""));
    EXPECT_FALSE(ReadLogicalPage(nanScale.bytes, kLogicalPageSize, &page));
    Description infScale(1, &dm, RECT{0, 0, 100, 100}, INFINITY);
    EXPECT_FALSE(ReadLogicalPage(infScale.bytes, kLogicalPageSize, &page));
}

// ---------------------------------------------------------------------------------------------
// The handler against a stand-in rendering plug-in that answers the private escapes

namespace {

struct DrawCall {
    std::wstring watermark;  // the record's name, or L"cover"
    DWORD page;
    BOOL hasRect;
    RECT rect;
    float scale;
    const DEVMODEW* devmode;
    LONG pageCount;
};

// Answers the escapes the way the rendering plug-in does, for the codes the handler sends.
struct FakeRenderer {
    JobSettings record = NamedRecord();
    DEVMODEW devmode{};
    int recordAnswer = static_cast<int>(kRecordSize);
    int devmodeAnswer = static_cast<int>(sizeof(DEVMODEW));
    int fetchAnswer = 0;  // when not 0: what a fetch into a block answers instead of the size
    int pagesPerSheet = 1;
    int pageCounter = 0;
    int pageSkip = 0;
    std::vector<int> sent;
    std::vector<DrawCall> draws;

    FakeRenderer() {
        devmode.dmSize = sizeof(DEVMODEW);
        devmode.dmScale = 100;
    }

    int Answer(int code, int cbOut, char* out) {
        sent.push_back(code);
        switch (code) {
        // Compared as signed numbers, as a careless renderer would: a negative size "fits".
        case esc::kGetDevMode:
            if (out && cbOut >= devmodeAnswer) std::memcpy(out, &devmode, sizeof(devmode));
            return out && fetchAnswer ? fetchAnswer : devmodeAnswer;
        case esc::kGetRecord:
            if (out && cbOut >= recordAnswer) std::memcpy(out, &record, sizeof(record));
            return out && fetchAnswer ? fetchAnswer : recordAnswer;
        case esc::kNextPage: return ++pageCounter;
        case esc::kResetPages: return pageCounter = 0;
        case esc::kPageNumber: return pageCounter;
        case esc::kSheetCount: return (pageCounter + pagesPerSheet - 1) / pagesPerSheet;
        case esc::kStartTime:
            if (out && cbOut >= 16) std::memset(out, 1, 16);
            return 16;
        case esc::kPageSkipped: return pageSkip;
        case esc::kClearPageSkip: pageSkip = 0; return 1;
        default: return 0;
        }
    }
    std::vector<std::wstring> Drawn() const {
        std::vector<std::wstring> names;
        for (const auto& d : draws) names.push_back(d.watermark + L"@" + std::to_wstring(d.page));
        return names;
    }
};

FakeRenderer* g_renderer = nullptr;

int WINAPI FakeExtEscape(HDC, int code, int, LPCSTR, int cbOut, LPSTR out) {
    return g_renderer ? g_renderer->Answer(code, cbOut, out) : 0;
}

BOOL FakeDrawWatermark(HDC, HANDLE, const JobSettings*, const DEVMODEW* devmode, const WatermarkRecord* wm,
                       DWORD page, BOOL hasRect, const RECT* rect, float scale) {
    g_renderer->draws.push_back({wm->szName, page, hasRect, rect ? *rect : RECT{}, scale, devmode, 0});
    return TRUE;
}

BOOL FakeDrawCover(HDC, HANDLE, const JobSettings*, const DEVMODEW* devmode, LONG pageCount) {
    g_renderer->draws.push_back({L"cover", 0, FALSE, RECT{}, 0.0f, devmode, pageCount});
    return TRUE;
}

constexpr DocEventCalls kFakeCalls{&FakeExtEscape, &FakeDrawWatermark, &FakeDrawCover};

class DocEvents : public ::testing::Test {
protected:
    FakeRenderer fake;
    HDC dc = reinterpret_cast<HDC>(0x1234);
    HANDLE printer = reinterpret_cast<HANDLE>(0x5678);

    void SetUp() override { g_renderer = &fake; }
    void TearDown() override { g_renderer = nullptr; }

    int Event(int event, ULONG cbIn = 0, PVOID in = nullptr, ULONG cbOut = 0, PVOID out = nullptr) {
        int result = 12345;
        EXPECT_EQ(HandleDocumentEvent(kFakeCalls, printer, dc, event, cbIn, in, cbOut, out, &result), S_OK);
        return result;
    }
    int LogicalPageEscape(const Description& d, int cjInput = kLogicalPageSize, int code = esc::kLogicalPage) {
        DOCEVENT_ESCAPE e{code, cjInput, const_cast<BYTE*>(d.bytes)};
        return Event(DOCUMENTEVENT_ESCAPE, sizeof(e), &e);
    }
    void PrintPages(int pages) {
        for (int i = 0; i < pages; ++i) {
            EXPECT_EQ(Event(DOCUMENTEVENT_STARTPAGE), DOCUMENTEVENT_SUCCESS);
            EXPECT_EQ(Event(DOCUMENTEVENT_ENDPAGE), DOCUMENTEVENT_SUCCESS);
        }
    }
};

}  // namespace

TEST_F(DocEvents, MissingResultPointerFailsAndSendsNothing) {
    EXPECT_EQ(HandleDocumentEvent(kFakeCalls, printer, dc, DOCUMENTEVENT_STARTPAGE, 0, nullptr, 0, nullptr, nullptr),
              E_FAIL);
    EXPECT_EQ(HandleDocumentEvent(kFakeCalls, printer, dc, DOCUMENTEVENT_ENDDOC, 0, nullptr, 0, nullptr, nullptr),
              E_FAIL);
    EXPECT_TRUE(fake.sent.empty());
    EXPECT_EQ(fake.pageCounter, 0);
}

TEST_F(DocEvents, OtherEventsSucceedWithoutTalkingToTheRenderer) {
    for (int event : {DOCUMENTEVENT_CREATEDCPRE, DOCUMENTEVENT_STARTDOC, DOCUMENTEVENT_ABORTDOC,
                      DOCUMENTEVENT_DELETEDC, DOCUMENTEVENT_STARTDOCPOST, 99})
        EXPECT_EQ(Event(event), DOCUMENTEVENT_SUCCESS) << event;
    EXPECT_TRUE(fake.sent.empty());
}

TEST_F(DocEvents, QueryFilterGoesThroughTheHandler) {
    FilterBlock f{};
    f.head.cElementsAllocated = 3;
    EXPECT_EQ(Event(DOCUMENTEVENT_QUERYFILTER, 0, nullptr, FilterBytes(3), &f), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(f.head.cElementsNeeded, 4u);
    EXPECT_EQ(Event(DOCUMENTEVENT_QUERYFILTER), DOCUMENTEVENT_FAILURE);
}

TEST_F(DocEvents, PageStartCountsFetchesAndDrawsUnder) {
    fake.record.bWatermarks = 1;
    fake.record.dwWatermarkOrder = 1;
    EXPECT_EQ(Event(DOCUMENTEVENT_STARTPAGE), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(fake.sent, (std::vector<int>{esc::kPageSkipped, esc::kNextPage, esc::kGetRecord, esc::kGetDevMode,
                                           esc::kGetRecord, esc::kGetDevMode, esc::kPageNumber, esc::kStartTime}));
    ASSERT_EQ(fake.draws.size(), 1u);
    const DrawCall& d = fake.draws[0];
    EXPECT_EQ(d.watermark, L"first");
    EXPECT_EQ(d.page, 1u);
    EXPECT_FALSE(d.hasRect);
    EXPECT_EQ(d.scale, 1.0f);
    ASSERT_NE(d.devmode, nullptr);
    EXPECT_NE(d.devmode, &fake.devmode);  // a fetched copy
}

TEST_F(DocEvents, PageEndDrawsOverWithoutCounting) {
    fake.record.bWatermarks = 1;
    fake.record.bWatermarkOverPage = 1;
    fake.record.dwWatermarkOrder = 1;
    fake.pageCounter = 4;
    EXPECT_EQ(Event(DOCUMENTEVENT_ENDPAGE), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(fake.pageCounter, 4);
    EXPECT_EQ(fake.Drawn(), (std::vector<std::wstring>{L"first@4"}));
    EXPECT_EQ(fake.sent.back(), esc::kStartTime);
}

TEST_F(DocEvents, EveryOrderUnderAndOverAcrossFivePages) {
    struct Row {
        DWORD order;
        std::vector<std::wstring> drawn;
    } rows[] = {
        {1, {L"first@1", L"first@2", L"first@3", L"first@4", L"first@5"}},
        {2, {L"first@1", L"other@2", L"first@3", L"other@4", L"first@5"}},
        {3, {L"first@1", L"other@2", L"other@3", L"other@4", L"other@5"}},
        {0, {L"other@1", L"other@2", L"other@3", L"other@4", L"other@5"}},
    };
    for (BOOL over : {0, 1}) {
        for (const Row& row : rows) {
            fake.draws.clear();
            fake.pageCounter = 0;
            fake.record.bWatermarks = 1;
            fake.record.bWatermarkOverPage = over;
            fake.record.dwWatermarkOrder = row.order;
            for (int i = 0; i < 5; ++i) {
                size_t before = fake.draws.size();
                Event(DOCUMENTEVENT_STARTPAGE);
                EXPECT_EQ(fake.draws.size() - before, over ? 0u : 1u) << "page start, order " << row.order;
                Event(DOCUMENTEVENT_ENDPAGE);
                EXPECT_EQ(fake.draws.size() - before, 1u) << "page end, order " << row.order;
            }
            EXPECT_EQ(fake.Drawn(), row.drawn) << "order " << row.order << " over " << over;
        }
    }
}

TEST_F(DocEvents, NoWatermarksNoDrawingButPagesStillCount) {
    fake.record.bWatermarks = 0;
    PrintPages(3);
    EXPECT_TRUE(fake.draws.empty());
    EXPECT_EQ(fake.pageCounter, 3);
}

TEST_F(DocEvents, SkippedPageGetsNothingAndIsNotCounted) {
    fake.record.bWatermarks = 1;
    fake.record.dwWatermarkOrder = 2;
    for (BOOL over : {0, 1}) {
        fake.record.bWatermarkOverPage = over;
        fake.draws.clear();
        fake.pageCounter = 0;
        PrintPages(1);
        fake.pageSkip = 1;  // the rendering side leaves the next page alone
        fake.sent.clear();
        EXPECT_EQ(Event(DOCUMENTEVENT_STARTPAGE), DOCUMENTEVENT_SUCCESS);
        EXPECT_EQ(fake.sent, (std::vector<int>{esc::kPageSkipped}));
        EXPECT_EQ(Event(DOCUMENTEVENT_ENDPAGE), DOCUMENTEVENT_SUCCESS);
        EXPECT_EQ(fake.sent, (std::vector<int>{esc::kPageSkipped, esc::kPageSkipped, esc::kClearPageSkip}));
        EXPECT_EQ(fake.pageSkip, 0);
        PrintPages(1);
        EXPECT_EQ(fake.Drawn(), (std::vector<std::wstring>{L"first@1", L"other@2"})) << "over " << over;
    }
}

TEST_F(DocEvents, OversizedAnswersStopThePageEvents) {
    fake.record.bWatermarks = 1;
    fake.record.dwWatermarkOrder = 1;
    fake.record.bWatermarkOverPage = 0;
    fake.recordAnswer = static_cast<int>(kRecordSize) + 1;
    EXPECT_EQ(Event(DOCUMENTEVENT_STARTPAGE), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(fake.sent, (std::vector<int>{esc::kPageSkipped, esc::kNextPage, esc::kGetRecord}));
    EXPECT_EQ(fake.pageCounter, 1);  // counted before the sizes are asked

    fake.recordAnswer = static_cast<int>(kRecordSize);
    fake.devmodeAnswer = sizeof(DEVMODEW) + 2;
    fake.record.bWatermarkOverPage = 1;
    fake.sent.clear();
    EXPECT_EQ(Event(DOCUMENTEVENT_ENDPAGE), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(fake.sent, (std::vector<int>{esc::kPageSkipped, esc::kGetRecord, esc::kGetDevMode}));
    EXPECT_TRUE(fake.draws.empty());
}

TEST_F(DocEvents, WithoutARendererNothingIsDrawn) {
    g_renderer = nullptr;  // every escape answers 0
    int result = 0;
    for (int event : {DOCUMENTEVENT_STARTPAGE, DOCUMENTEVENT_ENDPAGE, DOCUMENTEVENT_ENDDOC}) {
        EXPECT_EQ(HandleDocumentEvent(kFakeCalls, printer, dc, event, 0, nullptr, 0, nullptr, &result), S_OK);
        EXPECT_EQ(result, DOCUMENTEVENT_SUCCESS);
    }
    g_renderer = &fake;
    EXPECT_TRUE(fake.draws.empty());
}

TEST_F(DocEvents, LogicalPagesDrawInsteadOfThePageEvents) {
    fake.record.bWatermarks = 1;
    fake.record.bWatermarkOnEscape = 1;
    fake.record.dwWatermarkOrder = 3;
    for (BOOL over : {0, 1}) {
        fake.record.bWatermarkOverPage = over;
        PrintPages(2);
    }
    EXPECT_TRUE(fake.draws.empty());

    DEVMODEW logical{};
    Description first(1, &logical, RECT{100, 200, 2600, 3700}, 0.5f);
    Description second(2, &logical, RECT{2600, 200, 5100, 3700}, 0.75f);
    fake.sent.clear();
    EXPECT_EQ(LogicalPageEscape(first), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(fake.sent, (std::vector<int>{esc::kPageSkipped, esc::kGetRecord, esc::kGetRecord, esc::kStartTime}));
    EXPECT_EQ(LogicalPageEscape(second), DOCUMENTEVENT_SUCCESS);
    ASSERT_EQ(fake.draws.size(), 2u);
    EXPECT_EQ(fake.Drawn(), (std::vector<std::wstring>{L"first@1", L"other@2"}));
    for (const DrawCall& d : fake.draws) {
        EXPECT_TRUE(d.hasRect);
        EXPECT_EQ(d.devmode, &logical);  // the description's DEVMODE, not the job's
    }
    EXPECT_EQ(fake.draws[0].scale, 0.5f);
    EXPECT_EQ(fake.draws[1].scale, 0.75f);
    EXPECT_EQ(fake.draws[1].rect.left, 2600);
    EXPECT_EQ(fake.draws[1].rect.top, 200);
    EXPECT_EQ(fake.draws[1].rect.right, 5100);
    EXPECT_EQ(fake.draws[1].rect.bottom, 3700);
}

TEST_F(DocEvents, LogicalPageWithoutTheEscapePathDrawsNothing) {
    fake.record.bWatermarks = 1;
    fake.record.bWatermarkOnEscape = 0;
    DEVMODEW logical{};
    Description d(1, &logical, RECT{0, 0, 10, 10}, 1.0f);
    EXPECT_EQ(LogicalPageEscape(d), DOCUMENTEVENT_SUCCESS);
    EXPECT_TRUE(fake.draws.empty());
}

TEST_F(DocEvents, EscapeEventsThatAreNotALogicalPage) {
    fake.record.bWatermarks = 1;
    fake.record.bWatermarkOnEscape = 1;
    DEVMODEW logical{};
    Description d(1, &logical, RECT{0, 0, 10, 10}, 1.0f);

    EXPECT_EQ(Event(DOCUMENTEVENT_ESCAPE), DOCUMENTEVENT_FAILURE);  // no input
    EXPECT_TRUE(fake.sent.empty());
    EXPECT_EQ(LogicalPageEscape(d, kLogicalPageSize, PASSTHROUGH), DOCUMENTEVENT_SUCCESS);
    EXPECT_TRUE(fake.sent.empty());

    fake.pageSkip = 1;
    EXPECT_EQ(LogicalPageEscape(d), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(fake.sent, (std::vector<int>{esc::kPageSkipped}));
    EXPECT_EQ(fake.pageSkip, 1);  // only the page end clears it
    fake.pageSkip = 0;

    fake.sent.clear();
    EXPECT_EQ(LogicalPageEscape(d, kLogicalPageSize - 1), DOCUMENTEVENT_FAILURE);
    EXPECT_EQ(LogicalPageEscape(d, -200), DOCUMENTEVENT_FAILURE);
    DOCEVENT_ESCAPE noData{esc::kLogicalPage, kLogicalPageSize, nullptr};
    EXPECT_EQ(Event(DOCUMENTEVENT_ESCAPE, sizeof(noData), &noData), DOCUMENTEVENT_FAILURE);
    Description noDevmode(1, nullptr, RECT{0, 0, 10, 10}, 1.0f);
    EXPECT_EQ(LogicalPageEscape(noDevmode), DOCUMENTEVENT_FAILURE);
    EXPECT_EQ(fake.sent, (std::vector<int>(4, esc::kPageSkipped)));
    EXPECT_TRUE(fake.draws.empty());
}

TEST_F(DocEvents, EscapeEventShorterThanItsOwnStructureIsNotRead) {
    fake.record.bWatermarks = 1;
    fake.record.bWatermarkOnEscape = 1;
    // Only the code and the size are there; the data pointer would lie beyond the input.
    struct {
        int code, size;
    } half{esc::kLogicalPage, kLogicalPageSize};
    EXPECT_EQ(Event(DOCUMENTEVENT_ESCAPE, sizeof(half), &half), DOCUMENTEVENT_FAILURE);
    EXPECT_TRUE(fake.sent.empty());
}

TEST_F(DocEvents, OversizedRecordStopsTheLogicalPage) {
    fake.record.bWatermarks = 1;
    fake.record.bWatermarkOnEscape = 1;
    fake.recordAnswer = 9000;
    DEVMODEW logical{};
    Description d(1, &logical, RECT{0, 0, 10, 10}, 1.0f);
    EXPECT_EQ(LogicalPageEscape(d), DOCUMENTEVENT_FAILURE);
    EXPECT_EQ(fake.sent, (std::vector<int>{esc::kPageSkipped, esc::kGetRecord}));
    EXPECT_TRUE(fake.draws.empty());
}

TEST_F(DocEvents, EndOfFaxDocumentAddsTheCoverPageAndResetsTheCounter) {
    fake.record.dwOutputTo = kOutputFax;
    fake.record.fax.bFaxCoverPage = 1;
    fake.pagesPerSheet = 2;
    PrintPages(5);
    fake.sent.clear();
    EXPECT_EQ(Event(DOCUMENTEVENT_ENDDOC), DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(fake.sent, (std::vector<int>{esc::kGetRecord, esc::kGetDevMode, esc::kSheetCount, esc::kGetRecord,
                                           esc::kGetDevMode, esc::kResetPages}));
    ASSERT_EQ(fake.draws.size(), 1u);
    EXPECT_EQ(fake.draws[0].watermark, L"cover");
    EXPECT_EQ(fake.draws[0].pageCount, 3);
    EXPECT_EQ(fake.pageCounter, 0);
}

TEST_F(DocEvents, EndOfOtherDocumentsOnlyResetsTheCounter) {
    struct Row {
        DWORD outputTo;
        BOOL cover;
    } rows[] = {{kOutputFax, 0}, {kOutputPrinter, 1}, {kOutputConfidential, 1}};
    for (const Row& row : rows) {
        fake.record.dwOutputTo = row.outputTo;
        fake.record.fax.bFaxCoverPage = row.cover;
        PrintPages(2);
        EXPECT_EQ(Event(DOCUMENTEVENT_ENDDOC), DOCUMENTEVENT_SUCCESS);
        EXPECT_TRUE(fake.draws.empty()) << row.outputTo;
        EXPECT_EQ(fake.pageCounter, 0);
        EXPECT_EQ(fake.sent.back(), esc::kResetPages);
    }
}

TEST_F(DocEvents, OversizedAnswersStopTheEndOfDocument) {
    fake.record.dwOutputTo = kOutputFax;
    fake.record.fax.bFaxCoverPage = 1;
    PrintPages(2);
    fake.devmodeAnswer = 4096;
    fake.sent.clear();
    EXPECT_EQ(Event(DOCUMENTEVENT_ENDDOC), DOCUMENTEVENT_FAILURE);
    EXPECT_EQ(fake.sent, (std::vector<int>{esc::kGetRecord, esc::kGetDevMode}));
    EXPECT_TRUE(fake.draws.empty());
    EXPECT_EQ(fake.pageCounter, 2);  // nothing else is sent, not even the reset
}

// A size answer is a byte count: 0x80000000 is no small negative number but more than any block.
TEST_F(DocEvents, SizeAnswersBeyondEveryBlockDrawNothing) {
    fake.record.bWatermarks = 1;
    fake.record.dwWatermarkOrder = 1;
    fake.record.dwOutputTo = kOutputFax;
    fake.record.fax.bFaxCoverPage = 1;
    for (int which = 0; which < 2; ++which) {
        SCOPED_TRACE(which ? "DEVMODE" : "record");
        fake.recordAnswer = which ? static_cast<int>(kRecordSize) : INT_MIN;  // 0x80000000
        fake.devmodeAnswer = which ? INT_MIN : static_cast<int>(sizeof(DEVMODEW));
        for (BOOL over : {0, 1}) {
            fake.record.bWatermarkOverPage = over;
            EXPECT_EQ(Event(DOCUMENTEVENT_STARTPAGE), DOCUMENTEVENT_SUCCESS);
            EXPECT_EQ(Event(DOCUMENTEVENT_ENDPAGE), DOCUMENTEVENT_SUCCESS);
        }
        fake.sent.clear();
        EXPECT_EQ(Event(DOCUMENTEVENT_ENDDOC), DOCUMENTEVENT_FAILURE);
        EXPECT_EQ(std::count(fake.sent.begin(), fake.sent.end(), esc::kSheetCount), 0);
        EXPECT_TRUE(fake.draws.empty());
    }
    fake.record.bWatermarkOnEscape = 1;
    fake.recordAnswer = INT_MIN;
    DEVMODEW logical{};
    Description d(1, &logical, RECT{0, 0, 10, 10}, 1.0f);
    EXPECT_EQ(LogicalPageEscape(d), DOCUMENTEVENT_FAILURE);
    EXPECT_TRUE(fake.draws.empty());
}

TEST_F(DocEvents, AFetchThatAnswersAnotherSizeDrawsNothing) {
    fake.record.bWatermarks = 1;
    fake.record.dwWatermarkOrder = 1;
    fake.record.dwOutputTo = kOutputFax;
    fake.record.fax.bFaxCoverPage = 1;
    fake.fetchAnswer = 100;
    for (BOOL over : {0, 1}) {
        fake.record.bWatermarkOverPage = over;
        EXPECT_EQ(Event(DOCUMENTEVENT_STARTPAGE), DOCUMENTEVENT_SUCCESS);
        EXPECT_EQ(Event(DOCUMENTEVENT_ENDPAGE), DOCUMENTEVENT_SUCCESS);
    }
    EXPECT_EQ(fake.pageCounter, 2);
    EXPECT_EQ(Event(DOCUMENTEVENT_ENDDOC), DOCUMENTEVENT_FAILURE);
    EXPECT_EQ(fake.sent.back(), esc::kResetPages);  // the next document counts from 1 again
    EXPECT_EQ(fake.pageCounter, 0);
    fake.record.bWatermarkOnEscape = 1;
    DEVMODEW logical{};
    Description d(1, &logical, RECT{0, 0, 10, 10}, 1.0f);
    EXPECT_EQ(LogicalPageEscape(d), DOCUMENTEVENT_FAILURE);
    EXPECT_TRUE(fake.draws.empty());
}

// ---------------------------------------------------------------------------------------------
// End to end: the product's handler draws into a printer's metafile, and ExtEscape on it reaches
// the rendering plug-in's Escape hook through a stand-in of the driver's escape chain.

namespace {

// The device the rendering plug-in sees: its job state, the job settings record and the public
// DEVMODE behind a device object, with a core driver escape function that records what is
// passed through to the printer and knows no escape of its own.
struct RenderSide {
    JobSettings record = NamedRecord();
    DEVMODEW devmode{};
    corv::render::JobState state{};
    DRVFN coreFunctions[1]{};
    DEVOBJ device{};
    SURFOBJ surface{};
    corvtest::FakeCore core;
    std::string passedThrough;
    std::vector<ULONG> reachedCore;

    RenderSide() {
        devmode.dmSize = sizeof(DEVMODEW);
        devmode.dmOrientation = DMORIENT_PORTRAIT;
        devmode.dmScale = 100;
        devmode.dmPrintQuality = 600;
        state.structSize = corv::render::kJobStateSize;
        coreFunctions[0] = {INDEX_DrvEscape, corv::render::AsPfn(&CoreEscape)};
        state.coreHooks = {0x00030100, 1, coreFunctions};
        state.coreHelper = &core;
        device.dwSize = sizeof(DEVOBJ);
        device.pdevOEM = &state;
        device.hPrinter = reinterpret_cast<HANDLE>(0x5678);
        device.pPublicDM = &devmode;
        device.pOEMDM = &record;
        surface.dhpdev = reinterpret_cast<DHPDEV>(&device);
    }

    static RenderSide* current;

    static ULONG APIENTRY CoreEscape(SURFOBJ*, ULONG code, ULONG cbIn, PVOID in, ULONG, PVOID) {
        current->reachedCore.push_back(code);
        if (code == PASSTHROUGH && in && cbIn >= 2) {
            WORD count = 0;
            std::memcpy(&count, in, 2);
            if (count <= cbIn - 2) current->passedThrough.append(static_cast<const char*>(in) + 2, count);
            return count;
        }
        return 0;
    }

    // The driver's escape chain: every escape on any device context goes to the plug-in's hook.
    static int WINAPI Chain(HDC, int code, int cbIn, LPCSTR in, int cbOut, LPSTR out) {
        return static_cast<int>(corv::render::HookEscape(&current->surface, static_cast<ULONG>(code),
                                                         static_cast<ULONG>(cbIn), const_cast<LPSTR>(in),
                                                         static_cast<ULONG>(cbOut), out));
    }
};

RenderSide* RenderSide::current = nullptr;

class PrintedDocument : public ::testing::Test {
protected:
    RenderSide side;
    corvtest::PrinterDC printerDC{corvtest::kA4At600};
    // Inside the printer stand-in's patches, so the escapes go to the rendering plug-in.
    corvtest::ImportPatch chain{GetModuleHandleW(nullptr), "gdi32.dll", "ExtEscape",
                                reinterpret_cast<void*>(&RenderSide::Chain)};
    HANDLE printer = reinterpret_cast<HANDLE>(0x5678);

    void SetUp() override {
        ASSERT_TRUE(printerDC.ready());
        ASSERT_TRUE(chain.active());
        RenderSide::current = &side;
    }
    void TearDown() override { RenderSide::current = nullptr; }

    HDC dc() const { return printerDC.dc(); }
    int Event(int event, ULONG cbIn = 0, PVOID in = nullptr) {
        int result = 12345;
        EXPECT_EQ(HandleDocumentEvent(printer, dc(), event, cbIn, in, 0, nullptr, &result), S_OK);
        return result;
    }
    // One page of the application's, with its own content between the two events.
    void PrintPage(const std::wstring& content) {
        EXPECT_EQ(Event(DOCUMENTEVENT_STARTPAGE), DOCUMENTEVENT_SUCCESS);
        ExtTextOutW(dc(), 500, 500, 0, nullptr, content.c_str(), static_cast<UINT>(content.size()), nullptr);
        EXPECT_EQ(Event(DOCUMENTEVENT_ENDPAGE), DOCUMENTEVENT_SUCCESS);
    }
    std::vector<std::wstring> Texts() {
        std::vector<std::wstring> all;
        for (const corvtest::EmfText& t : printerDC.finish().texts()) all.push_back(t.text);
        return all;
    }
};

}  // namespace

TEST_F(PrintedDocument, MissingResultPointerFails) {
    EXPECT_EQ(HandleDocumentEvent(printer, dc(), DOCUMENTEVENT_STARTPAGE, 0, nullptr, 0, nullptr, nullptr), E_FAIL);
    EXPECT_EQ(side.state.escapePageCount, 0u);
}

TEST_F(PrintedDocument, WatermarkUnderThePageComesBeforeItsContent) {
    side.record.bWatermarks = 1;
    side.record.dwWatermarkOrder = 3;
    for (int p = 1; p <= 3; ++p) PrintPage(L"content " + std::to_wstring(p));
    corvtest::Emf emf = printerDC.finish();
    std::vector<std::wstring> texts;
    for (const corvtest::EmfText& t : emf.texts()) texts.push_back(t.text);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"FIRST", L"content 1", L"OTHER", L"content 2", L"OTHER",
                                                L"content 3"}));
    // 72 points at the DEVMODE's 600 dpi, full scale.
    EXPECT_EQ(emf.texts()[0].font.lfHeight, -600);
}

TEST_F(PrintedDocument, WatermarkOverThePageComesAfterItsContent) {
    side.record.bWatermarks = 1;
    side.record.bWatermarkOverPage = 1;
    side.record.dwWatermarkOrder = 2;
    for (int p = 1; p <= 3; ++p) PrintPage(L"content " + std::to_wstring(p));
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"content 1", L"FIRST", L"content 2", L"OTHER", L"content 3",
                                                  L"FIRST"}));
}

TEST_F(PrintedDocument, SkippedPageKeepsThePageNumbersOfTheOthers) {
    side.record.bWatermarks = 1;
    side.record.dwWatermarkOrder = 1;
    wcscpy(side.record.wmFirst.szText, L"Page %pagenumber%");
    side.record.wmFirst.bDynamic = 1;
    PrintPage(L"a");
    ExtEscape(dc(), 0x10021, 0, nullptr, 0, nullptr);  // the next page is left alone
    PrintPage(L"b");
    EXPECT_EQ(side.state.pageSkipFlag, 0u);
    PrintPage(L"c");
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"Page 1", L"a", L"b", L"Page 2", L"c"}));
}

TEST_F(PrintedDocument, LogicalPagesAreDrawnOnlyFromTheirEscapes) {
    side.record.bWatermarks = 1;
    side.record.bWatermarkOnEscape = 1;
    side.record.dwWatermarkOrder = 2;
    DEVMODEW logical = side.devmode;
    logical.dmScale = 50;
    Description halves[] = {Description(1, &logical, RECT{0, 0, 2480, 3508}, 0.5f),
                            Description(2, &logical, RECT{2480, 0, 4960, 3508}, 0.5f)};
    EXPECT_EQ(Event(DOCUMENTEVENT_STARTPAGE), DOCUMENTEVENT_SUCCESS);
    for (Description& d : halves) {
        DOCEVENT_ESCAPE e{esc::kLogicalPage, kLogicalPageSize, d.bytes};
        EXPECT_EQ(Event(DOCUMENTEVENT_ESCAPE, sizeof(e), &e), DOCUMENTEVENT_SUCCESS);
    }
    EXPECT_EQ(Event(DOCUMENTEVENT_ENDPAGE), DOCUMENTEVENT_SUCCESS);
    std::vector<corvtest::EmfText> texts = printerDC.finish().texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, L"FIRST");
    EXPECT_EQ(texts[1].text, L"OTHER");
    // Half the scale of the logical page, then half again by its DEVMODE's dmScale.
    EXPECT_EQ(texts[0].font.lfHeight, -150);
    EXPECT_EQ(texts[1].font.lfHeight, -150);
}

TEST_F(PrintedDocument, CoverPageForEveryChoiceOfBlocks) {
    for (DWORD parts = 0; parts <= 7; ++parts) {
        SCOPED_TRACE(parts);
        RenderSide fresh;
        fresh.record.dwOutputTo = kOutputFax;
        fresh.record.fax.bFaxCoverPage = 1;
        fresh.record.fax.dwCoverParts = parts;
        wcscpy(fresh.record.fax.szRecipientName, L"Ada");
        RenderSide::current = &fresh;
        corvtest::PrinterDC page;
        corvtest::ImportPatch inner{GetModuleHandleW(nullptr), "gdi32.dll", "ExtEscape",
                                    reinterpret_cast<void*>(&RenderSide::Chain)};
        ASSERT_TRUE(page.ready() && inner.active());
        for (int p = 0; p < 3; ++p) {
            int result = 0;
            HandleDocumentEvent(printer, page.dc(), DOCUMENTEVENT_STARTPAGE, 0, nullptr, 0, nullptr, &result);
            HandleDocumentEvent(printer, page.dc(), DOCUMENTEVENT_ENDPAGE, 0, nullptr, 0, nullptr, &result);
        }
        int result = 0;
        EXPECT_EQ(HandleDocumentEvent(printer, page.dc(), DOCUMENTEVENT_ENDDOC, 0, nullptr, 0, nullptr, &result), S_OK);
        EXPECT_EQ(result, DOCUMENTEVENT_SUCCESS);
        EXPECT_EQ(fresh.state.escapePageCount, 0u);  // reset also when no cover page is made
        std::vector<std::wstring> texts;
        for (const corvtest::EmfText& t : page.finish().texts()) texts.push_back(t.text);
        auto has = [&](const std::wstring& s) { return std::find(texts.begin(), texts.end(), s) != texts.end(); };
        if (parts == 0) {
            EXPECT_TRUE(page.calls().empty());  // no page started
            EXPECT_TRUE(fresh.passedThrough.empty());
            EXPECT_EQ(fresh.state.coverPageActive, 0u);
            EXPECT_TRUE(texts.empty());
            continue;
        }
        ASSERT_EQ(page.calls().size(), 2u);
        EXPECT_EQ(page.calls()[0].kind, corvtest::DcCall::StartPage);
        EXPECT_EQ(page.calls()[1].kind, corvtest::DcCall::EndPage);
        EXPECT_EQ(fresh.state.coverPageActive, 1u);
        EXPECT_EQ(fresh.passedThrough.find("%%Make this page the Fax Cover page: \r\n"), 0u);
        EXPECT_NE(fresh.passedThrough.find("{3 strPP cvs show} ifelse"), std::string::npos);
        EXPECT_TRUE(has(L"Facsimile Transmission Form"));
        EXPECT_EQ(has(L"To:"), (parts & 1) != 0);
        EXPECT_EQ(has(L"Name:      Ada"), (parts & 1) != 0);
        EXPECT_EQ(has(L"From:"), (parts & 2) != 0);
        EXPECT_EQ(has(L"Comments:"), (parts & 4) != 0);
        // Of all the handler sent, only the cover page announcement and its PostScript went on to
        // the core driver.
        EXPECT_EQ(fresh.reachedCore,
                  (std::vector<ULONG>{static_cast<ULONG>(0x10008), PASSTHROUGH, PASSTHROUGH}));
    }
    RenderSide::current = &side;
}

TEST_F(PrintedDocument, CoverPageStampsTheSheetCountOfAnNUpJob) {
    side.record.dwOutputTo = kOutputFax;
    side.record.fax.bFaxCoverPage = 1;
    side.core.pagePerSheet = "2";
    for (int p = 1; p <= 5; ++p) PrintPage(L"content");
    EXPECT_EQ(Event(DOCUMENTEVENT_ENDDOC), DOCUMENTEVENT_SUCCESS);
    EXPECT_NE(side.passedThrough.find("{3 strPP cvs show} ifelse"), std::string::npos);
    EXPECT_EQ(side.state.escapePageCount, 0u);
}

TEST_F(PrintedDocument, OversizedDevModeStopsEveryEvent) {
    // A DEVMODE that claims more public bytes than the handler takes.
    struct {
        DEVMODEW dm;
        BYTE more[32];
    } big{};
    big.dm = side.devmode;
    big.dm.dmSize = sizeof(DEVMODEW) + 16;
    side.device.pPublicDM = &big.dm;
    side.record.bWatermarks = 1;
    side.record.dwWatermarkOrder = 1;
    side.record.dwOutputTo = kOutputFax;
    side.record.fax.bFaxCoverPage = 1;
    PrintPage(L"a");
    PrintPage(L"b");
    EXPECT_EQ(side.state.escapePageCount, 2u);
    EXPECT_EQ(Event(DOCUMENTEVENT_ENDDOC), DOCUMENTEVENT_FAILURE);
    EXPECT_EQ(side.state.escapePageCount, 2u);  // stopped before the reset
    EXPECT_TRUE(side.passedThrough.empty());
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"a", L"b"}));
}
