// The package as it ships, copied beside the test program into package\: its INF against its
// files, the names the printer-initialisation rule derives from the data files, the plug-in
// configuration, the help file and the one product version.
#include "host/kit/hostio.h"
#include "host/kit/inf.h"
#include "host/kit/ppd.h"
#include "plug-in/inboxui/core/printerevents.h"
#include "plug-in/inboxui/pages/help.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace corv::host;

std::wstring PackageFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (n && path[n - 1] != L'\\' && path[n - 1] != L'/') --n;
    return std::wstring(path, n) + L"package\\";
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class ShippedPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string text, error;
        ASSERT_TRUE(ReadWholeFile(PackageFolder() + L"corvane.inf", &text)) << "no corvane.inf in the package";
        inf_ = new Inf;
        ASSERT_TRUE(ParseInf(text, inf_, &error)) << error;
        files_ = new std::set<std::string>;
        for (const auto& entry : std::filesystem::directory_iterator(PackageFolder()))
            if (entry.is_regular_file()) files_->insert(Lower(entry.path().filename().string()));
    }
    static void TearDownTestSuite() {
        delete inf_;
        delete files_;
        inf_ = nullptr;
        files_ = nullptr;
    }

    static bool Shipped(const std::string& name) { return files_->count(Lower(name)) != 0; }

    std::vector<DriverInstall> Installs() const {
        std::vector<DriverInstall> installs;
        for (const auto& model : InfModels(*inf_, "NTamd64")) {
            DriverInstall install;
            std::string error;
            EXPECT_TRUE(ReadDriverInstall(*inf_, model.installSection, &install, &error)) << model.name << ": " << error;
            installs.push_back(install);
        }
        return installs;
    }

    static Inf* inf_;
    static std::set<std::string>* files_;
};

Inf* ShippedPackage::inf_ = nullptr;
std::set<std::string>* ShippedPackage::files_ = nullptr;

// The core driver's own files: the system's PostScript driver INF brings them.
const char* const kCoreFiles[] = {"pscript5.dll", "ps5ui.dll", "pscript.hlp"};

TEST_F(ShippedPackage, EveryCopiedFileIsInThePackageAndEveryFileIsCopied) {
    std::vector<DriverInstall> installs = Installs();
    ASSERT_EQ(installs.size(), 2u);
    std::set<std::string> copied;
    for (const auto& install : installs) {
        for (const auto& file : install.copied) {
            EXPECT_TRUE(Shipped(file)) << file << " is copied but not in the package";
            copied.insert(Lower(file));
        }
        // The data file is copied with the model; the core's files come from the system INF.
        EXPECT_TRUE(std::any_of(install.copied.begin(), install.copied.end(),
                                [&](const std::string& f) { return SameName(f, install.dataFile); }))
            << install.dataFile;
        for (const std::string* core : {&install.driverFile, &install.configFile, &install.helpFile}) {
            if (Shipped(*core)) continue;
            EXPECT_TRUE(std::count(std::begin(kCoreFiles), std::end(kCoreFiles), Lower(*core)) == 1)
                << *core << " is neither shipped nor a file of the core driver";
            EXPECT_EQ(install.includes, (std::vector<std::string>{"NTPRINT.INF"}));
            EXPECT_NE(std::find(install.needs.begin(), install.needs.end(), "PSCRIPT.OEM"), install.needs.end());
        }
    }
    const InfSection* sourceFiles = inf_->Section("SourceDisksFiles");
    ASSERT_NE(sourceFiles, nullptr);
    for (const auto& file : *files_) {
        if (file == "corvane.inf") continue;
        EXPECT_TRUE(copied.count(file)) << file << " is in the package but no model copies it";
        EXPECT_NE(sourceFiles->Value(file), nullptr) << file << " has no [SourceDisksFiles] line";
    }
}

TEST_F(ShippedPackage, EverySectionTheInfReferencesExists) {
    const Inf& inf = *inf_;
    ASSERT_NE(inf.Section("Version"), nullptr);
    EXPECT_EQ(inf.Expand(*inf.Section("Version")->Value("Class")), "Printer");
    EXPECT_EQ(*inf.Section("Version")->Value("ClassGUID"), "{4D36E979-E325-11CE-BFC1-08002BE10318}");
    // Every manufacturer has its x64 model section; every model its install section.
    ASSERT_NE(inf.Section("Manufacturer"), nullptr);
    for (const auto& line : inf.Section("Manufacturer")->lines) {
        std::vector<std::string> fields = InfFields(line.value);
        ASSERT_GE(fields.size(), 2u);
        EXPECT_NE(inf.Section(fields[0] + ".NTamd64"), nullptr) << fields[0];
    }
    for (const auto& model : InfModels(inf, "NTamd64")) EXPECT_NE(inf.Section(model.installSection), nullptr) << model.name;
    // Copy lists are checked by ReadDriverInstall; destination directories name real sections.
    ASSERT_NE(inf.Section("DestinationDirs"), nullptr);
    for (const auto& line : inf.Section("DestinationDirs")->lines) {
        if (SameName(line.key, "DefaultDestDir")) continue;
        EXPECT_NE(inf.Section(line.key), nullptr) << line.key;
    }
    // Every file's source disk is described.
    const InfSection* disks = inf.Section("SourceDisksNames.amd64");
    ASSERT_NE(disks, nullptr);
    for (const auto& line : inf.Section("SourceDisksFiles")->lines)
        EXPECT_NE(disks->Value(InfFields(line.value)[0]), nullptr) << line.key;
    // Every %token% has its string.
    for (const auto& section : inf.sections)
        for (const auto& line : section.lines)
            for (const std::string& text : {line.key, line.value})
                EXPECT_EQ(inf.Expand(text).find('%'), std::string::npos) << section.name << ": " << text;
}

