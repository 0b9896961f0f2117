// The document sheet as the driver shows it: the plug-in object adds its pages through the
// driver's sheet function, and they run in a real property sheet.
#include "plug-in/inboxui/core/uiplugin.h"

#include "common/record.h"
#include "plug-in/inboxui/resources/ids.h"
#include "tests/inboxui/pages/fakedriverinfo.h"
#include "tests/support/fakecoreui.h"
#include "tests/support/pagekit/patches.h"
#include "tests/support/pagekit/sheethost.h"

#include <gtest/gtest.h>

namespace corv::ui {
namespace {

std::wstring TextOf(HWND window) {
    WCHAR text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

class DocumentSheet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(spooler_.patch.active());
        corvtest::g_driverFiles.dependentFiles = {L"C:\\Drivers\\CORV.HLP"};
        core_.nickName = L"Corvane C500 PS";
        heap_ = HeapCreate(0, 0, 0);
        ASSERT_NE(heap_, nullptr);
        DefaultRecord(&record_);
        uiObject_.cbSize = sizeof uiObject_;
        params_.cbSize = sizeof params_;
        params_.hPrinter = reinterpret_cast<HANDLE>(0x4711);
        params_.poemuiobj = &uiObject_;
        params_.hOEMHeap = heap_;
        params_.pOEMDM = &record_;
        plugin_ = new UiPlugin;
        ASSERT_EQ(plugin_->PublishDriverInterface(&core_), S_OK);
    }
    void TearDown() override {
        plugin_->Release();
        HeapDestroy(heap_);
    }

    corvtest::SpoolerDriverInfo spooler_;
    corvtest::FakeCoreDriverUi core_;
    HANDLE heap_ = nullptr;
    JobSettings record_{};
    OEMUIOBJ uiObject_{};
    OEMUIPSPARAM params_{};
    UiPlugin* plugin_ = nullptr;
};

TEST_F(DocumentSheet, ThePluginsPagesRunInARealSheet) {
    core_.features.insert("HasManualColorCorrection");
    corvtest::SheetHost host;
    PROPSHEETUI_INFO info = host.Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&params_));
    ASSERT_EQ(plugin_->DocumentPropertySheets(&info, 0), S_OK);
    ASSERT_EQ(host.pageCount(), 4u);
    EXPECT_EQ(info.Result, 4u);
    host.AddBlankPage();
    ASSERT_TRUE(host.Show());

    EXPECT_EQ(TextOf(host.page(0)), L"Watermark");
    ASSERT_TRUE(host.select(1));
    EXPECT_EQ(TextOf(host.page(1)), L"Manual Color");
    ASSERT_TRUE(host.select(2));
    EXPECT_EQ(TextOf(host.page(2)), L"Profiles");
    ASSERT_TRUE(host.select(3));
    HWND about = host.page(3);
    EXPECT_EQ(TextOf(about), L"About");
    EXPECT_EQ(TextOf(GetDlgItem(about, IDC_ABOUT_DRIVER)), L"Corvane C500 PS Driver");

    // Help on every page opens the help file found among the driver's files.
    corvtest::HelpRequests help;
    for (int page = 0; page < 4; ++page) {
        ASSERT_TRUE(host.select(page));
        host.help();
        ASSERT_EQ(help.requests.size(), static_cast<size_t>(page + 1)) << page;
        EXPECT_EQ(help.requests.back().file, L"c:\\drivers\\corv.hlp") << page;
    }

    EXPECT_TRUE(host.select(4));
    EXPECT_TRUE(host.select(1));
    record_.dwPallidor = 2;
    EXPECT_TRUE(host.apply());
    EXPECT_EQ(record_.dwPallidor, 0u);  // the colour page wrote its working copy's value

    info.Reason = PROPSHEETUI_REASON_DESTROY;
    ASSERT_EQ(plugin_->DocumentPropertySheets(&info, 0), S_OK);
    // The colour page applied: the result is the sheet function's answer to CPSFUNC_SET_RESULT.
    EXPECT_EQ(info.Result, 0u);
    EXPECT_EQ(plugin_->documentContext(), nullptr);
}

// The object keeps the driver's items of the last CommonUIProp only, and forgets them with the
// sheet.
TEST_F(DocumentSheet, RememberedItemsLastFromOneCallToTheSheetsEnd) {
    OPTITEM first[2] = {}, second[1] = {};
    first[0].DMPubID = DMPUB_PAGEORDER;
    first[1].DMPubID = DMPUB_NUP;
    OPTITEM mine[1] = {};
    OEMCUIPPARAM param{};
    param.cbSize = sizeof param;
    param.hOEMHeap = heap_;
    param.pOEMDM = &record_;
    param.pOEMOptItems = mine;
    param.pDrvOptItems = first;
    param.cDrvOptItems = 2;
    ASSERT_EQ(plugin_->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);
    EXPECT_EQ(plugin_->pageOrderItem(), &first[0]);
    EXPECT_EQ(plugin_->nupItem(), &first[1]);

    param.pDrvOptItems = second;
    param.cDrvOptItems = 1;
    ASSERT_EQ(plugin_->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);
    EXPECT_EQ(plugin_->pageOrderItem(), nullptr);
    EXPECT_EQ(plugin_->nupItem(), nullptr);

    param.pDrvOptItems = first;
    param.cDrvOptItems = 2;
    ASSERT_EQ(plugin_->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);
    corvtest::SheetHost host;
    PROPSHEETUI_INFO info = host.Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&params_));
    ASSERT_EQ(plugin_->DocumentPropertySheets(&info, 0), S_OK);
    EXPECT_EQ(plugin_->pageOrderItem(), &first[0]);
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    ASSERT_EQ(plugin_->DocumentPropertySheets(&info, 0), S_OK);
    EXPECT_EQ(plugin_->pageOrderItem(), nullptr);
    EXPECT_EQ(plugin_->nupItem(), nullptr);
}

}  // namespace
}  // namespace corv::ui
