// The printer's driver as corvhost installs it from the package folder, the way the spooler
// installs it from the package's INF, and the plug-ins the core driver then finds through the
// plug-in configuration file among the driver's dependent files.
#pragma once

#include "host/kit/inf.h"

#include <string>
#include <vector>

namespace corv::host {

// The package's INF in the driver folder.
inline constexpr wchar_t kPackageInf[] = L"corvane.inf";
inline constexpr char kPackagePlatform[] = "NTamd64";

struct InstalledDriver {
    std::wstring folder;  // with a trailing backslash
    std::string model;    // the INF's model name
    // The spooler's driver files, as full paths: the core driver's own files (which corvhost
    // stands in for) are named, not present.
    std::wstring dataFile, driverPath, configFile, helpFile;
    std::vector<std::wstring> dependentFiles;
    std::wstring pluginConfig;              // the first dependent file ending in ".ini"; empty: none
    std::wstring renderPlugin, uiPlugin;    // the first pair it names; empty where it names none
};

// The model whose DataFile is the printer description's file name or its *PCFileName; with no
// such model (or no name), the first one whose install section can be read: a description from
// outside the package prints on the package's driver. Null when no model can be installed.
const InfModel* ChooseModel(const Inf& inf, const std::vector<InfModel>& models, const std::string& ppdFileName,
                            const std::string& pcFileName, DriverInstall* install);

// Installs from `folder` (kPackageInf there) the model of `ppdPath` (see ChooseModel) and reads
// the plug-in configuration file. False with the reason when the INF cannot be read or lacks
// the model's sections, or when the configuration file cannot be read. An empty `ppdPath`
// installs the first model with its own data file.
bool InstallDriver(const std::wstring& folder, const std::wstring& ppdPath, InstalledDriver* driver,
                   std::string* error);

struct Ppd;

// What corvhost does before a job or a sheet: the driver installed (InstallDriver) and its data
// file read as the printer description. False with the message to give.
bool SetUpPrinter(const std::wstring& folder, const std::wstring& ppdPath, InstalledDriver* driver, Ppd* ppd,
                  std::string* error);

}  // namespace corv::host
