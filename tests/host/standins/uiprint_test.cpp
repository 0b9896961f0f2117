#include "host/standins/uiprint.h"

#include "common/platform/oemintf.h"
#include "common/record.h"
#include "host/kit/fields.h"
#include "host/kit/iatpatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace corv::host;

// The driver's side: every escape, extra page and piece of PostScript, in order.
class RecordingTarget final : public PrintTarget {
public:
    ULONG Escape(ULONG code, ULONG inSize, PVOID in, ULONG, PVOID) override {
        std::string data = in ? std::string(static_cast<const char*>(in), inSize) : std::string();
        log.push_back("escape " + std::to_string(code) + " " + data);
        // As the driver's PASSTHROUGH does: data from the drawing stays with the drawing.
        if (code == PASSTHROUGH && ui && inSize >= 2) ui->PassThrough(data.data() + 2, inSize - 2);
        return code == 0x10005 ? 42 : 7;
    }
    bool StartExtraPage() override {
        log.push_back("start extra page");
        return true;
    }
    bool EndExtraPage() override {
        log.push_back("end extra page");
        return true;
    }
    void Emit(std::string_view postscript) override {
        if (postscript.empty()) return;
        log.push_back("emit");
        emitted.emplace_back(postscript);
    }
    void PageRecorded(const PagePreview& page) override { previews.push_back(page); }

    UiPrinting* ui = nullptr;
    std::vector<std::string> log;
    std::vector<std::string> emitted;
    std::vector<PagePreview> previews;
};

// The handler under the driver: what each test makes it do, and the events it saw.
struct Handler {
    std::vector<INT> events;
    std::vector<DWORD> filter = {DOCUMENTEVENT_STARTPAGE, DOCUMENTEVENT_ENDPAGE, DOCUMENTEVENT_ENDDOC};
    bool answersFilter = true;
    std::function<void(INT event, HDC dc)> onEvent;
} *g_handler = nullptr;

HRESULT FakeDocumentEvent(HANDLE, HDC dc, INT event, ULONG, PVOID, ULONG outSize, PVOID out, PINT result) {
    g_handler->events.push_back(event);
    *result = DOCUMENTEVENT_SUCCESS;
    if (event == DOCUMENTEVENT_QUERYFILTER) {
        if (!g_handler->answersFilter) {
            *result = DOCUMENTEVENT_UNSUPPORTED;
            return S_OK;
        }
        auto* f = static_cast<DOCEVENT_FILTER*>(out);
        const UINT n = static_cast<UINT>(g_handler->filter.size());
        if (outSize < offsetof(DOCEVENT_FILTER, aDocEventCall) + n * sizeof(DWORD) || f->cElementsAllocated < n) {
            f->cElementsNeeded = n;
        } else {
            std::memcpy(f->aDocEventCall, g_handler->filter.data(), n * sizeof(DWORD));
            f->cElementsReturned = n;
        }
        return S_OK;
    }
    if (g_handler->onEvent) g_handler->onEvent(event, dc);
    return S_OK;
}

class UiPrintingTest : public ::testing::Test {
protected:
    void SetUp() override { g_handler = &handler; }
    void TearDown() override { g_handler = nullptr; }

    UiPrintSettings Settings() const {
        UiPrintSettings s;
        s.printer = reinterpret_cast<HANDLE>(0x1234);
        s.caps.dpi = 600;
        s.caps.physicalWidth = 5100, s.caps.physicalHeight = 6600;
        s.caps.offsetX = 150, s.caps.offsetY = 100;
        s.caps.horzRes = 4800, s.caps.vertRes = 6400;
        s.title = L"Test";
        s.pages = 2;
        s.handler = &FakeDocumentEvent;
        return s;
    }
    // Two pages and the end of the document.
    void PrintTwoPages(UiPrinting& ui) {
        ui.StartDocument();
        for (int p = 1; p <= 2; ++p) {
            ui.StartPage(p, p);
            ui.EndPage("");
        }
        ui.EndDocument();
    }

    Handler handler;
    RecordingTarget target;
};

