#include "common/text.h"
#include "plug-in/render/object.h"
#include "render/jobfixture.h"

#include <gtest/gtest.h>

#include <string>

using corv::render::WriteJobOutput;
using corvtest::FakeJob;

namespace {

std::wstring TempPath(const wchar_t* name) {
    WCHAR dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name + std::to_wstring(GetCurrentProcessId());
}

std::string ReadFile(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string all;
    char chunk[512];
    DWORD got = 0;
    while (::ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got) all.append(chunk, got);
    CloseHandle(h);
    return all;
}

void WriteText(const std::wstring& path, const std::string& text) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
    CloseHandle(h);
}

HRESULT Write(FakeJob& job, const std::string& text, DWORD* written, LONG* fileStarted) {
    return WriteJobOutput(&job.device, text.data(), static_cast<DWORD>(text.size()), written, fileStarted);
}

class FileOutput : public ::testing::Test {
protected:
    void SetUp() override {
        path = TempPath(L"corvout");
        DeleteFileW(path.c_str());
        job.record.dwOutputTo = corv::kOutputFile;
        corv::CopyText(job.record.szOutputFile, path.c_str());
    }
    void TearDown() override { DeleteFileW(path.c_str()); }
    std::wstring path;
    FakeJob job;
    LONG fileStarted = 0;
    DWORD written = 99;
};

}  // namespace

TEST(Output, AnswersTheDriversProbe) {
    LONG fileStarted = 0;
    EXPECT_EQ(WriteJobOutput(nullptr, nullptr, 0, nullptr, &fileStarted), S_OK);
}

TEST(Output, RefusesMissingPieces) {
    FakeJob job;
    LONG fileStarted = 0;
    DWORD written = 0;
    char data[4] = {};
    EXPECT_EQ(WriteJobOutput(nullptr, data, 4, &written, &fileStarted), S_FALSE);
    EXPECT_EQ(WriteJobOutput(nullptr, nullptr, 4, &written, &fileStarted), S_FALSE);
    EXPECT_EQ(WriteJobOutput(&job.device, nullptr, 4, &written, &fileStarted), S_FALSE);
    EXPECT_EQ(WriteJobOutput(&job.device, data, 4, nullptr, &fileStarted), S_FALSE);
    job.record.bDiscardOutput = 1;  // only a complete device gets as far as discarding
    job.device.pOEMDM = nullptr;
    EXPECT_EQ(WriteJobOutput(&job.device, data, 4, &written, &fileStarted), S_FALSE);
    job.device.pOEMDM = &job.record;
    job.device.pPublicDM = nullptr;
    EXPECT_EQ(WriteJobOutput(&job.device, data, 4, &written, &fileStarted), S_FALSE);
    job.device.pPublicDM = &job.dm;
    job.device.hPrinter = nullptr;
    EXPECT_EQ(WriteJobOutput(&job.device, data, 4, &written, &fileStarted), S_FALSE);
    job.device.hPrinter = reinterpret_cast<HANDLE>(1);
    EXPECT_EQ(WriteJobOutput(&job.device, data, 4, &written, &fileStarted), S_OK);
}

TEST_F(FileOutput, DiscardedOutputIsAcknowledgedAndGoesNowhere) {
    job.record.bDiscardOutput = 1;
    EXPECT_EQ(Write(job, "%!PS\n", &written, &fileStarted), S_OK);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(fileStarted, 0);
    EXPECT_EQ(ReadFile(path), "<missing>");
}

TEST_F(FileOutput, JobsOfOnePluginObjectAppendToOneFile) {
    WriteText(path, "an older file that is longer than the new job");
    EXPECT_EQ(Write(job, "job 1 part 1;", &written, &fileStarted), S_OK);
    EXPECT_EQ(written, 13u);
    EXPECT_EQ(fileStarted, 1);
    EXPECT_EQ(ReadFile(path), "job 1 part 1;");
    EXPECT_EQ(Write(job, "job 1 part 2;", &written, &fileStarted), S_OK);
    job.record.dwOutputTo = corv::kOutputEps;  // the second job, same object, same path
    EXPECT_EQ(Write(job, "job 2;", &written, &fileStarted), S_OK);
    EXPECT_EQ(written, 6u);
    EXPECT_EQ(ReadFile(path), "job 1 part 1;job 1 part 2;job 2;");

    // Another plug-in object starts its own file.
    LONG otherStarted = 0;
    EXPECT_EQ(Write(job, "fresh", &written, &otherStarted), S_OK);
    EXPECT_EQ(ReadFile(path), "fresh");
}

TEST_F(FileOutput, AFileThatCannotBeOpenedGivesSFalse) {
    std::wstring bad = TempPath(L"no-such-dir") + L"\\out.ps";
    corv::CopyText(job.record.szOutputFile, bad.c_str());
    EXPECT_EQ(Write(job, "data", &written, &fileStarted), S_FALSE);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(fileStarted, 1);  // the creation was tried: later writes only append

    corv::CopyText(job.record.szOutputFile, path.c_str());
    EXPECT_EQ(Write(job, "data", &written, &fileStarted), S_FALSE);
    EXPECT_EQ(ReadFile(path), "<missing>");  // not created by a later write
}

TEST_F(FileOutput, OnlyTheFileDestinationsWriteFiles) {
    job.record.dwOutputTo = corv::kOutputPrinter;
    // No spooler printer behind this handle: the spooler refuses and nothing reaches the file.
    EXPECT_EQ(Write(job, "data", &written, &fileStarted), S_FALSE);
    EXPECT_EQ(fileStarted, 0);
    EXPECT_EQ(ReadFile(path), "<missing>");
}
