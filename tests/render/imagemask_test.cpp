#include "plug-in/render/imagemask.h"
#include "render/coreddi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using corv::render::FillImageMaskSwitch;
using corv::render::ImageMaskSwitchCount;
using corv::render::IsSpecialImageMask;

namespace {

const std::string kClosing = "] ds imagemask grestore} for pop} forGSE";

// A passthrough buffer: the count of the data, then the data.
std::string Passthrough(const std::string& data) {
    std::string buffer(2, '\0');
    buffer[0] = static_cast<char>(data.size() & 0xFF);
    buffer[1] = static_cast<char>(data.size() >> 8);
    return buffer + data;
}

bool Special(const std::string& buffer) {
    return IsSpecialImageMask(reinterpret_cast<const BYTE*>(buffer.data()), static_cast<DWORD>(buffer.size()));
}

std::string Filler(size_t n) { return std::string(n, 'x'); }

}  // namespace

TEST(ImageMask, EachOpeningWithTheClosingIsSpecial) {
    for (const char* opening : {"/languagelevel", "0 GpPBeg", "GpPBeg1", "userdict /GpPBeg"})
        EXPECT_TRUE(Special(Passthrough(std::string(opening) + Filler(20) + kClosing))) << opening;
}

TEST(ImageMask, OpeningMustMatchInFull) {
    EXPECT_FALSE(Special(Passthrough("/languagelevex" + Filler(20) + kClosing)));
    EXPECT_FALSE(Special(Passthrough("GpPBeg2" + Filler(20) + kClosing)));
    EXPECT_FALSE(Special(Passthrough("userdict /GpPbeg" + Filler(20) + kClosing)));
    EXPECT_FALSE(Special(Passthrough(" /languagelevel" + Filler(20) + kClosing)));
    EXPECT_FALSE(Special(Passthrough("%!PS" + Filler(20) + kClosing)));
}

TEST(ImageMask, FiftyBytesInAllAtLeast) {
    std::string fifty = Passthrough("0 GpPBeg" + kClosing);  // 2 + 8 + 40
    ASSERT_EQ(fifty.size(), 50u);
    EXPECT_TRUE(Special(fifty));
    std::string fortyNine = Passthrough("GpPBeg1" + kClosing);
    ASSERT_EQ(fortyNine.size(), 49u);
    EXPECT_FALSE(Special(fortyNine));
}

TEST(ImageMask, ClosingMustStartWithinTheLastFiftyBytes) {
    std::string base = "/languagelevel" + Filler(30) + kClosing;
    EXPECT_TRUE(Special(Passthrough(base + std::string(10, ' '))));  // ']' 50 bytes from the end
    EXPECT_FALSE(Special(Passthrough(base + std::string(11, ' '))));  // 51 bytes
}

TEST(ImageMask, LineBreaksInTheClosingAreLeftOut) {
    std::string broken = "] ds image\r\nmask grestore} for\n pop} forGSE";
    EXPECT_TRUE(Special(Passthrough("/languagelevel" + Filler(20) + broken)));
    std::string wrong = "] ds imagemask grestore} for pop} forGSX";
    EXPECT_FALSE(Special(Passthrough("/languagelevel" + Filler(20) + wrong)));
    std::string spaced = "] ds imagemask  grestore} for pop} forGSE";  // a blank is not left out
    EXPECT_FALSE(Special(Passthrough("/languagelevel" + Filler(20) + spaced)));
}

TEST(ImageMask, BufferEndingBeforeAMismatchStillMatches) {
    // 40 bytes from ']' to the end, but line breaks leave only a prefix of the closing text.
    std::string tail = "] ds imagemask grestore} for pop}" + std::string(7, '\n');
    ASSERT_EQ(tail.size(), 40u);
    EXPECT_TRUE(Special(Passthrough("/languagelevel" + Filler(20) + tail)));
    // Fewer than 40 bytes from the only ']' to the end.
    EXPECT_FALSE(Special(Passthrough("/languagelevel" + Filler(40) + "] ds imagemask grestore}")));
}

TEST(ImageMask, AnEarlierBracketDoesNotHideTheClosing) {
    EXPECT_TRUE(Special(Passthrough("/languagelevel" + Filler(20) + "]]" + kClosing)));
}

TEST(ImageMask, ReadsNothingPastTheBufferWhateverTheCountSays) {
    std::string data = Passthrough("/languagelevel" + Filler(100) + kClosing);
    data[0] = data[1] = static_cast<char>(0xFF);  // the count claims 65535 bytes
    corvtest::GuardedBlock block(static_cast<DWORD>(data.size()));
    std::memcpy(block.data(), data.data(), data.size());
    EXPECT_TRUE(IsSpecialImageMask(block.data(), block.size()));
    EXPECT_EQ(ImageMaskSwitchCount(block.data(), block.size()), data.size() - 2);

    // A buffer that ends inside the opening.
    corvtest::GuardedBlock shortBlock(60);
    std::memset(shortBlock.data(), ']', 60);
    std::memcpy(shortBlock.data() + 2, "userdict /GpP", 13);
    EXPECT_FALSE(IsSpecialImageMask(shortBlock.data(), shortBlock.size()));
    EXPECT_FALSE(IsSpecialImageMask(nullptr, 200));
}

TEST(ImageMaskSwitch, HoldsTheCountTheTextAndNulPadding) {
    std::string on(200, '?');
    FillImageMaskSwitch(reinterpret_cast<BYTE*>(on.data()), 200, 0x01C6, true);
    std::string text =
        "4072958316 internaldict /SetSpecialImagemaskFlag known {4072958316 internaldict "
        "/SetSpecialImagemaskFlag get 1 exch exec}if";
    std::string expected = std::string("\xC6\x01", 2) + text;
    expected.resize(200, '\0');
    EXPECT_EQ(on, expected);

    std::string off(200, '?');
    FillImageMaskSwitch(reinterpret_cast<BYTE*>(off.data()), 200, 0x01C6, false);
    expected.replace(expected.find("get 1"), 5, "get 0");
    EXPECT_EQ(off, expected);
}

TEST(ImageMaskSwitch, TextIsCutToASmallBuffer) {
    corvtest::GuardedBlock block(40);
    FillImageMaskSwitch(block.data(), block.size(), 38, true);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data()), 40),
              std::string("\x26\0", 2) + "4072958316 internaldict /SetSpecialIma");
}

TEST(ImageMaskSwitch, CountIsTheApplicationsUnlessItClaimsTooMuch) {
    std::string honest = Passthrough(Filler(150));
    EXPECT_EQ(ImageMaskSwitchCount(reinterpret_cast<const BYTE*>(honest.data()), 152), 150);
    EXPECT_EQ(ImageMaskSwitchCount(reinterpret_cast<const BYTE*>(honest.data()), 160), 150);  // shorter count stays
    EXPECT_EQ(ImageMaskSwitchCount(reinterpret_cast<const BYTE*>(honest.data()), 100), 98);
    EXPECT_EQ(ImageMaskSwitchCount(reinterpret_cast<const BYTE*>(honest.data()), 1), 0);
}