TEST_F(UiPrintingTest, FilterOncePageEventsAroundEachPageThenTheDocumentsEnd) {
    UiPrinting ui(&target, Settings());
    ASSERT_TRUE(ui.active());
    PrintTwoPages(ui);
    EXPECT_EQ(handler.events, (std::vector<INT>{DOCUMENTEVENT_QUERYFILTER, DOCUMENTEVENT_STARTPAGE,
                                                DOCUMENTEVENT_ENDPAGE, DOCUMENTEVENT_STARTPAGE,
                                                DOCUMENTEVENT_ENDPAGE, DOCUMENTEVENT_ENDDOC}));
    ASSERT_EQ(target.previews.size(), 2u);
    EXPECT_EQ(target.previews[1].ordinal, 2);
    // The body's stand-in is on every page, for the preview only: the job has the body itself.
    EXPECT_EQ(target.previews[1].texts, (std::vector<std::wstring>{L"2", L"Test - page 2 of 2"}));
    EXPECT_TRUE(target.emitted.empty());
    EXPECT_TRUE(ui.problems().empty());
}

TEST_F(UiPrintingTest, OnlyTheFilteredEventsAreSent) {
    handler.filter = {DOCUMENTEVENT_ENDDOC};
    UiPrinting ui(&target, Settings());
    PrintTwoPages(ui);
    EXPECT_EQ(handler.events, (std::vector<INT>{DOCUMENTEVENT_QUERYFILTER, DOCUMENTEVENT_ENDDOC}));
}

TEST_F(UiPrintingTest, AHandlerWithoutFilterGetsEveryEvent) {
    handler.answersFilter = false;
    UiPrinting ui(&target, Settings());
    PrintTwoPages(ui);
    EXPECT_EQ(handler.events.size(), 6u);
}

TEST_F(UiPrintingTest, DrawingUnderAndOverThePageLandsAroundTheBody) {
    handler.onEvent = [](INT event, HDC dc) {
        if (event == DOCUMENTEVENT_STARTPAGE) TextOutW(dc, 0, 0, L"under", 5);
        if (event == DOCUMENTEVENT_ENDPAGE) TextOutW(dc, 0, 0, L"over", 4);
    };
    UiPrintSettings settings = Settings();
    settings.fonts = {"Courier", "Times-Roman"};
    UiPrinting ui(&target, settings);
    ui.StartDocument();
    ui.StartPage(1, 1);
    ui.EndPage("% the body\n");
    ASSERT_EQ(target.previews.size(), 1u);
    EXPECT_EQ(target.previews[0].texts, (std::vector<std::wstring>{L"under", L"1", L"Test - page 1 of 2", L"over"}));
    ASSERT_EQ(target.emitted.size(), 3u);
    EXPECT_NE(target.emitted[0].find("(under)"), std::string::npos) << target.emitted[0];
    EXPECT_EQ(target.emitted[1], "% the body\n");
    EXPECT_NE(target.emitted[2].find("(over)"), std::string::npos) << target.emitted[2];
    // In the printer's dots, on the sheet's points, with the printer's fonts.
    EXPECT_EQ(target.emitted[0].rfind("gsave [0.12 0 0 -0.12 18 780] concat", 0), 0u) << target.emitted[0];
    EXPECT_NE(target.emitted[0].find("/Courier cgW cgF"), std::string::npos) << target.emitted[0];
    EXPECT_EQ(target.emitted[0].find("Test - page"), std::string::npos);
}

TEST_F(UiPrintingTest, WithoutEventsThePageIsTheBodyAlone) {
    handler.filter = {DOCUMENTEVENT_ENDDOC};
    UiPrinting ui(&target, Settings());
    ui.StartDocument();
    ui.StartPage(1, 1);
    ui.EndPage("% the body\n");
    EXPECT_EQ(target.emitted, (std::vector<std::string>{"% the body\n"}));
    UiPrintSettings none = Settings();
    none.handler = nullptr;
    UiPrinting inactive(&target, none);
    inactive.StartPage(1, 1);
    inactive.EndPage("% again\n");
    EXPECT_EQ(target.emitted.back(), "% again\n");
}

