#include "tests/inboxui/profiles/profilefixture.h"

#include "common/handles.h"
#include "common/text.h"

#include <algorithm>
#include <cstring>

namespace {

using corv::JobSettings;
using corvtest::g_updates;
using namespace corv::ui;

// The core driver's document options as the store meets them: one of each kind it stores, and
// two it must pass over. Each option type has the entries or the range the driver gives it.
struct DriverOptions {
    OPTTYPE types[10] = {};
    OPTPARAM params[10][10] = {};
    OPTPARAM editParams[2] = {};
    WCHAR note[128] = L"Quarterly report";
    WCHAR noteGuard[8] = L"GUARD";  // right after the note's buffer: must never be written
    OPTITEM items[7] = {};

    enum { kDuplex, kResource, kPaper, kNote, kTrack, kButton, kUntyped };

    explicit DriverOptions(DWORD noteCapacity = 128) {
        // Entries: two and three states, list and combo box. Ranges in the second parameter:
        // up-down arrow, track bar, scroll bar.
        const WORD counts[10] = {2, 3, 2, 3, 3, 3, 10, 0, 0, 0};
        const LONG ranges[5][2] = {{0, 0}, {0, 0}, {1, 999}, {-5, 5}, {0, 100}};
        for (BYTE t = 0; t < 10; ++t) {
            types[t].cbSize = sizeof(OPTTYPE);
            types[t].Type = t;
            types[t].Count = counts[t];
            types[t].pOptParam = counts[t] ? params[t] : nullptr;
            if (t >= TVOT_UDARROW && t <= TVOT_SCROLLBAR) {
                params[t][1].IconID = static_cast<ULONG_PTR>(ranges[t][0]);
                params[t][1].lParam = ranges[t][1];
            }
        }
        types[TVOT_EDITBOX].Count = 2;
        types[TVOT_EDITBOX].pOptParam = editParams;
        editParams[1].IconID = noteCapacity;
        Set(kDuplex, 7, L"Duplex", TVOT_LISTBOX, 2);
        Set(kResource, 0, reinterpret_cast<const WCHAR*>(ULONG_PTR{1234}), TVOT_2STATES, 1);
        Set(kPaper, 0, L"Paper Size", TVOT_COMBOBOX, 3);
        Set(kNote, 0, L"Job Note", TVOT_EDITBOX, 0);
        items[kNote].pSel = note;
        Set(kTrack, 0, L"Darkness", TVOT_TRACKBAR, -2);
        Set(kButton, 0, L"Button", TVOT_PUSHBUTTON, 5);
        Set(kUntyped, 0, L"Untyped", 0, 6);
        items[kUntyped].pOptType = nullptr;
    }
    void Set(int i, BYTE dmPubId, const WCHAR* name, BYTE type, LONG sel) {
        items[i].cbSize = sizeof(OPTITEM);
        items[i].DMPubID = dmPubId;
        items[i].pName = const_cast<LPWSTR>(name);
        items[i].pOptType = &types[type];
        if (type != TVOT_EDITBOX) items[i].Sel = sel;
    }
};

class ProfileStore : public corvtest::ProfileStoreTest {
protected:
    DriverOptions options;
    JobSettings working{};

