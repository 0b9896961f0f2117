#include "host/standins/preview.h"

#include <gdiplus.h>

#include <algorithm>
#include <cmath>

namespace corv::host {
namespace {

int Scaled(int units, int dpi, int from) { return static_cast<int>(std::lround(double(units) * dpi / from)); }

// GDI+ for as long as one picture is being written.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession() {
        if (ok_) Gdiplus::GdiplusShutdown(token_);
    }
    bool ok() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

class GdiplusBitmap {
public:
    explicit GdiplusBitmap(HBITMAP bitmap) { Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &p_); }
    GdiplusBitmap(const GdiplusBitmap&) = delete;
    GdiplusBitmap& operator=(const GdiplusBitmap&) = delete;
    ~GdiplusBitmap() {
        if (p_) Gdiplus::DllExports::GdipDisposeImage(p_);
    }
    Gdiplus::GpBitmap* get() const { return p_; }

private:
    Gdiplus::GpBitmap* p_ = nullptr;
};

// The PNG encoder of GDI+ (image/png).
constexpr CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    if (record->iType != EMR_EXTTEXTOUTW || record->nSize < sizeof(EMREXTTEXTOUTW)) return 1;
    const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const DWORD at = text->emrtext.offString, chars = text->emrtext.nChars;
    if (at > record->nSize || chars > (record->nSize - at) / sizeof(WCHAR)) return 1;
    const auto* start = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(record) + at);
    reinterpret_cast<std::vector<std::wstring>*>(data)->emplace_back(start, chars);
    return 1;
}

}  // namespace

RECT RecordingFrame(int width, int height, int refPixelsX, int refPixelsY, int refMillimetresX, int refMillimetresY) {
    if (refPixelsX <= 0 || refPixelsY <= 0) return RECT{0, 0, 0, 0};
    return RECT{0, 0, static_cast<LONG>(std::lround(double(width) * refMillimetresX * 100 / refPixelsX)),
                static_cast<LONG>(std::lround(double(height) * refMillimetresY * 100 / refPixelsY))};
}

PreviewLayout LayoutPreview(const PrinterCaps& c, int dpi) {
    PreviewLayout l;
    l.width = std::max(1, Scaled(c.physicalWidth, dpi, c.dpi));
    l.height = std::max(1, Scaled(c.physicalHeight, dpi, c.dpi));
    l.area.left = Scaled(c.offsetX, dpi, c.dpi);
    l.area.top = Scaled(c.offsetY, dpi, c.dpi);
    l.area.right = Scaled(c.offsetX + c.horzRes, dpi, c.dpi);
    l.area.bottom = Scaled(c.offsetY + c.vertRes, dpi, c.dpi);
    return l;
}

PageRecording::PageRecording(const PrinterCaps& caps) {
    // The metafile is made for the screen, the only device Wine has; its frame is chosen so that
    // the screen's device units are the printer's dots.
    WindowDC screen(nullptr);
    if (!screen) return;
    const RECT frame = RecordingFrame(caps.horzRes, caps.vertRes, GetDeviceCaps(screen.get(), HORZRES),
                                      GetDeviceCaps(screen.get(), VERTRES), GetDeviceCaps(screen.get(), HORZSIZE),
                                      GetDeviceCaps(screen.get(), VERTSIZE));
    dc_ = CreateEnhMetaFileW(screen.get(), nullptr, &frame, L"corvhost\0page\0");
}

PageRecording::~PageRecording() {
    if (dc_) DeleteEnhMetaFile(CloseEnhMetaFile(dc_));
}

UniqueEnhMetaFile PageRecording::Finish() {
    HDC dc = dc_;
    dc_ = nullptr;
    return UniqueEnhMetaFile(dc ? CloseEnhMetaFile(dc) : nullptr);
}

std::vector<std::wstring> MetafileTexts(HENHMETAFILE emf) {
    std::vector<std::wstring> texts;
    if (emf) EnumEnhMetaFile(nullptr, emf, &CollectText, &texts, nullptr);
    return texts;
}

bool SaveMetafile(HENHMETAFILE emf, const std::wstring& path) {
    UniqueEnhMetaFile copy(emf ? CopyEnhMetaFileW(emf, path.c_str()) : nullptr);
    return static_cast<bool>(copy);
}

bool SavePreview(HENHMETAFILE emf, const PrinterCaps& caps, int dpi, const std::wstring& path, std::string* error) {
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return false;
    };
    if (!emf || dpi <= 0 || caps.dpi <= 0) return fail("nothing to preview");
    const PreviewLayout l = LayoutPreview(caps, dpi);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = l.width;
    info.bmiHeader.biHeight = -l.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueDC dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !dc) return fail("cannot make the preview bitmap");
    {
        SelectGuard selected(dc.get(), bitmap.get());
        const RECT sheet{0, 0, l.width, l.height};
        FillRect(dc.get(), &sheet, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (!PlayEnhMetaFile(dc.get(), emf, &l.area)) return fail("cannot play the page's metafile");
        GdiFlush();
    }
    GdiplusSession session;
    if (!session.ok()) return fail("GDI+ does not start");
    GdiplusBitmap image(static_cast<HBITMAP>(bitmap.get()));
    if (!image.get()) return fail("GDI+ cannot take the preview bitmap");
    if (Gdiplus::DllExports::GdipSaveImageToFile(image.get(), path.c_str(), &kPngEncoder, nullptr) != Gdiplus::Ok)
        return fail("cannot write the PNG file");
    return true;
}

}  // namespace corv::host
