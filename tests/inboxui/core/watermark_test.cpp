#include "plug-in/inboxui/core/watermark.h"

#include "inboxui/core/printerdc.h"
#include "plug-in/inboxui/core/geometry.h"
#include "support/iatpatch_ui.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using corv::ui::DrawWatermark;
using corv::ui::PaintWatermarkPreview;
using corvtest::Emf;
using corvtest::EmfText;
using corvtest::PrinterDC;

namespace {

const HANDLE kPrinter = reinterpret_cast<HANDLE>(0x1234);

struct WatermarkJob {
    corv::JobSettings record{};
    DEVMODEW devmode{};
    corv::WatermarkRecord& wm = record.wmFirst;
    WatermarkJob() {
        corv::DefaultRecord(&record);
        record.bWatermarks = TRUE;
        wcscpy(wm.szName, L"Draft");
        wcscpy(wm.szText, L"DRAFT");
        devmode.dmSize = sizeof devmode;
        devmode.dmFields = DM_ORIENTATION | DM_SCALE | DM_PRINTQUALITY;
        devmode.dmOrientation = DMORIENT_PORTRAIT;
        devmode.dmScale = 100;
        devmode.dmPrintQuality = 600;
    }
    BOOL draw(PrinterDC& printer, DWORD page = 1, const RECT* rect = nullptr, float scale = 1.0f) {
        return DrawWatermark(printer.dc(), kPrinter, &record, &devmode, &wm, page, rect != nullptr, rect, scale);
    }
};

// The extent of a text in a recorded font, measured the way the metafile's reference device does.
SIZE MeasureOnScreen(const std::wstring& text, const LOGFONTW& lf) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return size;
}

// Index of the first record of a type at or after from; records().size() when there is none.
size_t Find(const Emf& emf, DWORD type, size_t from = 0) {
    const std::vector<corvtest::EmfRecord>& r = emf.records();
    for (size_t i = from; i < r.size(); ++i)
        if (r[i].type() == type) return i;
    return r.size();
}

std::vector<int> BkModes(const Emf& emf) {
    std::vector<int> modes;
    for (const corvtest::EmfRecord& r : emf.records())
        if (r.type() == EMR_SETBKMODE) modes.push_back(static_cast<int>(r.as<EMRSETBKMODE>().iMode));
    return modes;
}

constexpr DWORD kStock = 0x80000000;

HFONT WINAPI NoFont(const LOGFONTW*) { return nullptr; }

}  // namespace

TEST(Watermark, DrawsRotatedTextInTheBlendedColourAroundThePageCentre) {
    WatermarkJob job;
    job.wm.rgbColor[0] = 255;
    job.wm.wIntensity = 50;
    job.wm.dblAngle = 45.0;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    ASSERT_TRUE(job.draw(printer));
    const Emf emf = printer.finish();

    const std::vector<LOGFONTW> fonts = emf.fonts();
    ASSERT_EQ(fonts.size(), 1u);
    const LOGFONTW& f = fonts[0];
    EXPECT_EQ(f.lfHeight, -600);  // 72 points at 600 dpi
    EXPECT_EQ(f.lfWidth, 0);
    EXPECT_EQ(f.lfEscapement, 450);
    EXPECT_EQ(f.lfOrientation, 450);
    EXPECT_EQ(f.lfWeight, 400);
    EXPECT_FALSE(f.lfItalic);
    EXPECT_FALSE(f.lfUnderline);
    EXPECT_FALSE(f.lfStrikeOut);
    EXPECT_EQ(f.lfCharSet, 0);
    EXPECT_EQ(f.lfOutPrecision, 0);
    EXPECT_EQ(f.lfClipPrecision, 0);
    EXPECT_EQ(f.lfQuality, 0);
    EXPECT_EQ(f.lfPitchAndFamily, 0);
    EXPECT_STREQ(f.lfFaceName, L"Arial");

    // The colour is set before the text and given back after it, as is the background mode.
    EXPECT_EQ(emf.textColors(), (std::vector<COLORREF>{RGB(255, 127, 127), RGB(0, 0, 0)}));
    EXPECT_EQ(BkModes(emf), (std::vector<int>{TRANSPARENT, OPAQUE}));

    const std::vector<EmfText> texts = emf.texts();
    ASSERT_EQ(texts.size(), 1u);
    const EmfText& t = texts[0];
    EXPECT_EQ(t.text, L"DRAFT");
    EXPECT_EQ(t.options, static_cast<DWORD>(ETO_CLIPPED));
    EXPECT_EQ(t.clip.left, 0);
    EXPECT_EQ(t.clip.top, 0);
    EXPECT_EQ(t.clip.right, 100000);
    EXPECT_EQ(t.clip.bottom, 100000);
    EXPECT_EQ(t.font.lfHeight, -600);  // drawn in that font

    // The rotated box's centre is the physical page's centre: (W/2 - X0, H/2 - Y0).
    const SIZE size = MeasureOnScreen(L"DRAFT", f);
    ASSERT_GT(size.cx, 0);
    const double a = 45.0 * 3.141592653589793 / 180.0;
    const double cx = t.reference.x + size.cx / 2.0 * std::cos(a) + size.cy / 2.0 * std::sin(a);
    const double cy = t.reference.y - size.cx / 2.0 * std::sin(a) + size.cy / 2.0 * std::cos(a);
    EXPECT_NEAR(cx, 2480 - 100, 2.0);
    EXPECT_NEAR(cy, 3508 - 120, 2.0);

    // The font goes back out and is deleted.
    const size_t text = Find(emf, EMR_EXTTEXTOUTW);
    EXPECT_LT(Find(emf, EMR_DELETEOBJECT, text), emf.records().size());
}

