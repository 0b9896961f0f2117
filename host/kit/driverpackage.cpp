#include "host/kit/driverpackage.h"

#include "host/kit/hostio.h"
#include "host/kit/ppd.h"

namespace corv::host {
namespace {

std::string FileNameOf(const std::wstring& path) {
    return Narrow(path.substr(path.find_last_of(L"\\/") + 1));
}

bool EndsWithIni(const std::wstring& path) {
    return path.size() > 4 && SameName(Narrow(path.substr(path.size() - 4)), ".ini");
}

}  // namespace

const InfModel* ChooseModel(const Inf& inf, const std::vector<InfModel>& models, const std::string& ppdFileName,
                            const std::string& pcFileName, DriverInstall* install) {
    std::string ignored;
    const InfModel* first = nullptr;
    for (const auto& model : models) {
        DriverInstall candidate;
        if (!ReadDriverInstall(inf, model.installSection, &candidate, &ignored)) continue;
        if (!first) {
            first = &model;
            *install = candidate;
        }
        if (SameName(candidate.dataFile, ppdFileName) || (!pcFileName.empty() && SameName(candidate.dataFile, pcFileName))) {
            *install = candidate;
            return &model;
        }
    }
    return first;
}

bool InstallDriver(const std::wstring& folderIn, const std::wstring& ppdPath, InstalledDriver* driver,
                   std::string* error) {
    *driver = InstalledDriver{};
    std::wstring folder = FullPath(folderIn);
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    driver->folder = folder;

    std::string text, why;
    Inf inf;
    if (!ReadWholeFile(folder + kPackageInf, &text))
        return *error = "cannot read the package's INF " + Narrow(folder + kPackageInf), false;
    if (!ParseInf(text, &inf, &why)) return *error = Narrow(folder + kPackageInf) + ": " + why, false;

    std::string pcFileName;
    if (!ppdPath.empty() && ReadWholeFile(ppdPath, &text)) {
        Ppd ppd;
        if (ParsePpd(text, &ppd, nullptr))
            if (const std::string* name = ppd.Global("PCFileName")) pcFileName = *name;
    }
    const std::vector<InfModel> models = InfModels(inf, kPackagePlatform);
    DriverInstall install;
    const InfModel* model = ChooseModel(inf, models, ppdPath.empty() ? std::string() : FileNameOf(ppdPath),
                                        pcFileName, &install);
    if (!model) return *error = Narrow(folder + kPackageInf) + " installs no model for " + kPackagePlatform, false;

    auto inFolder = [&](const std::string& name) { return name.empty() ? std::wstring() : folder + Widen(name); };
    driver->model = model->name;
    driver->dataFile = ppdPath.empty() ? inFolder(install.dataFile) : FullPath(ppdPath);
    driver->driverPath = inFolder(install.driverFile);
    driver->configFile = inFolder(install.configFile);
    driver->helpFile = inFolder(install.helpFile);
    for (const auto& file : install.dependent) driver->dependentFiles.push_back(inFolder(file));

    // The core driver reads the first configuration file among the dependent files.
    for (const auto& file : driver->dependentFiles) {
        if (!EndsWithIni(file)) continue;
        driver->pluginConfig = file;
        break;
    }
    if (driver->pluginConfig.empty()) return true;
    Inf ini;
    PluginConfig config;
    if (!ReadWholeFile(driver->pluginConfig, &text))
        return *error = "cannot read the plug-in configuration file " + Narrow(driver->pluginConfig), false;
    if (!ParseInf(text, &ini, &why) || !ReadPluginConfig(ini, &config, &why))
        return *error = Narrow(driver->pluginConfig) + ": " + why, false;
    if (!config.rendering.empty()) driver->renderPlugin = inFolder(config.rendering.front());
    if (!config.ui.empty()) driver->uiPlugin = inFolder(config.ui.front());
    return true;
}

bool SetUpPrinter(const std::wstring& folder, const std::wstring& ppdPath, InstalledDriver* driver, Ppd* ppd,
                  std::string* error) {
    if (!InstallDriver(folder, ppdPath, driver, error)) return false;
    std::string text, why;
    if (!ReadWholeFile(driver->dataFile, &text))
        return *error = "cannot read the printer description " + Narrow(driver->dataFile), false;
    if (!ParsePpd(text, ppd, &why)) return *error = Narrow(driver->dataFile) + ": " + why, false;
    return true;
}

}  // namespace corv::host
