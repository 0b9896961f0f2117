// The preferences a sheet keeps and the script a sheet plays: what a file of steps reads as, and
// which stored bytes count as a DEVMODE of this driver.
#include "host/kit/devmodes.h"
#include "host/prefs/script.h"
#include "host/prefs/userprefs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace corv::host;

TEST(PrefsScript, StepsWithTheirLinesValuesKeepInnerBlanks) {
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(ParseScript(L"# a comment\r\n\r\npage  Output Options \r\nset 1084 Confidential Print\n"
                            L"set 1085\npress 1054\nanswer no\n   answer yes",
                            &steps, &error))
        << error;
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[0].kind, ScriptStep::Kind::Page);
    EXPECT_EQ(steps[0].text, L"Output Options");
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[1].kind, ScriptStep::Kind::Set);
    EXPECT_EQ(steps[1].control, 1084);
    EXPECT_EQ(steps[1].text, L"Confidential Print");
    EXPECT_EQ(steps[2].text, L"");  // an empty edit field
    EXPECT_EQ(steps[3].kind, ScriptStep::Kind::Press);
    EXPECT_EQ(steps[3].control, 1054);
    EXPECT_EQ(steps[4].answer, IDNO);
    EXPECT_EQ(steps[5].answer, IDYES);
    EXPECT_EQ(steps[5].line, 8);
}

TEST(PrefsScript, TheFirstBadLineIsNamed) {
    struct Case {
        const wchar_t* text;
        const char* error;
    } cases[] = {
        {L"page\n", "line 1: page needs the page's title"},
        {L"page A\nset x 1\n", "line 2: set needs a control id from 1 to 65535"},
        {L"press 70000\n", "line 1: press needs a control id from 1 to 65535"},
        {L"press 12 13\n", "line 1: press needs a control id from 1 to 65535"},
        {L"\n\nanswer maybe\n", "line 3: answer needs yes, no, ok or cancel"},
        {L"click 1\n", "line 1: unknown step 'click' (page, set, press, answer)"},
    };
    for (const Case& c : cases) {
        std::vector<ScriptStep> steps;
        std::string error;
        EXPECT_FALSE(ParseScript(c.text, &steps, &error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(UserPreferences, KeptBytesComeBackOnlyAsADevModeOfTheSameShape) {
    DEVMODEW base = DriverPublicDevMode(L"Corvane CP 4500 PS");
    base.dmCopies = 3;
    DevModeBuffer dm(base, 64);
    dm.Private()[10] = 0x5A;
    std::string error;
    ASSERT_TRUE(WriteUserPreferences(L"corvhost test printer", dm, &error)) << error;
    DevModeBuffer back;
    ASSERT_TRUE(ReadUserPreferences(L"corvhost test printer", 64, &back));
    EXPECT_EQ(back.Public()->dmCopies, 3);
    EXPECT_EQ(DevModeBuffer::FirstDifference(dm, back), -1);
    EXPECT_FALSE(ReadUserPreferences(L"corvhost test printer", 65, &back));  // another plug-in's size
    EXPECT_FALSE(ReadUserPreferences(L"another printer", 64, &back));

    std::vector<BYTE> bytes = dm.bytes();
    bytes[offsetof(DEVMODEW, dmDriverExtra)] ^= 1;
    EXPECT_FALSE(DevModeBuffer::FromBytes(bytes, 64, &back));
    bytes = dm.bytes();
    bytes.pop_back();
    EXPECT_FALSE(DevModeBuffer::FromBytes(bytes, 64, &back));

    EXPECT_TRUE(ForgetUserPreferences(L"corvhost test printer"));
    EXPECT_FALSE(ForgetUserPreferences(L"corvhost test printer"));
    EXPECT_FALSE(ReadUserPreferences(L"corvhost test printer", 64, &back));
}

}  // namespace
