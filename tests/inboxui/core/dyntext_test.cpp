#include "plug-in/inboxui/core/dyntext.h"

#include "common/text.h"
#include "support/iatpatch_ui.h"
#include "tests/support/pagekit/patches.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using corv::ui::DynamicSource;
using corv::ui::DynamicVariable;
using corv::ui::ExpandMode;
using corv::ui::kExpandCapacity;

namespace {

// Stands in for the string table and the system: the tokens of the variable table, and values
// that a test can change, fail or lengthen.
class TableSource final : public DynamicSource {
public:
    TableSource() {
        const wchar_t* tokens[] = {L"%Username%", L"%dateshort%", L"%datelong%", L"%dateddmmyyyy%",
                                   L"%time%",     L"%timemil%",   L"%timehrmn%", L"%pagenumber%",
                                   L"%hostname%", L"%printer%",   L"%modelname%"};
        const wchar_t* values[] = {L"alice",    L"3/7/2024", L"Thursday, March 7, 2024", L"07/03/2024",
                                   L"2:05:09 PM", L"14:05:09", L"2:05 PM", L"7", L"HOST", L"Office", L"Model X"};
        for (int i = 0; i < corv::ui::kDynamicVariableCount; ++i) {
            tokens_[i] = tokens[i];
            values_[i] = values[i];
        }
    }

    void delimiter(WCHAR* buffer, size_t capacity) override { corv::CopyText(buffer, capacity, delimiter_.c_str()); }
    void token(DynamicVariable v, WCHAR* buffer, size_t capacity) override {
        corv::CopyText(buffer, capacity, tokens_[Row(v)].c_str());
    }
    bool value(DynamicVariable v, WCHAR* buffer, size_t capacity) override {
        ++asked_[Row(v)];
        if (failing_[Row(v)]) return false;
        corv::CopyText(buffer, capacity, values_[Row(v)].c_str());
        return true;
    }

    static int Row(DynamicVariable v) { return static_cast<int>(v); }
    std::wstring& tokenOf(DynamicVariable v) { return tokens_[Row(v)]; }
    std::wstring& valueOf(DynamicVariable v) { return values_[Row(v)]; }
    void fail(DynamicVariable v) { failing_[Row(v)] = true; }
    int asked(DynamicVariable v) const { return asked_[Row(v)]; }

    std::wstring delimiter_ = L"%";

private:
    std::wstring tokens_[corv::ui::kDynamicVariableCount];
    std::wstring values_[corv::ui::kDynamicVariableCount];
    bool failing_[corv::ui::kDynamicVariableCount] = {};
    int asked_[corv::ui::kDynamicVariableCount] = {};
};

std::optional<std::wstring> Scan(const std::wstring& text, ExpandMode mode, TableSource& source) {
    std::wstring out(kExpandCapacity, L'?');
    size_t length = 12345;
    if (!corv::ui::ScanDynamicText(text.c_str(), mode, source, out.data(), &length)) return std::nullopt;
    EXPECT_EQ(out[length], L'\0');
    out.resize(length);
    return out;
}

std::optional<std::wstring> Scan(const std::wstring& text, ExpandMode mode) {
    TableSource source;
    return Scan(text, mode, source);
}

constexpr auto kPrint = ExpandMode::Print;
constexpr auto kPreview = ExpandMode::Preview;
constexpr auto kValidate = ExpandMode::Validate;
const std::optional<std::wstring> kFails = std::nullopt;

struct Example {
    const wchar_t* text;
    std::optional<std::wstring> print, preview, validate;
};

}  // namespace

