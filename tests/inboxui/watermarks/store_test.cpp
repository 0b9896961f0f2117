#include "plug-in/inboxui/watermarks/store.h"
#include "plug-in/inboxui/store/modelkey.h"

#include "tests/inboxui/watermarks/store_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(ModelKeyPath, FormattedFromTheDriverName) {
    corv::HeapArray<WCHAR> path = corv::ui::ModelKeyPathForDriver(L"Corvane C500 PS");
    ASSERT_TRUE(path);
    EXPECT_STREQ(path.get(), L"Software\\Corvane\\RIViroRo\\Corvane C500 PS");
    EXPECT_FALSE(corv::ui::ModelKeyPathForDriver(L""));
    EXPECT_FALSE(corv::ui::ModelKeyPathForDriver(nullptr));
}

using namespace corv;
using namespace corv::ui;
using corvtest::kDefaultModelPath;
using corvtest::kDefaultWatermarksPath;
using corvtest::kDriver;
using corvtest::kModelPath;
using corvtest::kWatermarksPath;
using corvtest::RawValue;

WatermarkRecord Named(const wchar_t* name, const wchar_t* text = L"TEXT") {
    WatermarkRecord wm{};
    InitWatermarkRecord(&wm);
    wcscpy(wm.szName, name);
    wcscpy(wm.szText, text);
    return wm;
}

DWORD AsDword(const RawValue& v) {
    DWORD d = 0;
    if (v.data.size() == 4) std::memcpy(&d, v.data.data(), 4);
    return d;
}

class WatermarkStore : public corvtest::StoreTest {
protected:
    RawValue Counter() { return Get(HKEY_CURRENT_USER, kModelPath, L"NumberOfWaterMarks"); }
};

TEST_F(WatermarkStore, ModelKeyPathNamesTheDriver) {
    HeapArray<WCHAR> path = GetModelKeyPath(printer_);
    ASSERT_TRUE(path);
    EXPECT_STREQ(path.get(), kModelPath.c_str());
    HANDLE unknown = reinterpret_cast<HANDLE>(0x7777);
    EXPECT_FALSE(GetModelKeyPath(unknown));
    EXPECT_FALSE(GetModelKeyPath(spooler_.Add(L"Nameless", L"")));
}

