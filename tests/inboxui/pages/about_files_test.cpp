#include "plug-in/inboxui/pages/about.h"

#include "tests/inboxui/pages/versionfiles.h"

#include "corvversion.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using corv::ui::BuildFileList;
using corv::ui::FileNameOfPath;
using corv::ui::ReadFileVersionText;
using corvtest::ScratchFiles;

using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

void Collect(void* context, const WCHAR* name, const WCHAR* version) {
    static_cast<Rows*>(context)->emplace_back(name, version);
}

std::wstring VersionOf(const std::wstring& path, bool* listed = nullptr) {
    WCHAR text[corv::ui::kVersionTextCapacity] = L"?";
    bool ok = ReadFileVersionText(path.c_str(), L"N/A", text, corv::ui::kVersionTextCapacity);
    if (listed) *listed = ok;
    return ok ? text : L"";
}

TEST(AboutFileVersions, RealVersionResources) {
    ScratchFiles files;
    EXPECT_EQ(VersionOf(files.TestProgram()), CORV_VERSION_WIDE);  // the UI plug-in's own VERSIONINFO
    std::wstring system = VersionOf(files.SystemFile(L"kernel32.dll"));
    EXPECT_FALSE(system.empty());
    EXPECT_NE(system, L"N/A");
    EXPECT_EQ(VersionOf(files.TextFile(L"readme.txt")), L"N/A");
    EXPECT_EQ(VersionOf(files.Missing(L"gone.dll")), L"N/A");
}

TEST(AboutFileVersions, ResourceWithoutTranslationOrFileVersionGetsNoRow) {
    ScratchFiles files;
    bool listed = true;
    VersionOf(files.WithVersionResource(L"notrans.dll", corvtest::VersionShape::NoTranslation), &listed);
    EXPECT_FALSE(listed);
    VersionOf(files.WithVersionResource(L"nofv.dll", corvtest::VersionShape::NoFileVersion), &listed);
    EXPECT_FALSE(listed);
    VersionOf(files.WithVersionResource(L"emptyfv.dll", corvtest::VersionShape::EmptyFileVersion), &listed);
    EXPECT_FALSE(listed);
    EXPECT_EQ(VersionOf(files.WithVersionResource(L"german.dll", corvtest::VersionShape::GermanFileVersion)),
              L"7.1.2");
}

TEST(AboutFileList, ConfigDriverThenDependentsInOrderIncludingRepeats) {
    ScratchFiles files;
    std::wstring exe = files.TestProgram();
    std::wstring text = files.TextFile(L"corv.ppd");
    std::wstring bare = files.WithVersionResource(L"bare.dll", corvtest::VersionShape::NoFileVersion);
    std::wstring dependents = text + L'\0' + bare + L'\0' + exe + L'\0' + text + L'\0' + L'\0';

    DRIVER_INFO_3W info{};
    info.pConfigFile = exe.data();
    info.pDriverPath = text.data();
    info.pDependentFiles = dependents.data();
    Rows rows;
    EXPECT_EQ(BuildFileList(&info, L"N/A", Collect, &rows), 5);
    std::wstring exeName = FileNameOfPath(exe.c_str());
    Rows expected = {{exeName, CORV_VERSION_WIDE}, {L"corv.ppd", L"N/A"}, {L"corv.ppd", L"N/A"},
                     {exeName, CORV_VERSION_WIDE}, {L"corv.ppd", L"N/A"}};
    EXPECT_EQ(rows, expected);
}

TEST(AboutFileList, MissingPiecesGiveNoRows) {
    Rows rows;
    DRIVER_INFO_3W info{};
    EXPECT_EQ(BuildFileList(&info, L"N/A", Collect, &rows), 0);
    EXPECT_EQ(BuildFileList(nullptr, L"N/A", Collect, &rows), 0);
    EXPECT_TRUE(rows.empty());
}

}  // namespace