TEST(DynamicScan, ExpandsTheExamplesInEachMode) {
    const Example examples[] = {
        {L"", L"", L"", L""},
        {L"plain text", L"plain text", L"plain text", L"plain text"},
        {L"100%", kFails, L"100", kFails},
        {L"Rev 5%beta copy", kFails, L"Rev 5copy", kFails},
        {L"50% off", kFails, L"50off", kFails},
        {L"%%", L"%", L"%", L"%"},
        {L"a%%b", L"a%b", L"a%b", L"a%b"},
        {L"%%%", kFails, L"%", kFails},
        {L"%Time% %DateLong%", L"2:05:09 PM Thursday, March 7, 2024", L"2:05:09 PM Thursday, March 7, 2024",
         L"2:05:09 PM Thursday, March 7, 2024"},
        {L"%date%", kFails, L"", kFails},
        {L"%timemil%", L"14:05:09", L"14:05:09", L"14:05:09"},
        {L"%TIMEHRMN%", L"2:05 PM", L"2:05 PM", L"2:05 PM"},
        {L"Page %pagenumber% of 9", L"Page 7 of 9", L"Page 7 of 9", L"Page 7 of 9"},
        {L"a%nope%b", kFails, L"ab", kFails},
        {L"%printer% on %hostname% (%modelname%)", L"Office on HOST (Model X)", L"Office on HOST (Model X)",
         L"Office on HOST (Model X)"},
        {L"%dateshort%|%dateddmmyyyy%", L"3/7/2024|07/03/2024", L"3/7/2024|07/03/2024", L"3/7/2024|07/03/2024"},
        // An unpartnered delimiter drops only up to the first space after it.
        {L"x %y z", kFails, L"x z", kFails},
        {L"x %y z%", kFails, L"x ", kFails},
    };
    for (const auto& e : examples) {
        SCOPED_TRACE(testing::Message() << "text: " << testing::PrintToString(std::wstring(e.text)));
        EXPECT_EQ(Scan(e.text, kPrint), e.print);
        EXPECT_EQ(Scan(e.text, kPreview), e.preview);
        EXPECT_EQ(Scan(e.text, kValidate), e.validate);
    }
}

TEST(DynamicScan, UserNameCountsAsValidWithoutBeingAskedFor) {
    TableSource source;
    source.fail(DynamicVariable::UserName);
    EXPECT_EQ(Scan(L"by %Username%.", kValidate, source), L"by .");
    EXPECT_EQ(source.asked(DynamicVariable::UserName), 0);
    EXPECT_EQ(Scan(L"by %Username%.", kPrint, source), kFails);
    EXPECT_EQ(Scan(L"by %Username%.", kPreview, source), L"by .");
    EXPECT_EQ(source.asked(DynamicVariable::UserName), 2);
}

TEST(DynamicScan, AFailingValueFailsTheTextExceptInThePreview) {
    TableSource source;
    source.fail(DynamicVariable::Printer);
    EXPECT_EQ(Scan(L"[%printer%] %pagenumber%", kPrint, source), kFails);
    EXPECT_EQ(Scan(L"[%printer%] %pagenumber%", kValidate, source), kFails);
    EXPECT_EQ(Scan(L"[%printer%] %pagenumber%", kPreview, source), L"[] 7");
}

TEST(DynamicScan, TheDelimiterComesFromTheSourceAndDefaultsToPercent) {
    TableSource source;
    source.delimiter_ = L"#";
    source.tokenOf(DynamicVariable::PageNumber) = L"#pagenumber#";
    EXPECT_EQ(Scan(L"50% ##1 #pagenumber#", kPrint, source), L"50% #1 7");
    EXPECT_EQ(Scan(L"%pagenumber%", kPrint, source), L"%pagenumber%");

    source.delimiter_ = L"";
    source.tokenOf(DynamicVariable::PageNumber) = L"%pagenumber%";
    EXPECT_EQ(Scan(L"%%%pagenumber%", kPrint, source), L"%7");
}

TEST(DynamicScan, AMissingTokenMatchesNothing) {
    TableSource source;
    source.tokenOf(DynamicVariable::UserName) = L"";
    EXPECT_EQ(Scan(L"%Username%", kPrint, source), kFails);
    EXPECT_EQ(Scan(L"%pagenumber%", kPrint, source), L"7");
    EXPECT_EQ(source.asked(DynamicVariable::UserName), 0);
}

TEST(DynamicScan, ATokenMatchesOnlyOverItsWholeLength) {
    TableSource source;
    EXPECT_EQ(Scan(L"%time%", kPrint, source), L"2:05:09 PM");
    EXPECT_EQ(Scan(L"%timemil%", kPrint, source), L"14:05:09");
    EXPECT_EQ(source.asked(DynamicVariable::Time), 1);
    EXPECT_EQ(Scan(L"%tim%", kPrint, source), kFails);
    EXPECT_EQ(Scan(L"%pagenumber", kPrint, source), kFails);
}