TEST_F(WatermarkStore, CounterFollowsNewNamesOnly) {
    WatermarkRecord a = Named(L"Alpha");
    ASSERT_TRUE(SaveWatermark(printer_, &a));
    EXPECT_EQ(Counter().type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(AsDword(Counter()), 1u);

    RawValue stored = Get(HKEY_CURRENT_USER, kWatermarksPath, L"Alpha");
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(stored.data.size(), 704u);

    a.lPointSize = 33;  // replacing keeps the count
    ASSERT_TRUE(SaveWatermark(printer_, &a));
    EXPECT_EQ(ReadWatermarkCounter(printer_), 1);
    WatermarkRecord back{};
    ASSERT_TRUE(ReadWatermark(printer_, L"Alpha", &back));
    EXPECT_EQ(back.lPointSize, 33);

    WatermarkRecord b = Named(L"Beta");
    ASSERT_TRUE(SaveWatermark(printer_, &b));
    EXPECT_EQ(ReadWatermarkCounter(printer_), 2);

    EXPECT_TRUE(DeleteWatermark(printer_, L"Alpha"));
    EXPECT_EQ(ReadWatermarkCounter(printer_), 1);
    EXPECT_FALSE(WatermarkExists(printer_, L"Alpha"));
    EXPECT_FALSE(DeleteWatermark(printer_, L"Alpha"));  // gone: the counter stays
    EXPECT_EQ(ReadWatermarkCounter(printer_), 1);
    EXPECT_EQ(CountWatermarks(printer_), 1);
}

TEST_F(WatermarkStore, DeleteBeforeAnySaveWritesMinusOne) {
    ASSERT_TRUE(InstallDefaultWatermarks(kDriver));
    EXPECT_FALSE(Counter().present);  // the install does not count
    ASSERT_TRUE(DeleteWatermark(printer_, L"Draft"));
    EXPECT_EQ(Counter().type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(AsDword(Counter()), 0xFFFFFFFFu);
    EXPECT_EQ(ReadWatermarkCounter(printer_), -1);
}

TEST_F(WatermarkStore, CounterOfWrongTypeOrSizeReadsAsZero) {
    Put(HKEY_CURRENT_USER, kModelPath, L"NumberOfWaterMarks", REG_SZ, L"5", 4);
    EXPECT_EQ(ReadWatermarkCounter(printer_), 0);
    const BYTE eight[8] = {5, 0, 0, 0, 9, 9, 9, 9};
    Put(HKEY_CURRENT_USER, kModelPath, L"NumberOfWaterMarks", REG_DWORD, eight, 8);
    EXPECT_EQ(ReadWatermarkCounter(printer_), 0);
    Put(HKEY_CURRENT_USER, kModelPath, L"NumberOfWaterMarks", REG_BINARY, eight, 4);
    EXPECT_EQ(ReadWatermarkCounter(printer_), 0);
    Put(HKEY_CURRENT_USER, kModelPath, L"NumberOfWaterMarks", REG_DWORD, eight, 4);
    EXPECT_EQ(ReadWatermarkCounter(printer_), 5);
}

TEST_F(WatermarkStore, ShortValueLeavesTheRestAtDefaults) {
    WatermarkRecord full = Named(L"Short", L"short text");
    full.bDynamic = 1;
    full.dwCharSet = 2;
    Put(HKEY_CURRENT_USER, kWatermarksPath, L"Short", REG_BINARY, &full, 700);

    WatermarkRecord back;
    std::memset(&back, 0x55, sizeof back);
    ASSERT_TRUE(ReadWatermark(printer_, L"Short", &back));
    EXPECT_STREQ(back.szText, L"short text");
    EXPECT_EQ(back.dwCharSet, 2u);
    EXPECT_EQ(back.bDynamic, 0u);
    EXPECT_TRUE(WatermarkExists(printer_, L"Short"));

    // Four bytes reach only into szName: everything else is the defaults.
    Put(HKEY_CURRENT_USER, kWatermarksPath, L"Tiny", REG_BINARY, L"Ti", 4);
    ASSERT_TRUE(ReadWatermark(printer_, L"Tiny", &back));
    EXPECT_EQ(back.szName[0], L'T');
    EXPECT_EQ(back.szName[1], L'i');
    EXPECT_STREQ(back.szFontName, L"Arial");
    EXPECT_EQ(back.lPointSize, 72);
    EXPECT_EQ(back.wIntensity, 100);
}

TEST_F(WatermarkStore, LongEmptyAndWrongTypeValuesAreAbsent) {
    std::vector<BYTE> big(705, 0);
    std::memcpy(big.data(), L"Long", 10);
    Put(HKEY_CURRENT_USER, kWatermarksPath, L"Long", REG_BINARY, big.data(), 705);
    Put(HKEY_CURRENT_USER, kWatermarksPath, L"Empty", REG_BINARY, nullptr, 0);
    WatermarkRecord text = Named(L"Text");
    Put(HKEY_CURRENT_USER, kWatermarksPath, L"Text", REG_SZ, &text, 704);
    Put(HKEY_CURRENT_USER, kWatermarksPath, L"Dword", REG_DWORD, &text, 4);

    for (const wchar_t* name : {L"Long", L"Empty", L"Text", L"Dword", L"Missing"}) {
        WatermarkRecord back;
        std::memset(&back, 0x55, sizeof back);
        EXPECT_FALSE(ReadWatermark(printer_, name, &back)) << name;
        EXPECT_EQ(back.lPointSize, 0x55555555) << name;  // untouched
        EXPECT_FALSE(WatermarkExists(printer_, name)) << name;
    }
    // Saving over an unreadable value counts it as new.
    WatermarkRecord replacement = Named(L"Long");
    ASSERT_TRUE(SaveWatermark(printer_, &replacement));
    EXPECT_EQ(ReadWatermarkCounter(printer_), 1);
    EXPECT_TRUE(WatermarkExists(printer_, L"Long"));
}

TEST_F(WatermarkStore, StringsEndWithinTheirArrays) {
    // A value written by someone else, with no terminators at all.
    WatermarkRecord raw;
    std::memset(&raw, 0, sizeof raw);
    for (auto& c : raw.szName) c = L'n';
    for (auto& c : raw.szText) c = L't';
    for (auto& c : raw.szFontName) c = L'f';
    Put(HKEY_CURRENT_USER, kWatermarksPath, L"Raw", REG_BINARY, &raw, sizeof raw);
    WatermarkRecord back{};
    ASSERT_TRUE(ReadWatermark(printer_, L"Raw", &back));
    EXPECT_EQ(wcslen(back.szName), 127u);
    EXPECT_EQ(wcslen(back.szText), 127u);
    EXPECT_EQ(wcslen(back.szFontName), 63u);

    // Saving such a record stores it under its name cut to 127 characters.
    ASSERT_TRUE(SaveWatermark(printer_, &raw));
    std::wstring cut(127, L'n');
    RawValue stored = Get(HKEY_CURRENT_USER, kWatermarksPath, cut.c_str());
    ASSERT_TRUE(stored.present);
    ASSERT_EQ(stored.data.size(), 704u);
    EXPECT_EQ(reinterpret_cast<const WatermarkRecord*>(stored.data.data())->szName[127], 0);
}

TEST_F(WatermarkStore, RefusesMissingArgumentsAndEmptyNames) {
    WatermarkRecord wm = Named(L"");
    EXPECT_FALSE(SaveWatermark(printer_, &wm));
    EXPECT_FALSE(SaveModelWatermark(kDriver, &wm));
    EXPECT_FALSE(SaveWatermark(printer_, nullptr));
    EXPECT_FALSE(SaveWatermark(nullptr, &wm));
    EXPECT_FALSE(ReadWatermark(printer_, nullptr, &wm));
    EXPECT_FALSE(ReadWatermark(printer_, L"", &wm));
    EXPECT_FALSE(DeleteWatermark(printer_, L""));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kModelPath));
}

