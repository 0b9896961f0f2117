#include "render/dll/driverjob.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace corvtest;

TEST(StartDocHook, RecordsTheDocumentAndChainsToTheCoreDriver) {
    DriverJob job;
    ASSERT_NE(job.Hook(INDEX_DrvStartDoc), nullptr);
    WCHAR name[] = L"Invoice 7", later[] = L"Invoice 7 (reset)";
    g_coreDdi.startDocResult = FALSE;
    EXPECT_FALSE(job.StartDoc(name, 31));
    ASSERT_EQ(g_coreDdi.starts.size(), 1u);
    EXPECT_EQ(g_coreDdi.starts[0].surface, &job.surface);
    EXPECT_EQ(g_coreDdi.starts[0].name, name);
    EXPECT_EQ(g_coreDdi.starts[0].jobId, 31u);
    EXPECT_STREQ(job.state->docName, L"Invoice 7");
    EXPECT_EQ(job.state->jobId, 31u);

    // A later start (after a device reset) keeps the job's identity and time.
    job.state->startTime.wYear = 1999;
    g_coreDdi.startDocResult = TRUE;
    EXPECT_TRUE(job.StartDoc(later, 32));
    EXPECT_EQ(job.state->jobId, 31u);
    EXPECT_EQ(job.state->startTime.wYear, 1999);
    EXPECT_STREQ(job.state->docName, L"Invoice 7 (reset)");
    EXPECT_TRUE(job.StartDoc(nullptr, 33));
    EXPECT_STREQ(job.state->docName, L"Invoice 7 (reset)");
    EXPECT_EQ(g_coreDdi.starts.size(), 3u);
}

TEST(StartDocHook, NeedsTheCoreDriversTable) {
    DriverJob job;
    job.state->coreHooks.c = 0;
    WCHAR name[] = L"x";
    EXPECT_FALSE(job.StartDoc(name, 1));
    EXPECT_EQ(job.state->jobId, 0u);
    EXPECT_TRUE(g_coreDdi.starts.empty());
}

TEST(EscapeHook, ForwardsWhatItDoesNotHandle) {
    DriverJob job;
    char in[2] = {1, 2}, out[8] = {};
    EXPECT_EQ(job.Escape(0x1000E, 2, in, 8, out), 1001u);
    ASSERT_EQ(g_coreDdi.escapes.size(), 1u);
    const auto& seen = g_coreDdi.escapes[0];
    EXPECT_EQ(seen.surface, &job.surface);
    EXPECT_EQ(seen.code, 0x1000Eu);
    EXPECT_EQ(seen.in, in);
    EXPECT_EQ(seen.inSize, 2u);
    EXPECT_EQ(seen.out, out);
    EXPECT_EQ(seen.outSize, 8u);
}

// Every private code once with its exact payload, as the UI plug-in's side would send it.
TEST(EscapeHook, AnswersEveryPrivateCode) {
    DriverJob job;
    job.core.pagePerSheet = "2";
    job.core.features = {"HasManualDuplex"};
    job.state->jobId = 64;

    std::vector<char> record(7672), dm(220), state(2648), time(16);
    EXPECT_EQ(job.Escape(0x10001, 0, nullptr, 220, dm.data()), 220u);
    EXPECT_EQ(std::memcmp(dm.data(), &job.dm, 220), 0);
    EXPECT_EQ(job.Escape(0x10002, 0, nullptr, 7672, record.data()), 7672u);
    EXPECT_EQ(std::memcmp(record.data(), &job.record, 7672), 0);
    EXPECT_EQ(job.Escape(0x10003), 1u);
    EXPECT_EQ(job.Escape(0x10003), 2u);
    EXPECT_EQ(job.Escape(0x10003), 3u);
    EXPECT_EQ(job.Escape(0x10005), 3u);
    EXPECT_EQ(job.Escape(0x10009), 2u);
    EXPECT_EQ(job.Escape(0x10006, 0, nullptr, 2648, state.data()), 2648u);
    EXPECT_EQ(std::memcmp(state.data(), job.state, 2648), 0);
    EXPECT_EQ(job.Escape(0x1000D), 64u);
    EXPECT_EQ(job.Escape(0x10010, 0, nullptr, 16, time.data()), 16u);
    EXPECT_EQ(std::memcmp(time.data(), &job.state->startTime, 16), 0);
    EXPECT_EQ(job.Escape(0x10004), 0u);
    EXPECT_EQ(job.Escape(0x10005), 0u);

    EXPECT_EQ(job.EscapeValue(0x10008, 1), 1001u);
    EXPECT_EQ(job.state->coverPageActive, 1u);
    EXPECT_EQ(job.EscapeValue(0x10024, 5), 1002u);
    EXPECT_EQ(job.state->pendingPageValue, 5u);

    EXPECT_EQ(job.Escape(0x10018), 1u);
    EXPECT_EQ(job.Escape(0x10019), 1u);
    EXPECT_EQ(job.state->duplexModeRequest, 3);
    EXPECT_EQ(job.Escape(0x10020), 1u);
    EXPECT_EQ(job.Escape(0x10021), 1u);
    EXPECT_EQ(job.Escape(0x10022), 1u);
    EXPECT_EQ(job.Escape(0x10023), 1u);
    EXPECT_EQ(job.Escape(0x10022), 0u);

    // The write escapes, with payloads that try to change the sizes.
    auto* payload = reinterpret_cast<corv::JobSettings*>(record.data());
    payload->dwSize = 20000;
    payload->bDiscardOutput = 1;
    EXPECT_EQ(job.Escape(0x1000A, 7672, record.data()), 7672u);
    EXPECT_EQ(job.record.bDiscardOutput, 1);
    EXPECT_EQ(job.record.dwSize, 7672u);
    auto* dmPayload = reinterpret_cast<DEVMODEW*>(dm.data());
    dmPayload->dmSize = 1;
    dmPayload->dmDriverExtra = 1;
    dmPayload->dmCopies = 4;
    EXPECT_EQ(job.Escape(0x1000C, 220, dm.data()), 220u);
    EXPECT_EQ(job.dm.dmCopies, 4);
    EXPECT_EQ(job.dm.dmSize, 220);
    EXPECT_EQ(job.dm.dmDriverExtra, 7672);
    std::memset(state.data(), 0x33, state.size());
    EXPECT_EQ(job.Escape(0x1000B, 2648, state.data()), 2648u);
    EXPECT_EQ(job.state->jobId, 0x33333333u);
    EXPECT_EQ(job.state->structSize, 2648u);
    EXPECT_EQ(job.state->coreHelper, &job.core);
    EXPECT_EQ(job.state->coreHooks.pdrvfn, job.coreTable.entries);
    EXPECT_EQ(job.Escape(0x1000E), 1003u);  // still reaches its own core driver
    EXPECT_EQ(g_coreDdi.escapes.size(), 3u);
}

