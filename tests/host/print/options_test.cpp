#include "host/print/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace corv::host;

struct Parsed {
    bool ok;
    HostOptions options;
    std::string error;
};

Parsed Parse(std::vector<const wchar_t*> args) {
    args.insert(args.begin(), L"corvhost.exe");
    Parsed p;
    p.ok = ParseOptions(static_cast<int>(args.size()), args.data(), &p.options, &p.error);
    return p;
}

TEST(Options, DefaultsMakeASampleJob) {
    Parsed p = Parse({});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.out, L"out\\job.prn");
    EXPECT_EQ(p.options.pages, 2);
    EXPECT_EQ(p.options.copies, 1);
    EXPECT_EQ(p.options.duplex, DMDUP_SIMPLEX);
    EXPECT_EQ(p.options.color, 0);
    EXPECT_TRUE(p.options.nup.empty());
    EXPECT_EQ(p.options.jobId, 1u);
}

TEST(Options, ReadsEveryJobSetting) {
    Parsed p = Parse({L"--pages", L"9", L"--copies", L"3", L"--duplex", L"short", L"--nup", L"Booklet", L"--mono",
                      L"--ppd", L"x.ppd", L"--doc", L"Report", L"--out", L"o.prn", L"--reset-at", L"2",
                      L"--set", L"dwOutputTo=4", L"--set", L"szHoldPin=1234", L"--job-id", L"0x20",
                      L"--paper", L"A4", L"--trace"});
    ASSERT_TRUE(p.ok) << p.error;
    const HostOptions& o = p.options;
    EXPECT_EQ(o.pages, 9);
    EXPECT_EQ(o.copies, 3);
    EXPECT_EQ(o.duplex, DMDUP_HORIZONTAL);
    EXPECT_EQ(o.nup, L"Booklet");
    EXPECT_EQ(o.color, DMCOLOR_MONOCHROME);
    EXPECT_EQ(o.ppd, L"x.ppd");
    EXPECT_EQ(o.doc, L"Report");
    EXPECT_EQ(o.out, L"o.prn");
    EXPECT_EQ(o.resetAt, 2);
    EXPECT_EQ(o.settings, (std::vector<std::wstring>{L"dwOutputTo=4", L"szHoldPin=1234"}));
    EXPECT_EQ(o.jobId, 0x20u);
    EXPECT_EQ(o.paper, L"A4");
    EXPECT_TRUE(o.trace);
    EXPECT_EQ(Parse({L"--duplex", L"long", L"--color"}).options.duplex, DMDUP_VERTICAL);
    EXPECT_EQ(Parse({L"--color"}).options.color, DMCOLOR_COLOR);
}

TEST(Options, ReadsEscapes) {
    Parsed p = Parse({L"--escape", L"0x10003", L"--escape", L"65544=1@3", L"--escape", L"0x10024=0xFFFFFFFF"});
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.options.escapes.size(), 3u);
    EXPECT_EQ(p.options.escapes[0].code, 0x10003u);
    EXPECT_FALSE(p.options.escapes[0].hasValue);
    EXPECT_EQ(p.options.escapes[0].page, 1);
    EXPECT_EQ(p.options.escapes[1].code, 0x10008u);
    EXPECT_TRUE(p.options.escapes[1].hasValue);
    EXPECT_EQ(p.options.escapes[1].value, 1u);
    EXPECT_EQ(p.options.escapes[1].page, 3);
    EXPECT_EQ(p.options.escapes[2].value, 0xFFFFFFFFu);
}

TEST(Options, RefusesWhatItCannotUse) {
    const std::vector<std::vector<const wchar_t*>> bad = {
        {L"--pages", L"0"},        {L"--pages"},           {L"--pages", L"two"},  {L"--copies", L"40000"},
        {L"--duplex", L"both"},    {L"--nup"},             {L"--reset-at", L"1"}, {L"--escape", L"0x10003@0"},
        {L"--escape", L"x"},       {L"--escape", L"1=2=3"}, {L"--job-id", L"0"},  {L"--set", L"dwOutputTo"},
        {L"--set", L"noField=1"},  {L"--set", L"szHoldPin=123456"}, {L"--frobnicate"}, {L"--out", L""},
    };
    for (const auto& args : bad) {
        Parsed p = Parse(args);
        EXPECT_FALSE(p.ok) << std::string(args[0], args[0] + wcslen(args[0]));
        EXPECT_FALSE(p.error.empty());
    }
    EXPECT_EQ(Parse({L"--set", L"noField=1"}).error, "--set noField: no such field of the job settings record");
}

}  // namespace

namespace {

TEST(BatchJobs, OneArgumentListPerJobLine) {
    auto jobs = BatchJobs(L"--pages 3 --out \"Z:\\a b\\one.prn\"\r\n\n  # a note\r\n\t--nup 2 --doc \"\"\n--trace");
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[0], (std::vector<std::wstring>{L"corvhost", L"--pages", L"3", L"--out", L"Z:\\a b\\one.prn"}));
    EXPECT_EQ(jobs[1], (std::vector<std::wstring>{L"corvhost", L"--nup", L"2", L"--doc", L""}));
    EXPECT_EQ(jobs[2], (std::vector<std::wstring>{L"corvhost", L"--trace"}));
    EXPECT_TRUE(BatchJobs(L"\r\n# nothing\n").empty());
}

}  // namespace
