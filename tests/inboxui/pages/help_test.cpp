#include "plug-in/inboxui/pages/help.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using corv::ui::FindHelpEntry;
using corv::ui::HelpKind;
using corv::ui::HelpKindOf;

// A dependent-files list: the entries one after another, ended by an empty string.
std::wstring FileList(std::initializer_list<std::wstring> entries) {
    std::wstring list;
    for (const auto& e : entries) {
        list += e;
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}

TEST(HelpFileSearch, FirstChmOrHlpEntryInLowerCase) {
    std::wstring list = FileList({L"C:\\Drv\\CORVUI.DLL", L"C:\\Drv\\Corv.CHM", L"C:\\Drv\\corv.hlp"});
    DWORD size = 0;
    EXPECT_TRUE(FindHelpEntry(list.c_str(), nullptr, 0, &size));
    std::wstring expected = L"c:\\drv\\corv.chm";
    EXPECT_EQ(size, expected.size() * 2 + 2);
    std::wstring buffer(size / 2, L'?');
    EXPECT_TRUE(FindHelpEntry(list.c_str(), buffer.data(), size / 2, &size));
    EXPECT_STREQ(buffer.c_str(), expected.c_str());
}

TEST(HelpFileSearch, HlpCountsAnywhereInTheName) {
    std::wstring list = FileList({L"a.dll", L"notes.hlp.txt", L"b.chm"});
    WCHAR buffer[64] = {};
    DWORD size = 0;
    EXPECT_TRUE(FindHelpEntry(list.c_str(), buffer, 64, &size));
    EXPECT_STREQ(buffer, L"notes.hlp.txt");
    EXPECT_EQ(size, 28u);
}

TEST(HelpFileSearch, NoHelpEntryReportsNothing) {
    std::wstring list = FileList({L"a.dll", L"b.ppd", L"chm.txt"});
    DWORD size = 99;
    WCHAR buffer[8] = L"keep";
    EXPECT_FALSE(FindHelpEntry(list.c_str(), buffer, 8, &size));
    EXPECT_EQ(size, 0u);
    EXPECT_STREQ(buffer, L"keep");
    EXPECT_FALSE(FindHelpEntry(nullptr, buffer, 8, &size));
    EXPECT_FALSE(FindHelpEntry(L"\0", buffer, 8, &size));
}

TEST(HelpFileSearch, SmallBufferGetsACutCopyButTheFullSize) {
    std::wstring list = FileList({L"HELP.CHM"});
    WCHAR buffer[5] = {};
    DWORD size = 0;
    EXPECT_TRUE(FindHelpEntry(list.c_str(), buffer, 5, &size));
    EXPECT_STREQ(buffer, L"help");
    EXPECT_EQ(size, 18u);
}

TEST(HelpFileSearch, EntriesOf260CharactersOrMoreArePassedOver) {
    std::wstring tooLong = L"C:\\" + std::wstring(253, L'x') + L".chm";  // 260 characters
    std::wstring longest = L"C:\\" + std::wstring(252, L'y') + L".CHM";  // 259 characters
    ASSERT_EQ(tooLong.size(), 260u);
    std::wstring huge = std::wstring(5000, L'z') + L".hlp";

    WCHAR buffer[300] = {};
    DWORD size = 0;
    std::wstring list = FileList({huge, tooLong, L"after.hlp"});
    EXPECT_TRUE(FindHelpEntry(list.c_str(), buffer, 300, &size));
    EXPECT_STREQ(buffer, L"after.hlp");

    list = FileList({tooLong, longest});
    EXPECT_TRUE(FindHelpEntry(list.c_str(), buffer, 300, &size));
    EXPECT_EQ(std::wstring(buffer), L"c:\\" + std::wstring(252, L'y') + L".chm");
    EXPECT_EQ(size, 259u * 2 + 2);

    list = FileList({huge, tooLong});
    EXPECT_FALSE(FindHelpEntry(list.c_str(), buffer, 300, &size));
    EXPECT_EQ(size, 0u);
}

TEST(HelpKinds, ChmBeforeHlpAndNothingElse) {
    EXPECT_EQ(HelpKindOf(L"c:\\d\\corv.chm"), HelpKind::Html);
    EXPECT_EQ(HelpKindOf(L"c:\\d\\corv.hlp.chm"), HelpKind::Html);
    EXPECT_EQ(HelpKindOf(L"c:\\d\\corv.hlp"), HelpKind::Classic);
    EXPECT_EQ(HelpKindOf(L"c:\\d\\corv.txt"), HelpKind::None);
    EXPECT_EQ(HelpKindOf(nullptr), HelpKind::None);
}

RECT Rect(LONG l, LONG t, LONG r, LONG b) { return {l, t, r, b}; }

TEST(BesideHelpArithmetic, NarrowSheetIsCentredLeftOfTheMiddle) {
    auto placed = corv::ui::ArrangeBesideHelp(Rect(300, 40, 700, 540), Rect(0, 0, 1024, 768));
    EXPECT_EQ(placed.sheet.left, 112);
    EXPECT_EQ(placed.sheet.right, 512);
    EXPECT_EQ(placed.sheet.top, 40);
    EXPECT_EQ(placed.sheet.bottom, 540);
    EXPECT_EQ(placed.help.left, 512);
    EXPECT_EQ(placed.help.right, 912);
    EXPECT_EQ(placed.help.top, 40);
    EXPECT_EQ(placed.help.bottom, 540);
}

TEST(BesideHelpArithmetic, WideSheetStartsAtZeroAndHelpStopsAtTheDesktop) {
    auto placed = corv::ui::ArrangeBesideHelp(Rect(50, 10, 650, 410), Rect(0, 0, 1024, 768));
    EXPECT_EQ(placed.sheet.left, 0);
    EXPECT_EQ(placed.sheet.right, 600);
    EXPECT_EQ(placed.help.left, 600);
    EXPECT_EQ(placed.help.right, 1024);
    EXPECT_EQ(placed.help.top, 10);
    EXPECT_EQ(placed.help.bottom, 410);
}

TEST(BesideHelpArithmetic, OddDesktopWidthHalvesDownward) {
    auto placed = corv::ui::ArrangeBesideHelp(Rect(0, 0, 100, 50), Rect(0, 0, 1025, 768));
    EXPECT_EQ(placed.sheet.left, 412);
    EXPECT_EQ(placed.help.right, 612);
}

struct TopWindow {
    HWND hwnd;
    TopWindow(int x, int w) {
        hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, x, 30, w, 200, nullptr, nullptr, nullptr, nullptr);
    }
    ~TopWindow() { DestroyWindow(hwnd); }
    RECT Normal() const {
        WINDOWPLACEMENT wp{sizeof(wp)};
        GetWindowPlacement(hwnd, &wp);
        return wp.rcNormalPosition;
    }
};