TEST(EscapeHook, FiltersApplicationPostScriptAndAnswersQueries) {
    DriverJob job;
    char data[6] = {4, 0, 'd', 'a', 't', 'a'};
    EXPECT_EQ(job.EscapeValue(QUERYESCSUPPORT, 0x10002), 1u);
    EXPECT_EQ(job.EscapeValue(QUERYESCSUPPORT, 0x10017), 1u);
    EXPECT_EQ(job.EscapeValue(QUERYESCSUPPORT, 0x10009), 1001u);  // handled, but not announced
    EXPECT_EQ(job.EscapeValue(QUERYESCSUPPORT, 4115), 1002u);
    EXPECT_EQ(job.Escape(4115, 6, data), 1003u);
    job.record.bBlockAppPostScript = 1;
    EXPECT_EQ(job.EscapeValue(QUERYESCSUPPORT, 4115), 0u);
    EXPECT_EQ(job.Escape(4115, 6, data), 0u);
    EXPECT_EQ(job.Escape(POSTSCRIPT_DATA, 6, data), 0u);
    EXPECT_EQ(g_coreDdi.escapes.size(), 3u);
    WORD two = 0x10;
    EXPECT_EQ(job.Escape(QUERYESCSUPPORT, 2, &two), 0u);
}

TEST(EscapeHook, BracketsSpecialImageMasksLongerThan127Bytes) {
    const std::string closing = "] ds imagemask grestore} for pop} forGSE";
    for (size_t total : {127u, 128u}) {
        SCOPED_TRACE(total);
        DriverJob job;
        std::string data = "0 GpPBeg" + std::string(total - 2 - 8 - 40, '\n') + closing;
        std::string buffer = std::string{static_cast<char>(data.size()), 0} + data;
        ASSERT_EQ(buffer.size(), total);
        ULONG result = job.Escape(PASSTHROUGH, static_cast<ULONG>(total), buffer.data());
        if (total == 127) {
            EXPECT_EQ(result, 1001u);
            ASSERT_EQ(g_coreDdi.escapes.size(), 1u);
            EXPECT_EQ(g_coreDdi.escapes[0].in, buffer.data());
        } else {
            EXPECT_EQ(result, 1003u);
            ASSERT_EQ(g_coreDdi.escapes.size(), 3u);
            EXPECT_EQ(g_coreDdi.escapes[0].inBytes.substr(0, 2), buffer.substr(0, 2));
            EXPECT_NE(g_coreDdi.escapes[0].inBytes.find("SetSpecialImagemaskFlag get 1 exch exec}if"),
                      std::string::npos);
            EXPECT_EQ(g_coreDdi.escapes[1].in, buffer.data());
            EXPECT_NE(g_coreDdi.escapes[2].inBytes.find("SetSpecialImagemaskFlag get 0 exch exec}if"),
                      std::string::npos);
            for (const auto& seen : g_coreDdi.escapes) EXPECT_EQ(seen.inSize, 128u);
        }
    }
}
