#include "host/kit/iatpatch.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <memory>
#include <string>

namespace {

using corv::host::FindImportSlot;
using corv::host::ImportPatch;

using ProbeWrite = BOOL(HANDLE, void*, DWORD, DWORD*);
using ProbeCaps = int(HDC, int);

struct Recorded {
    int calls = 0;
    HANDLE printer = nullptr;
    std::string bytes;
} g_recorded;

BOOL WINAPI FakeWritePrinter(HANDLE printer, LPVOID data, DWORD size, LPDWORD written) {
    ++g_recorded.calls;
    g_recorded.printer = printer;
    g_recorded.bytes.append(static_cast<const char*>(data), size);
    *written = size;
    return TRUE;
}

int WINAPI FakeGetDeviceCaps(HDC, int index) { return 1000 + index; }

// The probe module beside the test program; loaded once per test so every test starts from a
// pristine import table.
class ImportPatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t path[MAX_PATH];
        DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
        while (n && path[n - 1] != L'\\' && path[n - 1] != L'/') --n;
        path[n] = 0;
        std::wstring probe = std::wstring(path) + L"iatprobe.dll";
        module_ = LoadLibraryW(probe.c_str());
        ASSERT_NE(module_, nullptr) << "iatprobe.dll must sit beside the test program";
        write_ = reinterpret_cast<ProbeWrite*>(reinterpret_cast<void (*)()>(GetProcAddress(module_, "ProbeWritePrinter")));
        caps_ = reinterpret_cast<ProbeCaps*>(reinterpret_cast<void (*)()>(GetProcAddress(module_, "ProbeGetDeviceCaps")));
        ASSERT_TRUE(write_ && caps_);
        g_recorded = {};
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    HMODULE module_ = nullptr;
    ProbeWrite* write_ = nullptr;
    ProbeCaps* caps_ = nullptr;
};

TEST_F(ImportPatchTest, FindsTheSlotThatHoldsTheRealFunction) {
    void** slot = FindImportSlot(module_, "winspool.drv", "WritePrinter");
    ASSERT_NE(slot, nullptr);
    void* real = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"winspool.drv"), "WritePrinter"));
    EXPECT_EQ(*slot, real);
    EXPECT_EQ(FindImportSlot(module_, "WINSPOOL.DRV", "WritePrinter"), slot) << "DLL names compare without case";
}

TEST_F(ImportPatchTest, DoesNotFindWhatTheModuleDoesNotImport) {
    EXPECT_EQ(FindImportSlot(module_, "winspool.drv", "OpenPrinterW"), nullptr);
    EXPECT_EQ(FindImportSlot(module_, "winspool.drv", "writeprinter"), nullptr) << "function names keep their case";
    EXPECT_EQ(FindImportSlot(module_, "gdi32.dll", "WritePrinter"), nullptr) << "the function belongs to another DLL";
    EXPECT_EQ(FindImportSlot(module_, "nosuch.dll", "WritePrinter"), nullptr);
    EXPECT_EQ(FindImportSlot(nullptr, "winspool.drv", "WritePrinter"), nullptr);

    ImportPatch patch(module_, "winspool.drv", "OpenPrinterW", reinterpret_cast<void*>(&FakeWritePrinter));
    EXPECT_FALSE(patch.active());
}

TEST_F(ImportPatchTest, RedirectsTheModulesCallsWhileAliveAndRestoresAfter) {
    char job[] = "%!PS\n";
    DWORD written = 0;
    auto fake = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0xC0DE));
    {
        ImportPatch patch(module_, "winspool.drv", "WritePrinter", reinterpret_cast<void*>(&FakeWritePrinter));
        ASSERT_TRUE(patch.active());
        EXPECT_EQ(patch.original(),
                  reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"winspool.drv"), "WritePrinter")));
        EXPECT_TRUE(write_(fake, job, 5, &written));
        EXPECT_EQ(written, 5u);
        EXPECT_EQ(g_recorded.calls, 1);
        EXPECT_EQ(g_recorded.printer, fake);
        EXPECT_EQ(g_recorded.bytes, "%!PS\n");
    }
    // The real spooler refuses a handle it never issued; our function sees nothing more.
    written = 0;
    EXPECT_FALSE(write_(fake, job, 5, &written));
    EXPECT_EQ(g_recorded.calls, 1);
    void* real = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"winspool.drv"), "WritePrinter"));
    EXPECT_EQ(*FindImportSlot(module_, "winspool.drv", "WritePrinter"), real);
}

TEST_F(ImportPatchTest, PatchesOfDifferentImportsAreIndependent) {
    ImportPatch caps(module_, "gdi32.dll", "GetDeviceCaps", reinterpret_cast<void*>(&FakeGetDeviceCaps));
    ASSERT_TRUE(caps.active());
    {
        ImportPatch writer(module_, "winspool.drv", "WritePrinter", reinterpret_cast<void*>(&FakeWritePrinter));
        ASSERT_TRUE(writer.active());
        EXPECT_EQ(caps_(nullptr, LOGPIXELSX), 1000 + LOGPIXELSX);
    }
    EXPECT_EQ(caps_(nullptr, HORZRES), 1000 + HORZRES) << "ending one patch leaves the other in place";
}

TEST_F(ImportPatchTest, MovingHandsOverTheRestoreExactlyOnce) {
    void** slot = FindImportSlot(module_, "winspool.drv", "WritePrinter");
    void* real = *slot;
    ImportPatch outer;
    {
        ImportPatch inner(module_, "winspool.drv", "WritePrinter", reinterpret_cast<void*>(&FakeWritePrinter));
        outer = std::move(inner);
        EXPECT_FALSE(inner.active());
    }
    EXPECT_EQ(*slot, reinterpret_cast<void*>(&FakeWritePrinter)) << "the moved-from patch must not restore";
    outer.Restore();
    EXPECT_EQ(*slot, real);
    outer.Restore();  // a second restore does nothing
    EXPECT_EQ(*slot, real);
}

TEST_F(ImportPatchTest, LeavesALaterPatchOfTheSameSlotInPlace) {
    void** slot = FindImportSlot(module_, "winspool.drv", "WritePrinter");
    void* real = *slot;
    auto first = std::make_unique<ImportPatch>(module_, "winspool.drv", "WritePrinter",
                                               reinterpret_cast<void*>(&FakeWritePrinter));
    ImportPatch second(module_, "winspool.drv", "WritePrinter", reinterpret_cast<void*>(&FakeGetDeviceCaps));
    EXPECT_EQ(second.original(), reinterpret_cast<void*>(&FakeWritePrinter));
    first.reset();
    EXPECT_EQ(*slot, reinterpret_cast<void*>(&FakeGetDeviceCaps)) << "the first patch must not undo the second";
    second.Restore();
    EXPECT_EQ(*slot, reinterpret_cast<void*>(&FakeWritePrinter)) << "the second puts back what it found";
    corv::host::WriteSlot(slot, real);
}

TEST_F(ImportPatchTest, OutlivingTheModuleDoesNotTouchFreedMemory) {
    ImportPatch patch(module_, "winspool.drv", "WritePrinter", reinterpret_cast<void*>(&FakeWritePrinter));
    ASSERT_TRUE(patch.active());
    FreeLibrary(module_);
    module_ = nullptr;
    patch.Restore();  // must not crash: the module's pages are gone
    EXPECT_FALSE(patch.active());
}

}  // namespace