TEST(Watermark, PlacedFromTheMeasuredText) {
    // Bottom right at 30 degrees, with the shifts and both margins twice.
    WatermarkJob job;
    job.wm.dblAngle = 30.0;
    job.wm.dwPosition = corv::ui::kPosBottomRight;
    wcscpy(job.wm.szText, L"Confidential");
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    ASSERT_TRUE(job.draw(printer));
    const Emf emf = printer.finish();
    ASSERT_EQ(emf.texts().size(), 1u);
    const EmfText t = emf.texts()[0];
    const SIZE size = MeasureOnScreen(t.text, t.font);
    ASSERT_GT(size.cx, 0);
    const POINT anchor = corv::ui::PrinterAnchor(6, 30.0, size.cx, size.cy, 4960, 7016);
    EXPECT_EQ(t.reference.x, anchor.x - 200 - 84);
    EXPECT_EQ(t.reference.y, anchor.y - 240 - 120);
}

TEST(Watermark, TopLeftIsThePageCornerWhateverTheAngle) {
    struct Case {
        const char* what;
        double angle;
        BOOL physicalPage;
        short orientation;
        short dmScale;
        double offsetX;
        bool logicalPage;
        float scale;
        POINT expected;
        LONG height;
    };
    const Case cases[] = {
        {"corner", 0.0, FALSE, DMORIENT_PORTRAIT, 100, 0.0, false, 1.0f, {0, 0}, -600},
        {"corner at 90 degrees", 90.0, FALSE, DMORIENT_PORTRAIT, 100, 0.0, false, 1.0f, {0, 0}, -600},
        {"physical offsets", 90.0, TRUE, DMORIENT_PORTRAIT, 100, 0.0, false, 1.0f, {100, 120}, -600},
        {"landscape swaps the offsets", 0.0, TRUE, DMORIENT_LANDSCAPE, 100, 0.0, false, 1.0f, {120, 100}, -600},
        {"dmScale halves offsets and font", 0.0, FALSE, DMORIENT_PORTRAIT, 50, 1.0, false, 1.0f, {300, 0}, -300},
        {"shrunk logical page", 0.0, TRUE, DMORIENT_PORTRAIT, 100, 0.0, true, 0.5f, {0, 100}, -300},
        {"shrunk logical page, offset", 0.0, FALSE, DMORIENT_PORTRAIT, 100, 1.0, true, 0.5f, {300, 0}, -300},
    };
    const RECT logical{0, 0, 2480, 3508};
    for (const Case& c : cases) {
        WatermarkJob job;
        job.wm.dwPosition = corv::ui::kPosTopLeft;
        job.wm.dblAngle = c.angle;
        job.wm.dblOffsetX = c.offsetX;
        job.record.bWatermarkPhysicalPage = c.physicalPage;
        job.devmode.dmOrientation = c.orientation;
        job.devmode.dmScale = c.dmScale;
        PrinterDC printer;
        ASSERT_TRUE(printer.ready());
        ASSERT_TRUE(job.draw(printer, 1, c.logicalPage ? &logical : nullptr, c.scale)) << c.what;
        const std::vector<EmfText> texts = printer.finish().texts();
        ASSERT_EQ(texts.size(), 1u) << c.what;
        EXPECT_EQ(texts[0].reference.x, c.expected.x) << c.what;
        EXPECT_EQ(texts[0].reference.y, c.expected.y) << c.what;
        EXPECT_EQ(texts[0].font.lfHeight, c.height) << c.what;
    }
}

