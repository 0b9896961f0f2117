#include "common/coreboundary.h"

#include "support/fakecore.h"

#include <gtest/gtest.h>

using namespace corv;
using corvtest::FakeCore;

TEST(CoreFeatures, EnumOptionsAndFeatureAttributeRules) {
    FakeCore core;
    core.features = {"HasManualDuplex"};
    EXPECT_TRUE(HasFeature(&core, static_cast<PDEVOBJ>(nullptr), "HasManualDuplex"));
    EXPECT_FALSE(HasFeature(&core, static_cast<PDEVOBJ>(nullptr), "HasKeepPreviousPHJobs"));
    EXPECT_TRUE(HasFeatureAttribute(&core, nullptr, "HasManualDuplex"));
    EXPECT_FALSE(HasFeatureAttribute(&core, nullptr, "HasManualColorCorrection"));
    EXPECT_FALSE(HasFeature(static_cast<IPrintCorePS2*>(nullptr), static_cast<PDEVOBJ>(nullptr), "HasManualDuplex"));
}

TEST(PagesPerSheet, FromTheCoreDriversAnswer) {
    FakeCore core;
    struct Case {
        const char* option;
        BookletMatch match;
        LONG expected;
    } cases[] = {
        {"2", BookletMatch::IgnoreCase, 2},
        {"4", BookletMatch::ExactCase, 4},
        {"16Up", BookletMatch::IgnoreCase, 16},
        {"Booklet", BookletMatch::IgnoreCase, 1},
        {"BOOKLET", BookletMatch::IgnoreCase, 1},
        {"BOOKLET", BookletMatch::ExactCase, 0},  // not the keyword, and not a number
        {"Booklet", BookletMatch::ExactCase, 1},
        {"Bookletter", BookletMatch::IgnoreCase, 0},
        {"one", BookletMatch::IgnoreCase, 0},
        {"-2", BookletMatch::IgnoreCase, -2},
    };
    for (const Case& c : cases) {
        core.pagePerSheet = c.option;
        EXPECT_EQ(PagesPerSheet(&core, nullptr, c.match), c.expected) << c.option;
    }
    core.pagePerSheet.clear();  // the option cannot be read
    EXPECT_EQ(PagesPerSheet(&core, nullptr, BookletMatch::IgnoreCase), 1);
    EXPECT_EQ(PagesPerSheet(nullptr, nullptr, BookletMatch::IgnoreCase), 1);
}

TEST(PagesPerSheet, AnAnswerWithoutTerminatorIsNotReadPastItsSize) {
    const char answer[] = {'%', 'P', '\0', '4', '4'};  // the option "44" ends with the buffer
    EXPECT_EQ(PagesPerSheetFromAnswer(answer, sizeof answer, BookletMatch::IgnoreCase), 44);
    const char noOption[] = {'%', 'P', 'a', 'g', 'e'};
    EXPECT_EQ(PagesPerSheetFromAnswer(noOption, sizeof noOption, BookletMatch::IgnoreCase), 0);
    EXPECT_EQ(LeadingNumber("  12x", 5), 12);
    EXPECT_EQ(LeadingNumber("123", 2), 12);
}
