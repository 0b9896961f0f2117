#include "plug-in/inboxui/core/geometry.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace corv::ui {

namespace {

constexpr double kPi = 3.141592653589793;

double Radians(double degrees) { return degrees * kPi / 180.0; }

// Sums of device coordinates and user offsets can leave the int range when a record carries a
// huge offset; they saturate instead of wrapping.
int Saturate(long long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// The box that positions 1 to 8 refer to. On the printer it is (0, 0, W, H) with the centre at the
// integer halves; in the preview it is the control's client rectangle.
struct AnchorBox {
    int left;
    int top;
    int right;
    int bottom;
    int cx;
    int cy;
};

POINT Saturated(long long x, long long y) { return {Saturate(x), Saturate(y)}; }

// The box's coordinates and the text's extents come from the device and the page escape: the
// sums are formed in 64 bits and saturate.
POINT EdgeAnchor(DWORD position, double theta, int w, int h, const AnchorBox& b) {
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    const long long left = b.left, top = b.top, right = b.right, bottom = b.bottom, cx = b.cx, cy = b.cy;
    switch (position) {
    case kPosBottomLeft:
        return Saturated(left - RoundToInt(s * h), bottom - RoundToInt(c * h));
    case kPosTopLeft:
        return {b.left, b.top};
    case kPosCenterLeft:
        return Saturated(left - RoundToInt(0.5 * s * h), cy - RoundToInt(0.5 * c * h));
    case kPosBottomCenter: {
        const double half = w / 2.0;
        const double d = std::sqrt(static_cast<double>(h) * h + half * half);
        if (d == 0.0) return Saturated(cx - Half(w), bottom - 2LL * h);
        const double phi = std::asin(h / d);
        return Saturated(cx - RoundToInt(d * std::cos(theta - phi)), bottom + RoundToInt(d * std::sin(theta - phi)));
    }
    case kPosTopCenter:
        return Saturated(cx - RoundToInt(0.5 * c * w), top + RoundToInt(0.5 * s * w));
    case kPosBottomRight: {
        const double d = std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h);
        if (d == 0.0) return {b.right, b.bottom};
        const double phi = std::asin(h / d);
        return Saturated(right - RoundToInt(d * std::cos(theta - phi)), bottom + RoundToInt(d * std::sin(theta - phi)));
    }
    case kPosTopRight:
        return Saturated(right - RoundToInt(c * w), top + RoundToInt(s * w));
    case kPosCenterRight: {
        const double half = h / 2.0;
        const double d = std::sqrt(static_cast<double>(w) * w + half * half);
        if (d == 0.0) return {b.cx, b.cy};
        const double phi = std::asin(w / d);
        return Saturated(right - RoundToInt(d * std::sin(phi + theta)), cy - RoundToInt(d * std::cos(phi + theta)));
    }
    default:
        return {b.cx, b.cy};
    }
}

}  // namespace