TEST(Watermark, FontFollowsStyleEffectsResolutionAndCharacterSet) {
    struct Case {
        DWORD style;
        DWORD effects;
        LONG weight;
        BYTE italic;
        BYTE underline;
        BYTE strikeOut;
    };
    const Case cases[] = {
        {0, 0, 400, 0, 0, 0}, {1, 0, 400, 1, 0, 0}, {2, 0, 700, 0, 0, 0},
        {3, 0, 700, 1, 0, 0}, {0, 1, 400, 0, 0, 1}, {0, 2, 400, 0, 1, 0}, {2, 3, 700, 0, 1, 1},
    };
    for (const Case& c : cases) {
        WatermarkJob job;
        job.wm.dwStyle = c.style;
        job.wm.dwEffects = c.effects;
        PrinterDC printer;
        ASSERT_TRUE(printer.ready());
        ASSERT_TRUE(job.draw(printer));
        const std::vector<LOGFONTW> fonts = printer.finish().fonts();
        ASSERT_EQ(fonts.size(), 1u);
        EXPECT_EQ(fonts[0].lfWeight, c.weight) << c.style << "/" << c.effects;
        EXPECT_EQ(fonts[0].lfItalic, c.italic) << c.style << "/" << c.effects;
        EXPECT_EQ(fonts[0].lfUnderline, c.underline) << c.style << "/" << c.effects;
        EXPECT_EQ(fonts[0].lfStrikeOut, c.strikeOut) << c.style << "/" << c.effects;
    }

    WatermarkJob job;
    job.wm.dwCharSet = 0x1CC;  // only the low byte is a character set
    job.wm.lPointSize = 36;
    job.wm.dblAngle = -30.25;
    const wchar_t* longFace = L"A font family name of forty characters!!";
    wcscpy(job.wm.szFontName, longFace);
    job.devmode.dmPrintQuality = 300;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    ASSERT_TRUE(job.draw(printer, 1, nullptr, 1.0f));
    const std::vector<LOGFONTW> fonts = printer.finish().fonts();
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].lfCharSet, 0xCC);
    EXPECT_EQ(fonts[0].lfHeight, -150);  // 36 points at 300 dpi
    EXPECT_EQ(fonts[0].lfEscapement, -303);
    EXPECT_EQ(std::wstring(fonts[0].lfFaceName), std::wstring(longFace, 31));
}

TEST(Watermark, OutlineStrokesTheLettersInTheColour) {
    WatermarkJob job;
    job.wm.dwEffects = 4;
    job.wm.rgbColor[2] = 255;  // blue
    job.wm.wIntensity = 50;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    ASSERT_TRUE(job.draw(printer));
    const Emf emf = printer.finish();

    const size_t begin = Find(emf, EMR_BEGINPATH);
    const size_t text = Find(emf, EMR_EXTTEXTOUTW, begin);
    const size_t end = Find(emf, EMR_ENDPATH, text);
    const size_t stroke = Find(emf, EMR_STROKEPATH, end);
    ASSERT_LT(stroke, emf.records().size());
    EXPECT_EQ(emf.count(EMR_EXTTEXTOUTW), 1u);
    EXPECT_EQ(emf.count(EMR_FILLPATH), 0u);
    EXPECT_EQ(emf.count(EMR_STROKEANDFILLPATH), 0u);

    // Between the path and the stroke the DC pen is selected and given the colour; afterwards the
    // previous pen (the default black pen) comes back.
    bool dcPen = false;
    COLORREF penColor = CLR_INVALID;
    for (size_t i = end; i < stroke; ++i) {
        const corvtest::EmfRecord& r = emf.records()[i];
        if (r.type() == EMR_SELECTOBJECT && r.as<EMRSELECTOBJECT>().ihObject == (kStock | DC_PEN)) dcPen = true;
        if (r.type() == EMR_CREATEPEN) penColor = r.as<EMRCREATEPEN>().lopn.lopnColor;
    }
    EXPECT_TRUE(dcPen);
    EXPECT_EQ(penColor, RGB(127, 127, 255));
    const size_t reselect = Find(emf, EMR_SELECTOBJECT, stroke);
    ASSERT_LT(reselect, emf.records().size());
    EXPECT_EQ(emf.records()[reselect].as<EMRSELECTOBJECT>().ihObject, kStock | BLACK_PEN);
}

