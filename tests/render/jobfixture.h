// One job as the core driver holds it: device object, job settings record, public DEVMODE, job
// state, the core driver's helper and its own DDI functions.
#pragma once

#include "common/record.h"
#include "plug-in/render/escape.h"
#include "plug-in/render/jobstate.h"
#include "render/coreddi.h"
#include "support/fakecore.h"

namespace corvtest {

struct FakeJob {
    corv::JobSettings record{};
    DEVMODEW dm{};
    corv::render::JobState state{};
    DEVOBJ device{};
    SURFOBJ surface{};
    FakeCore core;
    CoreTable coreTable;

    FakeJob() {
        g_coreDdi = CoreDdi{};
        corv::DefaultRecord(&record);
        dm.dmSize = sizeof(DEVMODEW);
        dm.dmDriverExtra = corv::kRecordSize;
        dm.dmCopies = 1;
        state.structSize = corv::render::kJobStateSize;
        state.coreHooks = coreTable.data;
        state.coreHelper = &core;
        device.dwSize = sizeof device;
        device.pdevOEM = &state;
        device.pOEMDM = &record;
        device.pPublicDM = &dm;
        device.hPrinter = reinterpret_cast<HANDLE>(0x5150);
        surface.dhpdev = reinterpret_cast<DHPDEV>(&device);
    }
    FakeJob(const FakeJob&) = delete;
    FakeJob& operator=(const FakeJob&) = delete;

    ULONG Escape(ULONG code, ULONG inSize = 0, const void* in = nullptr, ULONG outSize = 0, void* out = nullptr) {
        return corv::render::HookEscape(&surface, code, inSize, const_cast<void*>(in), outSize, out);
    }
    ULONG EscapeValue(ULONG code, DWORD value) { return Escape(code, sizeof value, &value); }
};

}  // namespace corvtest