TEST_F(WatermarkStore, PrinterWithoutDriverNameTouchesNothing) {
    HANDLE unknown = reinterpret_cast<HANDLE>(0x7777);
    WatermarkRecord wm = Named(L"Alpha");
    EXPECT_FALSE(SaveWatermark(unknown, &wm));
    EXPECT_FALSE(WriteLastUserName(unknown, L"bob"));
    EXPECT_FALSE(WriteWatermarkCounter(unknown, 3));
    EXPECT_FALSE(CopyDefaultUserSettings(unknown));
    EXPECT_EQ(CountWatermarks(unknown), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Corvane"));
}

TEST_F(WatermarkStore, MissingAndEmptyKeysEnumerateDifferently) {
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(list);
    EXPECT_EQ(CountWatermarks(printer_), 0);
    EXPECT_FALSE(ListWatermarks(printer_, list));  // no key

    MakeKey(HKEY_CURRENT_USER, kWatermarksPath);
    EXPECT_EQ(CountWatermarks(printer_), 0);
    EXPECT_TRUE(ListWatermarks(printer_, list));  // an empty key is a complete walk
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), 0);
    EXPECT_FALSE(ListWatermarks(printer_, nullptr));
    DestroyWindow(list);
}

TEST_F(WatermarkStore, LongNamesCountButAreNotListed) {
    WatermarkRecord wm = Named(L"x");
    std::wstring longName(200, L'L');
    Put(HKEY_CURRENT_USER, kWatermarksPath, L"First", REG_BINARY, &wm, sizeof wm);
    Put(HKEY_CURRENT_USER, kWatermarksPath, longName.c_str(), REG_BINARY, &wm, sizeof wm);
    Put(HKEY_CURRENT_USER, kWatermarksPath, L"Last", REG_BINARY, &wm, sizeof wm);
    EXPECT_EQ(CountWatermarks(printer_), 3);  // ERROR_MORE_DATA counts as a value

    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(list);
    EXPECT_TRUE(ListWatermarks(printer_, list));
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    for (int i = 0; i < 2; ++i) {
        WCHAR text[256] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_TRUE(std::wstring(text) == L"First" || std::wstring(text) == L"Last") << i;
    }
    DestroyWindow(list);
}

