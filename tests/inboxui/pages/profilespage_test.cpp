// The Profiles page and its name dialogs: the button table and the name rules as numbers, then
// the real page in a real modeless property sheet over a scratch registry, with message boxes and
// the name dialog answered or driven by the page kit.
#include "plug-in/inboxui/pages/profilespage.h"

#include "common/text.h"
#include "plug-in/inboxui/core/pagetable.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "plug-in/inboxui/profiles/store.h"
#include "plug-in/inboxui/resources/ids.h"
#include "tests/inboxui/profiles/profilefixture.h"
#include "tests/support/pagekit/modal.h"
#include "tests/support/pagekit/patches.h"
#include "tests/support/pagekit/sheethost.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace corv::ui {
namespace {

// ---- The rules --------------------------------------------------------------------------------

TEST(ProfileRules, ButtonTable) {
    struct Case {
        ProfileListState state;
        bool loadChange, renameDelete, factory;
    } cases[] = {
        {{true, false, true, false}, true, true, true},    // another item than the loaded one
        {{true, true, true, false}, false, false, true},   // the loaded item itself
        {{false, false, true, true}, true, false, false},  // nothing selected, Factory Defaults listed
        {{false, false, false, true}, false, false, false},
        {{false, false, true, false}, false, false, true},
        {{true, false, false, true}, true, true, false},
    };
    for (const Case& c : cases) {
        ProfileButtons b = ProfileButtonsFor(c.state);
        EXPECT_TRUE(b.save);
        EXPECT_EQ(b.loadChange, c.loadChange);
        EXPECT_EQ(b.renameDelete, c.renameDelete);
        EXPECT_EQ(b.factory, c.factory);
    }
}

struct ExistsProbe {
    std::vector<std::wstring> asked;
    static bool Ask(const WCHAR* name, void* self) {
        static_cast<ExistsProbe*>(self)->asked.push_back(name);
        return std::wstring(name) == L"Taken";
    }
};

TEST(ProfileRules, NameRulesInOrderExistenceLast) {
    ExistsProbe probe;
    auto check = [&](const WCHAR* name) { return ProfileNameViolation(name, &ExistsProbe::Ask, &probe); };
    EXPECT_EQ(check(L"Factory Defaults "), static_cast<UINT>(IDS_PROFILE_ERR_TRAILING_SPACE));
    EXPECT_EQ(check(L"fACTORY dEFAULTS"), static_cast<UINT>(IDS_PROFILE_ERR_RESERVED));
    EXPECT_EQ(check(L"<unknown profile>"), static_cast<UINT>(IDS_PROFILE_ERR_RESERVED));
    EXPECT_EQ(check(L"a.b"), static_cast<UINT>(IDS_PROFILE_ERR_CHARACTERS));
    EXPECT_EQ(check(L"a/b"), static_cast<UINT>(IDS_PROFILE_ERR_CHARACTERS));
    EXPECT_EQ(check(L"a\\b"), static_cast<UINT>(IDS_PROFILE_ERR_CHARACTERS));
    EXPECT_TRUE(probe.asked.empty());  // the registry is asked only when the name itself is fine
    EXPECT_EQ(check(L"Taken"), static_cast<UINT>(IDS_PROFILE_ERR_EXISTS));
    EXPECT_EQ(check(L" 100% mine"), 0u);
    EXPECT_EQ(probe.asked, (std::vector<std::wstring>{L"Taken", L" 100% mine"}));
}

TEST(ProfileRules, OkNeedsANameAndForRenameADifferentOne) {
    EXPECT_FALSE(NameAcceptable(L"", nullptr));
    EXPECT_FALSE(NameAcceptable(L" \t", nullptr));
    EXPECT_TRUE(NameAcceptable(L"a ", nullptr));
    EXPECT_FALSE(NameAcceptable(L"Alpha", L"Alpha"));
    EXPECT_FALSE(NameAcceptable(L"ALPHA  ", L"Alpha"));
    EXPECT_FALSE(NameAcceptable(L"   ", L"Alpha"));
    EXPECT_TRUE(NameAcceptable(L"Alpha2", L"Alpha"));
    WCHAR text[] = L"Gamma  ";
    StripTrailingSpaces(text);
    EXPECT_STREQ(text, L"Gamma");
}

// ---- The page in a sheet ----------------------------------------------------------------------

const PageRow& ProfilesRow() {
    size_t count = 0;
    const PageRow* rows = DocumentPageTable(&count);
    for (size_t i = 0; i < count; ++i)
        if (rows[i].templateId == IDD_PROFILES) return rows[i];
    static const PageRow none{};
    return none;
}

std::wstring Text(HWND dialog, int id) {
    WCHAR text[256] = {};
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

// Counts PSM_CHANGED arriving at the sheet.
struct ChangedCount {
    int count = 0;
    HWND sheet;
    explicit ChangedCount(HWND s) : sheet(s) { SetWindowSubclass(sheet, &Proc, 13, reinterpret_cast<DWORD_PTR>(this)); }
    ~ChangedCount() { RemoveWindowSubclass(sheet, &Proc, 13); }
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        if (m == PSM_CHANGED) ++reinterpret_cast<ChangedCount*>(self)->count;
        return DefSubclassProc(w, m, wp, lp);
    }
};

class ProfilesPageTest : public corvtest::ProfileStoreTest {
protected:
    corvtest::MessageBoxes boxes;
    corvtest::NestedDialogs nested;
    // Two driver options: the duplex list (public id 7) and a paper combo named by its text.
    OPTPARAM params[2][3] = {};
    OPTTYPE types[2] = {};
    OPTITEM items[2] = {};
    OEMUIPSPARAM params_{};
    JobSettings driverRecord{};
    std::unique_ptr<SheetContext> context = std::make_unique<SheetContext>();
    std::unique_ptr<corvtest::SheetHost> host;
    HWND page = nullptr;

