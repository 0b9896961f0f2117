#include "common/text.h"
#include "render/dll/driverjob.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvtest;

namespace {

std::wstring TempFile(const wchar_t* name) {
    WCHAR dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name + std::to_wstring(GetCurrentProcessId()) + L".ps";
}

std::string Contents(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string all;
    char chunk[256];
    DWORD got = 0;
    while (ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got) all.append(chunk, got);
    CloseHandle(h);
    return all;
}

HRESULT Write(const RawPlugin& plugin, DEVOBJ* device, std::string text, DWORD* written) {
    return plugin.WritePrinter(device, text.data(), static_cast<DWORD>(text.size()), written);
}

}  // namespace

TEST(WritePrinter, AnswersTheProbeAndRefusesMissingPieces) {
    DriverJob job;
    EXPECT_EQ(job.plugin.WritePrinter(nullptr, nullptr, 0, nullptr), S_OK);
    DWORD written = 0;
    char byte = 'x';
    EXPECT_EQ(job.plugin.WritePrinter(nullptr, &byte, 1, &written), S_FALSE);
    EXPECT_EQ(job.plugin.WritePrinter(&job.device, nullptr, 1, &written), S_FALSE);
    EXPECT_EQ(job.plugin.WritePrinter(&job.device, &byte, 1, nullptr), S_FALSE);
    // Only a complete device gets as far as discarding.
    job.record.bDiscardOutput = 1;
    job.device.pOEMDM = nullptr;
    EXPECT_EQ(job.plugin.WritePrinter(&job.device, &byte, 1, &written), S_FALSE);
    job.device.pOEMDM = &job.record;
    job.device.pPublicDM = nullptr;
    EXPECT_EQ(job.plugin.WritePrinter(&job.device, &byte, 1, &written), S_FALSE);
    job.device.pPublicDM = &job.dm;
    job.device.hPrinter = nullptr;
    EXPECT_EQ(job.plugin.WritePrinter(&job.device, &byte, 1, &written), S_FALSE);
    job.device.hPrinter = reinterpret_cast<HANDLE>(0x5150);
    EXPECT_EQ(job.plugin.WritePrinter(&job.device, &byte, 1, &written), S_OK);
}

TEST(WritePrinter, SpoolerRefusalIsReported) {
    DriverJob job;  // no printer behind the handle under Wine: the spooler refuses
    DWORD written = 0;
    char byte = 'x';
    EXPECT_EQ(job.plugin.WritePrinter(&job.device, &byte, 1, &written), S_FALSE);
}

TEST(WritePrinter, DiscardsWhenTheRecordSaysSo) {
    DriverJob job;
    std::wstring path = TempFile(L"corvdiscard");
    DeleteFileW(path.c_str());
    job.record.bDiscardOutput = 1;
    job.record.dwOutputTo = corv::kOutputFile;
    corv::CopyText(job.record.szOutputFile, path.c_str());
    for (int block = 0; block < 3; ++block) {
        DWORD written = 77;
        EXPECT_EQ(Write(job.plugin, &job.device, "%!PS-Adobe-3.0\n", &written), S_OK);
        EXPECT_EQ(written, 0u);
    }
    EXPECT_EQ(Contents(path), "<missing>");
}

TEST(WritePrinter, TwoFileJobsOfOneObjectShareOneFile) {
    std::wstring path = TempFile(L"corvjobs");
    {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD done = 0;
        WriteFile(h, "an older and much longer file", 29, &done, nullptr);
        CloseHandle(h);
    }
    DriverJob job;
    job.record.dwOutputTo = corv::kOutputFile;
    corv::CopyText(job.record.szOutputFile, path.c_str());
    DWORD written = 0;
    EXPECT_EQ(Write(job.plugin, &job.device, "first job;", &written), S_OK);
    EXPECT_EQ(written, 10u);
    EXPECT_EQ(Contents(path), "first job;");
    EXPECT_EQ(Write(job.plugin, &job.device, "more;", &written), S_OK);

    // The driver ends the device and starts the next job on the same plug-in object.
    job.plugin.DisablePDEV(&job.device);
    job.record.dwOutputTo = corv::kOutputEps;
    PDEVOEM next = nullptr;
    ASSERT_EQ(job.plugin.EnablePDEV(&job.device, &job.coreTable.data, &next), S_OK);
    job.device.pdevOEM = next;
    EXPECT_EQ(Write(job.plugin, &job.device, "second job;", &written), S_OK);
    EXPECT_EQ(written, 11u);
    EXPECT_EQ(Contents(path), "first job;more;second job;");

    // A new plug-in object starts the file again.
    DriverJob other;
    other.record = job.record;
    EXPECT_EQ(Write(other.plugin, &other.device, "new object", &written), S_OK);
    EXPECT_EQ(Contents(path), "new object");
    DeleteFileW(path.c_str());
}

TEST(WritePrinter, AJobToAnotherFileStartsThatFile) {
    std::wstring first = TempFile(L"corvfirst"), second = TempFile(L"corvsecond");
    DeleteFileW(second.c_str());
    DriverJob job;
    job.record.dwOutputTo = corv::kOutputFile;
    corv::CopyText(job.record.szOutputFile, first.c_str());
    DWORD written = 0;
    EXPECT_EQ(Write(job.plugin, &job.device, "to the first;", &written), S_OK);
    corv::CopyText(job.record.szOutputFile, second.c_str());
    EXPECT_EQ(Write(job.plugin, &job.device, "to the second;", &written), S_OK);
    EXPECT_EQ(Write(job.plugin, &job.device, "and on;", &written), S_OK);
    EXPECT_EQ(Contents(first), "to the first;");
    EXPECT_EQ(Contents(second), "to the second;and on;");
    DeleteFileW(first.c_str());
    DeleteFileW(second.c_str());
}

TEST(WritePrinter, AnUnopenableFileWritesNothing) {
    DriverJob job;
    job.record.dwOutputTo = corv::kOutputFile;
    std::wstring path = TempFile(L"corv-missing-dir") + L"\\job.ps";
    corv::CopyText(job.record.szOutputFile, path.c_str());
    DWORD written = 5;
    EXPECT_EQ(Write(job.plugin, &job.device, "data", &written), S_FALSE);
    EXPECT_EQ(written, 0u);
    job.record.szOutputFile[0] = 0;
    EXPECT_EQ(Write(job.plugin, &job.device, "data", &written), S_FALSE);
}
