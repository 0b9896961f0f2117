#include "plug-in/inboxui/core/geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace corv::ui;

namespace {

// A4 at 600 dpi. The text's sides are even: with odd sides several products land on exact halves
// in theory, where the last bit of sin and asin decides the rounding.
constexpr int kW = 4960;
constexpr int kH = 7016;
constexpr int kTextW = 2002;
constexpr int kTextH = 602;

struct AnchorCase {
    double angle;
    DWORD position;
    POINT expected;
};

WatermarkInput A4Input(DWORD position, double angle) {
    WatermarkInput in;
    in.position = position;
    in.angle = angle;
    in.physicalWidth = kW;
    in.physicalHeight = kH;
    in.physicalOffsetX = 100;
    in.physicalOffsetY = 120;
    in.textWidth = kTextW;
    in.textHeight = kTextH;
    return in;
}

}  // namespace

TEST(RoundToInt, HalvesGoAwayFromZero) {
    EXPECT_EQ(RoundToInt(2.5), 3);
    EXPECT_EQ(RoundToInt(-2.5), -3);
    EXPECT_EQ(RoundToInt(0.5), 1);
    EXPECT_EQ(RoundToInt(-0.5), -1);
    EXPECT_EQ(RoundToInt(2.4999999), 2);
    EXPECT_EQ(RoundToInt(-2.4999999), -2);
    EXPECT_EQ(RoundToInt(0.49999999999999994), 0);
    EXPECT_EQ(RoundToInt(-0.0), 0);
}

TEST(RoundToInt, OutOfRangeSaturatesAndNanIsZero) {
    EXPECT_EQ(RoundToInt(1e20), INT_MAX);
    EXPECT_EQ(RoundToInt(-1e20), INT_MIN);
    EXPECT_EQ(RoundToInt(std::nan("")), 0);
}

TEST(WatermarkColor, IntensityBlendsEachChannelTowardWhite) {
    const BYTE red[4] = {255, 0, 0, 0};
    // MulDiv(255, 50, 100) rounds 127.5 up to 128: 255 - 128 = 127.
    EXPECT_EQ(WatermarkColor(red, 50), RGB(255, 127, 127));
    EXPECT_EQ(WatermarkColor(red, 100), RGB(255, 0, 0));
    EXPECT_EQ(WatermarkColor(red, 0), RGB(255, 255, 255));
    const BYTE orange[4] = {238, 145, 17, 0};
    EXPECT_EQ(WatermarkColor(orange, 100), RGB(238, 145, 17));
    EXPECT_EQ(WatermarkColor(orange, 100), 0x001191EEu);  // blue in the third byte
    // 255 - MulDiv(17, 30, 100) = 250, 255 - MulDiv(110, 30, 100) = 222, 255 - MulDiv(238, 30, 100) = 184.
    EXPECT_EQ(WatermarkColor(orange, 30), RGB(250, 222, 184));
}

TEST(WatermarkFont, PrinterHeightFromPointsDpiScaleAndDmScale) {
    EXPECT_EQ(PrinterFontHeight(72, 600, 1.0f, 100), -600);
    EXPECT_EQ(PrinterFontHeight(72, 600, 1.0f, 50), -300);
    EXPECT_EQ(PrinterFontHeight(72, 600, 0.5f, 100), -300);
    EXPECT_EQ(PrinterFontHeight(72, 300, 1.0f, 100), -300);
    // MulDiv(-100, 600, 720) = -83 (-83.3); -83 * 0.7 = -58.1.
    EXPECT_EQ(PrinterFontHeight(10, 600, 0.7f, 100), -58);
    // MulDiv(-10 * 72, 600, 720) * 10 * 75 / 1000 = -450.
    EXPECT_EQ(PrinterFontHeight(72, 600, 1.0f, 75), -450);
    // A point size no dialog would store still gives a huge font, not a wrapped-around one.
    EXPECT_LT(PrinterFontHeight(LONG_MAX, 600, 1.0f, 100), -100000000);
    EXPECT_LT(PreviewFontHeight(LONG_MAX, 96), -100000);
}

TEST(WatermarkFont, ScaledHeightIsFormedInSinglePrecision) {
    // h0 = MulDiv(-30, 600, 720) = -25. In single precision -25 * 0.7f is exactly -17.5 and
    // rounds to -18; in double it is -17.4999997 and would round to -17.
    EXPECT_EQ(PrinterFontHeight(3, 600, 0.7f, 100), -18);
}

