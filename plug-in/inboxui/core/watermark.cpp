#include "plug-in/inboxui/core/watermark.h"

#include "common/handles.h"
#include "common/text.h"
#include "plug-in/inboxui/core/dyntext.h"
#include "plug-in/inboxui/core/geometry.h"

namespace corv::ui {

namespace {

constexpr DWORD kEffectStrikeOut = 1;
constexpr DWORD kEffectUnderline = 2;
constexpr DWORD kEffectOutline = 4;

// The text to draw: the record's own, or its expansion in a heap buffer.
class WatermarkText {
public:
    // False when the dynamic text cannot be expanded (or no buffer can be had for it).
    bool load(HANDLE printer, HDC dc, const WatermarkRecord& wm, DWORD pageNumber, ExpandMode mode) {
        CopyText(stored_, wm.szText, ARRAYSIZE(wm.szText));
        if (!wm.bDynamic) {
            text_ = stored_;
            length_ = static_cast<int>(BoundedLength(stored_, ARRAYSIZE(stored_)));
            return true;
        }
        expanded_ = HeapArray<WCHAR>(kExpandCapacity);
        if (!expanded_) return false;
        SYSTEMTIME now;
        GetLocalTime(&now);
        DWORD size = kExpandCapacity;
        if (!ExpandDynamicText(printer, dc, stored_, pageNumber, &now, mode, expanded_.get(), &size)) return false;
        expanded_.get()[kExpandCapacity - 1] = 0;
        text_ = expanded_.get();
        length_ = static_cast<int>(BoundedLength(text_, kExpandCapacity));
        return true;
    }
    const WCHAR* text() const { return text_; }
    int length() const { return length_; }

private:
    WCHAR stored_[ARRAYSIZE(WatermarkRecord{}.szText) + 1] = {};
    HeapArray<WCHAR> expanded_{0};
    const WCHAR* text_ = stored_;
    int length_ = 0;
};

// Text colour and background mode, given back on the way out.
class TextStateGuard {
public:
    TextStateGuard(HDC dc, COLORREF color)
        : dc_(dc), oldColor_(SetTextColor(dc, color)), oldMode_(SetBkMode(dc, TRANSPARENT)) {}
    TextStateGuard(const TextStateGuard&) = delete;
    TextStateGuard& operator=(const TextStateGuard&) = delete;
    ~TextStateGuard() {
        if (oldColor_ != CLR_INVALID) SetTextColor(dc_, oldColor_);
        if (oldMode_) SetBkMode(dc_, oldMode_);
    }

private:
    HDC dc_;
    COLORREF oldColor_;
    int oldMode_;
};

class BkModeGuard {
public:
    BkModeGuard(HDC dc, int mode) : dc_(dc), old_(SetBkMode(dc, mode)) {}
    BkModeGuard(const BkModeGuard&) = delete;
    BkModeGuard& operator=(const BkModeGuard&) = delete;
    ~BkModeGuard() {
        if (old_) SetBkMode(dc_, old_);
    }

private:
    HDC dc_;
    int old_;
};

SIZE Measure(HDC dc, const WatermarkText& text) {
    SIZE size{};
    if (!GetTextExtentPoint32W(dc, text.text(), text.length(), &size)) size = {};
    return size;
}

// The letters are stroked in the colour, not filled.
void StrokeText(HDC dc, int x, int y, const WatermarkText& text, COLORREF color) {
    BeginPath(dc);
    TextOutW(dc, x, y, text.text(), text.length());
    EndPath(dc);
    SelectGuard pen(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, color);
    StrokePath(dc);
}

}  // namespace

LOGFONTW WatermarkLogFont(const WatermarkRecord& wm, LONG height) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfEscapement = WatermarkEscapement(wm.dblAngle);
    lf.lfOrientation = lf.lfEscapement;
    lf.lfWeight = (wm.dwStyle == 2 || wm.dwStyle == 3) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (wm.dwStyle == 1 || wm.dwStyle == 3) ? TRUE : FALSE;
    lf.lfUnderline = (wm.dwEffects & kEffectUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (wm.dwEffects & kEffectStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = static_cast<BYTE>(wm.dwCharSet & 0xFF);
    CopyText(lf.lfFaceName, wm.szFontName, ARRAYSIZE(wm.szFontName));
    return lf;
}

BOOL DrawWatermark(HDC dc, HANDLE printer, const JobSettings* record, const DEVMODEW* devmode,
                   const WatermarkRecord* wm, DWORD pageNumber, BOOL hasRect, const RECT* rect, float scale) {
    if (!dc || !printer || !record || !devmode || !wm || (hasRect && !rect)) return FALSE;
    if (!wm->szText[0]) return TRUE;

    WatermarkText text;
    if (!text.load(printer, dc, *wm, pageNumber, ExpandMode::Print)) return FALSE;

    const COLORREF color = WatermarkColor(wm->rgbColor, wm->wIntensity);
    TextStateGuard textState(dc, color);

    const int dpi = static_cast<SHORT>(devmode->dmPrintQuality);
    const LOGFONTW lf = WatermarkLogFont(*wm, PrinterFontHeight(wm->lPointSize, dpi, scale, devmode->dmScale));
    UniqueGdiObject font(CreateFontIndirectW(&lf));
    if (!font) return FALSE;
    SelectGuard selected(dc, font.get());
    const SIZE extent = Measure(dc, text);

    WatermarkInput in;
    in.angle = wm->dblAngle;
    in.position = wm->dwPosition;
    in.inches = wm->bInches != 0;
    in.offsetX = wm->dblOffsetX;
    in.offsetY = wm->dblOffsetY;
    in.physicalPage = record->bWatermarkPhysicalPage != 0;
    in.orientation = devmode->dmOrientation;
    in.dmScale = devmode->dmScale;
    in.dpi = dpi;
    in.physicalWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
    in.physicalHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
    in.physicalOffsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
    in.physicalOffsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    in.rect = hasRect ? rect : nullptr;
    in.scale = scale;
    in.textWidth = extent.cx;
    in.textHeight = extent.cy;
    const POINT at = PlaceWatermark(in).point;

    if (wm->dwEffects & kEffectOutline) {
        StrokeText(dc, at.x, at.y, text, color);
    } else {
        const RECT clip{0, 0, 100000, 100000};
        ExtTextOutW(dc, at.x, at.y, ETO_CLIPPED, &clip, text.text(), static_cast<UINT>(text.length()), nullptr);
    }
    return TRUE;
}

BOOL PaintWatermarkPreview(HDC dc, HWND control, const WatermarkRecord* wm, HANDLE printer) {
    if (!dc || !control || !wm || !printer) return FALSE;
    WatermarkText text;
    if (!text.load(printer, dc, *wm, 1, ExpandMode::Preview)) return FALSE;

    const int oldGraphicsMode = SetGraphicsMode(dc, GM_ADVANCED);
    BkModeGuard bkMode(dc, TRANSPARENT);
    const COLORREF color = WatermarkColor(wm->rgbColor, wm->wIntensity);

    RECT client{};
    GetClientRect(control, &client);
    RECT frame{};
    GetWindowRect(control, &frame);
    MapWindowPoints(HWND_DESKTOP, control, reinterpret_cast<POINT*>(&frame), 2);
    {
        HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        UniqueGdiObject black(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
        SelectGuard brush(dc, white);
        SelectGuard pen(dc, black.get());
        Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
        FillRect(dc, &client, white);
    }

    BOOL painted = TRUE;
    if (text.length() > 0) {
        LOGFONTW lf = WatermarkLogFont(*wm, PreviewFontHeight(wm->lPointSize, GetDeviceCaps(dc, LOGPIXELSY)));
        UniqueGdiObject font(CreateFontIndirectW(&lf));
        HGDIOBJ previous = font ? SelectObject(dc, font.get()) : nullptr;
        if (!previous) {
            painted = FALSE;  // the frame and the background are all there is
        } else {
            const SIZE extent = Measure(dc, text);
            PreviewInput in;
            in.angle = wm->dblAngle;
            in.position = wm->dwPosition;
            in.inches = wm->bInches != 0;
            in.offsetX = wm->dblOffsetX;
            in.offsetY = wm->dblOffsetY;
            in.logPixelsX = GetDeviceCaps(dc, LOGPIXELSX);
            in.logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
            in.client = client;
            in.textWidth = extent.cx;
            in.textHeight = extent.cy;
            const POINT at = PlacePreview(in);
            if (wm->dwEffects & kEffectOutline) {
                // The outline may reach past the client area, never past the control's frame.
                UniqueGdiObject saved(CreateRectRgn(0, 0, 0, 0));
                const int hadClip = saved ? GetClipRgn(dc, static_cast<HRGN>(saved.get())) : 0;
                UniqueGdiObject clip(CreateRectRgnIndirect(&frame));
                SelectClipRgn(dc, static_cast<HRGN>(clip.get()));
                StrokeText(dc, at.x, at.y, text, color);
                SelectClipRgn(dc, hadClip == 1 ? static_cast<HRGN>(saved.get()) : nullptr);
            } else {
                const COLORREF oldColor = SetTextColor(dc, color);
                ExtTextOutW(dc, at.x, at.y, ETO_CLIPPED, &client, text.text(), static_cast<UINT>(text.length()),
                            nullptr);
                if (oldColor != CLR_INVALID) SetTextColor(dc, oldColor);
            }
            SelectObject(dc, previous);
        }
    }
    if (oldGraphicsMode) SetGraphicsMode(dc, oldGraphicsMode);
    return painted;
}

}  // namespace corv::ui