TEST_F(UiPrintingTest, ThePrinterDeviceContextAnswersAsThePrinter) {
    std::vector<int> caps;
    int screenTechnology = -1;
    handler.onEvent = [&](INT event, HDC dc) {
        if (event != DOCUMENTEVENT_STARTPAGE) return;
        for (int index : {PHYSICALWIDTH, PHYSICALHEIGHT, PHYSICALOFFSETX, PHYSICALOFFSETY, LOGPIXELSX, LOGPIXELSY})
            caps.push_back(GetDeviceCaps(dc, index));
        caps.push_back(GetDeviceCaps(dc, BITSPIXEL) > 0);  // not the printer's to answer: the real one does
        HDC screen = GetDC(nullptr);
        screenTechnology = GetDeviceCaps(screen, TECHNOLOGY);
        ReleaseDC(nullptr, screen);
    };
    UiPrinting ui(&target, Settings());
    ui.StartDocument();
    ui.StartPage(1, 1);
    ui.EndPage("");
    EXPECT_EQ(caps, (std::vector<int>{5100, 6600, 150, 100, 600, 600, 1}));
    EXPECT_EQ(screenTechnology, DT_RASDISPLAY);
}

TEST_F(UiPrintingTest, EscapesOnThePrinterDeviceContextReachTheDriverInOrder) {
    std::vector<int> results;
    handler.onEvent = [&](INT event, HDC dc) {
        if (event != DOCUMENTEVENT_STARTPAGE) return;
        results.push_back(ExtEscape(dc, 0x10003, 0, nullptr, 4, nullptr));
        results.push_back(ExtEscape(dc, 0x10005, 0, nullptr, 4, nullptr));
        const char data[] = "\x03\x00" "abc";
        results.push_back(ExtEscape(dc, PASSTHROUGH, 5, data, 0, nullptr));
        // Another device context is not the printer's.
        HDC screen = GetDC(nullptr);
        ExtEscape(screen, 0x10003, 0, nullptr, 0, nullptr);
        ReleaseDC(nullptr, screen);
    };
    UiPrinting ui(&target, Settings());
    ui.StartDocument();
    ui.StartPage(1, 1);
    EXPECT_EQ(results, (std::vector<int>{7, 42, 7}));
    EXPECT_EQ(target.log, (std::vector<std::string>{"escape 65539 ", "escape 65541 ",
                                                    std::string("escape 19 \x03\x00" "abc", 15)}));
}

TEST_F(UiPrintingTest, APageTheHandlerAddsAtTheEndBecomesAPageOfTheJob) {
    handler.onEvent = [&](INT event, HDC dc) {
        if (event != DOCUMENTEVENT_ENDDOC) return;
        EXPECT_GT(StartPage(dc), 0);
        const char data[] = "\x04\x00" "text";
        ExtEscape(dc, PASSTHROUGH, 6, data, 0, nullptr);
        TextOutW(dc, 0, 0, L"cover", 5);
        EXPECT_GT(EndPage(dc), 0);
        ExtEscape(dc, 0x10004, 0, nullptr, 0, nullptr);
    };
    UiPrinting ui(&target, Settings());
    target.ui = &ui;
    PrintTwoPages(ui);
    // The page goes into the job once the event is over, its passthrough data among its drawing.
    EXPECT_EQ(target.log, (std::vector<std::string>{std::string("escape 19 \x04\x00" "text", 16), "escape 65540 ",
                                                    "start extra page", "emit", "end extra page"}));
    ASSERT_EQ(target.emitted.size(), 1u);
    const std::string& page = target.emitted[0];
    EXPECT_LT(page.find("concat"), page.find("text\n"));
    EXPECT_LT(page.find("text\n"), page.find("(cover)")) << page;
    ASSERT_EQ(target.previews.size(), 3u);
    EXPECT_EQ(target.previews[2].ordinal, 3);
    EXPECT_EQ(target.previews[2].texts, (std::vector<std::wstring>{L"cover"}));
    EXPECT_TRUE(ui.problems().empty());
}