TEST(DynamicScan, TextLengthLimit) {
    const std::wstring longest(kExpandCapacity - 1, L'a');
    EXPECT_EQ(Scan(longest, kPrint), longest);
    TableSource source;
    // Too long fails before anything is looked at, in every mode.
    const std::wstring tooLong = std::wstring(kExpandCapacity - 12, L'a') + L"%pagenumber%";
    EXPECT_EQ(Scan(tooLong, kPreview, source), kFails);
    EXPECT_EQ(Scan(std::wstring(kExpandCapacity, L'a'), kPreview, source), kFails);
    EXPECT_EQ(source.asked(DynamicVariable::PageNumber), 0);
}

TEST(DynamicScan, AValueMayBringTheOutputTo2046Characters) {
    for (ExpandMode mode : {kPrint, kPreview}) {
        TableSource source;
        source.valueOf(DynamicVariable::Printer) = std::wstring(2000, L'p');
        // 46 + 2000 = 2046 fits; one more character in front does not.
        EXPECT_EQ(Scan(std::wstring(46, L'a') + L"%printer%", mode, source),
                  std::wstring(46, L'a') + std::wstring(2000, L'p'));
        EXPECT_EQ(Scan(std::wstring(47, L'a') + L"%printer%", mode, source),
                  mode == kPrint ? kFails : std::optional<std::wstring>(std::wstring(47, L'a')));
    }
}

TEST(DynamicScan, AValueThatCouldNeverFitFails) {
    TableSource source;
    source.valueOf(DynamicVariable::Printer) = std::wstring(5000, L'p');
    EXPECT_EQ(Scan(L"%printer%", kPrint, source), kFails);
    EXPECT_EQ(Scan(L"x%printer%y", kPreview, source), L"xy");
}

TEST(DynamicScan, LiteralTextAfterAValueFillsTo2047Characters) {
    TableSource source;
    source.valueOf(DynamicVariable::Printer) = std::wstring(2046, L'p');
    EXPECT_EQ(Scan(L"%printer%b", kPrint, source), std::wstring(2046, L'p') + L"b");
    EXPECT_EQ(Scan(L"%printer%bc", kPrint, source), kFails);
    EXPECT_EQ(Scan(L"%printer%bc", kPreview, source), kFails);
    // The same limit for the literal in front of a delimiter.
    EXPECT_EQ(Scan(L"%printer%b%%", kPrint, source), kFails);
}

TEST(DynamicScan, ADoubledDelimiterFillsTo2047Characters) {
    TableSource source;
    source.valueOf(DynamicVariable::Printer) = std::wstring(2046, L'p');
    EXPECT_EQ(Scan(L"%printer%%%", kPrint, source), std::wstring(2046, L'p') + L"%");
    EXPECT_EQ(Scan(L"%printer%%%%%", kPreview, source), kFails);
}

TEST(DynamicScan, ATokenMustFitBeforeItsValueIsAskedFor) {
    // With N characters out, a token of length L is refused when N + L exceeds 2048, in every
    // mode, even where its value would be short.
    for (ExpandMode mode : {kPrint, kPreview, kValidate}) {
        TableSource source;
        source.valueOf(DynamicVariable::Printer) = std::wstring(2036, L'p');
        EXPECT_EQ(Scan(L"%printer%%pagenumber%", mode, source), std::wstring(2036, L'p') + L"7");
        source.valueOf(DynamicVariable::Printer) = std::wstring(2037, L'p');
        const int before = source.asked(DynamicVariable::PageNumber);
        EXPECT_EQ(Scan(L"%printer%%pagenumber%", mode, source), kFails);
        EXPECT_EQ(source.asked(DynamicVariable::PageNumber), before);
    }
}

TEST(DynamicScan, RefusesNullArguments) {
    TableSource source;
    WCHAR out[kExpandCapacity];
    size_t length = 5;
    EXPECT_FALSE(corv::ui::ScanDynamicText(nullptr, kPrint, source, out, &length));
    EXPECT_FALSE(corv::ui::ScanDynamicText(L"x", kPrint, source, nullptr, &length));
    EXPECT_FALSE(corv::ui::ScanDynamicText(L"x", kPrint, source, out, nullptr));
    EXPECT_EQ(length, 5u);
}

