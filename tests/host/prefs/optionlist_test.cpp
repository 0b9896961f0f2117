#include "host/prefs/optionlist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace corv::host;

const char kPrinter[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*OpenUI *Resolution/Resolution: PickOne\n"
    "*DefaultResolution: 600dpi\n"
    "*Resolution 600dpi/600 dpi: \"\"\n"
    "*Resolution 1200dpi/1200 dpi: \"\"\n"
    "*CloseUI: *Resolution\n";

class OptionList : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ParsePpd(kPrinter, &ppd, &error)) << error;
    }
    Ppd ppd;
};

std::vector<std::wstring> ParamTexts(const OPTITEM& item) {
    std::vector<std::wstring> texts;
    for (WORD i = 0; i < item.pOptType->Count; ++i) texts.push_back(item.pOptType->pOptParam[i].pData);
    return texts;
}

const char* Keyword(const OPTITEM& item) { return reinterpret_cast<const USERDATA*>(item.UserData)->pKeyWordName; }

TEST_F(OptionList, ItemsInOrderWithTheirIdentifiersTypesAndKeywords) {
    DriverOptionList list(ppd);
    struct Row {
        const wchar_t* name;
        BYTE dmPubId;
        BYTE type;
        WORD count;
        const char* keyword;
    };
    const Row rows[] = {
        {L"Orientation", DMPUB_ORIENTATION, TVOT_2STATES, 2, "Orientation"},
        {L"Copy Count", DMPUB_COPIES_COLLATE, TVOT_UDARROW, 2, "Copies"},
        {L"Pages per Sheet", DMPUB_NUP, TVOT_LISTBOX, 7, "PagePerSheet"},
        {L"Page Order", DMPUB_PAGEORDER, TVOT_2STATES, 2, "OutputOrder"},
        {L"Job Note", 0, TVOT_EDITBOX, 2, "JobNote"},
        {L"Resolution", 0, TVOT_LISTBOX, 2, "Resolution"},
    };
    ASSERT_EQ(list.count(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const OPTITEM& item = list.item(i);
        EXPECT_EQ(item.cbSize, sizeof(OPTITEM));
        EXPECT_STREQ(item.pName, rows[i].name);
        EXPECT_EQ(item.DMPubID, rows[i].dmPubId);
        ASSERT_NE(item.pOptType, nullptr);
        EXPECT_EQ(item.pOptType->cbSize, sizeof(OPTTYPE));
        EXPECT_EQ(item.pOptType->Type, rows[i].type);
        EXPECT_EQ(item.pOptType->Count, rows[i].count);
        for (WORD p = 0; p < item.pOptType->Count; ++p) EXPECT_EQ(item.pOptType->pOptParam[p].cbSize, sizeof(OPTPARAM));
        EXPECT_EQ(item.Flags & OPTIF_HIDE, 0u);
        ASSERT_NE(item.UserData, 0u);
        EXPECT_EQ(reinterpret_cast<const USERDATA*>(item.UserData)->dwSize, sizeof(USERDATA));
        EXPECT_STREQ(Keyword(item), rows[i].keyword);
    }
}

TEST_F(OptionList, PagesPerSheetEndsWithBookletAndPageOrderSecondIsBackToFront) {
    DriverOptionList list(ppd);
    POPTITEM nup = list.Find(DMPUB_NUP);
    ASSERT_NE(nup, nullptr);
    EXPECT_EQ(ParamTexts(*nup), (std::vector<std::wstring>{L"1", L"2", L"4", L"6", L"9", L"16", L"Booklet"}));
    EXPECT_STREQ(nup->pOptType->pOptParam[kNupBookletIndex].pData, L"Booklet");
    POPTITEM order = list.Find(DMPUB_PAGEORDER);
    ASSERT_NE(order, nullptr);
    EXPECT_EQ(ParamTexts(*order), (std::vector<std::wstring>{L"Front to Back", L"Back to Front"}));
    EXPECT_EQ(list.Find(DMPUB_DUPLEX), nullptr);
}

TEST_F(OptionList, CopiesCountFromOneAndTheJobNoteEditsTheListsOwnBuffer) {
    DriverOptionList list(ppd);
    POPTITEM copies = list.Find(DMPUB_COPIES_COLLATE);
    ASSERT_NE(copies, nullptr);
    EXPECT_EQ(copies->Sel, 1);
    EXPECT_EQ(copies->pOptType->pOptParam[1].IconID, 1u);
    EXPECT_EQ(copies->pOptType->pOptParam[1].lParam, 999);
    const OPTITEM& note = list.item(4);
    EXPECT_EQ(note.pSel, list.jobNote());
    EXPECT_EQ(note.pOptType->pOptParam[1].IconID, kJobNoteCapacity);
}

TEST_F(OptionList, DescribeShowsEverySelectionAsTheSheetLeftIt) {
    DriverOptionList list(ppd);
    EXPECT_EQ(list.Describe(), (std::vector<std::wstring>{L"Orientation = Portrait", L"Copy Count = 1",
                                                          L"Pages per Sheet = 1", L"Page Order = Front to Back",
                                                          L"Job Note = ", L"Resolution = 600dpi"}));
    list.Find(DMPUB_ORIENTATION)->Sel = 1;
    list.Find(DMPUB_COPIES_COLLATE)->Sel = 12;
    list.Find(DMPUB_NUP)->Sel = kNupBookletIndex;
    list.Find(DMPUB_PAGEORDER)->Sel = 7;  // out of range: shown as the number
    wcscpy(list.jobNote(), L"for Ann");
    list.items()[5].Sel = 1;
    EXPECT_EQ(list.Describe(), (std::vector<std::wstring>{L"Orientation = Landscape", L"Copy Count = 12",
                                                          L"Pages per Sheet = Booklet", L"Page Order = (7)",
                                                          L"Job Note = for Ann", L"Resolution = 1200dpi"}));
}

TEST_F(OptionList, APrinterWithoutResolutionsStillOffersOne) {
    Ppd empty;
    DriverOptionList list(empty);
    ASSERT_EQ(list.count(), 6u);
    EXPECT_EQ(ParamTexts(list.item(5)), std::vector<std::wstring>{L"600dpi"});
}

}  // namespace