    void SetUp() override {
        ProfileStoreTest::SetUp();
        corv::DefaultRecord(&working);
        corv::CopyText(working.szHoldUserName, L"anna");
        working.dwOutputTo = corv::kOutputConfidential;
        working.lBrightness = 3;
    }
    ProfileSettings Current() { return {options.items, 7, &uiObject, &working}; }
};

TEST_F(ProfileStore, SaveNamesValuesByPublicIdResourceIdOrText) {
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    DWORD n = 0;
    EXPECT_TRUE(ReadNumber(L"Mine", L"7", &n));
    EXPECT_EQ(n, 2u);  // the duplex option overwrote the leading 0
    EXPECT_TRUE(ReadNumber(L"Mine", L"1234", &n));
    EXPECT_EQ(n, 1u);
    EXPECT_TRUE(ReadNumber(L"Mine", L"Paper Size", &n));
    EXPECT_EQ(n, 3u);
    EXPECT_TRUE(ReadNumber(L"Mine", L"Darkness", &n));
    EXPECT_EQ(n, static_cast<DWORD>(-2));

    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadValue(L"Mine", L"Job Note", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data.size(), (wcslen(L"Quarterly report") + 1) * 2);
    EXPECT_STREQ(reinterpret_cast<const WCHAR*>(data.data()), L"Quarterly report");

    ASSERT_TRUE(ReadValue(L"Mine", L"CustomDevData", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(data.size(), sizeof(JobSettings));
    EXPECT_EQ(memcmp(data.data(), &working, sizeof(JobSettings)), 0);

    auto names = ValueNames(L"Mine");
    std::sort(names.begin(), names.end());
    std::vector<std::wstring> expected = {L"1234", L"7", L"CustomDevData", L"Darkness", L"Job Note", L"Paper Size"};
    EXPECT_EQ(names, expected);  // no push button, no option without a type
}

TEST_F(ProfileStore, WithoutAPublicId7TheDuplexValueIsZero) {
    options.items[DriverOptions::kDuplex].DMPubID = 0;
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    DWORD n = 99;
    EXPECT_TRUE(ReadNumber(L"Mine", L"7", &n));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(ReadNumber(L"Mine", L"Duplex", &n));
    EXPECT_EQ(n, 2u);
}

TEST_F(ProfileStore, SaveKeepsValuesItDoesNotRewriteOverwriteDropsThem) {
    DWORD stale = 5;
    WriteValue(L"Mine", L"Stale", REG_DWORD, &stale, 4);
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    DWORD n = 0;
    EXPECT_TRUE(ReadNumber(L"Mine", L"Stale", &n));
    ASSERT_TRUE(OverwriteProfile(printer, L"Mine", Current()));
    EXPECT_FALSE(ReadNumber(L"Mine", L"Stale", &n));
    EXPECT_TRUE(ReadNumber(L"Mine", L"Paper Size", &n));
}

TEST_F(ProfileStore, EditTextIsStoredCutTo127Characters) {
    std::wstring text(140, L'x');
    WCHAR big[200] = {};
    text.copy(big, text.size());
    options.items[DriverOptions::kNote].pSel = big;
    options.editParams[1].IconID = 200;
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadValue(L"Mine", L"Job Note", &type, &data));
    EXPECT_EQ(data.size(), 128u * 2);
    EXPECT_EQ(std::wstring(reinterpret_cast<const WCHAR*>(data.data())), std::wstring(127, L'x'));
}

TEST_F(ProfileStore, LoadRestoresOptionsAndTheRecordAndTellsTheDriver) {
    std::wstring longNote(127, L'n');
    longNote.copy(options.note, 127);
    options.note[127] = 0;
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    const JobSettings saved = working;

    options.items[DriverOptions::kDuplex].Sel = 0;
    options.items[DriverOptions::kResource].Sel = 0;
    options.items[DriverOptions::kPaper].Sel = 9;
    options.items[DriverOptions::kTrack].Sel = 4;
    options.items[DriverOptions::kButton].Sel = 1;
    corv::CopyText(options.note, L"changed");
    corv::JobSettings changed{};
    corv::DefaultRecord(&changed);
    changed.bBlockAppPostScript = 1;  // not part of a profile: survives the load
    working = changed;

    ASSERT_TRUE(LoadProfile(printer, L"Mine", Current()));
    EXPECT_EQ(options.items[DriverOptions::kDuplex].Sel, 2);
    EXPECT_EQ(options.items[DriverOptions::kResource].Sel, 1);
    EXPECT_EQ(options.items[DriverOptions::kPaper].Sel, 3);
    EXPECT_EQ(options.items[DriverOptions::kTrack].Sel, -2);
    EXPECT_EQ(options.items[DriverOptions::kButton].Sel, 1);  // never stored
    EXPECT_EQ(std::wstring(options.note), longNote);
    EXPECT_STREQ(options.noteGuard, L"GUARD");

    for (int i : {DriverOptions::kDuplex, DriverOptions::kResource, DriverOptions::kPaper, DriverOptions::kNote,
                  DriverOptions::kTrack})
        EXPECT_TRUE(options.items[i].Flags & OPTIF_CHANGED) << i;
    EXPECT_FALSE(options.items[DriverOptions::kButton].Flags & OPTIF_CHANGED);

    // One call per restored option, each with previous selection 0 and the document-properties
    // mode; the duplex option is restored once, from "7".
    ASSERT_EQ(g_updates.size(), 5u);
    for (const auto& call : g_updates) {
        EXPECT_EQ(call.uiObject, &uiObject);
        EXPECT_EQ(call.previous, 0u);
        EXPECT_EQ(call.mode, 1u);
    }
    std::vector<void*> told;
    for (const auto& call : g_updates) told.push_back(call.option);
    for (int i : {DriverOptions::kDuplex, DriverOptions::kResource, DriverOptions::kPaper, DriverOptions::kNote,
                  DriverOptions::kTrack})
        EXPECT_EQ(std::count(told.begin(), told.end(), &options.items[i]), 1) << i;

    EXPECT_EQ(working.bBlockAppPostScript, 1);
    working.bBlockAppPostScript = saved.bBlockAppPostScript;
    EXPECT_EQ(memcmp(&working, &saved, offsetof(JobSettings, pad3)), 0);
}

// A profile saved before a driver update removed entries, or edited by hand, must not make the
// driver index past its option's entries.
TEST_F(ProfileStore, LoadSkipsSelectionsTheOptionsDoNotOffer) {
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    DWORD paper = 100000, duplex = 3, darkness = 6, resource = static_cast<DWORD>(-1);
    WriteValue(L"Mine", L"Paper Size", REG_DWORD, &paper, 4);
    WriteValue(L"Mine", L"7", REG_DWORD, &duplex, 4);
    WriteValue(L"Mine", L"Darkness", REG_DWORD, &darkness, 4);
    WriteValue(L"Mine", L"1234", REG_DWORD, &resource, 4);
    options.items[DriverOptions::kPaper].Sel = 5;
    options.items[DriverOptions::kDuplex].Sel = 1;
    options.items[DriverOptions::kTrack].Sel = 4;
    options.items[DriverOptions::kResource].Sel = 0;
    corv::CopyText(options.note, L"changed");

    ASSERT_TRUE(LoadProfile(printer, L"Mine", Current()));
    EXPECT_EQ(options.items[DriverOptions::kPaper].Sel, 5);
    EXPECT_EQ(options.items[DriverOptions::kDuplex].Sel, 1);
    EXPECT_EQ(options.items[DriverOptions::kTrack].Sel, 4);
    EXPECT_EQ(options.items[DriverOptions::kResource].Sel, 0);
    for (int i : {DriverOptions::kPaper, DriverOptions::kDuplex, DriverOptions::kTrack, DriverOptions::kResource})
        EXPECT_FALSE(options.items[i].Flags & OPTIF_CHANGED) << i;
    ASSERT_EQ(g_updates.size(), 1u);  // only the note was restored
    EXPECT_EQ(g_updates[0].option, &options.items[DriverOptions::kNote]);
    EXPECT_STREQ(options.note, L"Quarterly report");
}

TEST(ProfileSelection, WithinTheOptionsEntriesOrRange) {
    DriverOptions options;
    struct Row {
        int item;
        LONG selection;
        bool offered;
    } rows[] = {
        {DriverOptions::kResource, 0, true}, {DriverOptions::kResource, 1, true}, {DriverOptions::kResource, 2, false},
        {DriverOptions::kDuplex, 2, true},   {DriverOptions::kDuplex, 3, false},  {DriverOptions::kPaper, 9, true},
        {DriverOptions::kPaper, -1, false},  {DriverOptions::kPaper, 100000, false},
        {DriverOptions::kTrack, -5, true},   {DriverOptions::kTrack, 5, true},    {DriverOptions::kTrack, -6, false},
        {DriverOptions::kTrack, 6, false},   {DriverOptions::kButton, 0, false},  {DriverOptions::kNote, 0, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SelectionInRange(options.items[row.item], row.selection), row.offered)
            << "item " << row.item << " selection " << row.selection;
    options.types[TVOT_TRACKBAR].Count = 1;  // the range is missing
    EXPECT_FALSE(SelectionInRange(options.items[DriverOptions::kTrack], 0));
    options.types[TVOT_COMBOBOX].pOptParam = nullptr;
    EXPECT_FALSE(SelectionInRange(options.items[DriverOptions::kPaper], 0));
    EXPECT_FALSE(SelectionInRange(options.items[DriverOptions::kUntyped], 0));
}

// The stored record is outside input: it arrives repaired, as the driver's merge repairs one.
TEST_F(ProfileStore, LoadedRecordArrivesRepaired) {
    JobSettings stored = working;
    stored.dwOutputTo = 99;
    stored.wmFirst.dwPosition = 77;
    stored.wmFirst.wIntensity = 0;
    stored.bWatermarks = 5;
    stored.szHoldPin[4] = L'9';  // no terminator
    WriteValue(L"Mine", L"CustomDevData", REG_BINARY, &stored, sizeof stored);

    ASSERT_TRUE(LoadProfile(printer, L"Mine", Current()));
    EXPECT_EQ(working.dwOutputTo, corv::kOutputPrinter);
    EXPECT_EQ(working.wmFirst.dwPosition, 0u);
    EXPECT_EQ(working.wmFirst.wIntensity, 100);
    EXPECT_EQ(working.bWatermarks, 0);
    EXPECT_EQ(working.szHoldPin[4], 0);
    EXPECT_STREQ(working.szHoldUserName, L"anna");  // the rest as stored
    // The profile matches what its load made of the settings.
    EXPECT_TRUE(ProfileMatchesCurrentSettings(printer, L"Mine", Current()));
}

TEST_F(ProfileStore, LoadStaysWithinTheDriversEditBuffer) {
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    DriverOptions small(6);
    ProfileSettings current{small.items, 7, &uiObject, &working};
    ASSERT_TRUE(LoadProfile(printer, L"Mine", current));
    EXPECT_STREQ(small.note, L"Quart");
    EXPECT_EQ(small.note[6], L'r');  // beyond the five characters and the terminator: untouched
}

TEST_F(ProfileStore, LoadLeavesAnEditTextWhoseBufferSizeIsUnknown) {
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    DriverOptions unknown;
    unknown.types[TVOT_EDITBOX].Count = 0;
    corv::CopyText(unknown.note, L"kept");
    ProfileSettings current{unknown.items, 7, &uiObject, &working};
    ASSERT_TRUE(LoadProfile(printer, L"Mine", current));
    EXPECT_STREQ(unknown.note, L"kept");
}

TEST_F(ProfileStore, ValuesOfTheWrongTypeOrSizeAreAbsent) {
    WriteValue(L"Mine", L"Paper Size", REG_SZ, L"3", 4);
    DWORD big[2] = {1, 1};
    WriteValue(L"Mine", L"1234", REG_BINARY, big, 8);
    WriteValue(L"Mine", L"Darkness", REG_DWORD, big, 2);
    WriteValue(L"Mine", L"Job Note", REG_DWORD, big, 4);
    JobSettings other{};
    corv::DefaultRecord(&other);
    WriteValue(L"Mine", L"CustomDevData", REG_BINARY, &other, 4000);

    ASSERT_TRUE(LoadProfile(printer, L"Mine", Current()));
    EXPECT_EQ(options.items[DriverOptions::kPaper].Sel, 3);
    EXPECT_EQ(options.items[DriverOptions::kResource].Sel, 1);
    EXPECT_EQ(options.items[DriverOptions::kTrack].Sel, -2);
    EXPECT_STREQ(options.note, L"Quarterly report");
    EXPECT_TRUE(g_updates.empty());
    EXPECT_EQ(working.dwOutputTo, corv::kOutputConfidential);
    EXPECT_TRUE(ProfileMatchesCurrentSettings(printer, L"Mine", Current()));

    WriteValue(L"Other", L"CUSTOMDEVDATA", REG_BINARY, &other, sizeof(other));  // the name in any case
    EXPECT_FALSE(ProfileMatchesCurrentSettings(printer, L"Other", Current()));
    ASSERT_TRUE(LoadProfile(printer, L"Other", Current()));
    EXPECT_EQ(working.dwOutputTo, corv::kOutputPrinter);
}

TEST_F(ProfileStore, ComparisonFollowsOptionsTextsAndTheRecord) {
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    EXPECT_TRUE(ProfileMatchesCurrentSettings(printer, L"Mine", Current()));

    options.items[DriverOptions::kPaper].Sel = 4;
    EXPECT_FALSE(ProfileMatchesCurrentSettings(printer, L"Mine", Current()));
    options.items[DriverOptions::kPaper].Sel = 3;

    corv::CopyText(options.note, L"quarterly report");
    EXPECT_FALSE(ProfileMatchesCurrentSettings(printer, L"Mine", Current()));
    corv::CopyText(options.note, L"Quarterly report");

    options.items[DriverOptions::kButton].Sel = 0;  // not stored, not compared
    working.fax.dwCoverParts = 1;
    corv::CopyText(working.szAccountNumber, L"12");
    EXPECT_TRUE(ProfileMatchesCurrentSettings(printer, L"Mine", Current()));

    working.lBrightness = -1;
    EXPECT_FALSE(ProfileMatchesCurrentSettings(printer, L"Mine", Current()));
}

TEST_F(ProfileStore, ComparingWithAMissingProfileCreatesItEmptyAndMatches) {
    EXPECT_FALSE(KeyExists(ProfilePath(L"Nobody")));
    EXPECT_TRUE(ProfileMatchesCurrentSettings(printer, L"Nobody", Current()));
    EXPECT_TRUE(KeyExists(ProfilePath(L"Nobody")));
    EXPECT_TRUE(ValueNames(L"Nobody").empty());
}

TEST_F(ProfileStore, ProfilesAreSharedByDriverName) {
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    EXPECT_TRUE(KeyExists(ProfilePath(L"Mine", L"Corvane Model A")));
    EXPECT_FALSE(ProfileExists(otherModel, L"Mine"));
    EXPECT_TRUE(ProfileExists(printer, L"mine"));
    HANDLE sameModel = spooler.Add(L"Lobby", L"Corvane Model A");
    EXPECT_TRUE(ProfileExists(sameModel, L"Mine"));
}

TEST_F(ProfileStore, WithoutTheModelKeyNothingHappens) {
    HANDLE p = unknownPrinter;
    EXPECT_FALSE(SaveProfile(p, L"Mine", Current()));
    EXPECT_FALSE(LoadProfile(p, L"Mine", Current()));
    EXPECT_TRUE(ProfileMatchesCurrentSettings(p, L"Mine", Current()));
    EXPECT_FALSE(ProfileExists(p, L"Mine"));
    EXPECT_EQ(ListProfiles(p, nullptr), 0);
    EXPECT_FALSE(RenameProfile(p, L"Mine", L"Yours"));  // a failure, not a success
    EXPECT_FALSE(DeleteProfile(p, L"Mine"));
    EXPECT_FALSE(OverwriteProfile(p, L"Mine", Current()));
    EXPECT_FALSE(KeyExists(L"Software\\Corvane"));
    EXPECT_TRUE(g_updates.empty());
}

TEST_F(ProfileStore, NamesOf128CharactersOrMoreAreRefusedNotCut) {
    std::wstring longest(127, L'p'), tooLong(128, L'p');
    EXPECT_TRUE(SaveProfile(printer, longest.c_str(), Current()));
    EXPECT_FALSE(SaveProfile(printer, tooLong.c_str(), Current()));
    EXPECT_FALSE(OverwriteProfile(printer, tooLong.c_str(), Current()));
    EXPECT_FALSE(RenameProfile(printer, longest.c_str(), tooLong.c_str()));
    EXPECT_FALSE(DeleteProfile(printer, tooLong.c_str()));
    EXPECT_TRUE(ProfileExists(printer, longest.c_str()));
    EXPECT_FALSE(ProfileExists(printer, tooLong.c_str()));
    EXPECT_EQ(ListProfiles(printer, nullptr), 1);
}

TEST_F(ProfileStore, ReservedNamesInAnyCase) {
    EXPECT_TRUE(IsReservedName(L"Factory Defaults"));
    EXPECT_TRUE(IsReservedName(L"FACTORY defaults"));
    EXPECT_TRUE(IsReservedName(L"<Unknown Profile>"));
    EXPECT_TRUE(IsReservedName(L"<unknown PROFILE>"));
    EXPECT_FALSE(IsReservedName(L"Factory Defaults "));
    EXPECT_FALSE(IsReservedName(L"Unknown Profile"));
    EXPECT_FALSE(IsReservedName(L""));
    EXPECT_FALSE(IsReservedName(nullptr));
}

std::vector<std::wstring> Items(HWND list) {
    std::vector<std::wstring> items;
    int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        WCHAR text[256] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    std::sort(items.begin(), items.end());
    return items;
}

TEST_F(ProfileStore, ListShowsEveryProfileButFactoryDefaults) {
    for (const wchar_t* name : {L"Alpha", L"Factory Defaults", L"Beta", L"A much longer profile name"})
        ASSERT_TRUE(SaveProfile(printer, name, Current()));
    corv::UniqueWindow list(
        CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_HSCROLL | LBS_HASSTRINGS, 0, 0, 200, 200, nullptr,
                                nullptr, nullptr, nullptr));
    ASSERT_TRUE(list.get());
    EXPECT_EQ(ListProfiles(printer, list.get()), 4);
    std::vector<std::wstring> expected = {L"A much longer profile name", L"Alpha", L"Beta"};
    EXPECT_EQ(Items(list.get()), expected);

    HDC dc = GetDC(list.get());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list.get(), WM_GETFONT, 0, 0)));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(list.get(), dc);
    EXPECT_EQ(SendMessageW(list.get(), LB_GETHORIZONTALEXTENT, 0, 0), tm.tmMaxCharWidth * 26);
}