// ---------------------------------------------------------------------------------------------
// The expansion with the string table and the system. The spooler and the printer device
// context are stood in for by patching this program's own imports.

namespace {

const HANDLE kPrinter = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x5150));
const HDC kPrinterDc = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x6160));
constexpr int kJobId = 77;

// 2001-03-07 (a Wednesday) 14:05:09: neither day nor month nor hour reads the same both ways.
constexpr SYSTEMTIME kInstant = {2001, 3, 3, 7, 14, 5, 9, 0};

struct Spooler {
    int jobIdAnswer = kJobId;
    int escapeCalls = 0;
    int lastEscape = 0;
    bool escapeHadBuffers = false;
    bool jobFails = false;
    const wchar_t* jobUser = L"jdoe";
    const wchar_t* printerName = L"Office Laser";
    const wchar_t* driverName = L"Corvane PS Model 9";
    HANDLE lastPrinter = nullptr;
};
Spooler* g_spooler = nullptr;

int WINAPI FakeExtEscape(HDC dc, int escape, int inSize, LPCSTR in, int outSize, LPSTR out) {
    ++g_spooler->escapeCalls;
    g_spooler->lastEscape = escape;
    g_spooler->escapeHadBuffers = inSize || in || outSize || out;
    return dc == kPrinterDc && escape == 0x1000D ? g_spooler->jobIdAnswer : -1;
}

// Lays out a structure followed by the strings its pointers name, as the spooler does.
template <typename Info>
BOOL Answer(const Info& info, const wchar_t* a, const wchar_t* b, LPWSTR Info::*fieldA, LPWSTR Info::*fieldB,
            LPBYTE buffer, DWORD capacity, LPDWORD needed) {
    const size_t lengthA = wcslen(a) + 1, lengthB = wcslen(b) + 1;
    *needed = static_cast<DWORD>(sizeof(Info) + (lengthA + lengthB) * sizeof(wchar_t));
    if (!buffer || capacity < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* out = reinterpret_cast<Info*>(buffer);
    *out = info;
    auto* strings = reinterpret_cast<wchar_t*>(buffer + sizeof(Info));
    wcscpy(strings, a);
    wcscpy(strings + lengthA, b);
    out->*fieldA = strings;
    out->*fieldB = strings + lengthA;
    return TRUE;
}

BOOL WINAPI FakeGetJobW(HANDLE printer, DWORD job, DWORD level, LPBYTE buffer, DWORD capacity, LPDWORD needed) {
    g_spooler->lastPrinter = printer;
    if (g_spooler->jobFails || printer != kPrinter || job != static_cast<DWORD>(kJobId) || level != 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    JOB_INFO_1W info = {};
    info.JobId = job;
    return Answer(info, g_spooler->jobUser, L"document", &JOB_INFO_1W::pUserName, &JOB_INFO_1W::pDocument, buffer,
                  capacity, needed);
}

BOOL WINAPI FakeGetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD capacity, LPDWORD needed) {
    g_spooler->lastPrinter = printer;
    if (printer != kPrinter || level != 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PRINTER_INFO_2W info = {};
    return Answer(info, g_spooler->printerName, g_spooler->driverName, &PRINTER_INFO_2W::pPrinterName,
                  &PRINTER_INFO_2W::pDriverName, buffer, capacity, needed);
}

class DynamicExpand : public testing::Test {
protected:
    void SetUp() override {
        g_spooler = &spooler_;
        ASSERT_TRUE(escape_.active());
        ASSERT_TRUE(job_.active());
        ASSERT_TRUE(printer_.active());
    }
    void TearDown() override { g_spooler = nullptr; }

    static std::optional<std::wstring> Expand(const wchar_t* text, ExpandMode mode, DWORD page = 1) {
        WCHAR out[kExpandCapacity];
        DWORD size = kExpandCapacity;
        if (!corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, text, page, &kInstant, mode, out, &size)) {
            EXPECT_EQ(size, 0u);
            return std::nullopt;
        }
        EXPECT_EQ(size, wcslen(out) + 1);
        return std::wstring(out);
    }

    using Formatter = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int);
    static std::wstring Formatted(Formatter format, DWORD flags, const wchar_t* picture) {
        WCHAR text[256];
        EXPECT_GT(format(LOCALE_USER_DEFAULT, flags, &kInstant, picture, text, 256), 0);
        return text;
    }

    Spooler spooler_;
    HMODULE self_ = GetModuleHandleW(nullptr);
    corvtest::ImportPatch escape_{self_, "gdi32.dll", "ExtEscape", reinterpret_cast<void*>(&FakeExtEscape)};
    corvtest::ImportPatch job_{self_, "winspool.drv", "GetJobW", reinterpret_cast<void*>(&FakeGetJobW)};
    corvtest::ImportPatch printer_{self_, "winspool.drv", "GetPrinterW", reinterpret_cast<void*>(&FakeGetPrinterW)};
};

}  // namespace

