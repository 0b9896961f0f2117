#include "host/standins/printerfonts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Seen {
    std::vector<std::wstring> faces;
    std::vector<DWORD> types;
    size_t stopAfter = 100;
};

int CALLBACK Collect(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM lParam) {
    auto* seen = reinterpret_cast<Seen*>(lParam);
    seen->types.push_back(type);
    seen->faces.push_back(font->lfFaceName);
    return seen->faces.size() < seen->stopAfter ? 1 : 0;
}

Seen Enumerate(HDC dc, const wchar_t* face = L"", BYTE charSet = DEFAULT_CHARSET, size_t stopAfter = 100) {
    LOGFONTW request{};
    lstrcpynW(request.lfFaceName, face, LF_FACESIZE);
    request.lfCharSet = charSet;
    Seen seen;
    seen.stopAfter = stopAfter;
    EnumFontFamiliesExW(dc, &request, &Collect, reinterpret_cast<LPARAM>(&seen), 0);
    return seen;
}

TEST(PrinterFontContext, ThePrintersContextListsTheDescriptionsFonts) {
    corv::host::PrinterFontContext fonts(GetModuleHandleW(nullptr), L"Office Laser",
                                         {L"Courier", L"Helvetica-Bold", L"Times-Roman"});
    ASSERT_TRUE(fonts.active());
    HDC dc = CreateDCW(L"PS5UI", L"Office Laser", nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(fonts.drivers(), std::vector<std::wstring>{L"PS5UI"});
    const Seen all = Enumerate(dc);
    EXPECT_EQ(all.faces, (std::vector<std::wstring>{L"Courier", L"Helvetica-Bold", L"Times-Roman"}));
    EXPECT_EQ(all.types, std::vector<DWORD>(3, DEVICE_FONTTYPE));
    EXPECT_EQ(Enumerate(dc, L"times-roman").faces, std::vector<std::wstring>{L"Times-Roman"});
    EXPECT_TRUE(Enumerate(dc, L"", SHIFTJIS_CHARSET).faces.empty());
    EXPECT_EQ(Enumerate(dc, L"", DEFAULT_CHARSET, 2).faces.size(), 2u);
    EXPECT_EQ(fonts.open(), 1u);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(fonts.open(), 0u);

    // Another device is none of its business.
    EXPECT_EQ(CreateDCW(L"PS5UI", L"Other Printer", nullptr, nullptr), nullptr);
    HDC screen = GetDC(nullptr);
    EXPECT_FALSE(Enumerate(screen).faces.empty());
    ReleaseDC(nullptr, screen);
}

TEST(PrinterFontContext, OneAtATime) {
    corv::host::PrinterFontContext first(GetModuleHandleW(nullptr), L"A", {L"Courier"});
    corv::host::PrinterFontContext second(GetModuleHandleW(nullptr), L"A", {L"Times"});
    EXPECT_TRUE(first.active());
    EXPECT_FALSE(second.active());
}

}  // namespace
