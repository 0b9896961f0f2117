// What drawing a watermark costs on a printer's device context, against the bare GDI calls that
// draw its text, and what expanding a text of dynamic variables costs.
#include "bench/timer.h"
#include "plug-in/inboxui/core/dyntext.h"
#include "plug-in/inboxui/core/geometry.h"
#include "plug-in/inboxui/core/watermark.h"
#include "support/iatpatch_ui.h"

#include <cstdio>

namespace {

constexpr int kDraws = 20000;
constexpr int kBatch = 1000;  // draws per metafile, so no metafile grows without end
constexpr int kExpansions = 20000;

// A handle that only dynamic texts would use.
const HANDLE kPrinter = reinterpret_cast<HANDLE>(0x1234);

// The metafile DC being drawn on answers as a 600-dpi A4 printer.
HDC g_printerDc = nullptr;
corvtest::ExeImportPatch* g_deviceCaps = nullptr;

int WINAPI PrinterDeviceCaps(HDC dc, int index) {
    if (dc == g_printerDc) {
        switch (index) {
            case PHYSICALWIDTH: return 4960;
            case PHYSICALHEIGHT: return 7016;
            case PHYSICALOFFSETX: return 100;
            case PHYSICALOFFSETY: return 120;
            case LOGPIXELSX:
            case LOGPIXELSY: return 600;
            default: break;
        }
    }
    return reinterpret_cast<int(WINAPI*)(HDC, int)>(g_deviceCaps->original())(dc, index);
}

// ns per call of draw(dc), drawn kBatch times on each of a series of new metafile DCs; only the
// drawing is timed.
template <typename Draw>
double TimeOnMetafiles(int count, Draw draw) {
    double total = 0;
    for (int done = 0; done < count; done += kBatch) {
        g_printerDc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        const corvbench::Timer timer;
        for (int i = 0; i < kBatch; ++i) draw(g_printerDc);
        total += timer.ns();
        DeleteEnhMetaFile(CloseEnhMetaFile(g_printerDc));
        g_printerDc = nullptr;
    }
    return total / count;
}

bool BenchWatermark() {
    corv::JobSettings record{};
    corv::DefaultRecord(&record);
    record.bWatermarks = TRUE;
    corv::WatermarkRecord& wm = record.wmFirst;
    lstrcpyW(wm.szText, L"CONFIDENTIAL");
    wm.dblAngle = 45.0;
    wm.bDynamic = FALSE;
    DEVMODEW dm{};
    dm.dmSize = sizeof dm;
    dm.dmFields = DM_ORIENTATION | DM_SCALE | DM_PRINTQUALITY;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmScale = 100;
    dm.dmPrintQuality = 600;

    bool drawn = true;
    auto watermark = [&](HDC dc) {
        drawn &= corv::ui::DrawWatermark(dc, kPrinter, &record, &dm, &wm, 1, FALSE, nullptr, 1.0f) != FALSE;
    };
    // The same font and text with nothing around them, placed where the watermark goes.
    const LOGFONTW lf = corv::ui::WatermarkLogFont(wm, corv::ui::PrinterFontHeight(wm.lPointSize, 600, 1.0f, 100));
    const UINT length = static_cast<UINT>(lstrlenW(wm.szText));
    const RECT clip{0, 0, 100000, 100000};
    auto bare = [&](HDC dc) {
        HFONT font = CreateFontIndirectW(&lf);
        HGDIOBJ old = SelectObject(dc, font);
        ExtTextOutW(dc, 2000, 3000, ETO_CLIPPED, &clip, wm.szText, length, nullptr);
        SelectObject(dc, old);
        DeleteObject(font);
    };

    TimeOnMetafiles(kBatch, watermark);
    TimeOnMetafiles(kBatch, bare);
    const double watermarkNs = TimeOnMetafiles(kDraws, watermark);
    const double bareNs = TimeOnMetafiles(kDraws, bare);
    if (!drawn) {
        std::printf("DrawWatermark failed\n");
        return false;
    }
    std::printf("DrawWatermark          %8.0f ns/draw   bare font+text %8.0f ns/draw   ratio %5.2f   (%d draws)\n",
                watermarkNs, bareNs, watermarkNs / bareNs, kDraws);
    return true;
}

// ns per Preview expansion of text; out holds the last result.
double TimeExpansion(const WCHAR* text, int count, WCHAR* out, bool* expanded) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    auto expand = [&](int n) {
        for (int i = 0; i < n; ++i) {
            DWORD size = corv::ui::kExpandCapacity;
            *expanded &= corv::ui::ExpandDynamicText(kPrinter, dc, text, static_cast<DWORD>(i + 1), &now,
                                                     corv::ui::ExpandMode::Preview, out, &size) != FALSE;
        }
    };
    expand(count / 10);
    const corvbench::Timer timer;
    expand(count);
    const double ns = timer.ns() / count;
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    return ns;
}

bool BenchDynamicText() {
    const WCHAR* all =
        L"%Username% %dateshort% %datelong% %dateddmmyyyy% %time% %timemil% %timehrmn% page %pagenumber% "
        L"on %hostname% %printer% %modelname% 100%%";
    const WCHAR* alone[] = {L"%Username%", L"%dateshort%", L"%datelong%", L"%dateddmmyyyy%",
                            L"%time%",     L"%timemil%",   L"%timehrmn%", L"%pagenumber%",
                            L"%hostname%", L"%printer%",   L"%modelname%", L"plain text, no variable"};
    WCHAR out[corv::ui::kExpandCapacity];
    bool expanded = true;
    const double ns = TimeExpansion(all, kExpansions, out, &expanded);
    if (!expanded) {
        std::printf("ExpandDynamicText failed\n");
        return false;
    }
    std::printf("ExpandDynamicText      %8.0f ns/expansion, Preview mode, all 11 variables (%d expansions)\n", ns,
                kExpansions);
    std::printf("  result: %ls\n", out);
    // Printer and model name come from GetPrinterW, which fails for the stand-in handle: the
    // preview drops them.
    for (const WCHAR* text : alone)
        std::printf("  %-24ls %8.0f ns/expansion\n", text, TimeExpansion(text, kExpansions / 10, out, &expanded));
    return expanded;
}

}  // namespace

int main() {
    corvtest::ExeImportPatch deviceCaps("gdi32.dll", "GetDeviceCaps", reinterpret_cast<void*>(&PrinterDeviceCaps));
    if (!deviceCaps.active()) {
        std::printf("cannot patch GetDeviceCaps\n");
        return 1;
    }
    g_deviceCaps = &deviceCaps;
    bool ok = BenchWatermark();
    ok &= BenchDynamicText();
    return ok ? 0 : 1;
}
