#include "common/text.h"

#include <gtest/gtest.h>

#include <string>

using namespace corv;

TEST(FixedText, CopyCutsAndTerminates) {
    wchar_t small[4];
    CopyText(small, L"abcdef");
    EXPECT_STREQ(small, L"abc");
    CopyText(small, static_cast<const wchar_t*>(nullptr));
    EXPECT_STREQ(small, L"");
    // A source array without terminator is read only up to its own capacity.
    const wchar_t unterminated[3] = {L'x', L'y', L'z'};
    wchar_t big[10];
    CopyText(big, unterminated, 3);
    EXPECT_STREQ(big, L"xyz");
}

TEST(FixedText, AppendAndFormatTruncate) {
    char buf[8] = "abc";
    AppendText(buf, "defghij");
    EXPECT_STREQ(buf, "abcdefg");
    EXPECT_EQ(FormatText(buf, sizeof buf, "%d-%s", 12345, "xyz"), 7u);
    EXPECT_STREQ(buf, "12345-x");
    char line[10] = "ab";
    EXPECT_EQ(AppendFormat(line, sizeof line, "%s", "cdefghijkl"), 9u);
    EXPECT_STREQ(line, "abcdefghi");
    wchar_t w[5];
    FormatText(w, 5, L"%ls", L"123456");
    EXPECT_STREQ(w, L"1234");
    // Wide formats follow the platform: "%s" is a wide string, as in the string table's texts.
    wchar_t wide[32];
    FormatText(wide, 32, L"%s Driver", L"Corvane CP 4500");
    EXPECT_STREQ(wide, L"Corvane CP 4500 Driver");
    FormatText(wide, 32, L"%d", 12345);
    EXPECT_STREQ(wide, L"12345");
}

TEST(FixedText, TextBufBuildsPiecesWithinCapacity) {
    TextBuf<16> t;
    t.append("@PJL ");
    t.appendf("SET X=%d\n", 42);
    EXPECT_STREQ(t.text, "@PJL SET X=42\n");
    t.appendf("%s", "0123456789");
    EXPECT_EQ(t.length(), 15u);
}
