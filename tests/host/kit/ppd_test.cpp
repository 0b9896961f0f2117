#include "host/kit/ppd.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace corv::host;

// The printer descriptions that ship with the host are copied beside the test program.
std::string ReadShipped(const char* name) {
    std::ifstream in(std::string("printers/") + name, std::ios::binary);
    if (!in) {
        // ctest runs the program from its own folder; a manual run may start elsewhere.
        char path[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        while (n && path[n - 1] != '\\' && path[n - 1] != '/') --n;
        path[n] = 0;
        in.open(std::string(path) + "printers/" + name, std::ios::binary);
    }
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Ppd Parse(const std::string& text) {
    Ppd ppd;
    std::string error;
    EXPECT_TRUE(ParsePpd(text, &ppd, &error)) << error;
    return ppd;
}

std::string ParseError(const std::string& text) {
    Ppd ppd;
    std::string error;
    EXPECT_FALSE(ParsePpd(text, &ppd, &error));
    return error;
}

const char* const kOptional[] = {"HasPrintandHold", "HasKeepPreviousPHJobs", "HasManualColorCorrection",
                                 "HasManualDuplex", "HasFaxCard", "FaxCard"};

TEST(ShippedPpd, ColourModelHasEveryOptionalFeature) {
    std::string text = ReadShipped("corvane-cp4500.ppd");
    ASSERT_FALSE(text.empty());
    Ppd ppd = Parse(text);
    ASSERT_NE(ppd.Global("NickName"), nullptr);
    EXPECT_EQ(*ppd.Global("NickName"), "Corvane CP 4500 PS");
    EXPECT_TRUE(ppd.IsTrue("ColorDevice"));
    for (const char* keyword : kOptional) {
        const PpdFeature* f = ppd.Feature(keyword);
        ASSERT_NE(f, nullptr) << keyword;
        EXPECT_EQ(f->uiType, "Boolean") << keyword;
        EXPECT_EQ(f->defaultOption, "True") << keyword;
        EXPECT_EQ(f->options.size(), 2u) << keyword;
    }
    EXPECT_EQ(ppd.Feature("Duplex"), nullptr) << "two-sided printing is manual on this model";
    const PpdFeature* nup = ppd.Feature("PagePerSheet");
    ASSERT_NE(nup, nullptr);
    EXPECT_EQ(nup->defaultOption, "1");
    EXPECT_NE(nup->Option("Booklet"), nullptr);
    EXPECT_NE(nup->Option("16"), nullptr);

    PaperSize letter;
    ASSERT_TRUE(ReadPaperSize(ppd, ppd.Feature("PageSize")->defaultOption, &letter));
    EXPECT_EQ(letter.name, "Letter");
    EXPECT_EQ(letter.width, 612);
    EXPECT_EQ(letter.height, 792);
    EXPECT_EQ(letter.left, 12);
    EXPECT_EQ(letter.top, 780);
    EXPECT_EQ(ppd.Feature("PageSize")->Option("A4")->code, "<</PageSize [595 842] /ImagingBBox null>> setpagedevice");

    const PpdFeature* jcl = ppd.Feature("JCLResolution");
    ASSERT_NE(jcl, nullptr);
    EXPECT_TRUE(jcl->IsJcl());
    EXPECT_EQ(jcl->Option(jcl->defaultOption)->code, "@PJL SET RESOLUTION = 600\n");
    EXPECT_EQ(ResolutionDpi(ppd.Feature("Resolution")->defaultOption), 600);
}

TEST(ShippedPpd, MonochromeModelHasNoneOfThem) {
    std::string text = ReadShipped("corvane-mp2100.ppd");
    ASSERT_FALSE(text.empty());
    Ppd ppd = Parse(text);
    EXPECT_EQ(*ppd.Global("NickName"), "Corvane MP 2100 PS");
    EXPECT_FALSE(ppd.IsTrue("ColorDevice"));
    for (const char* keyword : kOptional) EXPECT_EQ(ppd.Feature(keyword), nullptr) << keyword;
    ASSERT_NE(ppd.Feature("Duplex"), nullptr);
    EXPECT_EQ(ppd.Feature("Duplex")->defaultOption, "None");
    EXPECT_EQ(ppd.Feature("PagePerSheet")->Option("Booklet"), nullptr);
    PaperSize a4;
    ASSERT_TRUE(ReadPaperSize(ppd, ppd.Feature("PageSize")->defaultOption, &a4));
    EXPECT_EQ(a4.width, 595);
    EXPECT_EQ(a4.height, 842);
    EXPECT_EQ(a4.right, 581);
}

TEST(PpdReader, ReadsOptionsTranslationsAndMultiLineValues) {
    Ppd ppd = Parse(
        "*PPD-Adobe: \"4.3\"\r\n"
        "*% a comment with *OpenUI in it\r\n"
        "*NickName: \"Model X\"\r\n"
        "*OpenUI *Tray/Paper Source: PickOne\r\n"
        "*DefaultTray: Lower\r\n"
        "*Tray Upper/Upper Tray: \"<</MediaPosition 0>>\r\n"
        "setpagedevice\"\r\n"
        "*End\r\n"
        "*Tray Lower: \"<</MediaPosition 1>> setpagedevice\"\r\n"
        "*CloseUI: *Tray\r\n"
        "*PaperDimension Letter/US Letter: \"612 792\"\r\n");
    EXPECT_EQ(*ppd.Global("NickName"), "Model X");
    const PpdFeature* tray = ppd.Feature("Tray");
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->text, "Paper Source");
    EXPECT_EQ(tray->defaultOption, "Lower");
    ASSERT_EQ(tray->options.size(), 2u);
    EXPECT_EQ(tray->options[0].text, "Upper Tray");
    EXPECT_EQ(tray->options[0].code, "<</MediaPosition 0>>\nsetpagedevice");
    EXPECT_EQ(tray->options[1].text, "Lower") << "without a translation the keyword is the text";
    EXPECT_EQ(*ppd.Value("PaperDimension", "Letter"), "612 792");
    EXPECT_EQ(ppd.Value("PaperDimension", "A4"), nullptr);
}

TEST(PpdReader, DefaultsToTheFirstOptionWhenNoneIsGiven) {
    Ppd ppd = Parse("*PPD-Adobe: \"4.3\"\n*OpenUI *Media: PickOne\n*Media Plain: \"\"\n*Media Glossy: \"\"\n"
                    "*CloseUI: *Media\n");
    EXPECT_EQ(ppd.Feature("Media")->defaultOption, "Plain");
}

TEST(PpdReader, SaysWhereAMalformedFileGoesWrong) {
    const std::string head = "*PPD-Adobe: \"4.3\"\n";
    EXPECT_EQ(ParseError("*NickName: \"x\"\n"), "line 1: not a printer description (no *PPD-Adobe)");
    EXPECT_EQ(ParseError(head + "*NickName: \"never closed\n*ModelName: x\n"),
              "line 2: the string of *NickName is never closed");
    EXPECT_EQ(ParseError(head + "*OpenUI *A: PickOne\n*CloseUI: *B\n"), "line 3: *CloseUI: *B closes the block of *A");
    EXPECT_EQ(ParseError(head + "*OpenUI *A: PickOne\n*OpenUI *B: PickOne\n"),
              "line 3: *OpenUI inside the block of *A");
    EXPECT_EQ(ParseError(head + "*OpenUI *A: PickOne\n*A x: \"\"\n"), "line 2: *OpenUI *A is never closed");
    EXPECT_EQ(ParseError(head + "*CloseUI: *A\n"), "line 2: *CloseUI without *OpenUI");
    EXPECT_EQ(ParseError(head + "*OpenUI *A: PickSome\n"), "line 2: *A has the unknown UI type 'PickSome'");
    EXPECT_EQ(ParseError(head + "*OpenUI *A: PickOne\n*DefaultA: z\n*A x: \"\"\n*CloseUI: *A\n"),
              "line 3: the default z is not an option of *A");
    EXPECT_EQ(ParseError(head + "*OpenUI *A: PickOne\n*A x: \"\"\n*A x: \"\"\n*CloseUI: *A\n"),
              "line 4: option x of *A is given twice");
    EXPECT_EQ(ParseError(head + "*OpenUI *A: PickOne\n*CloseUI: *A\n*OpenUI *A: PickOne\n"),
              "line 4: *A is opened twice");
    EXPECT_EQ(ParseError(head + "*NickName \"x\"\n"), "line 2: *NickName has no ':'");
    EXPECT_EQ(ParseError(head + "*JCLOpenUI *JCLX: PickOne\n*JCLX a: \"<0G>\"\n*JCLCloseUI: *JCLX\n"),
              "line 3: bad hex substring in *JCLX a");
}

TEST(PpdReader, PaperSizeNeedsAnOptionAndItsDimension) {
    Ppd ppd = Parse("*PPD-Adobe: \"4.3\"\n*OpenUI *PageSize: PickOne\n*PageSize Card: \"\"\n*PageSize Odd: \"\"\n"
                    "*CloseUI: *PageSize\n*PaperDimension Card: \"288 432\"\n*PaperDimension Odd: \"wide\"\n"
                    "*PaperDimension Stray: \"100 100\"\n");
    PaperSize paper;
    ASSERT_TRUE(ReadPaperSize(ppd, "Card", &paper));
    EXPECT_EQ(paper.right, 288) << "no imageable area: the whole sheet";
    EXPECT_EQ(paper.top, 432);
    EXPECT_FALSE(ReadPaperSize(ppd, "Odd", &paper));
    EXPECT_FALSE(ReadPaperSize(ppd, "Stray", &paper)) << "not an option of *PageSize";
    EXPECT_FALSE(ReadPaperSize(ppd, "A4", &paper));
}

TEST(ShippedPpd, BothModelsListTheStandardResidentFonts) {
    // The watermark dialog offers these fonts and the job's drawing is mapped onto them, so
    // both models must carry the faces those mappings name.
    for (const char* name : {"corvane-cp4500.ppd", "corvane-mp2100.ppd"}) {
        Ppd ppd = Parse(ReadShipped(name));
        std::vector<std::string> fonts = PrinterFonts(ppd);
        EXPECT_EQ(fonts.size(), 35u) << name;
        for (const char* face : {"Helvetica", "Helvetica-BoldOblique", "Times-Roman", "Times-BoldItalic", "Courier",
                                 "Courier-Oblique", "Symbol"})
            EXPECT_NE(std::find(fonts.begin(), fonts.end(), face), fonts.end()) << name << " lacks " << face;
        EXPECT_EQ(*ppd.Global("DefaultFont"), "Courier") << name;
    }
}

// What the plug-ins ask the core driver about, and what the PPD checker requires besides: the
// page order the UI plug-in watches, and a *PageRegion for every *PageSize with the same default.
TEST(ShippedPpd, BothModelsDeclarePageOrderAndARegionForEverySize) {
    for (const char* name : {"corvane-cp4500.ppd", "corvane-mp2100.ppd"}) {
        Ppd ppd = Parse(ReadShipped(name));
        const PpdFeature* order = ppd.Feature("OutputOrder");
        ASSERT_NE(order, nullptr) << name;
        EXPECT_EQ(order->defaultOption, "Normal") << name;
        EXPECT_NE(order->Option("Reverse"), nullptr) << name;
        const PpdFeature* sizes = ppd.Feature("PageSize");
        const PpdFeature* regions = ppd.Feature("PageRegion");
        ASSERT_NE(sizes, nullptr) << name;
        ASSERT_NE(regions, nullptr) << name;
        EXPECT_EQ(regions->defaultOption, sizes->defaultOption) << name;
        ASSERT_EQ(regions->options.size(), sizes->options.size()) << name;
        for (const auto& size : sizes->options) {
            ASSERT_NE(regions->Option(size.keyword), nullptr) << name << " " << size.keyword;
            PaperSize paper;
            EXPECT_TRUE(ReadPaperSize(ppd, size.keyword, &paper)) << name << " " << size.keyword;
        }
        ASSERT_NE(ppd.Feature("PagePerSheet"), nullptr) << name;
        // The 8.3 name the package gives the description.
        ASSERT_NE(ppd.Global("PCFileName"), nullptr) << name;
    }
}

TEST(PpdReader, FontsComeOnlyFromFontEntriesInTheirOrder) {
    Ppd ppd = Parse("*PPD-Adobe: \"4.3\"\n*Font Zeta: Standard \"(001.000)\" Standard ROM\n"
                    "*PaperDimension A4: \"595 842\"\n*Font Alpha: Special \"(002.000)\" Special Disk\n");
    EXPECT_EQ(PrinterFonts(ppd), (std::vector<std::string>{"Zeta", "Alpha"}));
}

TEST(PpdReader, ResolutionKeywords) {
    EXPECT_EQ(ResolutionDpi("600dpi"), 600);
    EXPECT_EQ(ResolutionDpi("1200x600dpi"), 1200);
    EXPECT_EQ(ResolutionDpi("dpi"), 0);
    EXPECT_EQ(ResolutionDpi("600"), 0);
    EXPECT_EQ(ResolutionDpi("High"), 0);
}

}  // namespace