TEST_F(UiPrintingTest, PassThroughOutsideTheAddedPageStaysBetweenPages) {
    handler.onEvent = [&](INT event, HDC dc) {
        if (event != DOCUMENTEVENT_ENDDOC) return;
        ExtEscape(dc, PASSTHROUGH, 8, "\x06\x00" "before", 0, nullptr);
        StartPage(dc);
        TextOutW(dc, 0, 0, L"cover", 5);
        EndPage(dc);
        ExtEscape(dc, PASSTHROUGH, 7, "\x05\x00" "after", 0, nullptr);
        TextOutW(dc, 0, 0, L"nowhere", 7);
    };
    UiPrinting ui(&target, Settings());
    target.ui = &ui;
    PrintTwoPages(ui);
    ASSERT_EQ(target.emitted.size(), 3u);
    EXPECT_EQ(target.emitted[0], "before\n");
    EXPECT_NE(target.emitted[1].find("(cover)"), std::string::npos);
    EXPECT_EQ(target.emitted[2], "after\n");
    EXPECT_EQ(std::count(target.log.begin(), target.log.end(), "start extra page"), 1);
    ASSERT_EQ(ui.notes().size(), 1u);  // the drawing outside a page is left out, and said so
    // Without a page of its own the data still reaches the job.
    handler.onEvent = [&](INT event, HDC dc) {
        if (event == DOCUMENTEVENT_ENDDOC) ExtEscape(dc, PASSTHROUGH, 6, "\x04\x00" "only", 0, nullptr);
    };
    target.emitted.clear();
    ui.EndDocument();
    EXPECT_EQ(target.emitted, (std::vector<std::string>{"only\n"}));
}

TEST_F(UiPrintingTest, PassThroughFromElsewhereIsNotTheDrawings) {
    UiPrinting ui(&target, Settings());
    ui.StartDocument();
    ui.StartPage(1, 1);
    EXPECT_FALSE(ui.PassThrough("x", 1));  // not inside an escape on the device context
    ui.EndPage("");
    EXPECT_FALSE(ui.PassThrough("x", 1));
}

TEST_F(UiPrintingTest, NoPageAddedMeansNoPageRecorded) {
    UiPrinting ui(&target, Settings());
    PrintTwoPages(ui);
    EXPECT_EQ(target.previews.size(), 2u);
    EXPECT_TRUE(target.log.empty());
}

TEST_F(UiPrintingTest, StartPageInsideADocumentPageIsRefused) {
    int answer = -1;
    handler.onEvent = [&](INT event, HDC dc) {
        if (event == DOCUMENTEVENT_STARTPAGE) answer = StartPage(dc);
    };
    UiPrinting ui(&target, Settings());
    ui.StartDocument();
    ui.StartPage(1, 1);
    ui.EndPage("");
    EXPECT_LE(answer, 0);
    EXPECT_TRUE(target.log.empty());
    EXPECT_EQ(ui.problems().size(), 1u);
}

TEST_F(UiPrintingTest, APageLeftOpenAtTheEndIsEndedForTheJob) {
    handler.onEvent = [&](INT event, HDC dc) {
        if (event == DOCUMENTEVENT_ENDDOC) StartPage(dc);
    };
    UiPrinting ui(&target, Settings());
    PrintTwoPages(ui);
    EXPECT_EQ(target.log, (std::vector<std::string>{"start extra page", "end extra page"}));
    EXPECT_EQ(ui.problems().size(), 1u);
}

TEST_F(UiPrintingTest, TheImportsAreTheRealOnesAgainAfterTheJob) {
    void** slot = FindImportSlot(GetModuleHandleW(nullptr), "gdi32.dll", "ExtEscape");
    ASSERT_NE(slot, nullptr);
    void* before = *slot;
    {
        UiPrinting ui(&target, Settings());
        EXPECT_NE(*slot, before);
    }
    EXPECT_EQ(*slot, before);
}