TEST(Watermark, DynamicTextIsExpandedForThePage) {
    WatermarkJob job;
    wcscpy(job.wm.szText, L"Page %pagenumber%");
    job.wm.bDynamic = 1;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    ASSERT_TRUE(job.draw(printer, 5));
    std::vector<EmfText> texts = printer.finish().texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, L"Page 5");

    // Without the flag the text is drawn as stored.
    job.wm.bDynamic = 0;
    PrinterDC plain;
    ASSERT_TRUE(plain.ready());
    ASSERT_TRUE(job.draw(plain, 5));
    texts = plain.finish().texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, L"Page %pagenumber%");
}

TEST(Watermark, UnresolvableDynamicTextDrawsNothing) {
    WatermarkJob job;
    wcscpy(job.wm.szText, L"%nosuchvariable%");
    job.wm.bDynamic = 1;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    EXPECT_FALSE(job.draw(printer));
    const Emf emf = printer.finish();
    EXPECT_TRUE(emf.texts().empty());
    EXPECT_TRUE(emf.fonts().empty());
    EXPECT_TRUE(emf.textColors().empty());
}

TEST(Watermark, EmptyTextAndMissingArguments) {
    WatermarkJob job;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    const RECT rect{0, 0, 100, 100};
    HDC dc = printer.dc();
    EXPECT_FALSE(DrawWatermark(nullptr, kPrinter, &job.record, &job.devmode, &job.wm, 1, FALSE, nullptr, 1.0f));
    EXPECT_FALSE(DrawWatermark(dc, nullptr, &job.record, &job.devmode, &job.wm, 1, FALSE, nullptr, 1.0f));
    EXPECT_FALSE(DrawWatermark(dc, kPrinter, nullptr, &job.devmode, &job.wm, 1, FALSE, nullptr, 1.0f));
    EXPECT_FALSE(DrawWatermark(dc, kPrinter, &job.record, nullptr, &job.wm, 1, FALSE, nullptr, 1.0f));
    EXPECT_FALSE(DrawWatermark(dc, kPrinter, &job.record, &job.devmode, nullptr, 1, FALSE, nullptr, 1.0f));
    EXPECT_FALSE(DrawWatermark(dc, kPrinter, &job.record, &job.devmode, &job.wm, 1, TRUE, nullptr, 1.0f));
    job.wm.szText[0] = 0;
    EXPECT_TRUE(DrawWatermark(dc, kPrinter, &job.record, &job.devmode, &job.wm, 1, TRUE, &rect, 1.0f));
    const Emf emf = printer.finish();
    EXPECT_EQ(emf.types(), (std::vector<DWORD>{EMR_HEADER, EMR_EOF}));
}

TEST(Watermark, FontThatCannotBeMadeDrawsNothing) {
    WatermarkJob job;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    {
        corvtest::ExeImportPatch font("gdi32.dll", "CreateFontIndirectW", reinterpret_cast<void*>(&NoFont));
        ASSERT_TRUE(font.active());
        EXPECT_FALSE(job.draw(printer));
    }
    const Emf emf = printer.finish();
    EXPECT_TRUE(emf.texts().empty());
    // The text colour and background mode are given back all the same.
    EXPECT_EQ(emf.textColors(), (std::vector<COLORREF>{RGB(0, 0, 0), RGB(0, 0, 0)}));
    EXPECT_EQ(BkModes(emf), (std::vector<int>{TRANSPARENT, OPAQUE}));
}

TEST(Watermark, UnterminatedTextIsCutAtItsArray) {
    WatermarkJob job;
    for (WCHAR& c : job.wm.szText) c = L'W';  // szFontName follows: "Arial"
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    ASSERT_TRUE(job.draw(printer));
    const std::vector<EmfText> texts = printer.finish().texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, std::wstring(128, L'W'));
}

