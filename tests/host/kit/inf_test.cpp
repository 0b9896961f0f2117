#include "host/kit/driverpackage.h"
#include "host/kit/hostio.h"
#include "host/kit/inf.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

using namespace corv::host;

Inf Parse(const std::string& text) {
    Inf inf;
    std::string error;
    EXPECT_TRUE(ParseInf(text, &inf, &error)) << error;
    return inf;
}

// Two manufacturers, one with a decorated model section for x64; comments, quotes, tokens.
const char kInf[] =
    "; a comment line\r\n"
    "[Version]\r\n"
    "Signature=\"$Windows NT$\" ; trailing comment\r\n"
    "Provider=%Maker%\r\n"
    "[Manufacturer]\r\n"
    "%Maker%=Maker,NTx86,NTamd64\r\n"
    "Other=Other\r\n"
    "[Maker.NTamd64]\r\n"
    "\"Model; One = A\"=ONE.PPD,Maker_One\r\n"
    "\"Model Two\"=TWO.PPD,Maker_Two\r\n"
    "[Maker]\r\n"
    "\"Old Model\"=OLD.PPD\r\n"
    "[Other]\r\n"
    "%Third%=THREE.PPD\r\n"
    "[ONE.PPD]\r\n"
    "CopyFiles=@ONE.PPD,FILES,@ONE.PPD\r\n"
    "DataFile=ONE.PPD\r\n"
    "DriverFile=CORE.DLL\r\n"
    "ConfigFile=COREUI.DLL\r\n"
    "HelpFile=CORE.HLP\r\n"
    "Include=SYSTEM.INF\r\n"
    "Needs=CORE.OEM, CORE_DATA\r\n"
    "[TWO.PPD]\r\n"
    "CopyFiles=@TWO.PPD,FILES\r\n"
    "DataFile=TWO.PPD\r\n"
    "[FILES]\r\n"
    "plug.ini\r\n"
    "render.dll,render_x64.dll,,0x20\r\n"
    "COREUI.DLL\r\n"
    "help.chm\r\n"
    "[Strings]\r\n"
    "Maker=\"Maker Inc.\"\r\n"
    "Third=\"Third 100%%\"\r\n";

TEST(InfReader, SectionsKeysAndValuesIgnoreCaseCommentsAndQuotes) {
    Inf inf = Parse(kInf);
    ASSERT_NE(inf.Section("version"), nullptr);
    EXPECT_EQ(*inf.Section("VERSION")->Value("signature"), "\"$Windows NT$\"");
    EXPECT_EQ(inf.Expand(*inf.Section("Version")->Value("Provider")), "Maker Inc.");
    EXPECT_EQ(inf.Expand("%Unknown% and %%"), "%Unknown% and %");
    EXPECT_EQ(InfFields(" a , \"b, c\" ,,d "), (std::vector<std::string>{"a", "b, c", "", "d"}));
    EXPECT_EQ(inf.Section("Missing"), nullptr);

    std::string error;
    Inf bad;
    EXPECT_FALSE(ParseInf("key=value\n[S]\n", &bad, &error));
    EXPECT_EQ(error, "line 1: a line before the first section");
    EXPECT_FALSE(ParseInf("[S]\n[Broken\n", &bad, &error));
    EXPECT_EQ(error, "line 2: a section header without ']'");
}

TEST(InfReader, ModelsComeFromThePlatformsDecoratedSection) {
    Inf inf = Parse(kInf);
    std::vector<InfModel> models = InfModels(inf, "NTamd64");
    ASSERT_EQ(models.size(), 3u);
    // The '=' and ';' inside the quoted model name belong to it.
    EXPECT_EQ(models[0].name, "Model; One = A");
    EXPECT_EQ(models[0].installSection, "ONE.PPD");
    EXPECT_EQ(models[0].hardwareId, "Maker_One");
    EXPECT_EQ(models[0].modelSection, "Maker.NTamd64");
    EXPECT_EQ(models[1].name, "Model Two");
    // An undecorated manufacturer keeps its plain section; its name token is expanded.
    EXPECT_EQ(models[2].name, "Third 100%");
    EXPECT_EQ(models[2].modelSection, "Other");
    // Without a decoration for the platform the plain section stands.
    std::vector<InfModel> arm = InfModels(inf, "NTarm64");
    ASSERT_EQ(arm.size(), 2u);
    EXPECT_EQ(arm[0].name, "Old Model");
}

TEST(InfReader, DependentFilesAreTheCopiedFilesButTheNamedOnes) {
    Inf inf = Parse(kInf);
    DriverInstall install;
    std::string error;
    ASSERT_TRUE(ReadDriverInstall(inf, "one.ppd", &install, &error)) << error;
    EXPECT_EQ(install.dataFile, "ONE.PPD");
    EXPECT_EQ(install.configFile, "COREUI.DLL");
    EXPECT_EQ(install.helpFile, "CORE.HLP");
    // Each file once, the copy list's destination names, in order.
    EXPECT_EQ(install.copied, (std::vector<std::string>{"ONE.PPD", "plug.ini", "render.dll", "COREUI.DLL", "help.chm"}));
    EXPECT_EQ(install.dependent, (std::vector<std::string>{"plug.ini", "render.dll", "help.chm"}));
    EXPECT_EQ(install.includes, (std::vector<std::string>{"SYSTEM.INF"}));
    EXPECT_EQ(install.needs, (std::vector<std::string>{"CORE.OEM", "CORE_DATA"}));

    EXPECT_FALSE(ReadDriverInstall(inf, "NOSUCH.PPD", &install, &error));
    EXPECT_EQ(error, "the install section [NOSUCH.PPD] is missing");
    Inf broken = Parse("[M]\nCopyFiles=GONE\nDataFile=M.PPD\n[N]\nCopyFiles=@N.PPD\n");
    EXPECT_FALSE(ReadDriverInstall(broken, "M", &install, &error));
    EXPECT_EQ(error, "the copy list [GONE] is missing");
    EXPECT_FALSE(ReadDriverInstall(broken, "N", &install, &error));
    EXPECT_EQ(error, "[N] names no DataFile");
}

