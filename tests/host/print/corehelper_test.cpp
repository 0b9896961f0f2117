#include "host/print/corehelper.h"

#include "common/coreboundary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace corv::host;

const char kPrinter[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*NickName: \"Test Model\"\n"
    "*ColorDevice: True\n"
    "*OpenUI *HasManualDuplex/Manual Duplex: Boolean\n"
    "*DefaultHasManualDuplex: True\n"
    "*HasManualDuplex True/Installed: \"\"\n"
    "*HasManualDuplex False/Not Installed: \"\"\n"
    "*CloseUI: *HasManualDuplex\n"
    "*OpenUI *PagePerSheet/Pages per Sheet: PickOne\n"
    "*DefaultPagePerSheet: 1\n"
    "*PagePerSheet 1: \"\"\n*PagePerSheet 2: \"\"\n*PagePerSheet 4: \"\"\n*PagePerSheet Booklet: \"\"\n"
    "*CloseUI: *PagePerSheet\n"
    "*OpenUI *Tray/Paper Source: PickOne\n"
    "*DefaultTray: Upper\n"
    "*Tray Upper/Upper Tray: \"1 setmedia\"\n"
    "*CloseUI: *Tray\n";

struct Collect final : JobOutput {
    std::string bytes;
    void Put(const void* data, DWORD size) override { bytes.append(static_cast<const char*>(data), size); }
};

class HostCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ParsePpd(kPrinter, &ppd, &error)) << error;
        core = std::make_unique<HostCore>(ppd, &out);
        core->AddDevice(&device);
        core->SetPdevReady(true);
    }
    std::string Answer(const char* request, DWORD requestSize) {
        DWORD needed = 0;
        EXPECT_EQ(core->GetOptions(&device, 0, request, requestSize, nullptr, 0, &needed), E_OUTOFMEMORY);
        std::string buffer(needed, 'x');
        DWORD again = 0;
        EXPECT_EQ(core->GetOptions(&device, 0, request, requestSize, buffer.data(), needed, &again), S_OK);
        EXPECT_EQ(again, needed);
        return buffer;
    }

    Ppd ppd;
    Collect out;
    DEVOBJ device{sizeof(DEVOBJ)};
    std::unique_ptr<HostCore> core;
};

TEST_F(HostCoreTest, EnumOptionsTellsAFeatureThePrinterHas) {
    DWORD needed = 0;
    EXPECT_EQ(core->EnumOptions(&device, 0, "HasManualDuplex", nullptr, 0, &needed), E_OUTOFMEMORY);
    EXPECT_EQ(needed, 12u) << "True, False and the closing NUL";
    EXPECT_TRUE(corv::HasFeature(static_cast<IPrintCorePS2*>(core.get()), &device, "HasManualDuplex"));
    char small[4];
    EXPECT_EQ(core->EnumOptions(&device, 0, "HasManualDuplex", small, sizeof small, &needed), E_OUTOFMEMORY);
    char list[32];
    ASSERT_EQ(core->EnumOptions(&device, 0, "HasManualDuplex", list, sizeof list, &needed), S_OK);
    EXPECT_EQ(std::string(list, needed), std::string("True\0False\0", 12));
}

TEST_F(HostCoreTest, EnumOptionsRefusesAFeatureThePrinterLacks) {
    DWORD needed = 99;
    EXPECT_EQ(core->EnumOptions(&device, 0, "HasKeepPreviousPHJobs", nullptr, 0, &needed), E_INVALIDARG);
    EXPECT_EQ(needed, 0u);
    EXPECT_FALSE(corv::HasFeature(static_cast<IPrintCorePS2*>(core.get()), &device, "HasKeepPreviousPHJobs"));
    EXPECT_EQ(core->EnumOptions(&device, 0, nullptr, nullptr, 0, &needed), E_INVALIDARG);
}