TEST_F(WatermarkStore, ListAppendsInRegistryOrderAndWidensTheExtent) {
    for (const wchar_t* name : {L"Draft", L"A much longer watermark name", L"X"}) {
        WatermarkRecord wm = Named(name);
        ASSERT_TRUE(SaveWatermark(printer_, &wm));
    }
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_HSCROLL, 0, 0, 200, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_TRUE(list);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"(None)"));
    ASSERT_TRUE(ListWatermarks(printer_, list));

    std::vector<std::wstring> expected = Names(HKEY_CURRENT_USER, kWatermarksPath);
    ASSERT_EQ(expected.size(), 3u);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
    for (int i = 0; i < 3; ++i) {
        WCHAR text[256] = {};
        SendMessageW(list, LB_GETTEXT, i + 1, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(std::wstring(text), expected[i]);
    }
    HDC dc = GetDC(list);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    ReleaseDC(list, dc);
    ASSERT_GT(tm.tmMaxCharWidth, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), 28 * tm.tmMaxCharWidth);
    DestroyWindow(list);
}

TEST_F(WatermarkStore, DefaultSetReadsBack) {
    ASSERT_TRUE(InstallDefaultWatermarks(kDriver));
    EXPECT_EQ(CountWatermarks(printer_), 4);
    struct Want {
        const wchar_t* name;
        const wchar_t* text;
        double angle;
        BYTE gray;
        LONG size;
        DWORD position;
        DWORD dynamic;
    };
    const Want want[] = {
        {L"Draft", L"DRAFT", 45.0, 205, 72, 0, 0},
        {L"Confidential", L"CONFIDENTIAL", 45.0, 205, 72, 0, 0},
        {L"Username", L"User:  %Username%", 0.0, 0, 8, 2, 1},
        {L"Date and Time", L"%Time% %DateLong%", 0.0, 0, 8, 7, 1},
    };
    for (const Want& w : want) {
        RawValue raw = Get(HKEY_CURRENT_USER, kWatermarksPath, w.name);
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_BINARY)) << w.name;
        EXPECT_EQ(raw.data.size(), 704u) << w.name;
        WatermarkRecord wm{};
        ASSERT_TRUE(ReadWatermark(printer_, w.name, &wm)) << w.name;
        EXPECT_STREQ(wm.szName, w.name);
        EXPECT_STREQ(wm.szText, w.text);
        EXPECT_EQ(wm.dblAngle, w.angle) << w.name;
        const BYTE rgb[4] = {w.gray, w.gray, w.gray, 0};
        EXPECT_EQ(std::memcmp(wm.rgbColor, rgb, 4), 0) << w.name;
        EXPECT_STREQ(wm.szFontName, L"Arial");
        EXPECT_EQ(wm.lPointSize, w.size) << w.name;
        EXPECT_EQ(wm.dwPosition, w.position) << w.name;
        EXPECT_EQ(wm.bDynamic, w.dynamic) << w.name;
        EXPECT_EQ(wm.dwStyle, 0u);
        EXPECT_EQ(wm.dwEffects, 0u);
        EXPECT_EQ(wm.wIntensity, 100);
        EXPECT_EQ(wm.bInches, 1);
        EXPECT_EQ(wm.dblOffsetX, 0.0);
        EXPECT_EQ(wm.dblOffsetY, 0.0);
        EXPECT_EQ(wm.dwCharSet, 0u);
    }
    EXPECT_FALSE(InstallDefaultWatermarks(L""));
    EXPECT_FALSE(InstallDefaultWatermarks(nullptr));
}

class FirstUseCopy : public WatermarkStore {};

