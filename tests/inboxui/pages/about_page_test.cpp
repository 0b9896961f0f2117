#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/core/pagetable.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "plug-in/inboxui/pages/about.h"
#include "plug-in/inboxui/pages/help.h"
#include "plug-in/inboxui/resources/ids.h"
#include "tests/inboxui/pages/fakedriverinfo.h"
#include "tests/inboxui/pages/versionfiles.h"
#include "tests/support/fakecoreui.h"
#include "tests/support/pagekit/patches.h"
#include "tests/support/pagekit/sheethost.h"

#include <commctrl.h>
#include "corvversion.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using corvtest::g_driverFiles;
using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

std::wstring TextOf(HWND window) {
    WCHAR text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// The About page in a real modeless property sheet, as the plug-in adds it (the sheet context as
// the page's parameter), with a blank page after it to leave to.
class AboutPage : public ::testing::TestWithParam<int> {
protected:
    corvtest::SpoolerDriverInfo spooler;
    corvtest::FakeCoreDriverUi core;
    OEMUIOBJ uiObject{sizeof(OEMUIOBJ), nullptr};
    OEMUIPSPARAM params{};
    std::unique_ptr<corv::ui::SheetContext> context = std::make_unique<corv::ui::SheetContext>();
    corvtest::SheetHost host;
    HWND page = nullptr;

    void SetUp() override {
        ASSERT_TRUE(spooler.patch.active());
        params.cbSize = sizeof(params);
        params.hPrinter = reinterpret_cast<HANDLE>(0x4711);
        params.poemuiobj = &uiObject;
        *context = corv::ui::SheetContext{};
        context->pageParams = &params;
        context->core = &core;
    }

    void Open(corv::ui::SheetContext* withContext) {
        corv::ui::PageRow row{static_cast<WORD>(GetParam()), L"About", corv::ui::PageCondition::Always,
                              &corv::ui::AboutPageProc};
        host.Add(row, withContext);
        page = host.ShowWithBlankPage();
        ASSERT_TRUE(page);
    }
    HWND List() const { return GetDlgItem(page, IDC_ABOUT_FILES); }
    Rows ListRows() const {
        Rows rows;
        int n = static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            WCHAR name[MAX_PATH] = {}, version[128] = {};
            LVITEMW item{};
            item.iSubItem = 0;
            item.pszText = name;
            item.cchTextMax = MAX_PATH;
            SendMessageW(List(), LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            item.iSubItem = 1;
            item.pszText = version;
            item.cchTextMax = 128;
            SendMessageW(List(), LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            rows.emplace_back(name, version);
        }
        return rows;
    }
    bool SheetHasContextHelp() const {
        return (GetWindowLongPtrW(host.sheet(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP) != 0;
    }
};


TEST_P(AboutPage, ListsTheDriverFilesSortedByNameWithTheirVersions) {
    corvtest::ScratchFiles files;
    std::wstring exe = files.TestProgram();
    std::wstring exeName = exe.substr(exe.rfind(L'\\') + 1);
    g_driverFiles.configFile = files.WithVersionResource(L"mid_ui.dll", corvtest::VersionShape::GermanFileVersion);
    g_driverFiles.driverPath = files.TextFile(L"zeta.ppd");
    std::wstring alpha = files.TextFile(L"alpha.txt");
    g_driverFiles.dependentFiles = {exe, files.WithVersionResource(L"nofv.dll", corvtest::VersionShape::NoFileVersion),
                                    alpha, files.SystemFile(L"kernel32.dll"), alpha};
    core.nickName = L"Corvane C500 PS";
    Open(context.get());

    Rows rows = ListRows();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], std::make_pair(std::wstring(L"alpha.txt"), std::wstring(L"N/A")));
    EXPECT_EQ(rows[1], std::make_pair(std::wstring(L"alpha.txt"), std::wstring(L"N/A")));
    EXPECT_EQ(rows[2].first, L"kernel32.dll");
    EXPECT_FALSE(rows[2].second.empty());
    EXPECT_NE(rows[2].second, L"N/A");
    EXPECT_EQ(rows[3], std::make_pair(std::wstring(L"mid_ui.dll"), std::wstring(L"7.1.2")));
    EXPECT_EQ(rows[4], std::make_pair(exeName, std::wstring(CORV_VERSION_WIDE)));
    EXPECT_EQ(rows[5], std::make_pair(std::wstring(L"zeta.ppd"), std::wstring(L"N/A")));

    EXPECT_EQ(TextOf(GetDlgItem(page, IDC_ABOUT_DRIVER)), L"Corvane C500 PS Driver");
    EXPECT_EQ(TextOf(GetDlgItem(page, IDC_ABOUT_VERSION)), L"Version 1.0");
    EXPECT_EQ(TextOf(page), L"About");
}

TEST_P(AboutPage, TwoLeftAlignedColumnsShareTheListWidth) {
    Open(context.get());
    RECT bounds{};
    GetWindowRect(List(), &bounds);
    int width = bounds.right - bounds.left - 25;
    EXPECT_EQ(SendMessageW(List(), LVM_GETCOLUMNWIDTH, 0, 0), width / 3);
    EXPECT_EQ(SendMessageW(List(), LVM_GETCOLUMNWIDTH, 1, 0), width - width / 3);
    for (int i = 0; i < 2; ++i) {
        WCHAR text[32] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = 32;
        ASSERT_TRUE(SendMessageW(List(), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(text, i == 0 ? L"File" : L"Version");
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    LONG_PTR style = GetWindowLongPtrW(List(), GWL_STYLE);
    EXPECT_TRUE(style & LVS_REPORT);
    EXPECT_TRUE(style & LVS_SORTASCENDING);
    EXPECT_TRUE(style & LVS_NOSORTHEADER);
    EXPECT_FALSE(GetWindowLongPtrW(GetDlgItem(page, IDC_ABOUT_IMAGE), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(TextOf(GetDlgItem(page, IDC_ABOUT_FIXED)).empty());
}

TEST_P(AboutPage, WithoutDriverInformationOrModelNameOnlyTheFixedLinesStay) {
    g_driverFiles.available = false;
    core.nickName.clear();
    Open(context.get());
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 0);
    HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);  // the columns are there all the same
    EXPECT_EQ(core.nickNameCalls, 1);  // asked for the size only
    EXPECT_EQ(TextOf(GetDlgItem(page, IDC_ABOUT_DRIVER)), L"");
    EXPECT_EQ(TextOf(GetDlgItem(page, IDC_ABOUT_VERSION)), L"Version 1.0");
}

TEST_P(AboutPage, ContextHelpButtonGoesWhileThePageIsUpAndComesBackWhenLeft) {
    Open(context.get());
    EXPECT_FALSE(SheetHasContextHelp());  // the sheet opened on the About page
    corvtest::FrameRepaints repaints(host.sheet());
    ASSERT_TRUE(host.select(1));
    EXPECT_TRUE(SheetHasContextHelp());
    EXPECT_EQ(repaints.count(), 1);
    ASSERT_TRUE(host.select(0));
    EXPECT_FALSE(SheetHasContextHelp());
    EXPECT_EQ(repaints.count(), 2);
    EXPECT_EQ(host.notify(PSN_SETACTIVE), 0);  // already gone: no second repaint
    EXPECT_EQ(repaints.count(), 2);
}

TEST_P(AboutPage, HelpShowsTheSheetsHelpFile) {
    WCHAR helpFile[] = L"c:\\drivers\\corvane.hlp";
    context->helpFile = helpFile;
    corvtest::HelpRequests help;
    ASSERT_TRUE(help.active());
    Open(context.get());
    host.help();
    ASSERT_EQ(help.requests.size(), 1u);
    EXPECT_EQ(help.requests[0].window, page);
    EXPECT_EQ(help.requests[0].file, helpFile);
    EXPECT_EQ(help.requests[0].command, static_cast<UINT>(HELP_FINDER));
}

TEST_P(AboutPage, HelpWithoutAHelpFileDoesNothing) {
    corvtest::HelpRequests help;
    Open(context.get());  // the context has no help file path
    RECT before{};
    GetWindowRect(host.sheet(), &before);
    host.help();
    RECT after{};
    GetWindowRect(host.sheet(), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_TRUE(help.requests.empty());
}

TEST_P(AboutPage, WithoutContextThePageStaysEmpty) {
    g_driverFiles.configFile = corvtest::ScratchFiles::TestProgram();
    core.nickName = L"Corvane C500 PS";
    corvtest::HelpRequests help;
    Open(nullptr);
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(g_driverFiles.calls, 0);
    EXPECT_EQ(core.nickNameCalls, 0);
    ASSERT_TRUE(host.select(1));
    ASSERT_TRUE(host.select(0));
    host.help();
    EXPECT_TRUE(help.requests.empty());
}

INSTANTIATE_TEST_SUITE_P(BothTemplates, AboutPage, ::testing::Values(IDD_ABOUT_DOC, IDD_ABOUT_PRN),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == IDD_ABOUT_DOC ? std::string("Document") : std::string("Printer");
                         });

// Help through the spooler: the first dependent file that names a help file.
TEST(HelpFileFromTheSpooler, SizeFirstThenTheLowerCasePath) {
    corvtest::SpoolerDriverInfo spooler;
    ASSERT_TRUE(spooler.patch.active());
    g_driverFiles.dependentFiles = {L"C:\\Drv\\CORVUI.DLL", L"C:\\Drv\\Corvane.CHM", L"C:\\Drv\\x.hlp"};
    HANDLE printer = reinterpret_cast<HANDLE>(0x4711);
    DWORD size = 0;
    EXPECT_TRUE(corv::ui::FindHelpFile(printer, nullptr, 0, &size));
    ASSERT_EQ(size, (wcslen(L"c:\\drv\\corvane.chm") + 1) * 2);
    std::vector<WCHAR> buffer(size / 2);
    EXPECT_TRUE(corv::ui::FindHelpFile(printer, buffer.data(), size / 2, &size));
    EXPECT_STREQ(buffer.data(), L"c:\\drv\\corvane.chm");

    g_driverFiles.available = false;
    size = 7;
    EXPECT_FALSE(corv::ui::FindHelpFile(printer, buffer.data(), size / 2, &size));
    EXPECT_EQ(size, 0u);
}

}  // namespace
