#include "plug-in/render/narrow.h"

#include <gtest/gtest.h>

#include <string>

using namespace corv::render;

namespace {

std::string Copy(const WCHAR* text, LANGID language, size_t capacity = static_cast<size_t>(-1)) {
    corv::HeapArray<char> narrow = NarrowCopy(text, capacity, language);
    return narrow ? std::string(narrow.get()) : std::string("<null>");
}

}  // namespace

TEST(NarrowText, CodePageFollowsTheSystemLanguage) {
    const struct {
        LANGID language;
        UINT codePage;
    } cases[] = {{1045, 28592}, {1049, 28595}, {1033, 850}, {1031, 850}, {1029, 850}, {1058, 850}, {0, 850}};
    for (const auto& c : cases) EXPECT_EQ(NarrowCodePage(c.language), c.codePage) << c.language;
}

TEST(NarrowText, ConvertsIntoTheLanguagesCodePage) {
    const struct {
        const WCHAR* text;
        LANGID language;
        const char* bytes;
    } cases[] = {
        {L"\u0416\u0430\u043d\u043d\u0430", 1049, "\xb6\xd0\xdd\xdd\xd0"},  // Cyrillic in ISO 8859-5
        {L"\u0141\u00f3d\u017a", 1045, "\xa3\xf3" "d\xbc"},                 // Polish in ISO 8859-2
        {L"M\u00fcller \u00e9", 1033, "M\x81ller \x82"},                     // Latin in code page 850
        {L"\u0416", 1033, "?"},                                              // no mapping: default character
        {L"\u0416", 1045, "?"},
        {L"plain", 1049, "plain"},
        {L"", 1033, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Copy(c.text, c.language), c.bytes) << c.language;
}

TEST(NarrowText, StopsAtTheEndOfAnUnterminatedArray) {
    const WCHAR unterminated[3] = {L'a', L'b', L'c'};
    EXPECT_EQ(Copy(unterminated, 1033, 3), "abc");
    EXPECT_EQ(Copy(L"abcdef", 1033, 2), "ab");
    EXPECT_EQ(Copy(nullptr, 1033), "<null>");
}

TEST(NarrowText, FixedBufferRefusesWhatDoesNotFit) {
    char out[5] = "xxxx";
    EXPECT_TRUE(NarrowInto(out, sizeof out, L"\u0416abc", 25, 1049));
    EXPECT_STREQ(out, "\xb6" "abc");
    EXPECT_FALSE(NarrowInto(out, sizeof out, L"abcde", 25, 1033));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(NarrowInto(out, sizeof out, nullptr, 25, 1033));
    EXPECT_TRUE(NarrowInto(out, sizeof out, L"", 25, 1033));
    EXPECT_STREQ(out, "");
}