TEST_F(ProfileStore, FactoryDefaultsInAnotherCaseIsListed) {
    ASSERT_TRUE(SaveProfile(printer, L"factory defaults", Current()));
    corv::UniqueWindow list(
        CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_HASSTRINGS, 0, 0, 200, 200, nullptr, nullptr,
                                nullptr, nullptr));
    EXPECT_EQ(ListProfiles(printer, list.get()), 1);
    EXPECT_EQ(Items(list.get()), std::vector<std::wstring>{L"factory defaults"});
}

TEST_F(ProfileStore, ExistsIgnoresCase) {
    EXPECT_FALSE(ProfileExists(printer, L"Mine"));
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    EXPECT_TRUE(ProfileExists(printer, L"Mine"));
    EXPECT_TRUE(ProfileExists(printer, L"MINE"));
    EXPECT_FALSE(ProfileExists(printer, L"Min"));
    EXPECT_FALSE(ProfileExists(printer, L"Mine "));
}

TEST_F(ProfileStore, RenameCopiesEveryValueAndRemovesTheOld) {
    ASSERT_TRUE(SaveProfile(printer, L"Old", Current()));
    const BYTE odd[3] = {1, 2, 3};
    WriteValue(L"Old", L"Foreign", REG_EXPAND_SZ, L"%TEMP%", 14);
    WriteValue(L"Old", L"Odd", REG_BINARY, odd, 3);
    std::vector<BYTE> big(20000, 0x42);  // larger than any value of ours: copied all the same
    WriteValue(L"Old", L"Big", REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
    auto before = ValueNames(L"Old");

    ASSERT_TRUE(RenameProfile(printer, L"Old", L"New"));
    EXPECT_FALSE(KeyExists(ProfilePath(L"Old")));
    auto after = ValueNames(L"New");
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadValue(L"New", L"Foreign", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_STREQ(reinterpret_cast<const WCHAR*>(data.data()), L"%TEMP%");
    ASSERT_TRUE(ReadValue(L"New", L"Big", &type, &data));
    EXPECT_EQ(data, big);
    EXPECT_TRUE(ProfileMatchesCurrentSettings(printer, L"New", Current()));
}

TEST_F(ProfileStore, RenameReportsAFailedDeleteAndKeepsTheOld) {
    ASSERT_TRUE(SaveProfile(printer, L"Old", Current()));
    HKEY child = nullptr;  // a key with a subkey cannot be deleted as one key
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (ProfilePath(L"Old") + L"\\Child").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &child, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(child);
    EXPECT_FALSE(RenameProfile(printer, L"Old", L"New"));
    EXPECT_TRUE(KeyExists(ProfilePath(L"Old")));
}

TEST_F(ProfileStore, RenameOntoTheSameKeyIsRefused) {
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    EXPECT_FALSE(RenameProfile(printer, L"Mine", L"MINE"));
    EXPECT_TRUE(ProfileExists(printer, L"Mine"));
    EXPECT_EQ(ValueNames(L"Mine").size(), 6u);
}

TEST_F(ProfileStore, DeleteRemovesOnlyThatProfile) {
    ASSERT_TRUE(SaveProfile(printer, L"One", Current()));
    ASSERT_TRUE(SaveProfile(printer, L"Two", Current()));
    EXPECT_TRUE(DeleteProfile(printer, L"one"));
    EXPECT_FALSE(ProfileExists(printer, L"One"));
    EXPECT_TRUE(ProfileExists(printer, L"Two"));
    EXPECT_FALSE(DeleteProfile(printer, L"One"));
    EXPECT_FALSE(DeleteProfile(printer, L""));  // would name the Profiles key itself
    EXPECT_FALSE(DeleteProfile(printer, nullptr));
    EXPECT_TRUE(ProfileExists(printer, L"Two"));
}

TEST_F(ProfileStore, AFailedChangeKeepsTheProfileASuccessfulOneLeavesNothingAside) {
    options.items[DriverOptions::kPaper].Sel = 2;
    ASSERT_TRUE(SaveProfile(printer, L"Mine", Current()));
    ProfileSettings broken = Current();
    broken.workingCopy = nullptr;  // the save cannot be made
    options.items[DriverOptions::kPaper].Sel = 0;
    EXPECT_FALSE(OverwriteProfile(printer, L"Mine", broken));
    DWORD n = 99;
    EXPECT_TRUE(ReadNumber(L"Mine", L"Paper Size", &n));
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(ValueNames(L"Mine").size(), 6u);

    ASSERT_TRUE(OverwriteProfile(printer, L"Mine", Current()));
    EXPECT_TRUE(ReadNumber(L"Mine", L"Paper Size", &n));
    EXPECT_EQ(n, 0u);
    corv::UniqueWindow list(
        CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ListProfiles(printer, list.get()), 1);  // only "Mine": nothing left aside
}

TEST_F(ProfileStore, AProfileSavedWithoutTheDriversOptionsLeavesThemAlone) {
    ProfileSettings early = Current();
    early.options = nullptr;  // the driver's page has not given its list yet
    early.optionCount = 0;
    ASSERT_TRUE(SaveProfile(printer, L"Early", early));
    options.items[DriverOptions::kDuplex].Sel = 1;
    working.lBrightness = -4;
    ASSERT_TRUE(LoadProfile(printer, L"Early", Current()));
    EXPECT_EQ(options.items[DriverOptions::kDuplex].Sel, 1);  // not the 0 every save writes first
    EXPECT_EQ(working.lBrightness, 3);                         // the record still comes back
    EXPECT_TRUE(g_updates.empty());
    EXPECT_TRUE(ProfileMatchesCurrentSettings(printer, L"Early", Current()));

    // With the driver's options saved, "7" is the duplex option's own and is loaded.
    options.items[DriverOptions::kDuplex].Sel = 0;
    ASSERT_TRUE(SaveProfile(printer, L"Later", Current()));
    options.items[DriverOptions::kDuplex].Sel = 1;
    EXPECT_FALSE(ProfileMatchesCurrentSettings(printer, L"Later", Current()));
    ASSERT_TRUE(LoadProfile(printer, L"Later", Current()));
    EXPECT_EQ(options.items[DriverOptions::kDuplex].Sel, 0);
}

}  // namespace