TEST(WatermarkFont, PreviewHeightNeverRoundsToNothing) {
    // MulDiv(720, 96, 720) * 0.195 = 18.72.
    EXPECT_EQ(PreviewFontHeight(72, 96), -19);
    // MulDiv(20, 96, 720) = 3; 3 * 0.195 = 0.585.
    EXPECT_EQ(PreviewFontHeight(2, 96), -1);
    // MulDiv(10, 96, 720) = 1; 0.195 rounds to 0: still a one-pixel font.
    EXPECT_EQ(PreviewFontHeight(1, 96), -1);
    EXPECT_EQ(PreviewFontHeight(0, 96), -1);
    EXPECT_EQ(PreviewFontHeight(36, 120), -12);  // MulDiv(360, 120, 720) = 60; 11.7
}

TEST(WatermarkFont, EscapementInTenthsOfADegree) {
    EXPECT_EQ(WatermarkEscapement(45.0), 450);
    EXPECT_EQ(WatermarkEscapement(-30.25), -303);  // -302.5 away from zero
    EXPECT_EQ(WatermarkEscapement(180.0), 1800);
}

TEST(WatermarkOffsets, InchesAndMillimetres) {
    EXPECT_EQ(PrinterOffsets(1.0, 0.0, true, 600, 1.0f).u, 600);
    EXPECT_EQ(PrinterOffsets(0.0, 1.0, true, 600, 1.0f).v, 600);
    EXPECT_EQ(PrinterOffsets(-0.5, 0.25, true, 600, 0.5f).u, -150);
    EXPECT_EQ(PrinterOffsets(-0.5, 0.25, true, 600, 0.5f).v, 75);
    // 25.4 mm is one inch of device units: RoundToInt(15240 / 25.4) = 600.
    const TextOffsets mm = PrinterOffsets(25.4, -25.4, false, 600, 1.0f);
    EXPECT_EQ(mm.u, 600);
    EXPECT_EQ(mm.v, -600);
    // 10 mm: RoundToInt(6000 / 25.4) = 236 (236.2).
    EXPECT_EQ(PrinterOffsets(10.0, 0.0, false, 600, 1.0f).u, 236);
}

TEST(WatermarkOffsets, PreviewIsScaledDown) {
    // 96 * 1 * 0.195 = 18.72.
    const TextOffsets in = PreviewOffsets(1.0, -1.0, true, 96, 96);
    EXPECT_EQ(in.u, 19);
    EXPECT_EQ(in.v, -19);
    // 25.4 mm: RoundToInt(96 * 25.4 * 0.195) = 475 (475.5), then 475 / 25.4 = 18.7 -> 19.
    EXPECT_EQ(PreviewOffsets(25.4, 0.0, false, 96, 96).u, 19);
    EXPECT_EQ(PreviewOffsets(0.0, 1.0, true, 96, 120).v, 23);  // 120 * 0.195 = 23.4
}

TEST(WatermarkPageBox, WholePageUsesThePhysicalSizeAndOffsets) {
    PageBox box = WatermarkPageBox(kW, kH, 100, 120, nullptr, 1.0f, DMORIENT_PORTRAIT);
    EXPECT_EQ(box.width, kW);
    EXPECT_EQ(box.height, kH);
    EXPECT_EQ(box.offsetX, 100);
    EXPECT_EQ(box.offsetY, 120);
    // A landscape device page for a landscape job stays as it is.
    box = WatermarkPageBox(kH, kW, 120, 100, nullptr, 1.0f, DMORIENT_LANDSCAPE);
    EXPECT_EQ(box.width, kH);
    EXPECT_EQ(box.offsetX, 120);
}

TEST(WatermarkPageBox, OrientationMismatchSwapsBoxAndOffsets) {
    // A landscape job on a device context that reports a portrait page.
    PageBox box = WatermarkPageBox(kW, kH, 100, 120, nullptr, 1.0f, DMORIENT_LANDSCAPE);
    EXPECT_EQ(box.width, kH);
    EXPECT_EQ(box.height, kW);
    EXPECT_EQ(box.offsetX, 120);
    EXPECT_EQ(box.offsetY, 100);
    // A portrait job on a landscape page.
    box = WatermarkPageBox(kH, kW, 120, 100, nullptr, 1.0f, DMORIENT_PORTRAIT);
    EXPECT_EQ(box.width, kW);
    EXPECT_EQ(box.height, kH);
    EXPECT_EQ(box.offsetX, 100);
    EXPECT_EQ(box.offsetY, 120);
}

