#include "plug-in/render/escape.h"
#include "render/jobfixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace corv::render;
using corvtest::FakeJob;
using corvtest::g_coreDdi;

namespace {

std::string Bytes(const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); }

}  // namespace

TEST(Escape, AnswersNothingBeforeTheJobIsSetUp) {
    FakeJob job;
    EXPECT_EQ(HookEscape(nullptr, kEscGetPageCount, 0, nullptr, 0, nullptr), 0u);
    SURFOBJ bare{};
    EXPECT_EQ(HookEscape(&bare, kEscGetRecord, 0, nullptr, 0, nullptr), 0u);

    job.device.pOEMDM = nullptr;
    EXPECT_EQ(job.Escape(kEscGetRecord), 0u);
    job.device.pOEMDM = &job.record;
    job.device.pdevOEM = nullptr;
    EXPECT_EQ(job.Escape(kEscGetRecord), 0u);
    job.device.pdevOEM = &job.state;
    job.device.pPublicDM = nullptr;
    EXPECT_EQ(job.Escape(kEscGetRecord), 0u);
    job.device.pPublicDM = &job.dm;
    job.state.coreHooks.c = 0;
    EXPECT_EQ(job.Escape(kEscGetRecord), 0u);
    EXPECT_EQ(job.Escape(0x1000E), 0u);
    EXPECT_TRUE(g_coreDdi.escapes.empty());

    job.state.coreHooks.c = 4;
    EXPECT_EQ(job.Escape(kEscGetRecord), corv::kRecordSize);
}

// Each read escape copies all of its payload into a block large enough, or nothing.
TEST(Escape, ReadEscapesCopyOnlyIntoALargeEnoughBlock) {
    FakeJob job;
    job.dm.dmCopies = 7;
    job.record.dwOutputTo = corv::kOutputFax;
    job.state.jobId = 42;
    job.state.startTime.wYear = 2024;
    struct Read {
        ULONG code;
        const void* source;
        ULONG size;
    } reads[] = {
        {kEscGetPublicDevMode, &job.dm, 220},
        {kEscGetRecord, &job.record, 7672},
        {kEscGetJobState, &job.state, 2648},
        {kEscGetStartTime, &job.state.startTime, 16},
    };
    for (const Read& read : reads) {
        SCOPED_TRACE(read.code);
        std::vector<char> out(read.size + 64, '?');
        EXPECT_EQ(job.Escape(read.code, 0, nullptr, read.size, out.data()), read.size);  // exact
        EXPECT_EQ(Bytes(out.data(), read.size), Bytes(read.source, read.size));
        EXPECT_EQ(out[read.size], '?');

        std::fill(out.begin(), out.end(), '?');
        EXPECT_EQ(job.Escape(read.code, 0, nullptr, read.size + 64, out.data()), read.size);  // long
        EXPECT_EQ(Bytes(out.data(), read.size), Bytes(read.source, read.size));
        EXPECT_EQ(out[read.size], '?');

        std::fill(out.begin(), out.end(), '?');
        EXPECT_EQ(job.Escape(read.code, 0, nullptr, read.size - 1, out.data()), read.size);  // short
        EXPECT_EQ(std::string(out.begin(), out.end()), std::string(out.size(), '?'));

        EXPECT_EQ(job.Escape(read.code, 0, nullptr, read.size, nullptr), read.size);  // no block
    }
    std::vector<char> small(100, '?');
    EXPECT_EQ(job.Escape(kEscGetPublicDevMode, 0, nullptr, 100, small.data()), 220u);
    EXPECT_TRUE(g_coreDdi.escapes.empty());
}

TEST(Escape, PageCounterCountsResetsAndAnswers) {
    FakeJob job;
    EXPECT_EQ(job.Escape(kEscNextPage), 1u);
    EXPECT_EQ(job.Escape(kEscNextPage), 2u);
    EXPECT_EQ(job.Escape(kEscNextPage), 3u);
    EXPECT_EQ(job.Escape(kEscGetPageCount), 3u);
    EXPECT_EQ(job.Escape(kEscResetPageCount), 0u);
    EXPECT_EQ(job.Escape(kEscGetPageCount), 0u);
    EXPECT_EQ(job.state.escapePageCount, 0u);
    EXPECT_EQ(job.state.pageCount, 0u);  // the injection points' counter is another one
}

