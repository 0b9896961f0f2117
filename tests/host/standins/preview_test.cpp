#include "host/standins/preview.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using namespace corv::host;

PrinterCaps SmallPage() {
    // A 4 x 6 inch sheet at 100 dpi, its imageable area half an inch in from each edge.
    PrinterCaps c;
    c.dpi = 100;
    c.physicalWidth = 400, c.physicalHeight = 600;
    c.offsetX = 50, c.offsetY = 50;
    c.horzRes = 300, c.vertRes = 500;
    return c;
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// The colour of each pixel of a PNG written by SavePreview, read back through GDI+.
class PngPixels {
public:
    explicit PngPixels(const std::wstring& path) {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
        Gdiplus::DllExports::GdipCreateBitmapFromFile(path.c_str(), &bitmap_);
    }
    ~PngPixels() {
        if (bitmap_) Gdiplus::DllExports::GdipDisposeImage(bitmap_);
        Gdiplus::GdiplusShutdown(token_);
    }
    bool ok() const { return bitmap_ != nullptr; }
    UINT width() const {
        UINT w = 0;
        Gdiplus::DllExports::GdipGetImageWidth(bitmap_, &w);
        return w;
    }
    UINT height() const {
        UINT h = 0;
        Gdiplus::DllExports::GdipGetImageHeight(bitmap_, &h);
        return h;
    }
    // 0xRRGGBB
    unsigned at(int x, int y) const {
        Gdiplus::ARGB argb = 0;
        Gdiplus::DllExports::GdipBitmapGetPixel(bitmap_, x, y, &argb);
        return argb & 0xFFFFFF;
    }

private:
    ULONG_PTR token_ = 0;
    Gdiplus::GpBitmap* bitmap_ = nullptr;
};

TEST(PreviewGeometry, FrameSpansTheDeviceUnitsOfTheReference) {
    // A reference of 1000 pixels over 250 mm: 4000 units are 1000 mm.
    const RECT f = RecordingFrame(4000, 2000, 1000, 500, 250, 125);
    EXPECT_EQ(f.left, 0);
    EXPECT_EQ(f.top, 0);
    EXPECT_EQ(f.right, 100000);
    EXPECT_EQ(f.bottom, 50000);
    const RECT none = RecordingFrame(4000, 2000, 0, 0, 250, 125);
    EXPECT_EQ(none.right, 0);
}

TEST(PreviewGeometry, SheetAndImageableAreaAtThePreviewResolution) {
    const PreviewLayout l = LayoutPreview(SmallPage(), 50);
    EXPECT_EQ(l.width, 200);
    EXPECT_EQ(l.height, 300);
    EXPECT_EQ(l.area.left, 25);
    EXPECT_EQ(l.area.top, 25);
    EXPECT_EQ(l.area.right, 175);
    EXPECT_EQ(l.area.bottom, 275);
}

TEST(PagePreview, RecordedDeviceUnitsLandOnTheSheet) {
    PageRecording page(SmallPage());
    ASSERT_TRUE(page.dc());
    // The left half of the imageable area, black, in the printer's device units.
    const RECT half{0, 0, 150, 500};
    FillRect(page.dc(), &half, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    UniqueEnhMetaFile emf = page.Finish();
    ASSERT_TRUE(emf);
    EXPECT_FALSE(page.dc());

    const std::wstring png = TempFile(L"corvhost-preview-test.png");
    DeleteFileW(png.c_str());
    std::string error;
    ASSERT_TRUE(SavePreview(emf.get(), SmallPage(), 50, png, &error)) << error;
    PngPixels pixels(png);
    ASSERT_TRUE(pixels.ok());
    EXPECT_EQ(pixels.width(), 200u);
    EXPECT_EQ(pixels.height(), 300u);
    EXPECT_EQ(pixels.at(30, 30), 0x000000u);    // just inside the imageable area
    EXPECT_EQ(pixels.at(95, 270), 0x000000u);   // near the half's bottom right
    EXPECT_EQ(pixels.at(110, 150), 0xFFFFFFu);  // the right half
    EXPECT_EQ(pixels.at(10, 10), 0xFFFFFFu);    // the margin
    EXPECT_EQ(pixels.at(30, 290), 0xFFFFFFu);
    DeleteFileW(png.c_str());
}

TEST(PagePreview, TextsInDrawingOrder) {
    PageRecording page(SmallPage());
    ASSERT_TRUE(page.dc());
    TextOutW(page.dc(), 10, 10, L"under", 5);
    ExtTextOutW(page.dc(), 10, 40, 0, nullptr, L"page", 4, nullptr);
    TextOutW(page.dc(), 10, 80, L"over", 4);
    UniqueEnhMetaFile emf = page.Finish();
    const std::vector<std::wstring> texts = MetafileTexts(emf.get());
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"under", L"page", L"over"}));
    EXPECT_TRUE(MetafileTexts(nullptr).empty());
}

TEST(PagePreview, NothingToPreviewIsAnError) {
    std::string error;
    EXPECT_FALSE(SavePreview(nullptr, SmallPage(), 50, TempFile(L"corvhost-none.png"), &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