TEST_F(DynamicExpand, EveryVariableShowsWhatTheSystemSays) {
    WCHAR host[16];
    DWORD hostLength = 16;
    const bool hasHost = GetComputerNameW(host, &hostLength);

    const struct {
        const wchar_t* text;
        std::wstring expected;
    } rows[] = {
        {L"%dateshort%", Formatted(GetDateFormatW, DATE_SHORTDATE, nullptr)},
        {L"%datelong%", Formatted(GetDateFormatW, DATE_LONGDATE, nullptr)},
        {L"%dateddmmyyyy%", L"07/03/2001"},
        {L"%time%", Formatted(GetTimeFormatW, 0, nullptr)},
        {L"%timemil%", L"14:05:09"},
        {L"%timehrmn%", Formatted(GetTimeFormatW, 0, L"h':'mm tt")},
        {L"%pagenumber%", L"42"},
        {L"%printer%", L"Office Laser"},
        {L"%modelname%", L"Corvane PS Model 9"},
        {L"%Username%", L"jdoe"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(row.text)));
        EXPECT_EQ(Expand(row.text, ExpandMode::Print, 42), row.expected);
    }
    EXPECT_EQ(spooler_.lastPrinter, kPrinter);
    {
        // Without a job, the preview names the user logged on.
        corvtest::UserName loggedOn(L"kim");
        ASSERT_TRUE(loggedOn.active());
        EXPECT_EQ(Expand(L"%Username%", ExpandMode::Preview), std::wstring(L"kim"));
        EXPECT_EQ(loggedOn.calls, 1);
    }
    EXPECT_EQ(Expand(L"%hostname%", ExpandMode::Print),
              hasHost ? std::optional<std::wstring>(host) : kFails);
}

TEST_F(DynamicExpand, PrintedUserNameIsTheJobOwnerFoundThroughTheEscape) {
    EXPECT_EQ(Expand(L"by %Username%", ExpandMode::Print), L"by jdoe");
    EXPECT_EQ(spooler_.lastEscape, 0x1000D);
    EXPECT_FALSE(spooler_.escapeHadBuffers);

    spooler_.jobIdAnswer = 0;  // the rendering plug-in knows no job
    EXPECT_EQ(Expand(L"by %Username%", ExpandMode::Print), kFails);
    spooler_.jobIdAnswer = kJobId;
    spooler_.jobFails = true;
    EXPECT_EQ(Expand(L"by %Username%", ExpandMode::Print), kFails);
}

TEST_F(DynamicExpand, ValidationAcceptsTheUserNameWithoutAJob) {
    spooler_.jobIdAnswer = 0;
    spooler_.jobFails = true;
    EXPECT_EQ(Expand(L"by %Username%", ExpandMode::Validate), L"by ");
    EXPECT_TRUE(corv::ui::ValidateDynamicText(kPrinter, kPrinterDc, L"%Username% p%pagenumber%"));
    EXPECT_TRUE(corv::ui::ValidateDynamicText(kPrinter, nullptr, L"%Username%"));
    EXPECT_EQ(spooler_.escapeCalls, 0);
    // The preview shows who is logged on, without asking the printer.
    EXPECT_NE(Expand(L"%Username%", ExpandMode::Preview), kFails);
    EXPECT_EQ(spooler_.escapeCalls, 0);
}