TEST(WatermarkPageBox, LogicalPageRectangle) {
    const RECT upsideDown{200, 3000, 2600, 100};  // bottom above top: the height is its magnitude
    PageBox box = WatermarkPageBox(kW, kH, 100, 120, &upsideDown, 1.0f, DMORIENT_LANDSCAPE);
    // 2400 wide and 2900 high: taller than wide for a landscape job, so swapped.
    EXPECT_EQ(box.width, 2900);
    EXPECT_EQ(box.height, 2400);
    EXPECT_EQ(box.offsetX, 120);
    EXPECT_EQ(box.offsetY, 100);

    const RECT wide{0, 0, 3000, 2000};
    box = WatermarkPageBox(kW, kH, 100, 120, &wide, 1.0f, DMORIENT_LANDSCAPE);
    EXPECT_EQ(box.width, 3000);
    EXPECT_EQ(box.height, 2000);
    EXPECT_EQ(box.offsetX, 100);
    EXPECT_EQ(box.offsetY, 120);

    // Shrunk logical pages: X0 = 0, Y0 = px; swapped: X0 = py, Y0 = 0.
    box = WatermarkPageBox(kW, kH, 100, 120, &wide, 0.5f, DMORIENT_LANDSCAPE);
    EXPECT_EQ(box.offsetX, 0);
    EXPECT_EQ(box.offsetY, 100);
    box = WatermarkPageBox(kW, kH, 100, 120, &wide, 0.5f, DMORIENT_PORTRAIT);
    EXPECT_EQ(box.width, 2000);
    EXPECT_EQ(box.height, 3000);
    EXPECT_EQ(box.offsetX, 120);
    EXPECT_EQ(box.offsetY, 0);
}

TEST(PrinterAnchor, EveryPositionAtZeroFortyFiveAndNinetyDegrees) {
    // Hand-computed from the position table for W 4960, H 7016, w 2002, h 602.
    const AnchorCase cases[] = {
        {0, 0, {1479, 3207}},  {0, 1, {0, 6414}},     {0, 2, {0, 0}},        {0, 3, {0, 3207}},
        {0, 4, {1479, 6414}},  {0, 5, {1479, 0}},     {0, 6, {2958, 6414}},  {0, 7, {2958, 0}},
        {0, 8, {2958, 3207}},
        {45, 0, {1559, 4003}}, {45, 1, {-426, 6590}}, {45, 2, {0, 0}},       {45, 3, {-213, 3295}},
        {45, 4, {1347, 7298}}, {45, 5, {1772, 708}},  {45, 6, {3119, 8006}}, {45, 7, {3544, 1416}},
        {45, 8, {3332, 4711}},
        {90, 0, {2179, 4509}}, {90, 1, {-602, 7016}}, {90, 2, {0, 0}},       {90, 3, {-301, 3508}},
        {90, 4, {1878, 8017}}, {90, 5, {2480, 1001}}, {90, 6, {4358, 9018}}, {90, 7, {4960, 2002}},
        {90, 8, {4659, 5510}},
    };
    for (const AnchorCase& c : cases) {
        const POINT p = PrinterAnchor(c.position, c.angle, kTextW, kTextH, kW, kH);
        EXPECT_EQ(p.x, c.expected.x) << "position " << c.position << " at " << c.angle;
        EXPECT_EQ(p.y, c.expected.y) << "position " << c.position << " at " << c.angle;
    }
}

TEST(PrinterAnchor, CentreLandsOnTheTextBoxCentre) {
    for (double angle : {0.0, 30.0, 45.0, 90.0, -60.0, 180.0}) {
        const double t = angle * 3.141592653589793 / 180.0;
        const POINT p = PrinterAnchor(kPosCenter, angle, kTextW, kTextH, kW, kH);
        // Along the rotated baseline by w/2 and down the rotated side by h/2.
        const double cx = p.x + kTextW / 2.0 * std::cos(t) + kTextH / 2.0 * std::sin(t);
        const double cy = p.y - kTextW / 2.0 * std::sin(t) + kTextH / 2.0 * std::cos(t);
        EXPECT_NEAR(cx, kW / 2, 2.0) << angle;
        EXPECT_NEAR(cy, kH / 2, 2.0) << angle;
    }
}