namespace {

// A preview control: a bordered static window, 300 x 200 with a client area of 298 x 198.
class PreviewControl : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_BORDER, 0, 0, 300, 200, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        GetClientRect(window_, &client_);
        corv::InitWatermarkRecord(&wm_);
        wcscpy(wm_.szText, L"DRAFT");
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
    }

    // Paints into a metafile with the screen as reference (96 dpi) and reads it back.
    Emf paint(BOOL* result = nullptr, HANDLE printer = kPrinter) {
        HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        const BOOL r = PaintWatermarkPreview(dc, window_, &wm_, printer);
        if (result) *result = r;
        HENHMETAFILE mf = CloseEnhMetaFile(dc);
        std::vector<corvtest::EmfRecord> records;
        EnumEnhMetaFile(
            nullptr, mf,
            [](HDC, HANDLETABLE*, const ENHMETARECORD* rec, int, LPARAM p) -> int {
                reinterpret_cast<std::vector<corvtest::EmfRecord>*>(p)->emplace_back(rec);
                return 1;
            },
            &records, nullptr);
        DeleteEnhMetaFile(mf);
        return Emf(std::move(records));
    }

    static void ExpectFrame(const Emf& emf) {
        const size_t rect = Find(emf, EMR_RECTANGLE);
        ASSERT_LT(rect, emf.records().size());
        const RECTL box = emf.records()[rect].as<EMRRECTANGLE>().rclBox;
        // The window rectangle in client coordinates: the border lies outside the client area.
        EXPECT_EQ(box.left, -1);
        EXPECT_EQ(box.top, -1);
        EXPECT_EQ(box.right, 299);
        EXPECT_EQ(box.bottom, 199);
        // Drawn with a one-pixel black pen and the white brush, then the client area is filled.
        bool pen = false;
        bool brush = false;
        for (size_t i = 0; i < rect; ++i) {
            const corvtest::EmfRecord& r = emf.records()[i];
            if (r.type() == EMR_CREATEPEN) {
                const LOGPEN& lp = r.as<EMRCREATEPEN>().lopn;
                pen = lp.lopnStyle == PS_SOLID && lp.lopnWidth.x == 1 && lp.lopnColor == RGB(0, 0, 0);
            }
            if (r.type() == EMR_SELECTOBJECT && r.as<EMRSELECTOBJECT>().ihObject == (kStock | WHITE_BRUSH))
                brush = true;
        }
        EXPECT_TRUE(pen);
        EXPECT_TRUE(brush);
        EXPECT_LT(Find(emf, EMR_BITBLT, rect), emf.records().size());
    }

    HWND window_ = nullptr;
    RECT client_{};
    corv::WatermarkRecord wm_{};
};

}  // namespace

TEST_F(PreviewControl, FrameBackgroundAndScaledText) {
    wm_.dblAngle = 45.0;
    wm_.rgbColor[1] = 255;
    wm_.wIntensity = 50;
    wm_.dwPosition = corv::ui::kPosTopRight;
    BOOL result = FALSE;
    const Emf emf = paint(&result);
    EXPECT_TRUE(result);
    ExpectFrame(emf);

    const std::vector<EmfText> texts = emf.texts();
    ASSERT_EQ(texts.size(), 1u);
    const EmfText& t = texts[0];
    EXPECT_EQ(t.text, L"DRAFT");
    EXPECT_EQ(t.font.lfHeight, -19);  // 72 points: RoundToInt(96 * 0.195)
    EXPECT_EQ(t.font.lfEscapement, 450);
    EXPECT_EQ(t.font.lfPitchAndFamily, 0);
    EXPECT_EQ(t.options, static_cast<DWORD>(ETO_CLIPPED));
    EXPECT_EQ(t.clip.left, 0);
    EXPECT_EQ(t.clip.top, 0);
    EXPECT_EQ(t.clip.right, client_.right);
    EXPECT_EQ(t.clip.bottom, client_.bottom);
    ASSERT_FALSE(emf.textColors().empty());
    EXPECT_EQ(emf.textColors()[0], RGB(127, 255, 127));

    // Top right: R - RoundToInt(cos 45 * w), T + RoundToInt(sin 45 * w).
    const SIZE size = MeasureOnScreen(t.text, t.font);
    ASSERT_GT(size.cx, 0);
    const double k = std::sqrt(0.5);
    EXPECT_EQ(t.reference.x, client_.right - corv::ui::RoundToInt(k * size.cx));
    EXPECT_EQ(t.reference.y, corv::ui::RoundToInt(k * size.cx));
    // The background mode is given back.
    EXPECT_EQ(BkModes(emf), (std::vector<int>{TRANSPARENT, OPAQUE}));
}

