// Setup information: the printer INF of the package, read as the spooler reads it to install a
// printer driver, and the plug-in configuration file the core driver reads to find its plug-ins.
// Both share one syntax: [sections] of lines, each "key = value" or a bare value, ';' comments,
// %tokens% from [Strings]. Section names and keys compare without regard to case. Pure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corv::host {

struct InfLine {
    std::string key;    // empty for a bare line
    std::string value;  // as written, comments and outer blanks removed
};

struct InfSection {
    std::string name;
    std::vector<InfLine> lines;

    // The value of the first line with `key`; null when there is none.
    const std::string* Value(std::string_view key) const;
};

struct Inf {
    std::vector<InfSection> sections;

    const InfSection* Section(std::string_view name) const;
    // `value` with every %token% replaced from [Strings] (quotes removed) and "%%" as '%'; a
    // token [Strings] lacks stays as written.
    std::string Expand(std::string_view value) const;
};

// False with the line and the reason for a line outside any section or a section header that
// is not closed.
bool ParseInf(std::string_view text, Inf* inf, std::string* error);

// The comma-separated fields of a value, blanks around each removed, quotes around a field too.
std::vector<std::string> InfFields(std::string_view value);

bool SameName(std::string_view a, std::string_view b);  // without regard to ASCII case

// A model as a manufacturer's model section lists it: "name" = install section, hardware id.
struct InfModel {
    std::string name;
    std::string installSection;
    std::string hardwareId;
    std::string modelSection;  // where the line stands
};

// Every model of every manufacturer in [Manufacturer], for `platform` (e.g. "NTamd64"): a
// manufacturer that names the platform among its decorations has its models in
// "<section>.<platform>", otherwise in "<section>". Manufacturers whose model section is missing
// are passed over.
std::vector<InfModel> InfModels(const Inf& inf, std::string_view platform);

// What one model's install section makes the spooler install.
struct DriverInstall {
    std::string dataFile, driverFile, configFile, helpFile;
    std::vector<std::string> copied;     // every file CopyFiles names, in order, each once
    std::vector<std::string> dependent;  // the copied files but the four above: the dependent files
    std::vector<std::string> includes;   // the system INFs it draws on (Include)
    std::vector<std::string> needs;      // the sections of those INFs it draws on (Needs)
};

// False with the reason when the section or a copy-list section it names is missing, or when it
// names no data file.
bool ReadDriverInstall(const Inf& inf, std::string_view section, DriverInstall* install, std::string* error);

// The plug-ins a configuration file names: [OEMFiles] OEMDriverFileN (rendering) and
// OEMConfigFileN (UI), in the order of N from 1 until a number is missing.
struct PluginConfig {
    std::vector<std::string> rendering;
    std::vector<std::string> ui;
};

// False with the reason when there is no [OEMFiles] section or it names no plug-in at all.
bool ReadPluginConfig(const Inf& ini, PluginConfig* config, std::string* error);

}  // namespace corv::host
