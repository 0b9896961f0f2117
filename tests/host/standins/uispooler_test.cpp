#include "host/standins/uispooler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace corv::host;

PrinterFacts Facts() {
    PrinterFacts f;
    f.configFile = L"C:\\drv\\corvui.dll";
    f.driverPath = L"C:\\drv\\corvrend.dll";
    f.dataFile = L"C:\\drv\\CORV4500.PPD";
    f.dependentFiles = {L"C:\\drv\\corvui.dll", L"C:\\drv\\CORVUI.CHM"};
    f.userName = L"ann";
    return f;
}

// The entries of a string list that ends with an empty string.
std::vector<std::wstring> Entries(const wchar_t* list) {
    std::vector<std::wstring> out;
    for (; list && *list; list += wcslen(list) + 1) out.push_back(list);
    return out;
}

bool Inside(const void* p, const std::vector<BYTE>& buffer) {
    auto b = static_cast<const BYTE*>(p);
    return b >= buffer.data() && b < buffer.data() + buffer.size();
}

TEST(UiSpoolerPacking, SizeFirstThenEverythingInsideTheCallersBuffer) {
    const PrinterFacts facts = Facts();
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(PackPrinterInfo(facts, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_GT(needed, sizeof(PRINTER_INFO_2W));
    std::vector<BYTE> buffer(needed - 1, 0xCD);
    EXPECT_FALSE(PackPrinterInfo(facts, 2, buffer.data(), needed - 1, &needed));
    EXPECT_EQ(buffer[0], 0xCD);
    buffer.assign(needed, 0xCD);
    ASSERT_TRUE(PackPrinterInfo(facts, 2, buffer.data(), needed, &needed));
    auto info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    EXPECT_STREQ(info->pPrinterName, L"Corvane CP 4500 PS");
    EXPECT_STREQ(info->pDriverName, L"Corvane CP 4500 PS");
    EXPECT_STREQ(info->pPrintProcessor, L"WinPrint");
    EXPECT_TRUE(Inside(info->pPrinterName, buffer));
    EXPECT_TRUE(Inside(info->pParameters, buffer));
    EXPECT_EQ(info->pDevMode, nullptr);
}

TEST(UiSpoolerPacking, DriverInfoLevelsTwoThreeAndSix) {
    const PrinterFacts facts = Facts();
    for (DWORD level : {2u, 3u, 6u}) {
        SCOPED_TRACE(level);
        DWORD needed = 0;
        PackDriverInfo(facts, level, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed);
        ASSERT_TRUE(PackDriverInfo(facts, level, buffer.data(), needed, &needed));
        // Levels 3 and 6 begin as level 2 does.
        auto two = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
        EXPECT_STREQ(two->pName, L"Corvane CP 4500 PS");
        EXPECT_STREQ(two->pConfigFile, L"C:\\drv\\corvui.dll");
        EXPECT_STREQ(two->pDriverPath, L"C:\\drv\\corvrend.dll");
        EXPECT_STREQ(two->pDataFile, L"C:\\drv\\CORV4500.PPD");
        EXPECT_TRUE(Inside(two->pConfigFile, buffer));
        if (level == 3) {
            EXPECT_EQ(Entries(reinterpret_cast<const DRIVER_INFO_3W*>(two)->pDependentFiles), facts.dependentFiles);
        }
        if (level == 6) {
            auto six = reinterpret_cast<const DRIVER_INFO_6W*>(two);
            EXPECT_EQ(Entries(six->pDependentFiles), facts.dependentFiles);
            EXPECT_TRUE(Entries(six->pszzPreviousNames).empty());
        }
    }
    DWORD needed = 0;
    BYTE small[8];
    EXPECT_FALSE(PackDriverInfo(facts, 4, small, sizeof small, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

TEST(UiSpoolerPacking, JobInfoOneCarriesTheOwner) {
    DWORD needed = 0;
    PackJobInfo(Facts(), 7, 1, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(PackJobInfo(Facts(), 7, 1, buffer.data(), needed, &needed));
    auto job = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    EXPECT_EQ(job->JobId, 7u);
    EXPECT_STREQ(job->pUserName, L"ann");
    EXPECT_STREQ(job->pPrinterName, L"Corvane CP 4500 PS");
    EXPECT_FALSE(PackJobInfo(Facts(), 7, 2, buffer.data(), needed, &needed));
}

// The probe module calls the spooler through its own imports, as the UI plug-in does.
class UiSpoolerImports : public ::testing::Test {
protected:
    void SetUp() override {
        probe = LoadLibraryW(L"uiprobe.dll");
        ASSERT_TRUE(probe);
    }
    void TearDown() override { FreeLibrary(probe); }
    template <typename F>
    F* Probe(const char* name) {
        return reinterpret_cast<F*>(reinterpret_cast<void (*)()>(GetProcAddress(probe, name)));
    }
    HMODULE probe = nullptr;
};

TEST_F(UiSpoolerImports, ThePrinterOpensReadsSetsAndClosesThroughThePatchedImports) {
    UiSpooler spooler(Facts());
    ASSERT_EQ(spooler.Attach(probe), 6);
    auto open = Probe<BOOL(LPWSTR, HANDLE*)>("ProbeOpenPrinter");
    auto close = Probe<BOOL(HANDLE)>("ProbeClosePrinter");
    auto get = Probe<BOOL(HANDLE, DWORD, BYTE*, DWORD, DWORD*)>("ProbeGetPrinter");
    auto set = Probe<BOOL(HANDLE, DWORD, BYTE*, DWORD)>("ProbeSetPrinter");
    auto driver = Probe<BOOL(HANDLE, DWORD, BYTE*, DWORD, DWORD*)>("ProbeGetPrinterDriver");
    auto job = Probe<BOOL(HANDLE, DWORD, DWORD, BYTE*, DWORD, DWORD*)>("ProbeGetJob");
    ASSERT_TRUE(open && close && get && set && driver && job);

    WCHAR name[] = L"Corvane CP 4500 PS";
    HANDLE printer = nullptr;
    ASSERT_TRUE(open(name, &printer));
    EXPECT_NE(printer, nullptr);
    EXPECT_NE(printer, spooler.printer());
    EXPECT_EQ(spooler.openHandles(), 1);

    DWORD needed = 0;
    driver(printer, 3, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    ASSERT_TRUE(driver(printer, 3, info.data(), needed, &needed));
    EXPECT_STREQ(reinterpret_cast<DRIVER_INFO_3W*>(info.data())->pConfigFile, L"C:\\drv\\corvui.dll");

    get(printer, 2, nullptr, 0, &needed);
    info.assign(needed, 0);
    ASSERT_TRUE(get(printer, 2, info.data(), needed, &needed));
    auto printerInfo = reinterpret_cast<PRINTER_INFO_2W*>(info.data());
    WCHAR processor[] = L"CORV450C";
    printerInfo->pPrintProcessor = processor;
    ASSERT_TRUE(set(printer, 2, info.data(), 0));
    EXPECT_EQ(spooler.printProcessorsSet(), std::vector<std::wstring>{L"CORV450C"});
    EXPECT_EQ(spooler.facts().printProcessor, L"CORV450C");

    // The driver's own handle answers too; the plug-in may not close it.
    job(spooler.printer(), 3, 1, nullptr, 0, &needed);
    info.assign(needed, 0);
    ASSERT_TRUE(job(spooler.printer(), 3, 1, info.data(), needed, &needed));
    EXPECT_STREQ(reinterpret_cast<JOB_INFO_1W*>(info.data())->pUserName, L"ann");
    EXPECT_FALSE(close(spooler.printer()));

    EXPECT_TRUE(close(printer));
    EXPECT_EQ(spooler.openHandles(), 0);
    EXPECT_EQ(spooler.opens(), 1);
    EXPECT_EQ(spooler.closes(), 1);
    // A closed handle is nobody's any more: it goes to the real spooler, which knows it not.
    EXPECT_FALSE(driver(printer, 3, info.data(), static_cast<DWORD>(info.size()), &needed));
}

TEST_F(UiSpoolerImports, OtherPrintersGoToTheRealSpoolerAndDetachRestores) {
    UiSpooler spooler(Facts());
    ASSERT_EQ(spooler.Attach(probe), 6);
    auto open = Probe<BOOL(LPWSTR, HANDLE*)>("ProbeOpenPrinter");
    WCHAR other[] = L"No Such Printer 4711";
    HANDLE printer = nullptr;
    EXPECT_FALSE(open(other, &printer));
    EXPECT_EQ(spooler.opens(), 0);
    spooler.Detach();
    WCHAR name[] = L"Corvane CP 4500 PS";
    EXPECT_FALSE(open(name, &printer));
    EXPECT_EQ(spooler.opens(), 0);
}

}  // namespace