    void SetUp() override {
        ProfileStoreTest::SetUp();
        ASSERT_TRUE(boxes.active() && nested.active());
        for (int i = 0; i < 2; ++i) {
            types[i].cbSize = sizeof(OPTTYPE);
            types[i].Type = i == 0 ? TVOT_LISTBOX : TVOT_COMBOBOX;
            types[i].Count = 3;
            types[i].pOptParam = params[i];
            items[i].cbSize = sizeof(OPTITEM);
            items[i].pOptType = &types[i];
        }
        items[0].DMPubID = 7;
        items[0].pName = const_cast<LPWSTR>(L"Duplex");
        items[1].pName = const_cast<LPWSTR>(L"Paper Size");
        ASSERT_TRUE(DefaultRecord(&driverRecord));
        *context = SheetContext{};
        context->working = driverRecord;
        params_.cbSize = sizeof params_;
        params_.hPrinter = printer;
        params_.poemuiobj = &uiObject;
        params_.pOEMDM = &driverRecord;
        context->pageParams = &params_;
        context->driverItems = items;
        context->driverItemCount = 2;
    }
    void TearDown() override { host.reset(); }

    ProfileSettings Current() { return {items, 2, &uiObject, &context->working}; }
    // A profile holding these settings, then the settings put back as they were.
    void Store(const WCHAR* name, LONG duplex, LONG paper, LONG brightness) {
        LONG d = items[0].Sel, p = items[1].Sel, b = context->working.lBrightness;
        items[0].Sel = duplex;
        items[1].Sel = paper;
        context->working.lBrightness = brightness;
        ASSERT_TRUE(SaveProfile(printer, name, Current()));
        items[0].Sel = d;
        items[1].Sel = p;
        context->working.lBrightness = b;
    }

    void Open() {
        ASSERT_NE(ProfilesRow().procedure, nullptr);
        host = std::make_unique<corvtest::SheetHost>();
        host->Add(ProfilesRow(), context.get());
        page = host->ShowWithBlankPage();
        ASSERT_TRUE(page);
    }

