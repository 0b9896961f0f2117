// What one page costs in the rendering plug-in: its page injection points and the private escapes
// the UI plug-in sends per page, against a pass-through that hands the same bytes to the same
// core helper.
#include "bench/timer.h"
#include "plug-in/render/object.h"
#include "render/jobfixture.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace corv::render;

namespace {

constexpr int kWarmUpPages = 2000;
constexpr int kPages = 200000;

const DWORD kPagePoints[] = {PSINJECT_PAGENUMBER, PSINJECT_BEGINPAGESETUP, PSINJECT_ENDPAGESETUP,
                             PSINJECT_SHOWPAGE, PSINJECT_PAGETRAILER};

// The record and DEVMODE fetches before a watermark can be chosen: sizes first, then the data.
void FetchRecords(corvtest::FakeJob& job, corv::JobSettings* record, DEVMODEW* dm) {
    job.Escape(kEscGetRecord);
    job.Escape(kEscGetPublicDevMode);
    job.Escape(kEscGetRecord, 0, nullptr, sizeof *record, record);
    job.Escape(kEscGetPublicDevMode, 0, nullptr, sizeof *dm, dm);
}

// One page as the core driver and the UI plug-in's document events drive it, the events' buffers
// fresh for the page as theirs are. False when the plug-in refuses a point or skips the page.
bool PrintPage(IPrintOemPS2* plugin, corvtest::FakeJob& job) {
    corv::JobSettings record;
    DEVMODEW dm;
    SYSTEMTIME started;

    if (job.Escape(kEscGetPageSkip) != 0) return false;
    job.Escape(kEscNextPage, 0, nullptr, 4, nullptr);
    FetchRecords(job, &record, &dm);
    job.Escape(kEscGetPageCount, 0, nullptr, 4, nullptr);
    job.Escape(kEscGetStartTime, 0, nullptr, sizeof started, &started);

    for (DWORD point : kPagePoints) {
        DWORD result = ~0u;
        if (plugin->Command(&job.device, point, nullptr, 0, &result) != S_OK || result != ERROR_SUCCESS) return false;
    }

    if (job.Escape(kEscGetPageSkip) != 0) return false;
    FetchRecords(job, &record, &dm);
    return true;
}

struct Figures {
    double pluginNs;
    double passNs;
    double pluginBytes;
    double passBytes;
    double helperQueries;  // GetOptions calls of the plug-in per page
};

bool Measure(corvtest::FakeJob& job, int cycle, Figures* f) {
    auto* plugin = new RenderPlugin;
    plugin->PublishDriverInterface(&job.core);
    bool ok = true;

    // The plug-in's bytes of `cycle` pages in the steady state: one n-up sheet, or one page.
    job.core.keepPieces = false;
    for (int i = 0; i < kWarmUpPages && ok; ++i) ok = PrintPage(plugin, job);
    job.core.keepPieces = true;
    job.core.pieces.clear();
    for (int i = 0; i < cycle && ok; ++i) ok = PrintPage(plugin, job);
    const std::vector<std::string> recorded = job.core.pieces;
    job.core.keepPieces = false;

    job.core.bytesWritten = 0;
    job.core.getOptionsCalls = 0;
    const corvbench::Timer pluginTimer;
    for (int i = 0; i < kPages && ok; ++i) ok = PrintPage(plugin, job);
    f->pluginNs = pluginTimer.ns() / kPages;
    f->pluginBytes = static_cast<double>(job.core.bytesWritten) / kPages;
    f->helperQueries = static_cast<double>(job.core.getOptionsCalls) / kPages;
    plugin->Release();

    // Called through the interface, as the plug-in calls it, not inlined into a sum.
    IPrintCorePS2* volatile sink = &job.core;
    DEVOBJ* device = &job.device;
    auto replay = [&](int pages) {
        for (int i = 0; i < pages / cycle; ++i)
            for (const std::string& piece : recorded) {
                DWORD written = 0;
                sink->DrvWriteSpoolBuf(device, const_cast<char*>(piece.data()), static_cast<DWORD>(piece.size()),
                                       &written);
            }
    };
    replay(kWarmUpPages);
    job.core.bytesWritten = 0;
    const corvbench::Timer passTimer;
    replay(kPages);
    f->passNs = passTimer.ns() / kPages;
    f->passBytes = static_cast<double>(job.core.bytesWritten) / kPages;

    // Every page escape is the plug-in's own: none may have reached the core driver.
    return ok && corvtest::g_coreDdi.escapes.empty();
}

bool Report(const char* name, corvtest::FakeJob& job, int cycle) {
    Figures f{};
    if (!Measure(job, cycle, &f)) {
        std::printf("%-20s the plug-in refused a page or forwarded a page escape\n", name);
        return false;
    }
    std::printf("%-20s plug-in %6.0f ns/page (%3.0f bytes, %2.0f GetOptions)   pass-through %4.0f ns/page (%3.0f bytes)"
                "   ratio %6.1f\n",
                name, f.pluginNs, f.pluginBytes, f.helperQueries, f.passNs, f.passBytes, f.pluginNs / f.passNs);
    return true;
}

}  // namespace

int main() {
    std::printf("bench_render: %d pages per job after %d warm-up pages\n", kPages, kWarmUpPages);
    bool ok = true;
    {
        corvtest::FakeJob job;
        job.core.pagePerSheet = "1";
        ok &= Report("plain job", job, 1);
    }
    {
        corvtest::FakeJob job;
        job.core.features.insert("HasManualDuplex");
        job.core.pagePerSheet = "2";
        job.dm.dmDuplex = DMDUP_HORIZONTAL;
        ok &= Report("2-up manual duplex", job, 2);
    }
    return ok ? 0 : 1;
}
