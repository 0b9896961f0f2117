#include "plug-in/render/inject.h"

#include "plug-in/render/jobstate.h"
#include "plug-in/render/nupproc.h"
#include "support/fakecore.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

using namespace corv;
using namespace corv::render;
using corvtest::FakeCore;
using Pieces = std::vector<std::string>;

namespace {

const std::string kMode1 = "statusdict dup /setmanualduplexmode known {begin 1 setmanualduplexmode end}{pop}ifelse\n";
const std::string kMode2 = "statusdict dup /setmanualduplexmode known {begin 2 setmanualduplexmode end}{pop}ifelse\n";
const std::string kDisable = "/definenup {} def\n/startnup {} def\n/finalpage {} def\n";
const std::string kDefineCall = "dn6 dn5 dn4 dn3 dn2 dn1 definenup\n";
const std::string kStartCall = "sn2 sn1 startnup\n";
const std::string kCellStores = "/sn1 exch def\n/sn2 exch def\n";
const std::string kGridStores =
    "/dn1 exch def\n/dn2 exch def\n/dn3 exch def\n/dn4 exch def\n/dn5 exch def\n/dn6 exch def\n";
const std::string kRotate = "clippath pathbbox translate 180 rotate pop pop\r\n";

std::string NupBlock() {
    return "\n/definenup {/LH/nupshowpage ld nupv astore !/pgx_nup 0 store/pgy_nup 0 store} def\n" +
           std::string(kStartNupProcedure) + "userdict /realshowpage known {finalpage} if\r\n" +
           "/finalpage {; realshowpage/LH/realshowpage ld} def\n";
}

std::string PageComment(int page) { return "%%Page: " + std::to_string(page) + " " + std::to_string(page) + "\n"; }

struct Page {
    Pieces comment, begin, end, trailer, show;
};

class Injection : public ::testing::Test {
protected:
    FakeCore core;
    JobSettings record{};
    DEVMODEW dm{};
    JobState state{};
    DEVOBJ device{};

    void SetUp() override {
        DefaultRecord(&record);
        dm.dmSize = sizeof dm;
        dm.dmDuplex = DMDUP_SIMPLEX;
        state.structSize = kJobStateSize;
        device.dwSize = sizeof device;
        device.pdevOEM = &state;
        device.pPublicDM = &dm;
        device.pOEMDM = &record;
    }

    void ManualDuplexWith(const char* pagesPerSheet) {
        core.features.insert("HasManualDuplex");
        dm.dmDuplex = DMDUP_HORIZONTAL;
        core.pagePerSheet = pagesPerSheet;
    }

    Pieces At(DWORD point) {
        size_t first = core.pieces.size();
        EXPECT_EQ(HandleInjection(&device, &core, point), S_OK) << "point " << point;
        return Pieces(core.pieces.begin() + static_cast<std::ptrdiff_t>(first), core.pieces.end());
    }

    Page PrintPage() {
        Page p;
        p.comment = At(PSINJECT_PAGENUMBER);
        p.begin = At(PSINJECT_BEGINPAGESETUP);
        p.end = At(PSINJECT_ENDPAGESETUP);
        p.trailer = At(PSINJECT_PAGETRAILER);
        p.show = At(PSINJECT_SHOWPAGE);
        return p;
    }

    // One letter per page, as the n-up sheets are laid out: D the first page of a sheet (n-up
    // disabled, operands stored, procedures redefined at show page), S the start on the first
    // sheet, F finishing the previous sheet and starting, - nothing.
    void ExpectNupSequence(const std::string& letters) {
        DWORD before = state.pageCount;
        for (char letter : letters) {
            int number = static_cast<int>(state.pageCount + 1);
            Page page = PrintPage();
            SCOPED_TRACE("page " + std::to_string(number));
            EXPECT_EQ(page.comment, Pieces{PageComment(number)});
            EXPECT_EQ(page.trailer, Pieces{});
            Pieces begin, end, show;
            switch (letter) {
                case 'D':
                    begin = {kDisable};
                    end = {kCellStores, kGridStores};
                    show = {NupBlock()};
                    break;
                case 'S':
                    begin = {kDefineCall, kStartCall};
                    break;
                case 'F':
                    begin = {"finalpage\n" + kDefineCall + kStartCall};
                    break;
            }
            EXPECT_EQ(page.begin, begin);
            EXPECT_EQ(page.end, end);
            EXPECT_EQ(page.show, show);
        }
        EXPECT_EQ(state.pageCount, before + letters.size());
    }
};

}  // namespace

