// Any watermark record, job and device capabilities through the watermark and cover page
// geometry: no signed overflow and no real-to-integer conversion out of range (the sanitizers
// stop the run on either), rounding as specified, colours blended towards white, and for the
// sizes of real pages and texts, the text inside the page and the cover page's rows in order.
#include "check.h"
#include "common/record.h"
#include "plug-in/inboxui/core/geometry.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

using namespace corv;
using namespace corv::ui;

namespace {

int AnyInt(FuzzedDataProvider& in) { return in.ConsumeIntegral<int>(); }

// A device or page number: mostly of a printer's size, sometimes anything.
int DeviceInt(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange(-20000, 20000) : in.ConsumeIntegral<int>();
}

void CheckRounding(double value) {
    const int r = RoundToInt(value);
    if (std::isnan(value)) {
        FUZZ_CHECK(r == 0);
        return;
    }
    if (value >= 2147483647.0 || value <= -2147483648.0) {
        FUZZ_CHECK(r == (value > 0 ? 2147483647 : -2147483647 - 1));
        return;
    }
    const double diff = r - value;
    FUZZ_CHECK(std::fabs(diff) <= 0.5);
    // Halves go away from zero.
    if (std::fabs(diff) == 0.5) FUZZ_CHECK((value > 0 && r > value) || (value < 0 && r < value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(sizeof(WatermarkRecord));
    WatermarkRecord wm;
    fuzz::TakeBytes(bytes.data(), bytes.size(), 0, &wm, sizeof wm);

    // The public DEVMODE's fields are 16-bit; the record's are as stored, unvalidated.
    const short dpi = in.ConsumeIntegral<short>();
    const short dmScale = in.ConsumeIntegral<short>();
    const short orientation = in.ConsumeIntegral<short>();
    const float scale =
        in.ConsumeBool() ? in.ConsumeFloatingPointInRange(0.0f, 2.0f) : in.ConsumeFloatingPoint<float>();

    const COLORREF color = WatermarkColor(wm.rgbColor, wm.wIntensity);
    for (int i = 0; i < 3; ++i) {
        const int channel = (color >> (8 * i)) & 0xFF;
        if (wm.wIntensity <= 100) FUZZ_CHECK(channel >= wm.rgbColor[i]);
        if (wm.wIntensity == 100) FUZZ_CHECK(channel == wm.rgbColor[i]);
    }
    FUZZ_CHECK((color >> 24) == 0);
    PrinterFontHeight(wm.lPointSize, dpi, scale, dmScale);
    FUZZ_CHECK(PreviewFontHeight(wm.lPointSize, DeviceInt(in)) < 0);
    WatermarkEscapement(wm.dblAngle);
    CheckRounding(wm.dblAngle);
    CheckRounding(wm.dblOffsetX * 600.0);
    CheckRounding(in.ConsumeFloatingPoint<double>());

    RECT rect{DeviceInt(in), DeviceInt(in), DeviceInt(in), DeviceInt(in)};
    WatermarkInput w;
    w.angle = wm.dblAngle;
    w.position = wm.dwPosition;
    w.inches = wm.bInches != 0;
    w.offsetX = wm.dblOffsetX;
    w.offsetY = wm.dblOffsetY;
    w.physicalPage = in.ConsumeBool();
    w.orientation = orientation;
    w.dmScale = dmScale;
    w.dpi = dpi;
    w.physicalWidth = DeviceInt(in);
    w.physicalHeight = DeviceInt(in);
    w.physicalOffsetX = DeviceInt(in);
    w.physicalOffsetY = DeviceInt(in);
    w.rect = in.ConsumeBool() ? &rect : nullptr;
    w.scale = scale;
    w.textWidth = DeviceInt(in);
    w.textHeight = DeviceInt(in);
    PlaceWatermark(w);

    PreviewInput p;
    p.angle = wm.dblAngle;
    p.position = wm.dwPosition;
    p.inches = wm.bInches != 0;
    p.offsetX = wm.dblOffsetX;
    p.offsetY = wm.dblOffsetY;
    p.logPixelsX = DeviceInt(in);
    p.logPixelsY = DeviceInt(in);
    p.client = {DeviceInt(in), DeviceInt(in), DeviceInt(in), DeviceInt(in)};
    p.textWidth = DeviceInt(in);
    p.textHeight = DeviceInt(in);
    PlacePreview(p);

    const CoverPageLayout layout = LayoutCoverPage(DeviceInt(in), DeviceInt(in), DeviceInt(in), orientation);
    PlaceCoverStamp(layout, AnyInt(in), AnyInt(in));

    // A page and a text of sizes a printer or a preview has: unrotated, the text stays inside the
    // box at every anchor, give or take a unit of rounding.
    const int W = in.ConsumeIntegralInRange(1, 20000);
    const int H = in.ConsumeIntegralInRange(1, 20000);
    const int tw = in.ConsumeIntegralInRange(0, W);
    const int th = in.ConsumeIntegralInRange(0, H);
    const int left = in.ConsumeIntegralInRange(-20000, 20000);
    const int top = in.ConsumeIntegralInRange(-20000, 20000);
    const RECT client{left, top, left + W, top + H};
    for (DWORD position = kPosCenter; position <= kPosCenterRight; ++position) {
        const POINT a = PrinterAnchor(position, 0.0, tw, th, W, H);
        FUZZ_CHECK(a.x >= -1 && a.x + tw <= W + 1 && a.y >= -1 && a.y + th <= H + 1);
        const POINT p = PreviewAnchor(position, 0.0, tw, th, client);
        FUZZ_CHECK(p.x >= client.left - 1 && p.x + tw <= client.right + 1);
        FUZZ_CHECK(p.y >= client.top - 1 && p.y + th <= client.bottom + 1);
    }
    // The cover page of such a page: its rows run top to bottom inside it, the rules and the
    // comments' box between its margins.
    const CoverPageLayout cover = LayoutCoverPage(W, H, in.ConsumeIntegralInRange(72, 1200), orientation);
    if (cover.height >= 600 && cover.width >= 600) {
        for (int row = 0; row < kCoverRowCount; ++row) {
            FUZZ_CHECK(cover.rowY[row] > 0 && cover.rowY[row] < cover.height);
            if (row) FUZZ_CHECK(cover.rowY[row] > cover.rowY[row - 1]);
        }
        FUZZ_CHECK(0 < cover.x0 && cover.x0 < cover.xe && cover.xe < cover.width);
        FUZZ_CHECK(cover.comments.top < cover.comments.bottom && cover.comments.bottom <= cover.height);
        // The comments are indented by a share of the height: on a banner page they have no width.
        if (cover.height <= 4 * cover.width) FUZZ_CHECK(cover.comments.left < cover.comments.right);
    }
    return 0;
}