TEST(Escape, ValueEscapesStoreAndForwardOrAnswerFour) {
    struct Case {
        ULONG code;
        DWORD corv::render::JobState::*field;
    } cases[] = {{kEscSetCoverPageActive, &JobState::coverPageActive},
                 {kEscSetPendingPageValue, &JobState::pendingPageValue}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        FakeJob job;
        DWORD value = 1;
        EXPECT_EQ(job.Escape(c.code, 4, &value, 8, &value), 1001u);
        EXPECT_EQ(job.state.*c.field, 1u);
        ASSERT_EQ(g_coreDdi.escapes.size(), 1u);
        const auto& seen = g_coreDdi.escapes[0];
        EXPECT_EQ(seen.surface, &job.surface);
        EXPECT_EQ(seen.code, c.code);
        EXPECT_EQ(seen.inSize, 4u);
        EXPECT_EQ(seen.in, &value);
        EXPECT_EQ(seen.outSize, 8u);
        EXPECT_EQ(seen.out, &value);

        WORD shortValue = 0;
        EXPECT_EQ(job.Escape(c.code, 2, &shortValue), 4u);
        EXPECT_EQ(job.Escape(c.code, 4, nullptr), 4u);
        EXPECT_EQ(job.state.*c.field, 1u);
        EXPECT_EQ(g_coreDdi.escapes.size(), 1u);

        DWORD longValue[2] = {0, 9};  // a longer block: its first four bytes count
        EXPECT_EQ(job.Escape(c.code, 8, longValue), 1002u);
        EXPECT_EQ(job.state.*c.field, 0u);
    }
}

