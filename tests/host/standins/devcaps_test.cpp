#include "host/standins/devcaps.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using corv::host::AnswerDeviceCaps;
using corv::host::CapsForPaper;
using corv::host::PaperSize;
using corv::host::PrinterCaps;

PaperSize Letter() {
    PaperSize p;
    p.name = "Letter";
    p.width = 612, p.height = 792;
    p.left = 18, p.bottom = 12, p.right = 594, p.top = 780;
    return p;
}

TEST(DeviceCaps, LetterAt600DpiFromTheImageableArea) {
    const PrinterCaps c = CapsForPaper(Letter(), 600);
    EXPECT_EQ(c.dpi, 600);
    EXPECT_EQ(c.physicalWidth, 5100);
    EXPECT_EQ(c.physicalHeight, 6600);
    // The device's origin is the imageable area's top left corner, measured from the sheet's.
    EXPECT_EQ(c.offsetX, 150);
    EXPECT_EQ(c.offsetY, 100);
    EXPECT_EQ(c.horzRes, 4800);
    EXPECT_EQ(c.vertRes, 6400);
    EXPECT_EQ(c.horzSize, 203);  // 576 points
    EXPECT_EQ(c.vertSize, 271);  // 768 points
}

TEST(DeviceCaps, PaperWithoutImageableAreaIsImageableToItsEdges) {
    PaperSize p = Letter();
    p.left = p.bottom = p.right = p.top = 0;
    const PrinterCaps c = CapsForPaper(p, 300);
    EXPECT_EQ(c.offsetX, 0);
    EXPECT_EQ(c.offsetY, 0);
    EXPECT_EQ(c.horzRes, 2550);
    EXPECT_EQ(c.vertRes, 3300);
    EXPECT_EQ(c.physicalWidth, 2550);
}

TEST(DeviceCaps, NoResolutionMeans600) { EXPECT_EQ(CapsForPaper(Letter(), 0).dpi, 600); }

TEST(DeviceCaps, AnswersThePrinterIndexesAndLeavesTheRest) {
    const PrinterCaps c = CapsForPaper(Letter(), 600);
    const struct {
        int index, value;
    } expected[] = {
        {PHYSICALWIDTH, 5100}, {PHYSICALHEIGHT, 6600}, {PHYSICALOFFSETX, 150}, {PHYSICALOFFSETY, 100},
        {HORZRES, 4800},       {VERTRES, 6400},        {LOGPIXELSX, 600},      {LOGPIXELSY, 600},
        {TECHNOLOGY, DT_RASPRINTER},
    };
    for (const auto& e : expected) {
        int value = -1;
        EXPECT_TRUE(AnswerDeviceCaps(c, e.index, &value)) << e.index;
        EXPECT_EQ(value, e.value) << e.index;
    }
    int value = -1;
    EXPECT_FALSE(AnswerDeviceCaps(c, BITSPIXEL, &value));
    EXPECT_FALSE(AnswerDeviceCaps(c, RASTERCAPS, &value));
    EXPECT_EQ(value, -1);
}

}  // namespace