// The UI plug-in names the printer's print processor after the data file at printer
// initialisation; each model's must give a name, and a name of its own.
TEST_F(ShippedPackage, DataFilesGiveThePrintProcessorNames) {
    std::map<std::string, std::wstring> derived;
    for (const auto& install : Installs()) {
        WCHAR name[corv::ui::kProcessorNameCapacity];
        std::wstring path = L"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\" + Widen(install.dataFile);
        EXPECT_TRUE(corv::ui::DerivePrintProcessorName(path.c_str(), name)) << install.dataFile;
        derived[install.dataFile] = name;
    }
    EXPECT_EQ(derived, (std::map<std::string, std::wstring>{{"CVCP4500.PPD", L"CVCP450C"}, {"CVMP2100.PPD", L"CVMP210C"}}));
}

TEST_F(ShippedPackage, ModelsAreTheirDescriptionsNickNamesUnderTheirPcFileNames) {
    for (const auto& model : InfModels(*inf_, "NTamd64")) {
        DriverInstall install;
        std::string text, error;
        ASSERT_TRUE(ReadDriverInstall(*inf_, model.installSection, &install, &error)) << error;
        ASSERT_TRUE(ReadWholeFile(PackageFolder() + Widen(install.dataFile), &text)) << install.dataFile;
        Ppd ppd;
        ASSERT_TRUE(ParsePpd(text, &ppd, &error)) << error;
        ASSERT_NE(ppd.Global("NickName"), nullptr);
        EXPECT_EQ(model.name, *ppd.Global("NickName"));
        ASSERT_NE(ppd.Global("PCFileName"), nullptr);
        EXPECT_EQ(*ppd.Global("PCFileName"), install.dataFile);
    }
}

// What the core driver and the UI plug-in find among the dependent files: one configuration
// file naming the two shipped plug-ins, and the help file.
TEST_F(ShippedPackage, DependentFilesHoldThePluginConfigurationAndTheHelpFile) {
    for (const auto& install : Installs()) {
        std::vector<std::string> configs;
        std::wstring list;
        for (const auto& file : install.dependent) {
            if (Lower(file).size() > 4 && Lower(file).substr(file.size() - 4) == ".ini") configs.push_back(file);
            list += Widen(file);
            list.push_back(L'\0');
        }
        ASSERT_EQ(configs.size(), 1u);
        std::string text, error;
        ASSERT_TRUE(ReadWholeFile(PackageFolder() + Widen(configs[0]), &text));
        Inf ini;
        PluginConfig config;
        ASSERT_TRUE(ParseInf(text, &ini, &error) && ReadPluginConfig(ini, &config, &error)) << error;
        EXPECT_EQ(config.rendering, (std::vector<std::string>{"corvrend.dll"}));
        EXPECT_EQ(config.ui, (std::vector<std::string>{"corvui.dll"}));
        for (const auto& plugin : {config.rendering[0], config.ui[0]}) {
            EXPECT_NE(std::find(install.dependent.begin(), install.dependent.end(), plugin), install.dependent.end());
            EXPECT_TRUE(Shipped(plugin)) << plugin;
        }
        WCHAR help[corv::ui::kHelpEntryCapacity];
        DWORD size = 0;
        ASSERT_TRUE(corv::ui::FindHelpEntry(list.c_str(), help, corv::ui::kHelpEntryCapacity, &size));
        EXPECT_STREQ(help, L"corvui.chm");
    }
    std::string chm;
    ASSERT_TRUE(ReadWholeFile(PackageFolder() + L"corvui.chm", &chm)) << "the package has no help file";
    EXPECT_EQ(chm.substr(0, 4), "ITSF") << "corvui.chm is not a compiled HTML help file";
}

std::wstring VersionText(const std::wstring& path, const wchar_t* name) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (!size) return L"";
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return L"";
    void* value = nullptr;
    UINT length = 0;
    std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(data.data(), query.c_str(), &value, &length) || !length) return L"";
    return static_cast<const wchar_t*>(value);
}

TEST_F(ShippedPackage, BothPluginsAndTheInfCarryTheOneProductVersion) {
    const std::wstring version = Widen(CORV_PACKAGE_VERSION);
    for (const wchar_t* dll : {L"corvrend.dll", L"corvui.dll"}) {
        EXPECT_EQ(VersionText(PackageFolder() + dll, L"ProductVersion"), version) << Narrow(dll);
        EXPECT_EQ(VersionText(PackageFolder() + dll, L"FileVersion"), version) << Narrow(dll);
    }
    std::vector<std::string> driverVer = InfFields(*inf_->Section("Version")->Value("DriverVer"));
    ASSERT_EQ(driverVer.size(), 2u);
    EXPECT_EQ(driverVer[1], CORV_PACKAGE_VERSION);
    EXPECT_EQ(driverVer[0].size(), 10u) << "DriverVer's date is mm/dd/yyyy";
}

}  // namespace
