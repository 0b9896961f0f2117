#include "host/print/psjob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using namespace corv::host;

TEST(NupLayout, GridsForEveryCount) {
    struct Row {
        int perSheet, nx, ny, angle;
        double cellWidth, cellHeight;
    };
    const Row rows[] = {
        {1, 1, 1, 0, 612, 792},   {2, 1, 2, 270, 792, 612}, {4, 2, 2, 0, 612, 792},
        {6, 2, 3, 270, 792, 612}, {9, 3, 3, 0, 612, 792},   {16, 4, 4, 0, 612, 792},
    };
    for (const Row& r : rows) {
        NupLayout l;
        ASSERT_TRUE(MakeNupLayout(r.perSheet, false, 612, 792, &l)) << r.perSheet;
        EXPECT_EQ(l.nx * l.ny, r.perSheet);
        EXPECT_EQ(l.nx, r.nx) << r.perSheet;
        EXPECT_EQ(l.ny, r.ny) << r.perSheet;
        EXPECT_EQ(l.angle, r.angle) << r.perSheet;
        EXPECT_EQ(l.cellWidth, r.cellWidth) << r.perSheet;
        EXPECT_EQ(l.cellHeight, r.cellHeight) << r.perSheet;
    }
    NupLayout l;
    EXPECT_FALSE(MakeNupLayout(3, false, 612, 792, &l));
    EXPECT_FALSE(MakeNupLayout(0, false, 612, 792, &l));
    ASSERT_TRUE(MakeNupLayout(0, true, 612, 792, &l));
    EXPECT_EQ(l.perSheet, 2) << "a booklet is two up";
    EXPECT_TRUE(l.booklet);
}

TEST(NupLayout, CellsFollowTheReadingOrder) {
    NupLayout two, four, six;
    ASSERT_TRUE(MakeNupLayout(2, false, 612, 792, &two));
    ASSERT_TRUE(MakeNupLayout(4, false, 612, 792, &four));
    ASSERT_TRUE(MakeNupLayout(6, false, 612, 792, &six));
    auto cells = [](const NupLayout& l) {
        std::vector<std::pair<int, int>> out;
        for (int i = 0; i < l.perSheet; ++i) out.push_back({CellOnSheet(l, i).x, CellOnSheet(l, i).y});
        return out;
    };
    using Cells = std::vector<std::pair<int, int>>;
    // Two up: the first page on the upper half (the left one when the sheet is turned to read).
    EXPECT_EQ(cells(two), (Cells{{0, 1}, {0, 0}}));
    EXPECT_EQ(cells(four), (Cells{{0, 1}, {1, 1}, {0, 0}, {1, 0}}));
    EXPECT_EQ(cells(six), (Cells{{1, 2}, {1, 1}, {1, 0}, {0, 2}, {0, 1}, {0, 0}}));
    EXPECT_EQ(CellOnSheet(two, 3).y, 0) << "the next sheet starts over";
}

TEST(NupLayout, EveryCellIsUsedOncePerSheet) {
    for (int n : {2, 4, 6, 9, 16}) {
        NupLayout l;
        ASSERT_TRUE(MakeNupLayout(n, false, 595, 842, &l));
        std::set<std::pair<int, int>> seen;
        for (int i = 0; i < n; ++i) {
            Cell c = CellOnSheet(l, i);
            EXPECT_TRUE(c.x >= 0 && c.x < l.nx && c.y >= 0 && c.y < l.ny) << n << " " << i;
            seen.insert({c.x, c.y});
        }
        EXPECT_EQ(seen.size(), static_cast<size_t>(n));
    }
}

TEST(BookletOrder, FoldsTheSheetsAroundTheMiddle) {
    EXPECT_EQ(BookletOrder(4), (std::vector<int>{4, 1, 2, 3}));
    EXPECT_EQ(BookletOrder(8), (std::vector<int>{8, 1, 2, 7, 6, 3, 4, 5}));
    EXPECT_EQ(BookletOrder(5), (std::vector<int>{0, 1, 2, 0, 0, 3, 4, 5})) << "blanks fill the last sheet";
    EXPECT_EQ(BookletOrder(1), (std::vector<int>{0, 1, 0, 0}));
    EXPECT_TRUE(BookletOrder(0).empty());
    for (int pages = 1; pages <= 13; ++pages) {
        std::vector<int> order = BookletOrder(pages);
        EXPECT_EQ(order.size() % 4, 0u);
        for (int p = 1; p <= pages; ++p) EXPECT_EQ(std::count(order.begin(), order.end(), p), 1) << pages;
    }
}