TEST_F(PreviewControl, OffsetsMoveTheTextRightAndUp) {
    wm_.dwPosition = corv::ui::kPosTopLeft;
    wm_.dblOffsetX = 1.0;  // RoundToInt(96 * 0.195) = 19 pixels
    wm_.dblOffsetY = -1.0;
    std::vector<EmfText> texts = paint().texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].reference.x, 19);
    EXPECT_EQ(texts[0].reference.y, 19);
    // 25.4 millimetres: 475 / 25.4 -> 19 as well.
    wm_.bInches = 0;
    wm_.dblOffsetX = 25.4;
    wm_.dblOffsetY = 0.0;
    texts = paint().texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].reference.x, 19);
    EXPECT_EQ(texts[0].reference.y, 0);
}

TEST_F(PreviewControl, TinyPointSizeStillGetsAOnePixelFont) {
    wm_.lPointSize = 1;
    const std::vector<LOGFONTW> fonts = paint().fonts();
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].lfHeight, -1);
}

TEST_F(PreviewControl, OutlineIsStrokedInsideTheFrame) {
    wm_.dwEffects = 4;
    const Emf emf = paint();
    const size_t clip = Find(emf, EMR_EXTSELECTCLIPRGN);
    ASSERT_LT(clip, emf.records().size());
    const auto& region = emf.records()[clip].as<EMREXTSELECTCLIPRGN>();
    ASSERT_GT(region.cbRgnData, 0u);
    const RECT bound = reinterpret_cast<const RGNDATAHEADER*>(region.RgnData)->rcBound;
    EXPECT_EQ(bound.left, -1);
    EXPECT_EQ(bound.top, -1);
    EXPECT_EQ(bound.right, 299);
    EXPECT_EQ(bound.bottom, 199);

    const size_t begin = Find(emf, EMR_BEGINPATH, clip);
    const size_t text = Find(emf, EMR_EXTTEXTOUTW, begin);
    const size_t end = Find(emf, EMR_ENDPATH, text);
    const size_t stroke = Find(emf, EMR_STROKEPATH, end);
    ASSERT_LT(stroke, emf.records().size());
    EXPECT_EQ(emf.count(EMR_FILLPATH), 0u);
    // Afterwards the clip region is taken off again.
    const size_t unclip = Find(emf, EMR_EXTSELECTCLIPRGN, stroke);
    ASSERT_LT(unclip, emf.records().size());
    EXPECT_EQ(emf.records()[unclip].as<EMREXTSELECTCLIPRGN>().cbRgnData, 0u);
}

TEST_F(PreviewControl, DynamicTextShowsPageOne) {
    wcscpy(wm_.szText, L"Page %pagenumber%");
    wm_.bDynamic = 1;
    const std::vector<EmfText> texts = paint().texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, L"Page 1");
}

TEST_F(PreviewControl, EmptyTextPaintsOnlyTheFrame) {
    wm_.szText[0] = 0;
    BOOL result = FALSE;
    const Emf emf = paint(&result);
    EXPECT_TRUE(result);
    ExpectFrame(emf);
    EXPECT_TRUE(emf.fonts().empty());
    EXPECT_TRUE(emf.texts().empty());
}

TEST_F(PreviewControl, FontThatCannotBeMadeLeavesTheBackground) {
    BOOL result = TRUE;
    Emf emf({});
    {
        corvtest::ExeImportPatch font("gdi32.dll", "CreateFontIndirectW", reinterpret_cast<void*>(&NoFont));
        ASSERT_TRUE(font.active());
        emf = paint(&result);
    }
    EXPECT_FALSE(result);
    ExpectFrame(emf);
    EXPECT_TRUE(emf.texts().empty());
}

TEST_F(PreviewControl, MissingArgumentsPaintNothing) {
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(PaintWatermarkPreview(nullptr, window_, &wm_, kPrinter));
    EXPECT_FALSE(PaintWatermarkPreview(dc, nullptr, &wm_, kPrinter));
    EXPECT_FALSE(PaintWatermarkPreview(dc, window_, nullptr, kPrinter));
    EXPECT_FALSE(PaintWatermarkPreview(dc, window_, &wm_, nullptr));
    HENHMETAFILE mf = CloseEnhMetaFile(dc);
    EXPECT_EQ(GetEnhMetaFileBits(mf, 0, nullptr) > 0, true);
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(mf, sizeof header, &header);
    EXPECT_EQ(header.nRecords, 2u);  // header and end only
    DeleteEnhMetaFile(mf);
}