TEST_F(HostCoreTest, GetFeatureAttributeRefusesOnlyUnknownFeatures) {
    EXPECT_TRUE(corv::HasFeatureAttribute(core.get(), &device, "HasManualDuplex"));
    EXPECT_TRUE(corv::HasFeatureAttribute(core.get(), &device, "Tray"));
    EXPECT_FALSE(corv::HasFeatureAttribute(core.get(), &device, "HasManualColorCorrection"));

    DWORD type = 0, needed = 0;
    BYTE data[64];
    ASSERT_EQ(core->GetFeatureAttribute(&device, 0, "Tray", "DefaultOption", &type, data, sizeof data, &needed), S_OK);
    EXPECT_EQ(type, static_cast<DWORD>(kADT_ASCII));
    EXPECT_STREQ(reinterpret_cast<char*>(data), "Upper");
    ASSERT_EQ(core->GetFeatureAttribute(&device, 0, "Tray", "DisplayName", &type, data, sizeof data, &needed), S_OK);
    EXPECT_EQ(type, static_cast<DWORD>(kADT_UNICODE));
    EXPECT_STREQ(reinterpret_cast<wchar_t*>(data), L"Paper Source");
    EXPECT_EQ(core->GetFeatureAttribute(&device, 0, "Tray", "NoSuchAttribute", &type, data, sizeof data, &needed),
              E_INVALIDARG);
}

TEST_F(HostCoreTest, GetOptionsAnswersPagePerSheetWithTheSizeProtocol) {
    static const char request[] = "%PagePerSheet\0";
    EXPECT_EQ(Answer(request, sizeof request), std::string("%PagePerSheet\0" "1\0\0", 17));
    ASSERT_TRUE(core->Select("%PagePerSheet", "4"));
    EXPECT_EQ(Answer(request, sizeof request), std::string("%PagePerSheet\0" "4\0\0", 17));
    EXPECT_EQ(corv::PagesPerSheet(core.get(), &device, corv::BookletMatch::IgnoreCase), 4);
    ASSERT_TRUE(core->Select("%PagePerSheet", "Booklet"));
    EXPECT_EQ(corv::PagesPerSheet(core.get(), &device, corv::BookletMatch::ExactCase), 1);
    EXPECT_EQ(*core->Selection("PagePerSheet"), "Booklet") << "the printer's own feature follows the driver's";
}

TEST_F(HostCoreTest, GetOptionsLeavesOutWhatItDoesNotKnow) {
    static const char request[] = "Tray\0NoSuchFeature\0HasManualDuplex\0";
    EXPECT_EQ(Answer(request, sizeof request), std::string("Tray\0Upper\0HasManualDuplex\0True\0\0", 33));
    static const char nothing[] = "NoSuchFeature\0";
    EXPECT_EQ(Answer(nothing, sizeof nothing), std::string("\0", 1));
}

TEST_F(HostCoreTest, GetOptionsWithoutARequestAnswersEveryFeature) {
    std::string all = Answer(nullptr, 0);
    EXPECT_EQ(all, std::string("HasManualDuplex\0True\0PagePerSheet\0" "1\0Tray\0Upper\0%PagePerSheet\0" "1\0\0", 64));
}

TEST_F(HostCoreTest, GetOptionsRefusesMalformedRequestsAndEarlyCalls) {
    DWORD needed = 0;
    static const char unterminated[] = {'T', 'r', 'a', 'y', '\0'};
    EXPECT_EQ(core->GetOptions(&device, 0, unterminated, sizeof unterminated, nullptr, 0, &needed), E_INVALIDARG);
    static const char request[] = "%PagePerSheet\0";
    DEVOBJ stranger{sizeof(DEVOBJ)};
    EXPECT_EQ(core->GetOptions(&stranger, 0, request, sizeof request, nullptr, 0, &needed), E_INVALIDARG);
    EXPECT_EQ(core->GetOptions(&device, 1, request, sizeof request, nullptr, 0, &needed), E_INVALIDARG);
    core->SetPdevReady(false);
    EXPECT_EQ(core->GetOptions(&device, 0, request, sizeof request, nullptr, 0, &needed), E_NOTIMPL)
        << "not before the core driver's own PDEV work is done";
    EXPECT_EQ(corv::PagesPerSheet(core.get(), &device, corv::BookletMatch::IgnoreCase), 1);
}

TEST_F(HostCoreTest, SelectTakesOnlyOptionsThePrinterOffers) {
    EXPECT_FALSE(core->Select("%PagePerSheet", "9")) << "this printer offers 1, 2, 4 and Booklet";
    EXPECT_FALSE(core->Select("Tray", "Lower"));
    EXPECT_FALSE(core->Select("NoSuchFeature", "x"));
    EXPECT_EQ(*core->Selection("%PagePerSheet"), "1");
}

