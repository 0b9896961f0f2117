#include "plug-in/inboxui/profiles/store.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using corv::ui::kProfileNameCapacity;
using corv::ui::MatchOption;
using corv::ui::ProfileValueName;
using corv::ui::ValueNameNumber;

OPTITEM Item(BYTE dmPubId, const WCHAR* name) {
    OPTITEM item{};
    item.cbSize = sizeof(item);
    item.DMPubID = dmPubId;
    item.pName = const_cast<LPWSTR>(name);
    return item;
}

const WCHAR* ResourceName(ULONG_PTR id) { return reinterpret_cast<const WCHAR*>(id); }

std::wstring NameOf(const OPTITEM& item) {
    WCHAR name[kProfileNameCapacity];
    ProfileValueName(item, name);
    return name;
}

TEST(ProfileValueNaming, PublicIdThenResourceIdThenText) {
    EXPECT_EQ(NameOf(Item(7, L"Duplex")), L"7");
    EXPECT_EQ(NameOf(Item(7, ResourceName(1234))), L"7");
    EXPECT_EQ(NameOf(Item(0, ResourceName(1234))), L"1234");
    EXPECT_EQ(NameOf(Item(0, ResourceName(0xFFFF))), L"65535");
    EXPECT_EQ(NameOf(Item(0, L"Paper Size")), L"Paper Size");
}

TEST(ProfileValueNaming, TextNamesAreCutTo127Characters) {
    std::wstring longName(200, L'n');
    EXPECT_EQ(NameOf(Item(0, longName.c_str())), std::wstring(127, L'n'));
}

TEST(ProfileValueNaming, NumbersReadLikeTheCLibrary) {
    EXPECT_EQ(ValueNameNumber(L"7"), 7);
    EXPECT_EQ(ValueNameNumber(L"  +12abc"), 12);
    EXPECT_EQ(ValueNameNumber(L"\t-3"), -3);
    EXPECT_EQ(ValueNameNumber(L"Paper Size"), 0);
    EXPECT_EQ(ValueNameNumber(L""), 0);
    EXPECT_EQ(ValueNameNumber(L"99999999999999"), LONG_MAX);
    EXPECT_EQ(ValueNameNumber(L"-99999999999999"), LONG_MIN);
}

TEST(ProfileValueMatching, FirstOptionInArrayOrderWins) {
    OPTITEM options[] = {
        Item(0, ResourceName(7)),  // resource id 7 comes before the public id 7
        Item(7, L"Duplex"),
        Item(0, L"Paper Size"),
        Item(0, L"12"),
        Item(12, L"Twelve"),
    };
    EXPECT_EQ(MatchOption(options, 5, L"7"), &options[0]);
    EXPECT_EQ(MatchOption(options + 1, 4, L"7"), &options[1]);
    EXPECT_EQ(MatchOption(options, 5, L"Paper Size"), &options[2]);
    EXPECT_EQ(MatchOption(options, 5, L"12"), &options[3]);
    EXPECT_EQ(MatchOption(options, 5, L" 12"), &options[4]);  // not the text, but the number
}

TEST(ProfileValueMatching, TextNamesMatchExactlyAndOnlyWithoutPublicId) {
    OPTITEM options[] = {Item(5, L"Quality"), Item(0, L"Paper Size")};
    EXPECT_EQ(MatchOption(options, 2, L"paper size"), nullptr);
    EXPECT_EQ(MatchOption(options, 2, L"Quality"), nullptr);  // its value is named "5"
    EXPECT_EQ(MatchOption(options, 2, L"5"), &options[0]);
    EXPECT_EQ(MatchOption(options, 2, L"CustomDevData"), nullptr);
    EXPECT_EQ(MatchOption(options, 0, L"5"), nullptr);
}

}  // namespace