TEST(SheetArithmetic, SheetAndPositionFollowThePagesPerSheet) {
    struct Case {
        DWORD pageCount;
        LONG perSheet;
        DWORD sheet;
        LONG position;
    } cases[] = {
        {0, 2, 0, 0},  {1, 2, 1, 1},  {2, 2, 1, 0},  {3, 2, 2, 1}, {4, 4, 1, 0},
        {5, 4, 2, 1},  {7, 4, 2, 3},  {9, 1, 9, 0},  {9, 0, 1, 0}, {9, -3, 1, 0},
        {0xFFFFFFFFu, 2, 0x80000000u, -1},  // the remainder is a signed one
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SheetOf(c.pageCount, c.perSheet), c.sheet) << c.pageCount << "/" << c.perSheet;
        EXPECT_EQ(PositionOf(c.pageCount, c.perSheet), c.position) << c.pageCount << "/" << c.perSheet;
    }
}

TEST(SheetArithmetic, NupCallsNeedManualDuplexAndSeveralPagesPerSheet) {
    for (DWORD page = 0; page <= 6; ++page) {
        EXPECT_EQ(BeginPageNupCall(page, {2, false}), NupCall::None) << page;
        EXPECT_EQ(BeginPageNupCall(page, {1, true}), NupCall::None) << page;
        EXPECT_EQ(BeginPageNupCall(page, {0, true}), NupCall::None) << page;  // not a number
    }
    EXPECT_EQ(BeginPageNupCall(0, {2, true}), NupCall::None);  // no page begun yet
    const NupCall three[] = {NupCall::Disable, NupCall::Start, NupCall::None,
                             NupCall::Disable, NupCall::FinishAndStart, NupCall::None};
    for (DWORD page = 1; page <= 6; ++page) EXPECT_EQ(BeginPageNupCall(page, {3, true}), three[page - 1]) << page;
}