TEST(HostCorePagePerSheet, WithoutThePrintersFeatureTheDriversOwnOptionsApply) {
    Ppd ppd;
    std::string error;
    ASSERT_TRUE(ParsePpd("*PPD-Adobe: \"4.3\"\n*NickName: \"Plain\"\n", &ppd, &error)) << error;
    Collect out;
    HostCore core(ppd, &out);
    EXPECT_EQ(core.Options("%PagePerSheet"),
              (std::vector<std::string>{"1", "2", "4", "6", "9", "16", "Booklet"}));
    EXPECT_TRUE(core.Select("%PagePerSheet", "16"));
    EXPECT_TRUE(core.Options("PagePerSheet").empty());
}

TEST_F(HostCoreTest, DrvWriteSpoolBufAppendsInOrderAndReportsTheCount) {
    DWORD result = 0;
    char a[] = "%%Page: 1 1\n", b[] = "showpage\n";
    ASSERT_EQ(core->DrvWriteSpoolBuf(&device, a, sizeof a - 1, &result), S_OK);
    EXPECT_EQ(result, sizeof a - 1);
    ASSERT_EQ(core->DrvWriteSpoolBuf(&device, b, sizeof b - 1, &result), S_OK);
    EXPECT_EQ(out.bytes, "%%Page: 1 1\nshowpage\n");
    EXPECT_TRUE(core->violations().empty());
}

TEST_F(HostCoreTest, DrvWriteSpoolBufNotesBrokenRules) {
    DWORD result = 7;
    EXPECT_EQ(core->DrvWriteSpoolBuf(&device, const_cast<char*>("x"), 0, &result), S_OK);
    EXPECT_EQ(result, 0u);
    DEVOBJ stranger{sizeof(DEVOBJ)};
    EXPECT_EQ(core->DrvWriteSpoolBuf(&stranger, const_cast<char*>("x"), 1, &result), E_INVALIDARG);
    EXPECT_EQ(out.bytes, "");
    ASSERT_EQ(core->violations().size(), 2u);
    EXPECT_EQ(core->violations()[0], "DrvWriteSpoolBuf with length 0");
}

TEST_F(HostCoreTest, SurvivesAReleaseTooMany) {
    EXPECT_EQ(core->AddRef(), 2u);
    EXPECT_EQ(core->Release(), 1u);
    EXPECT_EQ(core->Release(), 1u) << "the core driver's own reference is not the plug-in's to drop";
    EXPECT_EQ(core->violations().size(), 1u);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(core->QueryInterface(IID_IPrintCorePS2, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(core->references(), 2u);
    unknown->Release();
    EXPECT_EQ(core->QueryInterface(IID_IPrintOemDriverPS, reinterpret_cast<void**>(&unknown)), E_NOINTERFACE);
}

TEST_F(HostCoreTest, GlobalAttributesComeFromThePrinterDescription) {
    DWORD type = 0, needed = 0;
    EXPECT_EQ(core->GetGlobalAttribute(&device, 0, "NickName", &type, nullptr, 0, &needed), E_OUTOFMEMORY);
    EXPECT_EQ(needed, sizeof(L"Test Model"));
    wchar_t name[32];
    ASSERT_EQ(core->GetGlobalAttribute(&device, 0, "NickName", &type, reinterpret_cast<PBYTE>(name), sizeof name,
                                       &needed), S_OK);
    EXPECT_EQ(type, static_cast<DWORD>(kADT_UNICODE));
    EXPECT_STREQ(name, L"Test Model");
    BOOL colour = FALSE;
    ASSERT_EQ(core->GetGlobalAttribute(&device, 0, "ColorDevice", &type, reinterpret_cast<PBYTE>(&colour),
                                       sizeof colour, &needed), S_OK);
    EXPECT_TRUE(colour);
    EXPECT_EQ(core->GetGlobalAttribute(&device, 0, "Nonsense", &type, nullptr, 0, &needed), E_INVALIDARG);
}

TEST(MultiSz, BuildsAndSplitsDoubleNulLists) {
    EXPECT_EQ(MultiSz({"a", "bc"}), std::string("a\0bc\0\0", 6));
    EXPECT_EQ(MultiSz({}), std::string("\0", 1));
    std::vector<std::string> items;
    EXPECT_TRUE(SplitMultiSz("a\0bc\0", 6, &items));
    EXPECT_EQ(items, (std::vector<std::string>{"a", "bc"}));
    EXPECT_TRUE(SplitMultiSz("", 1, &items));
    EXPECT_TRUE(items.empty());
    EXPECT_FALSE(SplitMultiSz("a\0bc", 5, &items)) << "no terminating empty string";
    EXPECT_FALSE(SplitMultiSz("abc", 3, &items));
    EXPECT_FALSE(SplitMultiSz(nullptr, 4, &items));
}

}  // namespace