    HWND Item(int id) const { return GetDlgItem(page, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    std::wstring Loaded() const { return Text(page, IDC_PROFILE_LOADED); }
    std::vector<std::wstring> Listed() const {
        std::vector<std::wstring> names;
        LRESULT n = SendMessageW(Item(IDC_PROFILE_LIST), LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            WCHAR text[128] = {};
            SendMessageW(Item(IDC_PROFILE_LIST), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            names.emplace_back(text);
        }
        return names;
    }
    std::wstring Selected() const {
        LRESULT i = SendMessageW(Item(IDC_PROFILE_LIST), LB_GETCURSEL, 0, 0);
        if (i == LB_ERR) return L"(none)";
        WCHAR text[128] = {};
        SendMessageW(Item(IDC_PROFILE_LIST), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        return text;
    }
    void Select(const wchar_t* name) {
        LRESULT i = SendMessageW(Item(IDC_PROFILE_LIST), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(name));
        ASSERT_NE(i, LB_ERR);
        corvtest::SelectListItem(page, IDC_PROFILE_LIST, static_cast<int>(i));
    }
    void Click(int id) {
        corvtest::Click(page, id);
        corvtest::SheetHost::Pump();
    }
    // Load, Change, Rename, Delete as they stand.
    std::vector<bool> ProfileButtonsShown() const {
        return {Enabled(IDC_PROFILE_LOAD), Enabled(IDC_PROFILE_CHANGE), Enabled(IDC_PROFILE_RENAME),
                Enabled(IDC_PROFILE_DELETE)};
    }
    LONG StoredBrightness(const std::wstring& name) {
        DWORD type = 0;
        std::vector<BYTE> data;
        if (!ReadValue(name, L"CustomDevData", &type, &data) || data.size() != sizeof(JobSettings)) return -99;
        return reinterpret_cast<const JobSettings*>(data.data())->lBrightness;
    }
};

TEST_F(ProfilesPageTest, OpensOnTheRecordsProfileAndTheButtonsFollowTheSelection) {
    Store(L"Factory Defaults", 0, 0, 0);
    Store(L"Alpha", 0, 0, context->working.lBrightness);  // the settings the sheet opens with
    Store(L"beta", 0, 1, 0);
    CopyText(driverRecord.szProfileName, L"ALPHA");
    Open();
    EXPECT_EQ(Listed(), (std::vector<std::wstring>{L"Alpha", L"beta"}));
    EXPECT_EQ(Selected(), L"Alpha");
    EXPECT_EQ(Loaded(), L"Alpha");
    EXPECT_TRUE(Enabled(IDC_PROFILE_SAVE));
    EXPECT_TRUE(Enabled(IDC_PROFILE_FACTORY));
    EXPECT_EQ(ProfileButtonsShown(), (std::vector<bool>{false, false, false, false}));
    Select(L"beta");
    EXPECT_EQ(ProfileButtonsShown(), (std::vector<bool>{true, true, true, true}));
}

TEST_F(ProfilesPageTest, AChangeOnAnotherPageMakesTheProfileUnknown) {
    Store(L"Factory Defaults", 0, 0, context->working.lBrightness);
    Open();
    EXPECT_EQ(Loaded(), L"Factory Defaults");
    EXPECT_FALSE(Enabled(IDC_PROFILE_FACTORY));
    ASSERT_TRUE(host->select(1));
    ASSERT_TRUE(host->select(0));
    EXPECT_EQ(Loaded(), L"Factory Defaults");  // nothing changed: still the stored settings
    ASSERT_TRUE(host->select(1));
    context->working.lBrightness += 2;         // as the colour page stores it when it is left
    ASSERT_TRUE(host->select(0));
    EXPECT_EQ(Loaded(), L"<Unknown Profile>");
    EXPECT_TRUE(Enabled(IDC_PROFILE_FACTORY));

    Click(IDC_PROFILE_FACTORY);
    EXPECT_EQ(context->working.lBrightness, driverRecord.lBrightness);
    EXPECT_STREQ(driverRecord.szProfileName, L"Factory Defaults");
    EXPECT_EQ(driverRecord.bProfileLoaded, 1);
    EXPECT_EQ(Loaded(), L"Factory Defaults");
}

TEST_F(ProfilesPageTest, AMissingProfileNeverMatchesAndIsNotCreated) {
    Open();  // no "Factory Defaults" stored: the driver's page was never shown
    EXPECT_EQ(Loaded(), L"<Unknown Profile>");
    EXPECT_FALSE(KeyExists(ProfilePath(L"Factory Defaults")));
    ASSERT_TRUE(host->apply());
    EXPECT_STREQ(driverRecord.szProfileName, L"<Unknown Profile>");
    EXPECT_EQ(context->applied, 1u);

    // Loading it changes nothing and leaves no empty key behind.
    context->working.lBrightness = 5;
    Click(IDC_PROFILE_FACTORY);
    EXPECT_EQ(context->working.lBrightness, 5);
    EXPECT_FALSE(KeyExists(ProfilePath(L"Factory Defaults")));
}

TEST_F(ProfilesPageTest, LoadRestoresTheProfileAndApplyNamesIt) {
    Store(L"Alpha", 1, 2, 4);
    Store(L"Beta", 0, 1, 0);
    Open();
    ChangedCount changed(host->sheet());
    Select(L"Alpha");
    Click(IDC_PROFILE_LOAD);
    EXPECT_EQ(items[0].Sel, 1);
    EXPECT_EQ(items[1].Sel, 2);
    EXPECT_EQ(context->working.lBrightness, 4);
    EXPECT_STREQ(driverRecord.szProfileName, L"Alpha");
    EXPECT_EQ(driverRecord.bProfileLoaded, 1);
    EXPECT_EQ(Loaded(), L"Alpha");
    EXPECT_EQ(changed.count, 1);
    EXPECT_EQ(ProfileButtonsShown(), (std::vector<bool>{false, false, false, false}));
    ASSERT_EQ(corvtest::g_updates.size(), 2u);  // the driver hears of both options

    CopyText(driverRecord.szProfileName, L"");
    ASSERT_TRUE(host->apply());
    EXPECT_STREQ(driverRecord.szProfileName, L"Alpha");
    EXPECT_EQ(driverRecord.lBrightness, 4);
}

TEST_F(ProfilesPageTest, LoadAndChangeWithoutASelectionDoNothing) {
    // "factory defaults" in another case is listed, and stands for the loaded "Factory Defaults":
    // the table turns Load and Change on with nothing selected.
    Store(L"factory defaults", 1, 1, 3);
    Open();
    SendMessageW(Item(IDC_PROFILE_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetDlgItemTextW(page, IDC_PROFILE_LOADED, L"Factory Defaults");
    corvtest::SelectListItem(page, IDC_PROFILE_LIST, -1);
    ASSERT_TRUE(Enabled(IDC_PROFILE_LOAD));
    ASSERT_TRUE(Enabled(IDC_PROFILE_CHANGE));
    boxes.answers.push_back(IDYES);
    Click(IDC_PROFILE_LOAD);
    Click(IDC_PROFILE_CHANGE);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(items[0].Sel, 0);
    EXPECT_STREQ(driverRecord.szProfileName, L"");
    EXPECT_EQ(StoredBrightness(L"factory defaults"), 3);
}

TEST_F(ProfilesPageTest, SaveRefusesEachBadNameWithItsMessageInOrder) {
    Store(L"Beta", 0, 0, 0);
    Open();
    context->working.lBrightness = 2;
    std::vector<bool> okOn;
    nested.drive([&](HWND dialog) {
        okOn.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE);
        for (const wchar_t* name : {L"Ends ", L"factory DEFAULTS", L"a.b", L"bETA", L"100% mine"}) {
            corvtest::Type(dialog, IDC_PROFILE_NAME, name);
            okOn.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE);
            corvtest::Click(dialog, IDOK);
        }
    });
    Click(IDC_PROFILE_SAVE);
    ASSERT_EQ(nested.calls.size(), 1u);
    EXPECT_EQ(nested.calls[0].templateId, static_cast<UINT>(IDD_PROFILE_NAME));
    EXPECT_EQ(nested.calls[0].result, IDOK);
    EXPECT_EQ(okOn, (std::vector<bool>{false, true, true, true, true, true}));
    ASSERT_EQ(boxes.shown.size(), 4u);
    EXPECT_EQ(boxes.shown[0].text,
              L"The name of the profile can not end in a space.  Please enter a name that does not end with spaces.");
    EXPECT_EQ(boxes.shown[1].text,
              L"The name of the profile can not be either \"Factory Defaults\" or \"<Unknown Profile>.\"  Please enter "
              L"another name.");
    EXPECT_EQ(boxes.shown[2].text,
              L"You can not save a profile with a period, slash, or back slash in the name.  Please enter a name "
              L"without those characters.");
    EXPECT_EQ(boxes.shown[3].text, L"\"bETA\" is already being used for another Personal Profile. Please use a new name.");
    for (const auto& box : boxes.shown) {
        EXPECT_EQ(box.caption, L"Personal Profiles");
        EXPECT_EQ(box.icon(), static_cast<UINT>(MB_ICONERROR));
    }
    EXPECT_EQ(StoredBrightness(L"100% mine"), 2);
    EXPECT_EQ(Listed(), (std::vector<std::wstring>{L"100% mine", L"Beta"}));
    EXPECT_EQ(Selected(), L"100% mine");
    EXPECT_EQ(Loaded(), L"100% mine");
    EXPECT_FALSE(KeyExists(ProfilePath(L"Ends ")));
}

TEST_F(ProfilesPageTest, CancelledSaveStoresNothing) {
    Open();
    nested.drive([](HWND dialog) {
        corvtest::Type(dialog, IDC_PROFILE_NAME, L"Kept out");
        corvtest::Click(dialog, IDCANCEL);
    });
    Click(IDC_PROFILE_SAVE);
    EXPECT_EQ(context->dialogResult, 2u);
    EXPECT_FALSE(KeyExists(ProfilePath(L"Kept out")));
    EXPECT_TRUE(Listed().empty());
}

TEST_F(ProfilesPageTest, RenameNeedsADifferentNameAndMovesTheValues) {
    Store(L"Alpha", 1, 2, 4);
    Store(L"Beta", 0, 0, 0);
    Open();
    Select(L"Alpha");
    std::vector<bool> okOn;
    std::wstring shown;
    nested.drive([&](HWND dialog) {
        shown = Text(dialog, IDC_PROFILE_NAME);
        okOn.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE);
        for (const wchar_t* name : {L"ALPHA", L"alpha  ", L"Gamma  "}) {
            corvtest::Type(dialog, IDC_PROFILE_NAME, name);
            okOn.push_back(IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE);
        }
        corvtest::Click(dialog, IDOK);  // as typed, the name ends in spaces
        corvtest::Type(dialog, IDC_PROFILE_NAME, L"beta");
        corvtest::Click(dialog, IDOK);
        corvtest::Type(dialog, IDC_PROFILE_NAME, L"Gamma");
        corvtest::Click(dialog, IDOK);
    });
    Click(IDC_PROFILE_RENAME);
    EXPECT_EQ(shown, L"Alpha");
    EXPECT_EQ(okOn, (std::vector<bool>{false, false, false, true}));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_NE(boxes.shown[0].text.find(L"can not end in a space"), std::wstring::npos);
    EXPECT_NE(boxes.shown[1].text.find(L"\"beta\" is already being used"), std::wstring::npos);
    EXPECT_FALSE(KeyExists(ProfilePath(L"Alpha")));
    EXPECT_EQ(StoredBrightness(L"Gamma"), 4);
    EXPECT_EQ(Listed(), (std::vector<std::wstring>{L"Beta", L"Gamma"}));
    EXPECT_EQ(Selected(), L"Gamma");
}

TEST_F(ProfilesPageTest, ChangeAndDeleteAskFirst) {
    Store(L"Alpha", 1, 2, 4);
    Store(L"Beta", 0, 0, 0);
    Open();
    Select(L"Beta");
    context->working.lBrightness = -3;
    boxes.answers = {IDNO, IDYES};
    Click(IDC_PROFILE_CHANGE);
    EXPECT_EQ(StoredBrightness(L"Beta"), 0);
    Click(IDC_PROFILE_CHANGE);
    EXPECT_EQ(StoredBrightness(L"Beta"), -3);
    EXPECT_EQ(Loaded(), L"Beta");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text,
              L"Are you sure that you want to save your current settings into the existing \"Beta\" personal profile?");
    EXPECT_EQ(boxes.shown[1].caption, L"Personal Profiles");
    EXPECT_EQ(boxes.shown[1].icon(), static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_EQ(boxes.shown[1].buttons(), static_cast<UINT>(MB_YESNO));

    Select(L"Beta");
    boxes.answers = {IDNO, IDYES};
    Click(IDC_PROFILE_DELETE);
    EXPECT_TRUE(KeyExists(ProfilePath(L"Beta")));
    EXPECT_EQ(Loaded(), L"Beta");
    Click(IDC_PROFILE_DELETE);
    EXPECT_FALSE(KeyExists(ProfilePath(L"Beta")));
    EXPECT_EQ(boxes.shown.back().text, L"Are you sure that you want to delete the \"Beta\" personal profile?");
    EXPECT_EQ(boxes.shown.back().icon(), static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_EQ(Listed(), (std::vector<std::wstring>{L"Alpha"}));
    EXPECT_EQ(Selected(), L"Alpha");
    EXPECT_EQ(Loaded(), L"<Unknown Profile>");
}

TEST_F(ProfilesPageTest, NamesWithPercentSignsAreShownNotFormatted) {
    Store(L"%s%n%x", 0, 0, 0);
    Open();
    Select(L"%s%n%x");
    boxes.answers = {IDNO};
    Click(IDC_PROFILE_DELETE);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Are you sure that you want to delete the \"%s%n%x\" personal profile?");
}

TEST_F(ProfilesPageTest, WithoutPermissionEveryControlStaysOff) {
    Store(L"Alpha", 1, 2, 4);
    context->noPermission = 1;
    Open();
    Select(L"Alpha");
    for (int id : {IDC_PROFILE_LIST, IDC_PROFILE_SAVE, IDC_PROFILE_LOAD, IDC_PROFILE_FACTORY, IDC_PROFILE_DELETE})
        EXPECT_FALSE(Enabled(id)) << id;
    ASSERT_TRUE(host->select(1));
    ASSERT_TRUE(host->select(0));
    EXPECT_FALSE(Enabled(IDC_PROFILE_SAVE));
}

}  // namespace
}  // namespace corv::ui