TEST(PrinterAnchor, UnknownPositionIsTheCentre) {
    const POINT centre = PrinterAnchor(kPosCenter, 45.0, kTextW, kTextH, kW, kH);
    const POINT unknown = PrinterAnchor(9, 45.0, kTextW, kTextH, kW, kH);
    EXPECT_EQ(unknown.x, centre.x);
    EXPECT_EQ(unknown.y, centre.y);
}

TEST(PrinterAnchor, EmptyTextFallsBackWithoutDividingByZero) {
    POINT p = PrinterAnchor(kPosBottomCenter, 30.0, 0, 0, kW, kH);
    EXPECT_EQ(p.x, 2480);
    EXPECT_EQ(p.y, kH);
    p = PrinterAnchor(kPosBottomRight, 30.0, 0, 0, kW, kH);
    EXPECT_EQ(p.x, kW);
    EXPECT_EQ(p.y, kH);
    p = PrinterAnchor(kPosCenterRight, 30.0, 0, 0, kW, kH);
    EXPECT_EQ(p.x, 2480);
    EXPECT_EQ(p.y, 3508);
    // A text with width only still has a length for all three.
    p = PrinterAnchor(kPosCenterRight, 0.0, 1, 0, kW, kH);
    EXPECT_EQ(p.x, kW - 1);
    EXPECT_EQ(p.y, 3508);
}

TEST(PlaceWatermark, CentreAtZeroDegreesLandsOnThePhysicalPageCentre) {
    WatermarkInput in = A4Input(kPosCenter, 0.0);
    in.textWidth = 2000;
    in.textHeight = 600;
    WatermarkPlacement p = PlaceWatermark(in);
    EXPECT_EQ(p.point.x + 1000, 2480 - 100);
    EXPECT_EQ(p.point.y + 300, 3508 - 120);
    // Without the physical-page shift the text lies X0 and Y0 further right and down.
    in.physicalPage = false;
    p = PlaceWatermark(in);
    EXPECT_EQ(p.point.x + 1000, 2480);
    EXPECT_EQ(p.point.y + 300, 3508);
}

TEST(PlaceWatermark, PhysicalOffsetShiftsPerPosition) {
    // With a rectangle of the page's size no margin applies, so only the shifts are seen.
    const RECT page{0, 0, kW, kH};
    struct Shift {
        DWORD position;
        int dx;
        int dy;
    };
    const Shift shifts[] = {
        {0, -100, -120}, {1, 100, -240}, {2, 100, 120},  {3, 100, -120}, {4, 100, -240},
        {5, 100, 120},   {6, -200, -240}, {7, -200, 120}, {8, -200, -120},
    };
    for (const Shift& s : shifts) {
        WatermarkInput in = A4Input(s.position, 45.0);
        in.rect = &page;
        const POINT anchor = PrinterAnchor(s.position, 45.0, kTextW, kTextH, kW, kH);
        const WatermarkPlacement p = PlaceWatermark(in);
        EXPECT_EQ(p.point.x, anchor.x + s.dx) << s.position;
        EXPECT_EQ(p.point.y, anchor.y + s.dy) << s.position;
    }
}

TEST(PlaceWatermark, MarginsPullRightAndBottomPositionsIn) {
    // 600 dpi: 0.07 inch = 42, 0.1 inch = 60; the bottom-right corner gets both twice.
    struct Margin {
        DWORD position;
        int dx;
        int dy;
    };
    const Margin margins[] = {
        {0, 0, 0},  {1, 0, -60},  {2, 0, 0},   {3, 0, 0},   {4, 0, -60},
        {5, 0, 0}, {6, -84, -120}, {7, -42, 0}, {8, -42, 0},
    };
    for (const Margin& m : margins) {
        WatermarkInput in = A4Input(m.position, 0.0);
        in.physicalPage = false;
        const POINT anchor = PrinterAnchor(m.position, 0.0, kTextW, kTextH, kW, kH);
        const WatermarkPlacement p = PlaceWatermark(in);
        EXPECT_EQ(p.point.x, anchor.x + m.dx) << m.position;
        EXPECT_EQ(p.point.y, anchor.y + m.dy) << m.position;
    }
    // At 300 dpi: RoundToInt(21.0) and RoundToInt(30.0).
    WatermarkInput in = A4Input(kPosBottomRight, 0.0);
    in.physicalPage = false;
    in.dpi = 300;
    EXPECT_EQ(PlaceWatermark(in).point.x, 2958 - 42);
    EXPECT_EQ(PlaceWatermark(in).point.y, 6414 - 60);
}