TEST(InfReader, PluginConfigurationListsPairsInOrderUntilOneIsMissing) {
    Inf ini = Parse(
        "[OEMFiles]\n"
        "OEMConfigFile2=second-ui.dll\n"
        "OEMDriverFile1=render.dll\n"
        "OEMConfigFile1=\"ui.dll\"\n"
        "OEMDriverFile3=never.dll\n");
    PluginConfig config;
    std::string error;
    ASSERT_TRUE(ReadPluginConfig(ini, &config, &error)) << error;
    EXPECT_EQ(config.rendering, (std::vector<std::string>{"render.dll"}));
    EXPECT_EQ(config.ui, (std::vector<std::string>{"ui.dll", "second-ui.dll"}));

    EXPECT_FALSE(ReadPluginConfig(Parse("[Other]\nOEMDriverFile1=x.dll\n"), &config, &error));
    EXPECT_EQ(error, "the plug-in configuration has no [OEMFiles] section");
    EXPECT_FALSE(ReadPluginConfig(Parse("[OEMFiles]\nOEMDriverFile2=x.dll\n"), &config, &error));
}

TEST(InfReader, ModelIsChosenByDataFileOrPcFileName) {
    Inf inf = Parse(kInf);
    std::vector<InfModel> models = InfModels(inf, "NTamd64");
    DriverInstall install;
    EXPECT_EQ(ChooseModel(inf, models, "two.ppd", "", &install)->name, "Model Two");
    EXPECT_EQ(install.dataFile, "TWO.PPD");
    EXPECT_EQ(ChooseModel(inf, models, "long-name.ppd", "TWO.PPD", &install)->name, "Model Two");
    // A description the package does not name prints on the first model that can be installed.
    EXPECT_EQ(ChooseModel(inf, models, "stranger.ppd", "", &install)->name, "Model; One = A");
    EXPECT_EQ(install.dataFile, "ONE.PPD");
    EXPECT_EQ(ChooseModel(inf, {}, "one.ppd", "", &install), nullptr);
}

// A package folder of the test's own: the spooler's install and the core driver's reading of
// the configuration file, end to end.
class PackageFolder : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        folder_ = std::wstring(base) + L"corvinf-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const auto& f : written_) DeleteFileW((folder_ + f).c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    void Write(const std::wstring& name, const std::string& text) {
        HANDLE file = CreateFileW((folder_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        written_.push_back(name);
    }
    std::wstring folder_;
    std::vector<std::wstring> written_;
};

TEST_F(PackageFolder, InstallsTheModelOfTheDescriptionAndFindsItsPlugins) {
    Write(kPackageInf, kInf);
    Write(L"plug.ini", "[OEMFiles]\r\nOEMDriverFile1=render.dll\r\nOEMConfigFile1=ui.dll\r\n");
    Write(L"other.ppd", "*PPD-Adobe: \"4.3\"\n*PCFileName: \"ONE.PPD\"\n*NickName: \"One\"\n");
    InstalledDriver driver;
    std::string error;
    ASSERT_TRUE(InstallDriver(folder_, folder_ + L"other.ppd", &driver, &error)) << error;
    EXPECT_EQ(driver.model, "Model; One = A");
    EXPECT_EQ(driver.dataFile, folder_ + L"other.ppd");
    EXPECT_EQ(driver.configFile, folder_ + L"COREUI.DLL");
    EXPECT_EQ(driver.driverPath, folder_ + L"CORE.DLL");
    EXPECT_EQ(driver.helpFile, folder_ + L"CORE.HLP");
    EXPECT_EQ(driver.dependentFiles,
              (std::vector<std::wstring>{folder_ + L"plug.ini", folder_ + L"render.dll", folder_ + L"help.chm"}));
    EXPECT_EQ(driver.pluginConfig, folder_ + L"plug.ini");
    EXPECT_EQ(driver.renderPlugin, folder_ + L"render.dll");
    EXPECT_EQ(driver.uiPlugin, folder_ + L"ui.dll");

    // No description asked for: the first model, with the data file of the package.
    ASSERT_TRUE(InstallDriver(folder_, L"", &driver, &error)) << error;
    EXPECT_EQ(driver.dataFile, folder_ + L"ONE.PPD");
}

TEST_F(PackageFolder, ReportsAMissingInfOrConfiguration) {
    InstalledDriver driver;
    std::string error;
    EXPECT_FALSE(InstallDriver(folder_, L"", &driver, &error));
    EXPECT_EQ(error, "cannot read the package's INF " + Narrow(folder_) + "corvane.inf");
    // The INF names a configuration file the folder lacks.
    Write(kPackageInf, kInf);
    EXPECT_FALSE(InstallDriver(folder_, L"", &driver, &error));
    EXPECT_EQ(error, "cannot read the plug-in configuration file " + Narrow(folder_) + "plug.ini");
    Write(L"plug.ini", "[Something]\r\n");
    EXPECT_FALSE(InstallDriver(folder_, L"", &driver, &error));
    EXPECT_EQ(error, Narrow(folder_) + "plug.ini: the plug-in configuration has no [OEMFiles] section");
}

}  // namespace
