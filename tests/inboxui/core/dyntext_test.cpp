#include "plug-in/inboxui/core/dyntext.h"

#include "common/text.h"

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
        const auto over = Scan(std::wstring(47, L'a') + L"%printer%", mode, source);
        if (mode == kPrint)
            EXPECT_EQ(over, kFails);
        else
            EXPECT_EQ(over, std::wstring(47, L'a'));
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