TEST(StartProcedure, HasItsFixedEndsAndBalancedBraces) {
    std::string_view text(kStartNupProcedure, kStartNupProcedureLength);
    EXPECT_EQ(text.size(), 1189u);
    EXPECT_TRUE(text.starts_with("/startnup {/pgy_nup ~ store /pgx_nup ~ store nupv aload !"));
    EXPECT_TRUE(text.ends_with("$m concat pgx_nup paperw_nup mul pgy_nup paperh_nup mul + $m matrix invertmatrix "
                               "concat N startpage} def\n"));
    int depth = 0;
    for (char c : text) {
        depth += c == '{' ? 1 : c == '}' ? -1 : 0;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(text.find('\0'), std::string_view::npos);
}

TEST_F(Injection, VersionCommentAndPageSizePolicy) {
    EXPECT_EQ(At(PSINJECT_COMMENTS), Pieces{"%%Corvane PS System Driver Version:  3.0\n"});
    const char* policy =
        "[{\r\n<< currentpagedevice /InputAttributes get 0 get /PageSize get /PageSize exch /Policies << /PageSize %d "
        ">> >> setpagedevice\r\n} stopped cleartomark\r\n";
    std::string two(policy), seven(policy);
    two.replace(two.find("%d"), 2, "2");
    seven.replace(seven.find("%d"), 2, "7");
    EXPECT_EQ(At(PSINJECT_BEGINSETUP), Pieces{two});
    record.dwOutputTo = 3;
    record.wPageSizePolicy = 7;
    EXPECT_EQ(At(PSINJECT_BEGINSETUP), Pieces{seven});
    record.dwOutputTo = 2;  // EPS
    EXPECT_EQ(At(PSINJECT_BEGINSETUP), Pieces{});
}

TEST_F(Injection, PageCommentsNumberThePageAboutToBegin) {
    for (int page = 1; page <= 3; ++page) {
        EXPECT_EQ(At(PSINJECT_PAGENUMBER), Pieces{PageComment(page)});
        EXPECT_EQ(state.pageCount, static_cast<DWORD>(page - 1));  // only page setup counts
        EXPECT_EQ(At(PSINJECT_BEGINPAGESETUP), Pieces{});
    }
    EXPECT_EQ(state.pageCount, 3u);
}

TEST_F(Injection, TwoPagesPerSheetWithManualDuplex) {
    ManualDuplexWith("2");
    ExpectNupSequence("DSDFDFDFDFD");
}

TEST_F(Injection, FourPagesPerSheetWithManualDuplex) {
    ManualDuplexWith("4Up");
    ExpectNupSequence("DS--DF--DF-");
}

TEST_F(Injection, NoNupWithoutManualDuplexOrWithoutANumber) {
    ManualDuplexWith("2");
    dm.dmDuplex = DMDUP_SIMPLEX;
    state.duplexModeRequest = 1;  // neither the page comment nor the trailer may switch now
    ExpectNupSequence("----");
    EXPECT_EQ(state.duplexModeRequest, 1);
    dm.dmDuplex = DMDUP_VERTICAL;
    core.features.clear();  // the printer has no manual duplex
    ExpectNupSequence("----");
    core.features.insert("HasManualDuplex");
    device.pPublicDM = nullptr;
    ExpectNupSequence("----");
}

TEST_F(Injection, AnOptionThatIsNotANumberDisablesNupAndTheModeSwitch) {
    ManualDuplexWith("TwoUp");
    state.duplexModeRequest = 1;
    for (int page = 1; page <= 4; ++page) {
        Page p = PrintPage();
        EXPECT_EQ(p.comment, Pieces{PageComment(page)});
        EXPECT_EQ(p.begin, Pieces{});
        EXPECT_EQ(p.end, Pieces{});
        EXPECT_EQ(p.trailer, Pieces{});
        EXPECT_EQ(p.show, Pieces{});
    }
    EXPECT_EQ(state.duplexModeRequest, 1);
}

TEST_F(Injection, DuplexModeRequestsWithOnePagePerSheetGoOutAtThePageComment) {
    core.pagePerSheet = "1";
    state.duplexModeRequest = 1;
    EXPECT_EQ(At(PSINJECT_PAGENUMBER), (Pieces{PageComment(1), kMode1}));
    EXPECT_EQ(state.duplexModeRequest, 0);
    state.duplexModeRequest = 2;
    EXPECT_EQ(At(PSINJECT_PAGENUMBER), (Pieces{PageComment(1), kMode2}));
    EXPECT_EQ(state.duplexModeRequest, 0);
    state.duplexModeRequest = 3;
    EXPECT_EQ(At(PSINJECT_PAGENUMBER), Pieces{PageComment(1)});
    EXPECT_EQ(At(PSINJECT_PAGETRAILER), Pieces{});
    EXPECT_EQ(state.duplexModeRequest, 3);
}

TEST_F(Injection, BookletIsOnePagePerSheetEvenWithManualDuplex) {
    ManualDuplexWith("booklet");
    state.duplexModeRequest = 2;
    Page first = PrintPage();
    EXPECT_EQ(first.comment, (Pieces{PageComment(1), kMode2}));
    EXPECT_EQ(first.begin, Pieces{});
    EXPECT_EQ(first.end, Pieces{});
    EXPECT_EQ(first.show, Pieces{});
    state.duplexModeRequest = 1;
    EXPECT_EQ(At(PSINJECT_PAGETRAILER), Pieces{});  // the trailer only switches for n-up sheets
    EXPECT_EQ(state.duplexModeRequest, 1);
    EXPECT_EQ(At(PSINJECT_PAGENUMBER), (Pieces{PageComment(2), kMode1}));
}

TEST_F(Injection, DuplexModeRequestsOnNupSheetsWaitForThePageTrailer) {
    ManualDuplexWith("2");
    state.duplexModeRequest = 1;
    EXPECT_EQ(At(PSINJECT_PAGENUMBER), Pieces{PageComment(1)});
    EXPECT_EQ(At(PSINJECT_PAGETRAILER), Pieces{kMode1});
    EXPECT_EQ(state.duplexModeRequest, 0);
    state.duplexModeRequest = 2;
    EXPECT_EQ(At(PSINJECT_PAGETRAILER), Pieces{kMode2});
    EXPECT_EQ(state.duplexModeRequest, 0);
    state.duplexModeRequest = 3;
    EXPECT_EQ(At(PSINJECT_PAGETRAILER), Pieces{});
    EXPECT_EQ(state.duplexModeRequest, 3);
}

TEST_F(Injection, ASkippedPageErasesTheNextSheetsFirstPage) {
    ManualDuplexWith("2");
    state.pageSkipFlag = 1;
    state.eraseArmed = 1;      // as a device reset may carry it over
    Page first = PrintPage();  // the job's first page is never erased
    EXPECT_EQ(first.trailer, Pieces{});
    EXPECT_EQ(state.eraseAtTrailer, 0u);
    state.eraseArmed = 0;
    At(PSINJECT_PAGENUMBER);
    At(PSINJECT_BEGINPAGESETUP);
    At(PSINJECT_ENDPAGESETUP);  // the last page of the sheet arms the erasing
    EXPECT_EQ(state.eraseArmed, 1u);
    EXPECT_EQ(state.eraseAtTrailer, 0u);
    EXPECT_EQ(At(PSINJECT_PAGETRAILER), Pieces{});
    At(PSINJECT_SHOWPAGE);
    At(PSINJECT_PAGENUMBER);
    At(PSINJECT_BEGINPAGESETUP);
    At(PSINJECT_ENDPAGESETUP);
    EXPECT_EQ(state.eraseArmed, 0u);
    EXPECT_EQ(state.eraseAtTrailer, 1u);
    EXPECT_EQ(At(PSINJECT_PAGETRAILER), Pieces{"erasepage\n"});
    EXPECT_EQ(state.eraseAtTrailer, 0u);
    EXPECT_EQ(At(PSINJECT_PAGETRAILER), Pieces{});
}

TEST_F(Injection, OnlyTheSecondSlotArmsTheErasingOnLargerSheets) {
    ManualDuplexWith("4");
    state.pageSkipFlag = 1;
    state.pageCount = 3;  // the next page is the last one of the first sheet
    At(PSINJECT_BEGINPAGESETUP);
    At(PSINJECT_ENDPAGESETUP);
    EXPECT_EQ(state.eraseArmed, 0u);
    state.pageCount = 5;
    At(PSINJECT_BEGINPAGESETUP);
    At(PSINJECT_ENDPAGESETUP);
    EXPECT_EQ(state.eraseArmed, 1u);
    state.pageSkipFlag = 0;  // the flag is needed again when the next sheet begins
    state.pageCount = 8;
    At(PSINJECT_BEGINPAGESETUP);
    At(PSINJECT_ENDPAGESETUP);
    EXPECT_EQ(state.eraseArmed, 1u);
    EXPECT_EQ(state.eraseAtTrailer, 0u);
}

TEST_F(Injection, RotationComesBeforeTheOperandStores) {
    record.bRotate180 = 1;
    EXPECT_EQ(At(PSINJECT_ENDPAGESETUP), Pieces{kRotate});
    ManualDuplexWith("2");
    At(PSINJECT_BEGINPAGESETUP);
    EXPECT_EQ(At(PSINJECT_ENDPAGESETUP), (Pieces{kRotate, kCellStores, kGridStores}));
}

TEST_F(Injection, TheFaxCoverPageDisablesNupWithoutManualDuplex) {
    const std::string noop =
        "/definenup {pop pop pop pop pop pop} def\n/definenup {pop pop pop pop pop pop} def\n/startnup {pop pop} def\n"
        "userdict /realshowpage known {finalpage} if\r\n/finalpage {} def\n";
    record.dwOutputTo = 3;
    state.coverPageActive = 1;
    EXPECT_EQ(At(PSINJECT_BEGINPAGESETUP), Pieces{});  // the job has no cover page
    record.fax.bFaxCoverPage = 1;
    state.coverPageActive = 0;
    EXPECT_EQ(At(PSINJECT_BEGINPAGESETUP), Pieces{});  // the cover page is not being drawn now
    state.coverPageActive = 1;
    EXPECT_EQ(At(PSINJECT_BEGINPAGESETUP), Pieces{noop});
    EXPECT_EQ(state.pageCount, 3u);
    ManualDuplexWith("2");
    EXPECT_EQ(At(PSINJECT_BEGINPAGESETUP), Pieces{noop});  // instead of the n-up calls
    EXPECT_EQ(state.pageCount, 4u);
    record.dwOutputTo = 0;
    state.pageCount = 3;
    EXPECT_EQ(At(PSINJECT_BEGINPAGESETUP), (Pieces{"finalpage\n" + kDefineCall + kStartCall}));
}

TEST_F(Injection, AManualDuplexCoverPageOnASheetsFirstSlotTakesNoOperands) {
    // Its n-up calls popped their own operands: storing eight more would underflow the stack.
    ManualDuplexWith("2");
    record.dwOutputTo = 3;
    record.fax.bFaxCoverPage = 1;
    state.pageCount = 2;
    state.coverPageActive = 1;
    Page cover = PrintPage();
    EXPECT_EQ(state.pageCount, 3u);
    EXPECT_EQ(cover.end, Pieces{});
    EXPECT_EQ(cover.show, Pieces{NupBlock()});  // the rest of the first slot's texts stay
    state.coverPageActive = 0;  // an ordinary page on that slot still keeps them
    state.pageCount = 4;
    EXPECT_EQ(PrintPage().end, (Pieces{kCellStores, kGridStores}));
}

TEST_F(Injection, ShowPageClearsThePendingPageValue) {
    state.pendingPageValue = 7;
    EXPECT_EQ(At(PSINJECT_SHOWPAGE), Pieces{});
    EXPECT_EQ(state.pendingPageValue, 0u);
    ManualDuplexWith("2");
    state.pageCount = 1;
    state.pendingPageValue = 1;
    EXPECT_EQ(At(PSINJECT_SHOWPAGE), Pieces{NupBlock()});
    EXPECT_EQ(state.pendingPageValue, 0u);
}

TEST_F(Injection, UnknownPointsAndMissingPieces) {
    for (DWORD point : {0u, 3u, 12u, 104u, 106u, 200u}) EXPECT_EQ(HandleInjection(&device, &core, point), E_NOTIMPL);
    EXPECT_EQ(HandleInjection(nullptr, &core, PSINJECT_COMMENTS), E_FAIL);
    EXPECT_EQ(HandleInjection(&device, nullptr, PSINJECT_COMMENTS), E_FAIL);
    device.pOEMDM = nullptr;
    EXPECT_EQ(HandleInjection(&device, &core, PSINJECT_BEGINPAGESETUP), E_FAIL);
    device.pOEMDM = &record;
    device.pdevOEM = nullptr;
    EXPECT_EQ(HandleInjection(&device, &core, PSINJECT_BEGINPAGESETUP), E_FAIL);
    EXPECT_EQ(HandleInjection(&device, &core, 3), E_FAIL);  // nothing is answered without a job state
    EXPECT_TRUE(core.pieces.empty());
    EXPECT_EQ(state.pageCount, 0u);
}

TEST_F(Injection, TheJobStreamPointsGoToThePjlHeaderAndTrailer) {
    const std::string uel = "\x1b%-12345X";
    Pieces start = At(PSINJECT_BEGINSTREAM);
    ASSERT_FALSE(start.empty());
    EXPECT_EQ(start.front().substr(0, uel.size() + 9), uel + "@PJL JOB\n");
    Pieces routing = At(PSINJECT_PSADOBE);
    ASSERT_FALSE(routing.empty());
    EXPECT_EQ(routing.back(), "@PJL ENTER LANGUAGE = Postscript \n");
    Pieces end = At(PSINJECT_EOF);
    std::string trailer;
    for (const auto& piece : end) trailer += piece;
    EXPECT_EQ(trailer, uel + "@PJL RDYMSG DISPLAY = \"\"\n" + uel + "@PJL EOJ\n" + uel);
}
