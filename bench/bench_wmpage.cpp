// What the Watermark page costs to get ready with 1,000 and with 2,000 stored watermarks (both
// lists filled, the job's watermarks found and selected), and what one repaint of the Create/Edit
// dialog's preview costs. The store is a scratch registry tree; the spooler's GetPrinterW and the
// printer's fonts are answered by the test kit's stand-ins.
#include "bench/timer.h"
#include "common/record.h"
#include "common/text.h"
#include "tests/inboxui/watermarks/store_fixture.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "plug-in/inboxui/pages/wmedit.h"
#include "plug-in/inboxui/pages/wmpage.h"
#include "plug-in/inboxui/resources/ids.h"
#include "plug-in/inboxui/watermarks/store.h"
#include "tests/support/pagekit/patches.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kRuns = 7;  // the median of these is reported
// The targets: the page with 1,000 watermarks, 2,000 against 1,000, one preview repaint.
constexpr double kPageTargetMs = 50.0;
constexpr double kRatioTarget = 2.2;
constexpr double kPreviewTargetMs = 16.0;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Stores watermarks "Watermark 0001" ... up to count; false when one could not be saved.
bool FillStore(HANDLE printer, int from, int count) {
    for (int i = from; i < count; ++i) {
        corv::WatermarkRecord wm;
        corv::InitWatermarkRecord(&wm);
        corv::FormatText(wm.szName, corv::ui::kNameCapacity, L"Watermark %04d", i + 1);
        corv::CopyText(wm.szText, L"CONFIDENTIAL");
        if (!corv::ui::SaveWatermark(printer, &wm)) return false;
    }
    return true;
}

// ms from creating the page to its being ready, the job naming the store's last two watermarks
// (found at the end of the lists) under First Page/Other Pages.
double TimePage(HWND parent, corv::ui::SheetContext* context, int count) {
    corv::FormatText(context->working.wmFirst.szName, corv::ui::kNameCapacity, L"Watermark %04d", count);
    corv::FormatText(context->working.wmOther.szName, corv::ui::kNameCapacity, L"Watermark %04d", count - 1);
    context->working.bWatermarks = 1;
    context->working.dwWatermarkOrder = 3;
    context->shownOrder = 3;
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.lParam = reinterpret_cast<LPARAM>(context);
    std::vector<double> ms;
    for (int run = 0; run < kRuns; ++run) {
        const corvbench::Timer timer;
        HWND dialog = CreateDialogParamW(corv::ui::ResourceModule(), MAKEINTRESOURCEW(IDD_WATERMARK), parent,
                                         corv::ui::WatermarkPageProc, reinterpret_cast<LPARAM>(&page));
        ms.push_back(timer.ns() / 1e6);
        if (!dialog) return -1;
        const LRESULT items = SendDlgItemMessageW(dialog, IDC_WM_OTHER_LIST, LB_GETCOUNT, 0, 0);
        const LRESULT selected = SendDlgItemMessageW(dialog, IDC_WM_FIRST_LIST, LB_GETCURSEL, 0, 0);
        DestroyWindow(dialog);
        if (items != count + 1 || selected != count) return -1;  // not the page it should be
    }
    return Median(ms);
}

// ms for one repaint of the Create/Edit dialog's preview, the dialog open on a watermark.
double TimePreview(HWND parent, corv::ui::SheetContext* context) {
    context->addMode = 0;
    corv::InitWatermarkRecord(&context->dialogRecord);
    corv::CopyText(context->dialogRecord.szName, L"Preview");
    corv::CopyText(context->dialogRecord.szText, L"CONFIDENTIAL");
    context->dialogRecord.dblAngle = 45.0;
    HWND dialog = CreateDialogParamW(corv::ui::ResourceModule(), MAKEINTRESOURCEW(IDD_WM_EDIT), parent,
                                     corv::ui::EditWatermarkProc, reinterpret_cast<LPARAM>(context));
    if (!dialog) return -1;
    ShowWindow(dialog, SW_SHOW);
    HWND preview = GetDlgItem(dialog, IDC_WME_PREVIEW);
    auto repaint = [preview] {
        RedrawWindow(preview, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    };
    repaint();
    std::vector<double> ms;
    for (int run = 0; run < 5 * kRuns; ++run) {
        const corvbench::Timer timer;
        repaint();
        ms.push_back(timer.ns() / 1e6);
    }
    DestroyWindow(dialog);
    return Median(ms);
}

}  // namespace

int main() {
    corvtest::ScratchRegistry registry;
    corvtest::FakeSpooler spooler;
    corvtest::PrinterFonts fonts{{{L"Courier"}, {L"Helvetica"}, {L"Times"}}};
    if (!registry.ok() || !spooler.active() || !fonts.active()) {
        std::printf("cannot set up the scratch store and the stand-ins\n");
        return 1;
    }
    corv::ui::RegisterCommonControls();
    const HANDLE printer = spooler.Add(L"Office", corvtest::kDriver);
    auto context = std::make_unique<corv::ui::SheetContext>();
    corv::JobSettings driverRecord{};
    corv::DefaultRecord(&driverRecord);
    OEMUIPSPARAM params{};
    params.cbSize = sizeof params;
    params.hPrinter = printer;
    params.pPrinterName = const_cast<PWSTR>(L"Office");
    params.pOEMDM = &driverRecord;
    context->pageParams = &params;
    context->working = driverRecord;
    HWND parent = CreateWindowExW(0, L"STATIC", L"sheet", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);

    if (!FillStore(printer, 0, 1000)) {
        std::printf("cannot store the watermarks\n");
        return 1;
    }
    const double ms1000 = TimePage(parent, context.get(), 1000);
    if (!FillStore(printer, 1000, 2000)) {
        std::printf("cannot store the watermarks\n");
        return 1;
    }
    const double ms2000 = TimePage(parent, context.get(), 2000);
    if (ms1000 <= 0 || ms2000 <= 0) {
        std::printf("the Watermark page did not show the store\n");
        return 1;
    }
    std::printf("Watermark page ready   1,000 watermarks %7.2f ms   2,000 watermarks %7.2f ms   ratio %4.2f"
                "   (median of %d; target <= %g ms, ratio <= %g)\n",
                ms1000, ms2000, ms2000 / ms1000, kRuns, kPageTargetMs, kRatioTarget);
    const double preview = TimePreview(parent, context.get());
    if (preview < 0) {
        std::printf("the Create/Edit dialog did not open\n");
        return 1;
    }
    std::printf("Create/Edit preview    %7.2f ms per repaint   (median of %d; target <= %g ms)\n", preview, 5 * kRuns,
                kPreviewTargetMs);
    DestroyWindow(parent);
    const bool met = ms1000 <= kPageTargetMs && ms2000 / ms1000 <= kRatioTarget && preview <= kPreviewTargetMs;
    return met ? 0 : 2;
}