int RoundToInt(double value) {
    if (std::isnan(value)) return 0;
    // Not std::round: the runtime's version adds 0.5 first, which turns 0.49999999999999994 into 1.
    const double magnitude = std::fabs(value);
    double r = std::floor(magnitude);
    if (magnitude - r >= 0.5) r += 1.0;
    if (value < 0) r = -r;
    if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

COLORREF WatermarkColor(const BYTE rgbColor[4], WORD intensity) {
    BYTE channel[3];
    for (int i = 0; i < 3; ++i) {
        const int k = MulDiv(255 - rgbColor[i], intensity, 100);
        channel[i] = static_cast<BYTE>(255 - k);
    }
    return RGB(channel[0], channel[1], channel[2]);
}

LONG PrinterFontHeight(LONG pointSize, int dpi, float scale, int dmScale) {
    const int h0 = MulDiv(Saturate(-10LL * pointSize), dpi, 720);
    // The scaled height is formed in single precision, as the scale itself is.
    const float scaled = static_cast<float>(h0) * scale;
    const int h1 = RoundToInt(scaled);
    return MulDiv(Saturate(10LL * h1), dmScale, 1000);
}

LONG PreviewFontHeight(LONG pointSize, int logPixelsY) {
    const int n = RoundToInt(MulDiv(Saturate(10LL * pointSize), logPixelsY, 720) * 0.195);
    // However small the preview, the text stays visible as a one-pixel font.
    return n > 0 ? -n : -1;
}

LONG WatermarkEscapement(double angleDegrees) { return RoundToInt(10.0 * angleDegrees); }

TextOffsets PrinterOffsets(double offsetX, double offsetY, bool inches, int dpi, float scale) {
    TextOffsets o{RoundToInt(dpi * offsetX * static_cast<double>(scale)),
                  RoundToInt(dpi * offsetY * static_cast<double>(scale))};
    if (!inches) {
        o.u = RoundToInt(o.u / 25.4);
        o.v = RoundToInt(o.v / 25.4);
    }
    return o;
}

TextOffsets PreviewOffsets(double offsetX, double offsetY, bool inches, int logPixelsX, int logPixelsY) {
    TextOffsets o{RoundToInt(logPixelsX * offsetX * 0.195), RoundToInt(logPixelsY * offsetY * 0.195)};
    if (!inches) {
        o.u = RoundToInt(o.u / 25.4);
        o.v = RoundToInt(o.v / 25.4);
    }
    return o;
}

PageBox WatermarkPageBox(int physicalWidth, int physicalHeight, int physicalOffsetX, int physicalOffsetY,
                         const RECT* rect, float scale, int orientation) {
    PageBox box{physicalWidth, physicalHeight, physicalOffsetX, physicalOffsetY};
    const bool shrunk = rect && scale < 1.0f;
    if (rect) {
        box.width = Saturate(static_cast<long long>(rect->right) - rect->left);
        box.height = Saturate(std::llabs(static_cast<long long>(rect->bottom) - rect->top));
        if (shrunk) {
            box.offsetX = 0;
            box.offsetY = physicalOffsetX;
        }
    }
    if ((orientation == DMORIENT_LANDSCAPE && box.height > box.width) ||
        (orientation == DMORIENT_PORTRAIT && box.height < box.width)) {
        std::swap(box.width, box.height);
        box.offsetX = physicalOffsetY;
        box.offsetY = shrunk ? 0 : physicalOffsetX;
    }
    return box;
}

DWORD NormalizePosition(DWORD position) { return position > kPosCenterRight ? kPosCenter : position; }

POINT PrinterAnchor(DWORD position, double angleDegrees, int w, int h, int W, int H) {
    position = NormalizePosition(position);
    const double theta = Radians(angleDegrees);
    if (position == kPosCenter) {
        const int kc = RoundToInt(10000.0 * std::cos(theta));
        const int ks = RoundToInt(10000.0 * std::sin(theta));
        const int a1 = MulDiv(w, kc, 10000);
        const int a2 = MulDiv(w, ks, 10000);
        const int a3 = MulDiv(h, ks, 10000);
        const int a4 = MulDiv(h, kc, 10000);
        // half() of the 64-bit sums: both truncate toward zero.
        return Saturated(Half(W) - (static_cast<long long>(a1) + a3) / 2,
                         Half(H) + (static_cast<long long>(a2) - a4) / 2);
    }
    return EdgeAnchor(position, theta, w, h, AnchorBox{0, 0, W, H, Half(W), Half(H)});
}

POINT PreviewAnchor(DWORD position, double angleDegrees, int w, int h, const RECT& client) {
    position = NormalizePosition(position);
    const double theta = Radians(angleDegrees);
    // Between the edges, so within the int range.
    const int cx = static_cast<int>(client.left + (static_cast<long long>(client.right) - client.left) / 2);
    const int cy = static_cast<int>(client.top + (static_cast<long long>(client.bottom) - client.top) / 2);
    if (position == kPosCenter) {
        const double c = std::cos(theta);
        const double s = std::sin(theta);
        const long long x = static_cast<long long>(cx) - RoundToInt(0.5 * RoundToInt(w * c));
        const long long y = static_cast<long long>(cy) - RoundToInt(0.5 * RoundToInt(h * c));
        return Saturated(x - RoundToInt(0.5 * RoundToInt(h * s)), y + RoundToInt(0.5 * RoundToInt(w * s)));
    }
    return EdgeAnchor(position, theta, w, h, AnchorBox{client.left, client.top, client.right, client.bottom, cx, cy});
}

WatermarkPlacement PlaceWatermark(const WatermarkInput& in) {
    WatermarkPlacement p{};
    const DWORD position = NormalizePosition(in.position);
    p.box = WatermarkPageBox(in.physicalWidth, in.physicalHeight, in.physicalOffsetX, in.physicalOffsetY, in.rect,
                             in.scale, in.orientation);
    p.offsets = PrinterOffsets(in.offsetX, in.offsetY, in.inches, in.dpi, in.scale);
    p.anchor = PrinterAnchor(position, in.angle, in.textWidth, in.textHeight, p.box.width, p.box.height);

    long long x = p.anchor.x;
    long long y = p.anchor.y;
    if (in.physicalPage) {
        const long long x0 = p.box.offsetX;
        const long long y0 = p.box.offsetY;
        switch (position) {
        case kPosBottomLeft:
        case kPosBottomCenter: x += x0; y -= 2 * y0; break;
        case kPosTopLeft:
        case kPosTopCenter: x += x0; y += y0; break;
        case kPosCenterLeft: x += x0; y -= y0; break;
        case kPosBottomRight: x -= 2 * x0; y -= 2 * y0; break;
        case kPosTopRight: x -= 2 * x0; y += y0; break;
        case kPosCenterRight: x -= 2 * x0; y -= y0; break;
        default: x -= x0; y -= y0; break;
        }
    }
    if (!in.rect) {
        // Keep right and bottom positions clear of the printer's unprintable edge.
        const int right = RoundToInt(0.07 * in.dpi);
        const int bottom = RoundToInt(0.1 * in.dpi);
        if (position == kPosBottomRight || position == kPosTopRight || position == kPosCenterRight) x -= right;
        if (position == kPosBottomRight) x -= right;
        if (position == kPosBottomLeft || position == kPosBottomCenter || position == kPosBottomRight) y -= bottom;
        if (position == kPosBottomRight) y -= bottom;
    }
    const int fx = Saturate((x + p.offsets.u) * 10);
    const int fy = Saturate((y - p.offsets.v) * 10);
    p.point = {MulDiv(fx, in.dmScale, 1000), MulDiv(fy, in.dmScale, 1000)};
    return p;
}

POINT PlacePreview(const PreviewInput& in) {
    const TextOffsets o = PreviewOffsets(in.offsetX, in.offsetY, in.inches, in.logPixelsX, in.logPixelsY);
    POINT pt = PreviewAnchor(in.position, in.angle, in.textWidth, in.textHeight, in.client);
    pt.x = Saturate(static_cast<long long>(pt.x) + o.u);
    pt.y = Saturate(static_cast<long long>(pt.y) - o.v);
    return pt;
}

CoverPageLayout LayoutCoverPage(int physicalWidth, int physicalHeight, int logPixelsX, int orientation) {
    CoverPageLayout l{};
    int w = physicalWidth;
    int h = physicalHeight;
    if ((orientation == DMORIENT_LANDSCAPE && w < h) || (orientation == DMORIENT_PORTRAIT && w > h)) std::swap(w, h);
    l.width = w;
    l.height = h;
    l.minSide = w < h ? w : h;
    l.logPixelsX = logPixelsX;
    l.x0 = w / 20;
    l.xe = w - 2 * (w / 20);
    l.indent = h / 40;
    l.titleHeight = -MulDiv(l.minSide / 200, logPixelsX, 72);
    l.headingHeight = -MulDiv(l.minSide / 300, logPixelsX, 72);
    l.bodyHeight = -MulDiv(l.minSide / 400, logPixelsX, 72);
    l.thickPen = l.minSide / 300;
    l.thinPen = l.minSide / 500;

    // Every block keeps its place whether or not it is printed.
    const int big = h / 20;
    const int small = h / 30;
    static constexpr bool kBigStep[kCoverRowCount] = {
        false,  // title: the first row, at H/20
        true,   // top rule
        true,   // pages to follow
        false, false,
        true,   // recipient name
        false, false, false,
        true,   // sender name
        false, false, false, false, false, false, false,
        true,   // comments text
        false,  // bottom rule: placed from the bottom
    };
    int y = big;
    l.rowY[kRowTitle] = y;
    for (int row = kRowTopRule; row < kRowBottomRule; ++row) {
        y += kBigStep[row] ? big : small;
        l.rowY[row] = y;
    }
    l.rowY[kRowBottomRule] = h - big;
    l.comments = {l.x0 + l.indent, l.rowY[kRowCommentsText], l.xe - l.indent, h - big};
    return l;
}

CoverStamp PlaceCoverStamp(const CoverPageLayout& layout, int textWidth, int textHeight) {
    const int hp = MulDiv(layout.minSide / 300, layout.logPixelsX, 72);
    return {Saturate(static_cast<long long>(layout.x0) + MulDiv(textWidth, hp, 72)),
            Saturate(static_cast<long long>(layout.rowY[kRowPagesToFollow]) + Half(MulDiv(textHeight, hp, 72))),
            MulDiv(layout.minSide / 400, layout.logPixelsX, 72)};
}

}  // namespace corv::ui