TEST(Escape, SheetCountDividesByPagesPerSheetRoundingUp) {
    struct Case {
        const char* option;
        ULONG pages;
        ULONG sheets;
    } cases[] = {
        {"2", 5, 3}, {"1", 5, 5}, {"4", 8, 2}, {"4", 9, 3}, {"Booklet", 5, 5},
        {"booklet", 5, 5},  // not the keyword here: no number, so one page per sheet
        {"", 5, 5},         // the option cannot be read
        {"-2", 5, 5},       {"6Up", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        FakeJob job;
        job.core.pagePerSheet = c.option;
        job.state.escapePageCount = c.pages;
        EXPECT_EQ(job.Escape(kEscGetSheetCount), c.sheets);
    }
    FakeJob job;
    job.core.pagePerSheet = "2";
    job.state.escapePageCount = 5;
    job.state.coreHelper = nullptr;
    EXPECT_EQ(job.Escape(kEscGetSheetCount), 5u);
    EXPECT_EQ(job.core.getOptionsCalls, 0);
    EXPECT_EQ(SheetCount(0xFFFFFFFF, 2), 0x80000000u);
}

TEST(Escape, RecordReplacementKeepsTheRecordsSize) {
    FakeJob job;
    corv::JobSettings payload = job.record;
    payload.dwSize = 9000;  // a later read must not copy past the record
    payload.dwOutputTo = corv::kOutputRepeat;
    payload.szHoldPin[0] = L'7';
    EXPECT_EQ(job.Escape(kEscSetRecord, sizeof payload, &payload), 7672u);
    EXPECT_EQ(job.record.dwSize, 7672u);
    EXPECT_EQ(job.record.dwOutputTo, corv::kOutputRepeat);
    EXPECT_EQ(job.record.szHoldPin[0], L'7');
    EXPECT_EQ(job.Escape(kEscGetRecord), 7672u);

    std::vector<char> big(8000, 'Z');
    for (ULONG size : {7671u, 7673u, 8000u}) {
        EXPECT_EQ(job.Escape(kEscSetRecord, size, big.data()), 7672u);
        EXPECT_EQ(job.record.dwOutputTo, corv::kOutputRepeat) << size;
    }
    EXPECT_EQ(job.Escape(kEscSetRecord, 7672, nullptr), 7672u);
    EXPECT_EQ(job.Escape(kEscSetRecord), 7672u);  // how a caller learns the size
    EXPECT_EQ(job.record.dwOutputTo, corv::kOutputRepeat);
    EXPECT_TRUE(g_coreDdi.escapes.empty());
}

TEST(Escape, RecordReadNeverExceedsTheAllocatedRecord) {
    FakeJob job;
    job.record.dwSize = 9000;  // however it got there
    std::vector<char> out(9000, '?');
    EXPECT_EQ(job.Escape(kEscGetRecord, 0, nullptr, 9000, out.data()), 7672u);
    EXPECT_EQ(out[7672], '?');
}

TEST(Escape, JobStateReplacementKeepsThisProcesssReferences) {
    FakeJob job;
    JobState payload{};
    std::memset(&payload, 0x5A, sizeof payload);  // pointers from elsewhere, sizes wrong, names open
    payload.jobId = 77;
    payload.escapePageCount = 4;
    EXPECT_EQ(job.Escape(kEscSetJobState, sizeof payload, &payload), 2648u);
    EXPECT_EQ(job.state.jobId, 77u);
    EXPECT_EQ(job.state.escapePageCount, 4u);
    EXPECT_EQ(job.state.structSize, 2648u);
    EXPECT_EQ(job.state.coreHooks.pdrvfn, job.coreTable.entries);
    EXPECT_EQ(job.state.coreHooks.c, 4u);
    EXPECT_EQ(job.state.coreHelper, &job.core);
    EXPECT_EQ(job.state.docName[255], 0);
    EXPECT_EQ(job.state.userName[1023], 0);
    // The job still reaches its own core driver and helper.
    EXPECT_EQ(job.Escape(0x1000E), 1001u);
    job.core.features = {"HasManualDuplex"};
    EXPECT_EQ(job.Escape(kEscHasManualDuplex), 1u);

    for (ULONG size : {2647u, 2649u}) {
        std::vector<char> other(size, 0);
        EXPECT_EQ(job.Escape(kEscSetJobState, size, other.data()), 2648u);
        EXPECT_EQ(job.state.jobId, 77u) << size;
    }
    EXPECT_EQ(job.Escape(kEscSetJobState, 2648, nullptr), 2648u);
    EXPECT_EQ(job.state.jobId, 77u);
}

TEST(Escape, DevModeReplacementKeepsTheStructureSizes) {
    FakeJob job;
    DEVMODEW payload = job.dm;
    payload.dmCopies = 3;
    payload.dmDuplex = DMDUP_VERTICAL;
    payload.dmSize = 4000;
    payload.dmDriverExtra = 60000;
    EXPECT_EQ(job.Escape(kEscSetPublicDevMode, sizeof payload, &payload), 220u);
    EXPECT_EQ(job.dm.dmCopies, 3);
    EXPECT_EQ(job.dm.dmDuplex, DMDUP_VERTICAL);
    EXPECT_EQ(job.dm.dmSize, 220);
    EXPECT_EQ(job.dm.dmDriverExtra, corv::kRecordSize);
    EXPECT_EQ(job.Escape(kEscGetPublicDevMode), 220u);

    std::vector<char> other(300, 0);
    for (ULONG size : {219u, 221u, 300u}) {
        EXPECT_EQ(job.Escape(kEscSetPublicDevMode, size, other.data()), 220u);
        EXPECT_EQ(job.dm.dmCopies, 3) << size;
    }
    EXPECT_EQ(job.Escape(kEscSetPublicDevMode, 220, nullptr), 220u);
    EXPECT_EQ(job.dm.dmCopies, 3);
}

TEST(Escape, JobIdDuplexAndSkipFlags) {
    FakeJob job;
    job.state.jobId = 314;
    EXPECT_EQ(job.Escape(kEscGetJobId), 314u);

    EXPECT_EQ(job.Escape(kEscDuplexMode2), 1u);
    EXPECT_EQ(job.state.duplexModeRequest, 2);
    EXPECT_EQ(job.Escape(kEscDuplexMode1), 1u);  // mode 1 replaces the request
    EXPECT_EQ(job.state.duplexModeRequest, 1);
    EXPECT_EQ(job.Escape(kEscDuplexMode2), 1u);
    EXPECT_EQ(job.state.duplexModeRequest, 3);

    EXPECT_EQ(job.Escape(kEscGetPageSkip), 0u);
    EXPECT_EQ(job.Escape(kEscSetPageSkip), 1u);
    EXPECT_EQ(job.Escape(kEscGetPageSkip), 1u);
    EXPECT_EQ(job.Escape(kEscClearPageSkip), 1u);
    EXPECT_EQ(job.Escape(kEscGetPageSkip), 0u);
    EXPECT_EQ(job.state.pageSkipFlag, 0u);
    EXPECT_TRUE(g_coreDdi.escapes.empty());
}

TEST(Escape, ManualDuplexQuestionGoesToTheJobsHelper) {
    FakeJob job;
    EXPECT_EQ(job.Escape(kEscHasManualDuplex), 0u);
    job.core.features = {"HasManualDuplex"};
    EXPECT_EQ(job.Escape(kEscHasManualDuplex), 1u);
    job.state.coreHelper = nullptr;
    EXPECT_EQ(job.Escape(kEscHasManualDuplex), 0u);
}

TEST(Escape, UnknownCodesGoToTheCoreDriverUnchanged) {
    FakeJob job;
    char in[3] = {1, 2, 3}, out[5] = {};
    for (ULONG code : {0x1000Eu, 0x10017u, 0x10007u, 0x10011u, 0x10025u, 4121u}) {
        g_coreDdi.escapes.clear();
        EXPECT_EQ(job.Escape(code, 3, in, 5, out), 1001u) << code;
        ASSERT_EQ(g_coreDdi.escapes.size(), 1u);
        const auto& seen = g_coreDdi.escapes[0];
        EXPECT_EQ(seen.code, code);
        EXPECT_EQ(seen.surface, &job.surface);
        EXPECT_EQ(seen.in, in);
        EXPECT_EQ(seen.inSize, 3u);
        EXPECT_EQ(seen.out, out);
        EXPECT_EQ(seen.outSize, 5u);
    }
    // The core driver's table without an escape function.
    job.coreTable.entries[3].pfn = nullptr;
    EXPECT_EQ(job.Escape(0x1000E), 0u);
}

TEST(Escape, ApplicationPostScriptIsRefusedWhenBlocked) {
    for (ULONG code : {37u, 4115u, 4117u, 4118u}) {
        SCOPED_TRACE(code);
        FakeJob job;
        char data[6] = {4, 0, 'a', 'b', 'c', 'd'};
        EXPECT_EQ(job.Escape(code, 6, data), 1001u);
        EXPECT_EQ(g_coreDdi.escapes.size(), 1u);
        job.record.bBlockAppPostScript = 1;
        EXPECT_EQ(job.Escape(code, 6, data), 0u);
        EXPECT_EQ(g_coreDdi.escapes.size(), 1u);
    }
}

TEST(QueryEscapeSupport, AnnouncesItsOwnCodesAndAsksTheCoreForTheRest) {
    FakeJob job;
    for (ULONG code : {0x10001u, 0x10002u, 0x10003u, 0x10004u, 0x10005u, 0x10006u, 0x10017u, 0x10018u, 0x10019u,
                       0x10020u, 0x10021u, 0x10022u, 0x10023u, 0x10024u}) {
        EXPECT_EQ(job.EscapeValue(QUERYESCSUPPORT, code), 1u) << code;
    }
    EXPECT_TRUE(g_coreDdi.escapes.empty());
    // Handled but not announced, and codes nobody here knows.
    ULONG forwarded = 0;
    for (ULONG code : {0x10008u, 0x10009u, 0x1000Au, 0x1000Bu, 0x1000Cu, 0x1000Du, 0x10010u, 0x10007u, 0x1000Eu,
                       0x10025u, 19u, 37u, 4115u}) {
        EXPECT_EQ(job.EscapeValue(QUERYESCSUPPORT, code), 1001u + forwarded) << code;
        ++forwarded;
        EXPECT_EQ(g_coreDdi.escapes.back().code, static_cast<ULONG>(QUERYESCSUPPORT));
        DWORD queried = 0;
        std::memcpy(&queried, g_coreDdi.escapes.back().inBytes.data(), 4);
        EXPECT_EQ(queried, code);
    }
}

TEST(QueryEscapeSupport, DeniesApplicationPostScriptWhenBlocked) {
    FakeJob job;
    job.record.bBlockAppPostScript = 1;
    for (ULONG code : {37u, 4115u, 4117u, 4118u}) EXPECT_EQ(job.EscapeValue(QUERYESCSUPPORT, code), 0u) << code;
    EXPECT_TRUE(g_coreDdi.escapes.empty());
    EXPECT_EQ(job.EscapeValue(QUERYESCSUPPORT, 0x10001), 1u);
    EXPECT_EQ(job.EscapeValue(QUERYESCSUPPORT, PASSTHROUGH), 1001u);
}

TEST(QueryEscapeSupport, WantsExactlyFourBytes) {
    FakeJob job;
    DWORD pair[2] = {0x10001, 0};
    EXPECT_EQ(job.Escape(QUERYESCSUPPORT, 2, pair), 0u);
    EXPECT_EQ(job.Escape(QUERYESCSUPPORT, 8, pair), 0u);
    EXPECT_EQ(job.Escape(QUERYESCSUPPORT, 4, nullptr), 0u);
    EXPECT_EQ(job.Escape(QUERYESCSUPPORT, 4, pair), 1u);
    EXPECT_TRUE(g_coreDdi.escapes.empty());
}

namespace {

const std::string kClosing = "] ds imagemask grestore} for pop} forGSE";
const std::string kOnText =
    "4072958316 internaldict /SetSpecialImagemaskFlag known {4072958316 internaldict "
    "/SetSpecialImagemaskFlag get 1 exch exec}if";

std::string ImageMask(size_t total) {
    std::string data = "userdict /GpPBeg" + std::string(total - 2 - 16 - 40, ' ') + kClosing;
    std::string buffer = {static_cast<char>(data.size() & 0xFF), static_cast<char>(data.size() >> 8)};
    return buffer + data;
}

std::string Switch(size_t total, WORD count, bool on) {
    std::string text = kOnText;
    if (!on) text.replace(text.find("get 1"), 5, "get 0");
    std::string buffer = {static_cast<char>(count & 0xFF), static_cast<char>(count >> 8)};
    buffer += text;
    buffer.resize(total, '\0');
    return buffer;
}

}  // namespace

TEST(PassThrough, OrdinaryDataGoesThroughOnce) {
    FakeJob job;
    std::string data = std::string("\x05\0", 2) + "hello";
    EXPECT_EQ(job.Escape(PASSTHROUGH, 7, data.data()), 1001u);
    ASSERT_EQ(g_coreDdi.escapes.size(), 1u);
    EXPECT_EQ(g_coreDdi.escapes[0].in, data.data());
    EXPECT_EQ(g_coreDdi.escapes[0].code, static_cast<ULONG>(PASSTHROUGH));
}

TEST(PassThrough, ShortImageMaskIsNotBracketed) {
    FakeJob job;
    std::string data = ImageMask(127);
    EXPECT_EQ(job.Escape(PASSTHROUGH, 127, data.data()), 1001u);
    ASSERT_EQ(g_coreDdi.escapes.size(), 1u);
    EXPECT_EQ(g_coreDdi.escapes[0].in, data.data());
}

TEST(PassThrough, ImageMaskIsBracketedBySwitchBuffersOfItsOwnLength) {
    FakeJob job;
    std::string data = ImageMask(128);
    char out[4];
    EXPECT_EQ(job.Escape(PASSTHROUGH, 128, data.data(), 4, out), 1003u);  // the last call's answer
    ASSERT_EQ(g_coreDdi.escapes.size(), 3u);
    for (const auto& seen : g_coreDdi.escapes) {
        EXPECT_EQ(seen.code, static_cast<ULONG>(PASSTHROUGH));
        EXPECT_EQ(seen.inSize, 128u);
        EXPECT_EQ(seen.out, out);
        EXPECT_EQ(seen.outSize, 4u);
    }
    EXPECT_EQ(g_coreDdi.escapes[0].inBytes, Switch(128, 126, true));
    EXPECT_EQ(g_coreDdi.escapes[1].in, data.data());
    EXPECT_EQ(g_coreDdi.escapes[2].inBytes, Switch(128, 126, false));
}

TEST(PassThrough, LyingCountNeitherReadsNorSendsPastTheInput) {
    FakeJob job;
    std::string data = ImageMask(300);
    data[0] = data[1] = static_cast<char>(0xFF);
    corvtest::GuardedBlock block(300);
    std::memcpy(block.data(), data.data(), 300);
    job.Escape(PASSTHROUGH, 300, block.data());
    ASSERT_EQ(g_coreDdi.escapes.size(), 3u);
    EXPECT_EQ(g_coreDdi.escapes[0].inBytes, Switch(300, 298, true));
    EXPECT_EQ(g_coreDdi.escapes[1].in, block.data());
    EXPECT_EQ(g_coreDdi.escapes[2].inBytes, Switch(300, 298, false));

    // A count that claims less than the input is the application's and stays.
    g_coreDdi.escapes.clear();
    data[0] = 100;
    data[1] = 0;
    job.Escape(PASSTHROUGH, 300, data.data());
    ASSERT_EQ(g_coreDdi.escapes.size(), 3u);
    EXPECT_EQ(g_coreDdi.escapes[0].inBytes, Switch(300, 100, true));
}