TEST_F(FirstUseCopy, CopiesEveryValueAsItIs) {
    std::vector<BYTE> fax(4748);
    for (size_t i = 0; i < fax.size(); ++i) fax[i] = static_cast<BYTE>(i * 7);
    const DWORD stale = 99, custom = 7;
    WatermarkRecord alpha = Named(L"Alpha");
    Put(HKEY_USERS, kDefaultModelPath, L"LastUserName", REG_SZ, L"bob", 8);
    Put(HKEY_USERS, kDefaultModelPath, L"FaxInfo", REG_BINARY, fax.data(), 4748);
    Put(HKEY_USERS, kDefaultModelPath, L"NumberOfWaterMarks", REG_DWORD, &stale, 4);
    Put(HKEY_USERS, kDefaultModelPath, L"Custom", REG_DWORD, &custom, 4);
    Put(HKEY_USERS, kDefaultModelPath, L"Multi", REG_MULTI_SZ, L"a\0bc\0", 12);
    Put(HKEY_USERS, kDefaultModelPath, L"Nothing", REG_BINARY, nullptr, 0);
    Put(HKEY_USERS, kDefaultWatermarksPath, L"Alpha", REG_BINARY, &alpha, 704);
    Put(HKEY_USERS, kDefaultWatermarksPath, L"Beta", REG_BINARY, &alpha, 300);
    Put(HKEY_USERS, kDefaultWatermarksPath, L"Gamma", REG_SZ, L"odd", 5);
    MakeKey(HKEY_USERS, kDefaultModelPath + L"\\Profiles\\Mine");

    ASSERT_TRUE(CopyDefaultUserSettings(printer_));

    for (const wchar_t* name : {L"LastUserName", L"FaxInfo", L"Custom", L"Multi", L"Nothing"}) {
        RawValue from = Get(HKEY_USERS, kDefaultModelPath, name);
        RawValue to = Get(HKEY_CURRENT_USER, kModelPath, name);
        ASSERT_TRUE(to.present) << name;
        EXPECT_EQ(to.type, from.type) << name;
        EXPECT_EQ(to.data, from.data) << name;
    }
    for (const wchar_t* name : {L"Alpha", L"Beta", L"Gamma"}) {
        RawValue from = Get(HKEY_USERS, kDefaultWatermarksPath, name);
        RawValue to = Get(HKEY_CURRENT_USER, kWatermarksPath, name);
        ASSERT_TRUE(to.present) << name;
        EXPECT_EQ(to.type, from.type) << name;
        EXPECT_EQ(to.data, from.data) << name;
    }
    // The counter is the default user's number of watermark values, not its stale counter.
    EXPECT_EQ(ReadWatermarkCounter(printer_), 3);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kModelPath + L"\\Profiles"));

    // Once the user has a model key the copy never runs again.
    Put(HKEY_USERS, kDefaultWatermarksPath, L"Delta", REG_BINARY, &alpha, 704);
    EXPECT_FALSE(CopyDefaultUserSettings(printer_));
    EXPECT_FALSE(WatermarkExists(printer_, L"Delta"));
}

TEST_F(FirstUseCopy, NoCopyWhenTheUserHasAModelKey) {
    WatermarkRecord alpha = Named(L"Alpha");
    Put(HKEY_USERS, kDefaultWatermarksPath, L"Alpha", REG_BINARY, &alpha, 704);
    Put(HKEY_USERS, kDefaultModelPath, L"LastUserName", REG_SZ, L"bob", 8);
    MakeKey(HKEY_CURRENT_USER, kWatermarksPath);  // exists, but empty

    EXPECT_FALSE(CopyDefaultUserSettings(printer_));
    EXPECT_EQ(CountWatermarks(printer_), 0);
    EXPECT_FALSE(Get(HKEY_CURRENT_USER, kModelPath, L"LastUserName").present);
    EXPECT_FALSE(Counter().present);
}

TEST_F(FirstUseCopy, NothingWithoutADefaultUserStore) {
    EXPECT_FALSE(CopyDefaultUserSettings(printer_));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kModelPath));
    MakeKey(HKEY_USERS, L".DEFAULT\\Software\\Corvane\\RIViroRo\\Other Driver");
    EXPECT_FALSE(CopyDefaultUserSettings(printer_));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kModelPath));
}

TEST_F(FirstUseCopy, CounterOnlyForCopiedWatermarkValues) {
    // Model values but an empty Watermarks key: the values come over, no counter is made up.
    Put(HKEY_USERS, kDefaultModelPath, L"LastUserName", REG_SZ, L"bob", 8);
    MakeKey(HKEY_USERS, kDefaultWatermarksPath);
    ASSERT_TRUE(CopyDefaultUserSettings(printer_));
    EXPECT_FALSE(Counter().present);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kWatermarksPath));
}

TEST_F(FirstUseCopy, AnEmptyDefaultStoreStillClaimsTheUser) {
    MakeKey(HKEY_USERS, kDefaultModelPath);
    EXPECT_FALSE(CopyDefaultUserSettings(printer_));  // nothing copied
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kModelPath));
    WatermarkRecord alpha = Named(L"Alpha");
    Put(HKEY_USERS, kDefaultWatermarksPath, L"Alpha", REG_BINARY, &alpha, 704);
    EXPECT_FALSE(CopyDefaultUserSettings(printer_));
    EXPECT_FALSE(WatermarkExists(printer_, L"Alpha"));
}

