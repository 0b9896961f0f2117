#include "host/prefs/coreui.h"

#include "common/coreboundary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace corv::host;

const char kFaxPrinter[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*NickName: \"Test Model\"\n"
    "*OpenUI *HasPrintandHold/Print and Hold: Boolean\n"
    "*DefaultHasPrintandHold: True\n"
    "*HasPrintandHold True/Installed: \"\"\n"
    "*HasPrintandHold False/Not Installed: \"\"\n"
    "*CloseUI: *HasPrintandHold\n"
    "*OpenUI *FaxCard/Fax Card: Boolean\n"
    "*DefaultFaxCard: True\n"
    "*FaxCard True/Installed: \"\"\n"
    "*FaxCard False/Not Installed: \"\"\n"
    "*CloseUI: *FaxCard\n";

const char kPlainPrinter[] = "*PPD-Adobe: \"4.3\"\n*ModelName: \"Plain\"\n";

class CoreUi : public ::testing::Test {
protected:
    void Load(const char* text) {
        std::string error;
        ASSERT_TRUE(ParsePpd(text, &ppd, &error)) << error;
        core = std::make_unique<HostCoreUi>(ppd);
    }
    void SetUp() override { Load(kFaxPrinter); }

    Ppd ppd;
    std::unique_ptr<HostCoreUi> core;
};

TEST_F(CoreUi, FaxCardIsADriverSettingWithTheSizeProtocol) {
    DWORD needed = 0, returned = 9;
    EXPECT_EQ(core->DrvGetDriverSetting(core->uiObject(), "FaxCard", nullptr, 0, &needed, &returned), E_OUTOFMEMORY);
    EXPECT_EQ(needed, 5u);
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(core->DrvGetDriverSetting(core->uiObject(), "FaxCard", small, 4, &needed, &returned), E_OUTOFMEMORY);
    EXPECT_EQ(std::string(small, 4), "xxxx");
    char buffer[8] = {};
    EXPECT_EQ(core->DrvGetDriverSetting(core->uiObject(), "FaxCard", buffer, needed, &needed, &returned), S_OK);
    EXPECT_EQ(std::string(buffer, 5), std::string("True", 5));
    EXPECT_EQ(returned, 1u);
    EXPECT_TRUE(corv::HasFaxCard(core.get(), core->uiObject()));

    ASSERT_TRUE(core->Select("FaxCard", "False"));
    EXPECT_FALSE(corv::HasFaxCard(core.get(), core->uiObject()));
    EXPECT_FALSE(core->Select("FaxCard", "Maybe"));
    EXPECT_TRUE(core->violations().empty());
}

TEST_F(CoreUi, APrinterWithoutTheFeatureHasNoSettingAndNoFeature) {
    Load(kPlainPrinter);
    DWORD needed = 7, returned = 0;
    EXPECT_EQ(core->DrvGetDriverSetting(core->uiObject(), "FaxCard", nullptr, 0, &needed, &returned), E_INVALIDARG);
    EXPECT_EQ(needed, 0u);
    EXPECT_FALSE(corv::HasFaxCard(core.get(), core->uiObject()));
    EXPECT_FALSE(corv::HasFeature(core.get(), core->uiObject(), "HasPrintandHold"));
    WCHAR name[32] = L"old";
    EXPECT_FALSE(corv::ReadNickName(core.get(), core->uiObject(), name, 32));
}

TEST_F(CoreUi, EnumOptionsTellsFeaturePresenceAsTheRenderingSideDoes) {
    EXPECT_TRUE(corv::HasFeature(core.get(), core->uiObject(), "HasPrintandHold"));
    EXPECT_FALSE(corv::HasFeature(core.get(), core->uiObject(), "HasManualColorCorrection"));
    DWORD needed = 0;
    char list[32] = {};
    ASSERT_EQ(core->EnumOptions(core->uiObject(), 0, "HasPrintandHold", nullptr, 0, &needed), E_OUTOFMEMORY);
    ASSERT_EQ(needed, 12u);
    ASSERT_EQ(core->EnumOptions(core->uiObject(), 0, "HasPrintandHold", list, sizeof list, &needed), S_OK);
    EXPECT_EQ(std::string(list, needed), std::string("True\0False\0\0", 12));
}

TEST_F(CoreUi, NickNameIsAWideStringAskedForBySizeFirst) {
    DWORD type = 0, needed = 0;
    EXPECT_EQ(core->GetGlobalAttribute(core->uiObject(), 0, "NickName", &type, nullptr, 0, &needed), E_OUTOFMEMORY);
    EXPECT_EQ(needed, 22u);
    WCHAR name[32] = {};
    ASSERT_TRUE(corv::ReadNickName(core.get(), core->uiObject(), name, 32));
    EXPECT_STREQ(name, L"Test Model");
    EXPECT_EQ(core->GetGlobalAttribute(core->uiObject(), 0, "NickName", &type, reinterpret_cast<PBYTE>(name),
                                       sizeof name, &needed),
              S_OK);
    EXPECT_EQ(type, static_cast<DWORD>(kADT_UNICODE));
}

TEST_F(CoreUi, DrvUpdateUISettingIsRecordedThroughTheInterfaceAndTheUiProcs) {
    OPTITEM first{}, second{};
    EXPECT_EQ(core->DrvUpdateUISetting(core->uiObject(), &first, 0, OEMCUIP_DOCPROP), S_OK);
    POEMUIPROCS procs = core->uiObject()->pOemUIProcs;
    ASSERT_TRUE(procs && procs->DrvUpdateUISetting && procs->DrvGetDriverSetting);
    EXPECT_TRUE(procs->DrvUpdateUISetting(core->uiObject(), &second, 3, OEMCUIP_PRNPROP));
    ASSERT_EQ(core->updates().size(), 2u);
    EXPECT_EQ(core->updates()[0].item, &first);
    EXPECT_EQ(core->updates()[0].mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
    EXPECT_EQ(core->updates()[1].item, &second);
    EXPECT_EQ(core->updates()[1].previousSelection, 3u);
    char setting[8] = {};
    DWORD needed = 0, returned = 0;
    EXPECT_TRUE(procs->DrvGetDriverSetting(core->uiObject(), "FaxCard", setting, sizeof setting, &needed, &returned));
    EXPECT_STREQ(setting, "True");
}

TEST_F(CoreUi, CallsWithAnotherUiObjectAreRefusedAndCounted) {
    OEMUIOBJ stranger{sizeof(OEMUIOBJ), nullptr};
    OPTITEM item{};
    DWORD needed = 0, returned = 0, type = 0;
    EXPECT_EQ(core->DrvUpdateUISetting(&stranger, &item, 0, 1), E_INVALIDARG);
    EXPECT_EQ(core->DrvGetDriverSetting(&stranger, "FaxCard", nullptr, 0, &needed, &returned), E_INVALIDARG);
    EXPECT_EQ(core->GetGlobalAttribute(&stranger, 0, "NickName", &type, nullptr, 0, &needed), E_INVALIDARG);
    EXPECT_TRUE(core->updates().empty());
    EXPECT_EQ(core->violations().size(), 3u);
    EXPECT_EQ(core->DrvUpdateUISetting(core->uiObject(), nullptr, 0, 1), E_INVALIDARG);
    EXPECT_EQ(core->violations().size(), 4u);
}

TEST_F(CoreUi, AnswersForTheUiInterfacesOnlyAndSurvivesAnExtraRelease) {
    void* out = nullptr;
    ASSERT_EQ(core->QueryInterface(IID_IPrintCoreUI2, &out), S_OK);
    EXPECT_EQ(out, static_cast<IPrintCoreUI2*>(core.get()));
    ASSERT_EQ(core->QueryInterface(IID_IPrintOemDriverUI, &out), S_OK);
    EXPECT_EQ(core->references(), 3u);
    EXPECT_EQ(core->QueryInterface(IID_IPrintCorePS2, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    core->Release();
    core->Release();
    EXPECT_TRUE(core->violations().empty());
    EXPECT_EQ(core->Release(), 1u);
    EXPECT_EQ(core->violations().size(), 1u);
}

}  // namespace