TEST(PlaceWatermark, BottomRightAltogether) {
    // Anchor (2958, 6414), shift (-2 * 100, -2 * 120), two margins each way.
    const WatermarkPlacement p = PlaceWatermark(A4Input(kPosBottomRight, 0.0));
    EXPECT_EQ(p.point.x, 2958 - 200 - 84);
    EXPECT_EQ(p.point.y, 6414 - 240 - 120);
}

TEST(PlaceWatermark, OffsetsMoveRightAndUp) {
    WatermarkInput in = A4Input(kPosTopLeft, 0.0);
    in.physicalPage = false;
    in.offsetX = 1.0;
    in.offsetY = 0.5;
    WatermarkPlacement p = PlaceWatermark(in);
    EXPECT_EQ(p.point.x, 600);
    EXPECT_EQ(p.point.y, -300);
    // 25.4 mm is exactly one inch.
    in.inches = false;
    in.offsetX = 25.4;
    in.offsetY = -25.4;
    p = PlaceWatermark(in);
    EXPECT_EQ(p.point.x, 600);
    EXPECT_EQ(p.point.y, 600);
}

TEST(PlaceWatermark, DmScaleAndLogicalScaleShrinkTheResult) {
    WatermarkInput in = A4Input(kPosCenter, 0.0);
    in.physicalPage = false;
    in.dmScale = 50;
    // Anchor (1479, 3207), halved: MulDiv(14790, 50, 1000) = 740 (739.5), 1604 (1603.5).
    WatermarkPlacement p = PlaceWatermark(in);
    EXPECT_EQ(p.point.x, 740);
    EXPECT_EQ(p.point.y, 1604);
    // An inch offset at 600 dpi: 600 units, times the scale 0.5, times dmScale 50 percent.
    in.position = kPosTopLeft;
    in.offsetX = 1.0;
    in.scale = 0.5f;
    const RECT logical{0, 0, 2480, 3508};
    in.rect = &logical;
    p = PlaceWatermark(in);
    EXPECT_EQ(p.offsets.u, 300);
    EXPECT_EQ(p.point.x, 150);
    EXPECT_EQ(p.point.y, 0);
}

TEST(PlaceWatermark, LandscapeJobOnAPortraitDevicePage) {
    WatermarkInput in = A4Input(kPosTopRight, 0.0);
    in.orientation = DMORIENT_LANDSCAPE;
    const WatermarkPlacement p = PlaceWatermark(in);
    EXPECT_EQ(p.box.width, kH);
    EXPECT_EQ(p.box.height, kW);
    // W - w = 7016 - 2002; then -2 * X0 with X0 = py = 120, and the 42-unit margin; Y + Y0 with Y0 = px.
    EXPECT_EQ(p.point.x, 5014 - 240 - 42);
    EXPECT_EQ(p.point.y, 100);
}

TEST(PlaceWatermark, HugeOffsetsSaturateInsteadOfWrapping) {
    WatermarkInput in = A4Input(kPosTopLeft, 0.0);
    in.offsetX = 1e12;
    in.offsetY = 1e12;
    const WatermarkPlacement p = PlaceWatermark(in);
    EXPECT_GT(p.point.x, 0);
    EXPECT_LT(p.point.y, 0);
}

