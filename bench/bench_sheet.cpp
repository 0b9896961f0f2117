// What opening the whole document sheet costs: DocumentPropertySheets INIT, every page created
// (each shown once), the sheet closed and DESTROY. Once with an empty store, once with 100 stored
// profiles and 1,000 stored watermarks; the figure to keep is the second, under 150 ms.
#include "bench/timer.h"
#include "common/record.h"
#include "common/text.h"
#include "plug-in/inboxui/core/uiplugin.h"
#include "plug-in/inboxui/profiles/store.h"
#include "plug-in/inboxui/watermarks/store.h"
#include "support/fakecoreui.h"
#include "support/iatpatch_ui.h"
#include "support/pagekit/sheethost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 15;
constexpr double kTargetMs = 150.0;  // the sheet with the full store
constexpr WCHAR kDriver[] = L"Corvane CP 4500 PS";
const HANDLE kPrinter = reinterpret_cast<HANDLE>(0x5001);

// GetPrinterW level 2 for the one printer: its driver names the model key of the stores.
BOOL WINAPI PrinterOfTheBench(HANDLE handle, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (handle != kPrinter || level != 2 || !needed) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const DWORD nameBytes = sizeof(kDriver);
    *needed = sizeof(PRINTER_INFO_2W) + nameBytes;
    if (!buffer || size < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memset(buffer, 0, *needed);
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
    info->pPrinterName = info->pDriverName = reinterpret_cast<LPWSTR>(buffer + sizeof(PRINTER_INFO_2W));
    std::memcpy(info->pDriverName, kDriver, nameBytes);
    return TRUE;
}

// HKEY_CURRENT_USER pointed at a scratch key while the object lives.
class ScratchUser {
public:
    ScratchUser() {
        tree_ = L"Software\\CorvaneBench\\" + std::to_wstring(GetCurrentProcessId());
        ok_ = RegCreateKeyExW(HKEY_CURRENT_USER, tree_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                              nullptr) == ERROR_SUCCESS &&
              RegOverridePredefKey(HKEY_CURRENT_USER, key_) == ERROR_SUCCESS;
    }
    ~ScratchUser() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (key_) RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, tree_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\CorvaneBench");
    }
    bool ok() const { return ok_; }

private:
    std::wstring tree_;
    HKEY key_ = nullptr;
    bool ok_ = false;
};

bool Fill(int profiles, int watermarks) {
    corv::JobSettings working{};
    corv::DefaultRecord(&working);
    corv::ui::ProfileSettings current;
    current.workingCopy = &working;
    for (int i = 0; i < profiles; ++i) {
        WCHAR name[32];
        corv::FormatText(name, 32, L"Profile %03d", i);
        if (!corv::ui::SaveProfile(kPrinter, name, current)) return false;
    }
    for (int i = 0; i < watermarks; ++i) {
        corv::WatermarkRecord wm = working.wmFirst;
        corv::FormatText(wm.szName, 128, L"Watermark %04d", i);
        corv::FormatText(wm.szText, 128, L"TEXT %04d", i);
        if (!corv::ui::SaveModelWatermark(kDriver, &wm)) return false;
    }
    return true;
}

// ms of one whole sheet, open to closed; -1 when a step failed.
double OpenAndClose() {
    corvtest::FakeCoreDriverUi core;
    core.features.insert("HasPrintandHold");
    core.features.insert("HasManualColorCorrection");
    HANDLE heap = HeapCreate(0, 0, 0);
    corv::JobSettings record{};
    corv::DefaultRecord(&record);
    OEMUIOBJ uiObject{sizeof(OEMUIOBJ), nullptr};
    OEMUIPSPARAM params{};
    params.cbSize = sizeof params;
    params.hPrinter = kPrinter;
    params.poemuiobj = &uiObject;
    params.hOEMHeap = heap;
    params.pOEMDM = &record;
    auto* plugin = new corv::ui::UiPlugin;
    plugin->PublishDriverInterface(&core);
    double ms = -1;
    {
        const corvbench::Timer timer;
        PROPSHEETUI_INFO info;
        bool ok = false;
        {
            corvtest::SheetHost host;
            info = host.Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&params));
            ok = plugin->DocumentPropertySheets(&info, 0) == S_OK && host.pageCount() > 0 && host.Show();
            for (int i = 1; ok && i < static_cast<int>(host.pageCount()); ++i) ok = host.select(i);
        }  // the pages go with the sheet window, before the driver's DESTROY
        info.Reason = PROPSHEETUI_REASON_DESTROY;
        ok = plugin->DocumentPropertySheets(&info, 0) == S_OK && ok;
        if (ok) ms = timer.ns() / 1e6;
    }
    plugin->Release();
    HeapDestroy(heap);
    return ms;
}

double Median(int runs) {
    std::vector<double> times;
    OpenAndClose();  // the first sheet loads the controls' code
    for (int i = 0; i < runs; ++i) {
        double ms = OpenAndClose();
        if (ms < 0) return -1;
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

// Optional arguments: the number of stored profiles and of watermarks (default 100 and 1,000).
int main(int argc, char** argv) {
    const int profiles = argc > 1 ? std::atoi(argv[1]) : 100;
    const int watermarks = argc > 2 ? std::atoi(argv[2]) : 1000;
    corvtest::ExeImportPatch spooler("winspool.drv", "GetPrinterW", reinterpret_cast<const void*>(&PrinterOfTheBench));
    // The display driver is chosen from the user's keys at the first window, before they are swapped.
    DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    double empty = -1, full = -1;
    {
        ScratchUser user;
        if (!user.ok() || !spooler.active()) return std::fputs("no scratch registry or spooler patch\n", stderr), 1;
        empty = Median(kRuns);
    }
    {
        ScratchUser user;
        if (!user.ok() || !Fill(profiles, watermarks)) return std::fputs("the store could not be filled\n", stderr), 1;
        full = Median(kRuns);
    }
    if (empty < 0 || full < 0) return std::fputs("a sheet could not be opened\n", stderr), 1;
    std::printf("document sheet, open to closed, median of %d:\n", kRuns);
    std::printf("  empty store:                          %8.2f ms\n", empty);
    std::printf("  %4d profiles and %5d watermarks:    %8.2f ms  (%.2f x the empty store; target <= %g ms)\n",
                profiles, watermarks, full, full / empty, kTargetMs);
    return full <= kTargetMs ? 0 : 2;
}
