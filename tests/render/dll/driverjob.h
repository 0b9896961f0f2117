// One job driven through corvrend.dll the way the core driver drives it: create the plug-in,
// publish the helper, take the hooks, default the record, enable the device.
#pragma once

#include "common/record.h"
#include "plug-in/render/jobstate.h"
#include "render/coreddi.h"
#include "render/dll/corvrend.h"
#include "support/fakecore.h"

#include <type_traits>

namespace corvtest {

struct DriverJob {
    RawPlugin plugin;
    FakeCore core;
    CoreTable coreTable;
    corv::JobSettings record{};
    DEVMODEW dm{};
    DEVOBJ device{};
    SURFOBJ surface{};
    DRVENABLEDATA hooks{};
    corv::render::JobState* state = nullptr;

    explicit DriverJob(bool publish = true) {
        g_coreDdi = CoreDdi{};
        plugin = CreatePlugin();
        if (!plugin.p) return;
        if (publish) plugin.PublishDriverInterface(&core);
        plugin.EnableDriver(PRINTER_OEMINTF_VERSION, sizeof hooks, &hooks);
        OEMDMPARAM param{};
        param.cbSize = sizeof param;
        param.pOEMDMOut = &record;
        param.cbBufSize = sizeof record;
        plugin.DevMode(OEMDM_DEFAULT, &param);
        dm.dmSize = sizeof dm;
        dm.dmDriverExtra = sizeof record;
        dm.dmCopies = 1;
        device.dwSize = sizeof device;
        device.hPrinter = reinterpret_cast<HANDLE>(0x5150);
        device.pPublicDM = &dm;
        device.pOEMDM = &record;
        PDEVOEM created = nullptr;
        plugin.EnablePDEV(&device, &coreTable.data, &created);
        device.pdevOEM = created;  // the core driver stores what EnablePDEV returned
        state = static_cast<corv::render::JobState*>(created);
        surface.dhpdev = reinterpret_cast<DHPDEV>(&device);
    }
    DriverJob(const DriverJob&) = delete;
    DriverJob& operator=(const DriverJob&) = delete;
    ~DriverJob() {
        if (!plugin.p) return;
        if (device.pdevOEM) plugin.DisablePDEV(&device);
        plugin.DisableDriver();
        plugin.Release();
    }

    PFN Hook(ULONG index) const {
        for (ULONG i = 0; i < hooks.c; ++i)
            if (hooks.pdrvfn[i].iFunc == index) return hooks.pdrvfn[i].pfn;
        return nullptr;
    }
    ULONG Escape(ULONG code, ULONG inSize = 0, const void* in = nullptr, ULONG outSize = 0, void* out = nullptr) const {
        auto hook = reinterpret_cast<PFN_DrvEscape>(reinterpret_cast<void (*)()>(Hook(INDEX_DrvEscape)));
        return hook(const_cast<SURFOBJ*>(&surface), code, inSize, const_cast<void*>(in), outSize, out);
    }
    ULONG EscapeValue(ULONG code, DWORD value) const { return Escape(code, sizeof value, &value); }
    BOOL StartDoc(LPWSTR name, DWORD jobId) const {
        auto hook = reinterpret_cast<PFN_DrvStartDoc>(reinterpret_cast<void (*)()>(Hook(INDEX_DrvStartDoc)));
        return hook(const_cast<SURFOBJ*>(&surface), name, jobId);
    }
};

}  // namespace corvtest
