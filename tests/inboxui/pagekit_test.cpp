// The page test kit's own stand-ins, where no page uses them yet: a printer's fonts.
#include "tests/support/pagekit/patches.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Listed {
    std::vector<std::wstring> faces;
    std::vector<BYTE> charSets;
    size_t stopAfter = 100;
};

int CALLBACK Collect(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM lParam) {
    auto* listed = reinterpret_cast<Listed*>(lParam);
    listed->faces.push_back(font->lfFaceName);
    listed->charSets.push_back(font->lfCharSet);
    return listed->faces.size() < listed->stopAfter ? 1 : 0;
}

Listed Enumerate(HDC dc, const wchar_t* face, BYTE charSet, size_t stopAfter = 100) {
    LOGFONTW request{};
    lstrcpynW(request.lfFaceName, face, LF_FACESIZE);
    request.lfCharSet = charSet;
    Listed listed;
    listed.stopAfter = stopAfter;
    EnumFontFamiliesExW(dc, &request, &Collect, reinterpret_cast<LPARAM>(&listed), 0);
    return listed;
}

TEST(PrinterFontsKit, APrintersContextListsItsFontsAsGdiFiltersThem) {
    corvtest::PrinterFonts fonts({{L"Courier", ANSI_CHARSET}, {L"Courier", EASTEUROPE_CHARSET}, {L"Helvetica"}});
    ASSERT_TRUE(fonts.active());
    HDC dc = CreateDCW(L"WINSPOOL", L"Office Laser", nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(fonts.devices, std::vector<std::wstring>{L"Office Laser"});

    EXPECT_EQ(Enumerate(dc, L"", DEFAULT_CHARSET).faces,
              (std::vector<std::wstring>{L"Courier", L"Courier", L"Helvetica"}));
    Listed courier = Enumerate(dc, L"Courier", DEFAULT_CHARSET);
    EXPECT_EQ(courier.charSets, (std::vector<BYTE>{ANSI_CHARSET, EASTEUROPE_CHARSET}));
    EXPECT_EQ(Enumerate(dc, L"", EASTEUROPE_CHARSET).faces, std::vector<std::wstring>{L"Courier"});
    EXPECT_EQ(Enumerate(dc, L"", DEFAULT_CHARSET, 1).faces.size(), 1u);  // the callback stops it
    DeleteDC(dc);

    // Any other context is GDI's own.
    HDC screen = GetDC(nullptr);
    EXPECT_FALSE(Enumerate(screen, L"", DEFAULT_CHARSET).faces.empty());
    ReleaseDC(nullptr, screen);
}

}  // namespace