TEST(BesideHelpWindows, BothWindowsAreMovedAndShown) {
    TopWindow sheet(20, 300), help(700, 50);
    ASSERT_TRUE(sheet.hwnd && help.hwnd);
    WINDOWPLACEMENT desktop{sizeof(desktop)};
    ASSERT_TRUE(GetWindowPlacement(GetDesktopWindow(), &desktop));
    LONG half = (desktop.rcNormalPosition.right - desktop.rcNormalPosition.left) / 2;
    ASSERT_GT(half, 300);

    corv::ui::PlaceBesideHelp(sheet.hwnd, help.hwnd);

    RECT s = sheet.Normal(), h = help.Normal();
    EXPECT_EQ(s.left, half - 300);
    EXPECT_EQ(s.right, half);
    EXPECT_EQ(s.top, 30);
    EXPECT_EQ(s.bottom, 230);
    EXPECT_EQ(h.left, half);
    EXPECT_EQ(h.right, std::min<LONG>(half + 300, desktop.rcNormalPosition.right));
    EXPECT_EQ(h.top, 30);
    EXPECT_EQ(h.bottom, 230);
    EXPECT_TRUE(IsWindowVisible(sheet.hwnd));
    EXPECT_TRUE(IsWindowVisible(help.hwnd));
}

// ShowHelp with stand-in viewers: what it asks of them and where the windows end up.
struct Viewers {
    struct Call {
        HWND window;
        std::wstring file;
        UINT command;
        ULONG_PTR data;
    };
    static inline std::vector<Call> html, classic;
    static inline HWND helpWindow = nullptr;
    static inline bool bound = true;

    static HWND WINAPI Html(HWND caller, const WCHAR* file, UINT command, DWORD_PTR data) {
        html.push_back({caller, file, command, data});
        return helpWindow;
    }
    static corv::ui::HtmlHelpFn Entry() { return bound ? &Html : nullptr; }
    static BOOL WINAPI Classic(HWND window, LPCWSTR file, UINT command, ULONG_PTR data) {
        classic.push_back({window, file, command, data});
        return TRUE;
    }
    Viewers() {
        html.clear();
        classic.clear();
        helpWindow = nullptr;
        bound = true;
    }
    const corv::ui::HelpViewers viewers{&Entry, &Classic};
};

// A page the way it sits in a property sheet: the sheet, a frame inside it, the page inside that.
struct PageInSheet {
    TopWindow sheet{20, 300};
    HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 280, 180, sheet.hwnd, nullptr, nullptr, nullptr);
    HWND page = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 260, 160, frame, nullptr, nullptr, nullptr);
};

TEST(ShowingHelp, HtmlHelpOpensItsIndexBesideTheWholeSheet) {
    Viewers v;
    PageInSheet layout;
    TopWindow help(700, 50);
    ASSERT_TRUE(layout.page && help.hwnd);
    Viewers::helpWindow = help.hwnd;
    corv::ui::ShowHelp(v.viewers, layout.page, L"c:\\drv\\corv.chm");
    ASSERT_EQ(Viewers::html.size(), 1u);
    EXPECT_EQ(Viewers::html[0].window, layout.page);
    EXPECT_EQ(Viewers::html[0].file, L"c:\\drv\\corv.chm");
    EXPECT_EQ(Viewers::html[0].command, 2u);  // HH_DISPLAY_INDEX
    EXPECT_EQ(Viewers::html[0].data, 0u);
    EXPECT_TRUE(Viewers::classic.empty());

    WINDOWPLACEMENT desktop{sizeof(desktop)};
    ASSERT_TRUE(GetWindowPlacement(GetDesktopWindow(), &desktop));
    LONG half = (desktop.rcNormalPosition.right - desktop.rcNormalPosition.left) / 2;
    EXPECT_EQ(layout.sheet.Normal().left, half - 300);
    EXPECT_EQ(help.Normal().left, half);
}