class LastUserName : public WatermarkStore {};

TEST_F(LastUserName, TwentyFourCharactersFitTwentyFiveDoNot) {
    const wchar_t* name24 = L"abcdefghijklmnopqrstuvwx";
    ASSERT_TRUE(WriteLastUserName(printer_, name24));
    RawValue raw = Get(HKEY_CURRENT_USER, kModelPath, L"LastUserName");
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw.data.size(), 50u);

    WCHAR buffer[25] = {};
    ASSERT_TRUE(ReadLastUserName(printer_, buffer, 25));
    EXPECT_STREQ(buffer, name24);
    EXPECT_FALSE(ReadLastUserName(printer_, buffer, 24));

    EXPECT_FALSE(WriteLastUserName(printer_, L"abcdefghijklmnopqrstuvwxy"));
    EXPECT_EQ(Get(HKEY_CURRENT_USER, kModelPath, L"LastUserName").data, raw.data);
    ASSERT_TRUE(WriteLastUserName(printer_, L""));
    ASSERT_TRUE(ReadLastUserName(printer_, buffer, 25));
    EXPECT_STREQ(buffer, L"");
}

TEST_F(LastUserName, StoredWithoutTerminatorIsEndedInTheBuffer) {
    Put(HKEY_CURRENT_USER, kModelPath, L"LastUserName", REG_SZ, L"abcde", 10);
    WCHAR buffer[25];
    wmemset(buffer, L'#', 25);
    ASSERT_TRUE(ReadLastUserName(printer_, buffer, 25));
    EXPECT_STREQ(buffer, L"abcde");

    // 25 characters without terminator leave no room for one in 25; they do in 26.
    Put(HKEY_CURRENT_USER, kModelPath, L"LastUserName", REG_SZ, L"abcdefghijklmnopqrstuvwxy", 50);
    EXPECT_FALSE(ReadLastUserName(printer_, buffer, 25));
    WCHAR wide[26];
    ASSERT_TRUE(ReadLastUserName(printer_, wide, 26));
    EXPECT_STREQ(wide, L"abcdefghijklmnopqrstuvwxy");
}

TEST_F(LastUserName, TooLongEmptyOrWrongTypeIsAbsent) {
    WCHAR buffer[25];
    EXPECT_FALSE(ReadLastUserName(printer_, buffer, 25));  // nothing stored
    const wchar_t* name26 = L"abcdefghijklmnopqrstuvwxyz";
    Put(HKEY_CURRENT_USER, kModelPath, L"LastUserName", REG_SZ, name26, 54);
    wcscpy(buffer, L"kept");
    EXPECT_FALSE(ReadLastUserName(printer_, buffer, 25));
    EXPECT_STREQ(buffer, L"kept");
    Put(HKEY_CURRENT_USER, kModelPath, L"LastUserName", REG_SZ, nullptr, 0);
    EXPECT_FALSE(ReadLastUserName(printer_, buffer, 25));
    Put(HKEY_CURRENT_USER, kModelPath, L"LastUserName", REG_BINARY, L"bob", 8);
    EXPECT_FALSE(ReadLastUserName(printer_, buffer, 25));
    Put(HKEY_CURRENT_USER, kModelPath, L"LastUserName", REG_EXPAND_SZ, L"bob", 8);
    EXPECT_FALSE(ReadLastUserName(printer_, buffer, 25));
    EXPECT_STREQ(buffer, L"kept");
    EXPECT_FALSE(ReadLastUserName(printer_, nullptr, 25));
    EXPECT_FALSE(WriteLastUserName(printer_, nullptr));
}

class FaxInfo : public WatermarkStore {
protected:
    static FaxRecord Sample() {
        FaxRecord fax;
        std::memset(&fax, 0, sizeof fax);
        wcscpy(fax.szFaxNumber, L"555-0100");
        wcscpy(fax.szRecipientName, L"Ann");
        wcscpy(fax.szComments, L"see attached");
        fax.bFaxCoverPage = 1;
        fax.dwCoverParts = 5;
        return fax;
    }
};