TEST_F(DynamicExpand, ValidationRefusesWhatPrintingWouldRefuse) {
    EXPECT_TRUE(corv::ui::ValidateDynamicText(kPrinter, kPrinterDc, L"Draft %%1 %printer%"));
    EXPECT_FALSE(corv::ui::ValidateDynamicText(kPrinter, kPrinterDc, L"100%"));
    EXPECT_FALSE(corv::ui::ValidateDynamicText(kPrinter, kPrinterDc, L"%date%"));
    EXPECT_FALSE(corv::ui::ValidateDynamicText(nullptr, kPrinterDc, L"plain"));
    EXPECT_FALSE(corv::ui::ValidateDynamicText(kPrinter, kPrinterDc, nullptr));
    EXPECT_FALSE(corv::ui::ValidateDynamicText(kPrinter, kPrinterDc, std::wstring(kExpandCapacity, L'a').c_str()));
}

TEST_F(DynamicExpand, ReportsTheSizeItNeedsWhateverTheBuffer) {
    DWORD size = 0;
    EXPECT_TRUE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, L"p%pagenumber%", 123, &kInstant, ExpandMode::Print,
                                            nullptr, &size));
    EXPECT_EQ(size, 5u);

    WCHAR small[4] = {L'x', L'x', L'x', 0};
    size = 4;
    EXPECT_TRUE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, L"p%pagenumber%", 123, &kInstant, ExpandMode::Print,
                                            small, &size));
    EXPECT_EQ(size, 5u);
    EXPECT_STREQ(small, L"xxx");

    WCHAR exact[5] = {};
    size = 5;
    EXPECT_TRUE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, L"p%pagenumber%", 123, &kInstant, ExpandMode::Print,
                                            exact, &size));
    EXPECT_EQ(size, 5u);
    EXPECT_STREQ(exact, L"p123");

    size = 1;
    EXPECT_TRUE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, L"", 1, &kInstant, ExpandMode::Print, exact, &size));
    EXPECT_EQ(size, 1u);
    EXPECT_STREQ(exact, L"");
}

TEST_F(DynamicExpand, FailuresReportSizeZero) {
    WCHAR out[kExpandCapacity] = L"untouched";
    DWORD size = kExpandCapacity;
    EXPECT_FALSE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, L"100%", 1, &kInstant, ExpandMode::Print, out, &size));
    EXPECT_EQ(size, 0u);
    EXPECT_STREQ(out, L"untouched");

    size = kExpandCapacity;
    const std::wstring tooLong(kExpandCapacity, L'a');
    EXPECT_FALSE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, tooLong.c_str(), 1, &kInstant, ExpandMode::Preview,
                                             out, &size));
    EXPECT_EQ(size, 0u);
    const std::wstring longest(kExpandCapacity - 1, L'a');
    size = kExpandCapacity;
    EXPECT_TRUE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, longest.c_str(), 1, &kInstant, ExpandMode::Print,
                                            out, &size));
    EXPECT_EQ(size, kExpandCapacity);

    // Output growing past its limit: a printer name that fills the output.
    const std::wstring longName(2040, L'n');
    spooler_.printerName = longName.c_str();
    size = kExpandCapacity;
    EXPECT_TRUE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, L"123456%printer%", 1, &kInstant, ExpandMode::Print,
                                            out, &size));
    EXPECT_EQ(size, 2047u);
    size = kExpandCapacity;
    EXPECT_FALSE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, L"1234567%printer%", 1, &kInstant,
                                             ExpandMode::Print, out, &size));
    EXPECT_EQ(size, 0u);
}

TEST_F(DynamicExpand, RefusesMissingArgumentsWithoutTouchingTheSize) {
    WCHAR out[16];
    DWORD size = 16;
    EXPECT_FALSE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, nullptr, 1, &kInstant, ExpandMode::Print, out, &size));
    EXPECT_FALSE(corv::ui::ExpandDynamicText(nullptr, kPrinterDc, L"x", 1, &kInstant, ExpandMode::Preview, out, &size));
    EXPECT_EQ(size, 16u);
    EXPECT_FALSE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, L"x", 1, &kInstant, ExpandMode::Print, out, nullptr));
    EXPECT_FALSE(corv::ui::ExpandDynamicText(kPrinter, kPrinterDc, L"x", 1, &kInstant, static_cast<ExpandMode>(3), out,
                                             &size));
    EXPECT_EQ(size, 0u);
}