// Device numbers and page rectangles come from the printer and the page escape: at the ends of the
// int range every sum saturates instead of wrapping to the other side of the page.
TEST(PlaceWatermark, ExtremeDeviceNumbersSaturate) {
    const RECT all{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    const PageBox box = WatermarkPageBox(0, 0, 0, 0, &all, 1.0f, 0);
    EXPECT_EQ(box.width, INT_MAX);
    EXPECT_EQ(box.height, INT_MAX);

    // A1 = A3 = MulDiv(INT_MAX, -7071, 10000): their sum leaves the int range, its half does not.
    POINT p = PrinterAnchor(kPosCenter, 225.0, INT_MAX, INT_MAX, 0, 0);
    EXPECT_EQ(p.x, 1518485687);
    EXPECT_EQ(p.y, 0);
    p = PrinterAnchor(kPosBottomLeft, -90.0, 10, INT_MAX, 0, INT_MAX);  // x = 0 + h, y = H - 0
    EXPECT_EQ(p.x, INT_MAX);
    EXPECT_EQ(p.y, INT_MAX);

    p = PreviewAnchor(kPosCenter, 0.0, 10, 10, all);
    EXPECT_EQ(p.x, -6);  // the centre of the whole range, not a wrapped one
    p = PreviewAnchor(kPosTopRight, 180.0, INT_MAX, 10, all);
    EXPECT_EQ(p.x, INT_MAX);

    // hp = 72, so the heading's width stays INT_MAX and x0 = 1080 comes on top of it.
    const CoverPageLayout l = LayoutCoverPage(21600, 21600, 72, DMORIENT_PORTRAIT);
    EXPECT_EQ(PlaceCoverStamp(l, INT_MAX, 10).x, INT_MAX);
}

TEST(PreviewAnchor, EveryPositionInTheClientRectangle) {
    const RECT client{10, 20, 310, 221};  // centre (160, 120)
    const AnchorCase cases[] = {
        {0, 0, {109, 104}},  {0, 1, {10, 189}},   {0, 2, {10, 20}},    {0, 3, {10, 104}},
        {0, 4, {109, 189}},  {0, 5, {109, 20}},   {0, 6, {208, 189}},  {0, 7, {208, 20}},
        {0, 8, {208, 104}},
        {45, 0, {112, 144}}, {45, 1, {-13, 198}}, {45, 2, {10, 20}},   {45, 3, {-1, 109}},
        {45, 4, {101, 234}}, {45, 5, {124, 56}},  {45, 6, {215, 270}}, {45, 7, {238, 92}},
        {45, 8, {227, 181}},
        {90, 0, {144, 171}}, {90, 1, {-22, 221}}, {90, 2, {10, 20}},   {90, 3, {-6, 120}},
        {90, 4, {128, 272}}, {90, 5, {160, 71}},  {90, 6, {278, 323}}, {90, 7, {310, 122}},
        {90, 8, {294, 222}},
    };
    for (const AnchorCase& c : cases) {
        const POINT p = PreviewAnchor(c.position, c.angle, 102, 32, client);
        EXPECT_EQ(p.x, c.expected.x) << "position " << c.position << " at " << c.angle;
        EXPECT_EQ(p.y, c.expected.y) << "position " << c.position << " at " << c.angle;
    }
}

TEST(PreviewAnchor, EmptyTextFallbacks) {
    const RECT client{10, 20, 310, 221};
    POINT p = PreviewAnchor(kPosBottomCenter, 10.0, 0, 0, client);
    EXPECT_EQ(p.x, 160);
    EXPECT_EQ(p.y, 221);
    p = PreviewAnchor(kPosBottomRight, 10.0, 0, 0, client);
    EXPECT_EQ(p.x, 310);
    EXPECT_EQ(p.y, 221);
    p = PreviewAnchor(kPosCenterRight, 10.0, 0, 0, client);
    EXPECT_EQ(p.x, 160);
    EXPECT_EQ(p.y, 120);
}

TEST(PlacePreview, OffsetsWithoutMarginsOrShifts) {
    PreviewInput in;
    in.position = kPosBottomRight;
    in.client = {0, 0, 200, 100};
    in.textWidth = 50;
    in.textHeight = 10;
    in.offsetX = 1.0;   // 19 pixels right
    in.offsetY = -1.0;  // 19 pixels down
    const POINT p = PlacePreview(in);
    EXPECT_EQ(p.x, 150 + 19);
    EXPECT_EQ(p.y, 90 + 19);
}

namespace {

void ExpectRows(const CoverPageLayout& l, const int (&expected)[kCoverRowCount]) {
    for (int row = 0; row < kCoverRowCount; ++row) EXPECT_EQ(l.rowY[row], expected[row]) << "row " << row + 1;
}

}  // namespace

TEST(CoverPageLayout, A4PortraitAt600Dpi) {
    const CoverPageLayout l = LayoutCoverPage(4960, 7016, 600, DMORIENT_PORTRAIT);
    EXPECT_EQ(l.width, 4960);
    EXPECT_EQ(l.height, 7016);
    EXPECT_EQ(l.x0, 248);
    EXPECT_EQ(l.xe, 4464);
    EXPECT_EQ(l.indent, 175);
    EXPECT_EQ(l.titleHeight, -200);    // MulDiv(24, 600, 72)
    EXPECT_EQ(l.headingHeight, -133);  // MulDiv(16, 600, 72) = 133.3
    EXPECT_EQ(l.bodyHeight, -100);     // MulDiv(12, 600, 72)
    EXPECT_EQ(l.thickPen, 16);
    EXPECT_EQ(l.thinPen, 9);
    // H/20 = 350, H/30 = 233.
    const int rows[kCoverRowCount] = {350,  700,  1050, 1283, 1516, 1866, 2099, 2332, 2565, 2915,
                                      3148, 3381, 3614, 3847, 4080, 4313, 4546, 4896, 6666};
    ExpectRows(l, rows);
    EXPECT_EQ(l.comments.left, 423);
    EXPECT_EQ(l.comments.top, 4896);
    EXPECT_EQ(l.comments.right, 4289);
    EXPECT_EQ(l.comments.bottom, 6666);
}

TEST(CoverPageLayout, LetterAndTheOrientationSwap) {
    // Letter at 600 dpi, portrait job on a portrait page: H/20 = 330, H/30 = 220.
    CoverPageLayout l = LayoutCoverPage(5100, 6600, 600, DMORIENT_PORTRAIT);
    EXPECT_EQ(l.x0, 255);
    EXPECT_EQ(l.xe, 4590);
    EXPECT_EQ(l.indent, 165);
    EXPECT_EQ(l.titleHeight, -208);  // MulDiv(25, 600, 72) = 208.3
    EXPECT_EQ(l.headingHeight, -142);  // MulDiv(17, 600, 72) = 141.7
    EXPECT_EQ(l.bodyHeight, -100);   // MulDiv(12, 600, 72)
    EXPECT_EQ(l.thickPen, 17);
    EXPECT_EQ(l.thinPen, 10);
    const int rows[kCoverRowCount] = {330,  660,  990,  1210, 1430, 1760, 1980, 2200, 2420, 2750,
                                      2970, 3190, 3410, 3630, 3850, 4070, 4290, 4620, 6270};
    ExpectRows(l, rows);

    // A landscape job on a portrait device page: laid out on the swapped box.
    l = LayoutCoverPage(5100, 6600, 600, DMORIENT_LANDSCAPE);
    EXPECT_EQ(l.width, 6600);
    EXPECT_EQ(l.height, 5100);
    EXPECT_EQ(l.x0, 330);
    EXPECT_EQ(l.xe, 5940);
    EXPECT_EQ(l.indent, 127);
    EXPECT_EQ(l.rowY[kRowTitle], 255);
    EXPECT_EQ(l.rowY[kRowPagesToFollow], 765);
    EXPECT_EQ(l.rowY[kRowBottomRule], 4845);
    EXPECT_EQ(l.titleHeight, -208);  // from the shorter side either way

    // A portrait job on a landscape device page.
    l = LayoutCoverPage(6600, 5100, 600, DMORIENT_PORTRAIT);
    EXPECT_EQ(l.width, 5100);
    EXPECT_EQ(l.height, 6600);
}

TEST(CoverPageLayout, StampFollowsTheHeading) {
    const CoverPageLayout l = LayoutCoverPage(4960, 7016, 600, DMORIENT_PORTRAIT);
    // hp = 133: x = 248 + MulDiv(900, 133, 72) = 248 + 1663 (1662.5), y = 1050 + half(MulDiv(101, 133, 72)).
    const CoverStamp s = PlaceCoverStamp(l, 900, 101);
    EXPECT_EQ(s.x, 248 + 1663);
    EXPECT_EQ(s.y, 1050 + 93);  // MulDiv(101, 133, 72) = 187 (186.6), halved
    EXPECT_EQ(s.fontSize, 100);
}