// The UI plug-in is a DLL of its own: the device context answers through that module's imports,
// and this program's calls on the same device context reach the real GDI.
TEST_F(UiPrintingTest, ThePlugInsModuleIsTheOneThatSeesThePrinter) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (n && path[n - 1] != L'\\' && path[n - 1] != L'/') --n;
    const std::wstring probePath = std::wstring(path, n) + L"iatprobe.dll";
    HMODULE probe = LoadLibraryW(probePath.c_str());
    ASSERT_NE(probe, nullptr) << "iatprobe.dll must sit beside the test program";
    using CapsFn = int(HDC, int);
    using EscapeFn = int(HDC, int, int, LPCSTR, int, LPSTR);
    auto* caps = reinterpret_cast<CapsFn*>(reinterpret_cast<void (*)()>(GetProcAddress(probe, "ProbeGetDeviceCaps")));
    auto* escape = reinterpret_cast<EscapeFn*>(reinterpret_cast<void (*)()>(GetProcAddress(probe, "ProbeExtEscape")));
    ASSERT_TRUE(caps && escape);

    int throughModule = 0, throughProgram = 0, escaped = 0;
    handler.onEvent = [&](INT event, HDC dc) {
        if (event != DOCUMENTEVENT_STARTPAGE) return;
        throughModule = caps(dc, PHYSICALWIDTH);
        throughProgram = GetDeviceCaps(dc, PHYSICALWIDTH);
        escaped = escape(dc, 0x10005, 0, nullptr, 0, nullptr);
    };
    UiPrintSettings settings = Settings();
    settings.module = probe;
    {
        UiPrinting ui(&target, settings);
        ASSERT_TRUE(ui.active());
        ui.StartDocument();
        ui.StartPage(1, 1);
        ui.EndPage("");
    }
    FreeLibrary(probe);
    EXPECT_EQ(throughModule, 5100);
    EXPECT_NE(throughProgram, 5100);  // a metafile's own width, not the printer's
    EXPECT_EQ(escaped, 42);
    EXPECT_EQ(target.log, (std::vector<std::string>{"escape 65541 "}));
}

TEST_F(UiPrintingTest, WithoutAHandlerNothingIsPatchedOrSent) {
    void** slot = FindImportSlot(GetModuleHandleW(nullptr), "gdi32.dll", "ExtEscape");
    ASSERT_NE(slot, nullptr);
    void* before = *slot;
    UiPrintSettings settings = Settings();
    settings.handler = nullptr;
    UiPrinting ui(&target, settings);
    EXPECT_FALSE(ui.active());
    EXPECT_EQ(*slot, before);
    PrintTwoPages(ui);
    EXPECT_TRUE(handler.events.empty());
    EXPECT_TRUE(target.previews.empty());
}

TEST(WatermarkPresets, DraftIsAGreyDiagonalOnEveryPage) {
    std::vector<std::wstring> settings;
    ASSERT_TRUE(WatermarkPreset(L"draft", &settings));
    corv::JobSettings record{};
    corv::DefaultRecord(&record);
    for (const auto& s : settings) {
        std::string error;
        ASSERT_TRUE(ApplySetting(&record, s, &error)) << error;
    }
    EXPECT_EQ(record.bWatermarks, 1);
    for (const corv::WatermarkRecord* wm : {&record.wmFirst, &record.wmOther}) {
        EXPECT_STREQ(wm->szText, L"DRAFT");
        EXPECT_STREQ(wm->szFontName, L"Arial");
        EXPECT_EQ(wm->dblAngle, 45.0);
        EXPECT_EQ(wm->lPointSize, 72);
        EXPECT_EQ(wm->rgbColor[0], 205);
        EXPECT_EQ(wm->rgbColor[1], 205);
        EXPECT_EQ(wm->rgbColor[2], 205);
    }
    EXPECT_TRUE(WatermarkPreset(L"Confidential", &settings));
    EXPECT_FALSE(WatermarkPreset(L"Drafts", &settings));
    EXPECT_FALSE(WatermarkPreset(L"", &settings));
}

TEST(WatermarkPresets, DescribedPageListsItsTextsAndFile) {
    PagePreview p;
    p.ordinal = 3;
    p.texts = {L"DRAFT", L"3"};
    p.png = L"Z:\\out\\page-3.png";
    EXPECT_EQ(DescribePreview(p), "page 3: \"DRAFT\" \"3\" -> Z:\\out\\page-3.png");
}

}  // namespace