TEST(ShowingHelp, ClassicHelpOpensItsFinder) {
    Viewers v;
    PageInSheet layout;
    RECT before = layout.sheet.Normal();
    corv::ui::ShowHelp(v.viewers, layout.page, L"c:\\drv\\corv.hlp");
    ASSERT_EQ(Viewers::classic.size(), 1u);
    EXPECT_EQ(Viewers::classic[0].window, layout.page);
    EXPECT_EQ(Viewers::classic[0].file, L"c:\\drv\\corv.hlp");
    EXPECT_EQ(Viewers::classic[0].command, 11u);  // HELP_FINDER
    EXPECT_EQ(Viewers::classic[0].data, 0u);
    EXPECT_TRUE(Viewers::html.empty());
    RECT after = layout.sheet.Normal();
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST(ShowingHelp, NothingMovesWithoutAHelpWindowAndNothingOpensForOtherFiles) {
    Viewers v;
    PageInSheet layout;
    RECT before = layout.sheet.Normal();
    corv::ui::ShowHelp(v.viewers, layout.page, L"c:\\drv\\corv.chm");  // the viewer gave no window
    EXPECT_EQ(Viewers::html.size(), 1u);
    Viewers::bound = false;
    corv::ui::ShowHelp(v.viewers, layout.page, L"c:\\drv\\corv.chm");  // the control could not be bound
    EXPECT_EQ(Viewers::html.size(), 1u);
    corv::ui::ShowHelp(v.viewers, layout.page, L"c:\\drv\\corv.txt");
    corv::ui::ShowHelp(v.viewers, layout.page, nullptr);
    EXPECT_TRUE(Viewers::classic.empty());
    RECT after = layout.sheet.Normal();
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST(HtmlHelpBinding, Ordinal15OfTheHelpControlBoundOnce) {
    auto entry = corv::ui::HtmlHelpEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry, corv::ui::HtmlHelpEntry());
    HMODULE control = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCWSTR>(entry), &control));
    EXPECT_EQ(reinterpret_cast<void*>(entry), reinterpret_cast<void*>(GetProcAddress(control, "HtmlHelpW")));
}

// The help control's registration, read through a scratch key that stands in for
// HKEY_CLASSES_ROOT.
class HtmlHelpRegistration : public ::testing::Test {
protected:
    HKEY scratch = nullptr;
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\CorvTest\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &scratch, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, scratch), ERROR_SUCCESS);
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegCloseKey(scratch);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\CorvTest\\Classes");
    }
    void Register(DWORD type, const void* data, DWORD bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32",
                                  0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, nullptr, 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(key);
    }
};

TEST_F(HtmlHelpRegistration, StringValueIsTheLibrary) {
    char path[MAX_PATH] = "x";
    EXPECT_FALSE(corv::ui::RegisteredHtmlHelpLibrary(path));
    Register(REG_SZ, "C:\\help\\hh.ocx", 16);
    EXPECT_TRUE(corv::ui::RegisteredHtmlHelpLibrary(path));
    EXPECT_STREQ(path, "C:\\help\\hh.ocx");
}

TEST_F(HtmlHelpRegistration, ExpandableValueIsExpanded) {
    const char value[] = "%SystemRoot%\\hh.ocx";
    Register(REG_EXPAND_SZ, value, sizeof(value));
    char expected[MAX_PATH];
    ExpandEnvironmentStringsA(value, expected, MAX_PATH);
    char path[MAX_PATH];
    EXPECT_TRUE(corv::ui::RegisteredHtmlHelpLibrary(path));
    EXPECT_STREQ(path, expected);
}

TEST_F(HtmlHelpRegistration, OtherTypesAndOverlongValuesAreAbsent) {
    DWORD number = 15;
    Register(REG_DWORD, &number, 4);
    char path[MAX_PATH];
    EXPECT_FALSE(corv::ui::RegisteredHtmlHelpLibrary(path));
    std::string tooLong(300, 'a');
    Register(REG_SZ, tooLong.c_str(), 301);
    EXPECT_FALSE(corv::ui::RegisteredHtmlHelpLibrary(path));
    std::string unterminated(260, 'b');  // 260 bytes without a terminator do not fit either
    Register(REG_SZ, unterminated.data(), 260);
    EXPECT_FALSE(corv::ui::RegisteredHtmlHelpLibrary(path));
    std::string longest(259, 'c');  // 259 characters and the terminator: exactly 260 bytes
    Register(REG_SZ, longest.c_str(), 260);
    EXPECT_TRUE(corv::ui::RegisteredHtmlHelpLibrary(path));
    EXPECT_EQ(std::string(path), longest);
}

}  // namespace