TEST_F(FaxInfo, WrittenAndReadByteForByte) {
    FaxRecord fax = Sample();
    fax.pad1[0] = 0x11;
    ASSERT_TRUE(WriteFaxInfo(printer_, &fax));
    RawValue raw = Get(HKEY_CURRENT_USER, kModelPath, L"FaxInfo");
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(raw.data.size(), 4748u);
    EXPECT_EQ(std::memcmp(raw.data.data(), &fax, 4748), 0);

    FaxRecord back;
    std::memset(&back, 0x55, sizeof back);
    ASSERT_TRUE(ReadFaxInfo(printer_, &back));
    EXPECT_EQ(std::memcmp(&back, &fax, sizeof fax), 0);
}

TEST_F(FaxInfo, LongEmptyOrWrongTypeIsIgnored) {
    std::vector<BYTE> big(4749, 0);
    FaxRecord back;
    auto untouched = [&] {
        std::memset(&back, 0x55, sizeof back);
        EXPECT_FALSE(ReadFaxInfo(printer_, &back));
        EXPECT_EQ(back.dwCoverParts, 0x55555555u);
    };
    untouched();  // missing
    Put(HKEY_CURRENT_USER, kModelPath, L"FaxInfo", REG_BINARY, big.data(), 4749);
    untouched();
    Put(HKEY_CURRENT_USER, kModelPath, L"FaxInfo", REG_BINARY, nullptr, 0);
    untouched();
    FaxRecord fax = Sample();
    Put(HKEY_CURRENT_USER, kModelPath, L"FaxInfo", REG_SZ, &fax, 4748);
    untouched();
    EXPECT_FALSE(ReadFaxInfo(printer_, nullptr));
    EXPECT_FALSE(WriteFaxInfo(printer_, nullptr));
}

TEST_F(FaxInfo, ShortValueReadsOverTheStartAndStringsEnd) {
    FaxRecord fax = Sample();
    for (auto& c : fax.szFaxNumber) c = L'7';  // unterminated
    Put(HKEY_CURRENT_USER, kModelPath, L"FaxInfo", REG_BINARY, &fax, 600);
    FaxRecord back;
    std::memset(&back, 0, sizeof back);
    wcscpy(back.szSenderName, L"kept");
    back.dwCoverParts = 2;
    ASSERT_TRUE(ReadFaxInfo(printer_, &back));
    EXPECT_EQ(wcslen(back.szFaxNumber), 127u);
    EXPECT_EQ(back.szFaxNumber[0], L'7');
    EXPECT_EQ(back.bFaxCoverPage, 1);
    EXPECT_STREQ(back.szRecipientName, L"Ann");  // bytes 520..599 of the value hold its start
    EXPECT_STREQ(back.szSenderName, L"kept");
    EXPECT_EQ(back.dwCoverParts, 2u);

    Put(HKEY_CURRENT_USER, kModelPath, L"FaxInfo", REG_BINARY, &fax, 4748);
    ASSERT_TRUE(ReadFaxInfo(printer_, &back));
    EXPECT_EQ(back.dwCoverParts, 5u);
}

TEST_F(WatermarkStore, PrintersOfOneDriverShareTheStore) {
    HANDLE second = spooler_.Add(L"Upstairs", kDriver);
    HANDLE other = spooler_.Add(L"Lab", L"Another Model");
    WatermarkRecord wm = Named(L"Shared");
    ASSERT_TRUE(SaveWatermark(printer_, &wm));
    ASSERT_TRUE(WriteLastUserName(second, L"carol"));
    FaxRecord fax{};
    wcscpy(fax.szFaxNumber, L"123");
    ASSERT_TRUE(WriteFaxInfo(printer_, &fax));

    EXPECT_TRUE(WatermarkExists(second, L"Shared"));
    EXPECT_EQ(CountWatermarks(second), 1);
    WCHAR name[25];
    ASSERT_TRUE(ReadLastUserName(printer_, name, 25));
    EXPECT_STREQ(name, L"carol");
    FaxRecord back{};
    ASSERT_TRUE(ReadFaxInfo(second, &back));
    EXPECT_STREQ(back.szFaxNumber, L"123");

    EXPECT_FALSE(WatermarkExists(other, L"Shared"));
    EXPECT_EQ(CountWatermarks(other), 0);
    EXPECT_FALSE(ReadLastUserName(other, name, 25));
}

}  // namespace