TEST(PsString, EscapesWhatPostScriptWouldReadOtherwise) {
    EXPECT_EQ(PsString("Report (draft)"), "(Report \\(draft\\))");
    EXPECT_EQ(PsString("a\\b"), "(a\\\\b)");
    EXPECT_EQ(PsString("tab\there\n"), "(tab\\011here\\012)");
    EXPECT_EQ(PsString("\xe9t\xe9"), "(\\351t\\351)");
    EXPECT_EQ(PsString(""), "()");
}

JobLayout Job(int perSheet) {
    JobLayout job;
    job.title = "T";
    job.pages = 3;
    job.paper = {"Letter", 612, 792, 12, 12, 600, 780};
    MakeNupLayout(perSheet, false, 612, 792, &job.nup);
    return job;
}

TEST(Prolog, DefinesEveryNameThePluginsProceduresUse) {
    const char* names[] = {"~",          "!",           "@",         "$",        "V",           "R",
                           "N",          "F",           "d",         "+S",       "+",           "Lw",
                           "ld",         ";",           "$m",        "LH",       "nupv",        "nupshowpage",
                           "startpage",  "pgx_nup",     "pgy_nup",   "papermarg_nup", "pagemarg_nup", "nups",
                           "paperw_nup", "paperh_nup",  "xoffset",   "yoffset",  "nx_nup",      "ny_nup",
                           "pagew_nup",  "pageh_nup",   "borderlinewidth", "nupangle", "framenup", "definenup",
                           "startnup",   "finalpage", "placepage", "flushnup"};
    for (int n : {1, 2}) {
        std::string prolog = Prolog(Job(n));
        for (const char* name : names)
            EXPECT_NE(prolog.find(std::string("/") + name + " "), std::string::npos) << name << " in " << n << "-up";
    }
    EXPECT_NE(Prolog(Job(2)).find("userdict /realshowpage "), std::string::npos);
    EXPECT_EQ(Prolog(Job(1)).find("realshowpage {"), std::string::npos)
        << "only an n-up job has the real showpage in userdict";
}

TEST(Prolog, StartsTheNupStateWithTheJobsLayout) {
    std::string prolog = Prolog(Job(2));
    EXPECT_NE(prolog.find("/nupv [270 1 792 612 1 2] d\n"), std::string::npos);
    EXPECT_NE(prolog.find("/LH /nupshowpage ld\n"), std::string::npos);
    EXPECT_NE(Prolog(Job(1)).find("/LH /showpage ld\n"), std::string::npos);
}

TEST(PageSetup, PushesTheOperandsInTheAgreedOrder) {
    // The grid on the first page of each sheet only; every page names its cell twice, for
    // startnup and for placepage.
    EXPECT_EQ(PageSetup(Job(2), 0), "; 270 1 792 612 1 2 definenup 0 1 startnup 0 1 placepage\n");
    EXPECT_EQ(PageSetup(Job(2), 1), "; 0 0 startnup 0 0 placepage\n");
    EXPECT_EQ(PageSetup(Job(2), 2), "; 270 1 792 612 1 2 definenup 0 1 startnup 0 1 placepage\n");
    EXPECT_EQ(PageSetup(Job(4), 4), "; 0 1 612 792 2 2 definenup 0 1 startnup 0 1 placepage\n");
    EXPECT_EQ(PageSetup(Job(4), 5), "; 1 1 startnup 1 1 placepage\n");
    EXPECT_EQ(PageSetup(Job(1), 0), "");
    EXPECT_EQ(TrailerCode(Job(4)), "flushnup\n");
    EXPECT_EQ(TrailerCode(Job(1)), "");
}

TEST(FeatureCode, WrapsTheInvocationSoAFailureDoesNotStopTheJob) {
    EXPECT_EQ(FeatureCode("PageSize", "A4", "<</PageSize [595 842]>> setpagedevice"),
              "[{\n%%BeginFeature: *PageSize A4\n<</PageSize [595 842]>> setpagedevice\n%%EndFeature\n"
              "} stopped cleartomark\n");
}

TEST(PageBody, NamesThePageAndLeavesBlankPagesEmpty) {
    JobLayout job = Job(1);
    job.title = "Q3 (final)";
    std::string body = PageBody(job, 2);
    EXPECT_NE(body.find("(2) bodytext"), std::string::npos);
    EXPECT_NE(body.find("(Q3 \\(final\\) - page 2 of 3) bodytext"), std::string::npos);
    EXPECT_EQ(body.substr(0, 7), "gsave\n0");
    EXPECT_EQ(PageBody(job, 0), "% blank page\n");
}

}  // namespace
