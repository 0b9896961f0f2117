#include "host/kit/inf.h"

namespace corv::host {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The line up to a ';' that stands outside quotes.
std::string_view WithoutComment(std::string_view line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        else if (line[i] == ';' && !quoted) return line.substr(0, i);
    }
    return line;
}

std::string Unquote(std::string_view s) {
    s = Trim(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return std::string(s);
}

void AddOnce(std::vector<std::string>* list, const std::string& name) {
    for (const auto& n : *list)
        if (SameName(n, name)) return;
    list->push_back(name);
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

const std::string* InfSection::Value(std::string_view key) const {
    for (const auto& line : lines)
        if (!line.key.empty() && SameName(line.key, key)) return &line.value;
    return nullptr;
}

const InfSection* Inf::Section(std::string_view name) const {
    for (const auto& s : sections)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

std::string Inf::Expand(std::string_view value) const {
    const InfSection* strings = Section("Strings");
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        size_t close = value[i] == '%' ? value.find('%', i + 1) : std::string_view::npos;
        if (close == std::string_view::npos) {
            out.push_back(value[i]);
            continue;
        }
        std::string_view token = value.substr(i + 1, close - i - 1);
        const std::string* text = token.empty() || !strings ? nullptr : strings->Value(token);
        if (token.empty()) out.push_back('%');
        else if (text) {
            // Within a string "%%" is one percent sign too.
            const std::string replaced = Unquote(*text);
            for (size_t k = 0; k < replaced.size(); ++k) {
                out.push_back(replaced[k]);
                if (replaced[k] == '%' && k + 1 < replaced.size() && replaced[k + 1] == '%') ++k;
            }
        }
        else out.append(value.substr(i, close - i + 1));
        i = close;
    }
    return out;
}

bool ParseInf(std::string_view text, Inf* inf, std::string* error) {
    *inf = Inf{};
    size_t number = 0;
    while (!text.empty()) {
        ++number;
        size_t end = text.find('\n');
        std::string_view line = Trim(WithoutComment(text.substr(0, end)));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty()) continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            if (close == std::string_view::npos) {
                if (error) *error = "line " + std::to_string(number) + ": a section header without ']'";
                return false;
            }
            inf->sections.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
            continue;
        }
        if (inf->sections.empty()) {
            if (error) *error = "line " + std::to_string(number) + ": a line before the first section";
            return false;
        }
        InfLine entry;
        // A '=' inside quotes belongs to the value (a quoted model name may hold one).
        bool quoted = false;
        size_t equals = std::string_view::npos;
        for (size_t i = 0; i < line.size() && equals == std::string_view::npos; ++i) {
            if (line[i] == '"') quoted = !quoted;
            else if (line[i] == '=' && !quoted) equals = i;
        }
        if (equals == std::string_view::npos) {
            entry.value = std::string(line);
        } else {
            entry.key = Unquote(line.substr(0, equals));
            entry.value = std::string(Trim(line.substr(equals + 1)));
        }
        inf->sections.back().lines.push_back(std::move(entry));
    }
    return true;
}

std::vector<std::string> InfFields(std::string_view value) {
    std::vector<std::string> fields;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i <= value.size(); ++i) {
        if (i < value.size() && value[i] == '"') quoted = !quoted;
        if (i == value.size() || (value[i] == ',' && !quoted)) {
            fields.push_back(Unquote(value.substr(start, i - start)));
            start = i + 1;
        }
    }
    return fields;
}

std::vector<InfModel> InfModels(const Inf& inf, std::string_view platform) {
    std::vector<InfModel> models;
    const InfSection* manufacturers = inf.Section("Manufacturer");
    if (!manufacturers) return models;
    for (const auto& line : manufacturers->lines) {
        std::vector<std::string> fields = InfFields(line.value);
        if (fields.empty() || fields[0].empty()) continue;
        std::string sectionName = fields[0];
        for (size_t i = 1; i < fields.size(); ++i)
            if (SameName(fields[i], platform)) sectionName += "." + fields[i];
        const InfSection* section = inf.Section(sectionName);
        if (!section) continue;
        for (const auto& model : section->lines) {
            std::vector<std::string> parts = InfFields(model.value);
            if (model.key.empty() || parts.empty()) continue;
            models.push_back({inf.Expand(model.key), parts[0], parts.size() > 1 ? parts[1] : std::string(), section->name});
        }
    }
    return models;
}

bool ReadDriverInstall(const Inf& inf, std::string_view name, DriverInstall* install, std::string* error) {
    *install = DriverInstall{};
    const InfSection* section = inf.Section(name);
    if (!section) return *error = "the install section [" + std::string(name) + "] is missing", false;
    for (const auto& line : section->lines) {
        if (SameName(line.key, "CopyFiles")) {
            for (const auto& entry : InfFields(line.value)) {
                if (entry.empty()) continue;
                if (entry[0] == '@') {
                    AddOnce(&install->copied, entry.substr(1));
                    continue;
                }
                const InfSection* list = inf.Section(entry);
                if (!list) return *error = "the copy list [" + entry + "] is missing", false;
                // A copy-list line is "destination[,source[,,flags]]": the name it gets is the first.
                for (const auto& file : list->lines) {
                    std::vector<std::string> parts = InfFields(file.key.empty() ? file.value : file.key);
                    if (!parts.empty() && !parts[0].empty()) AddOnce(&install->copied, parts[0]);
                }
            }
        } else if (SameName(line.key, "DataFile")) {
            install->dataFile = Unquote(line.value);
        } else if (SameName(line.key, "DriverFile")) {
            install->driverFile = Unquote(line.value);
        } else if (SameName(line.key, "ConfigFile")) {
            install->configFile = Unquote(line.value);
        } else if (SameName(line.key, "HelpFile")) {
            install->helpFile = Unquote(line.value);
        } else if (SameName(line.key, "Include")) {
            for (const auto& f : InfFields(line.value)) AddOnce(&install->includes, f);
        } else if (SameName(line.key, "Needs")) {
            for (const auto& f : InfFields(line.value)) AddOnce(&install->needs, f);
        }
    }
    if (install->dataFile.empty()) return *error = "[" + std::string(name) + "] names no DataFile", false;
    for (const auto& file : install->copied) {
        bool named = SameName(file, install->dataFile) || SameName(file, install->driverFile) ||
                     SameName(file, install->configFile) || SameName(file, install->helpFile);
        if (!named) install->dependent.push_back(file);
    }
    return true;
}

bool ReadPluginConfig(const Inf& ini, PluginConfig* config, std::string* error) {
    *config = PluginConfig{};
    const InfSection* files = ini.Section("OEMFiles");
    if (!files) return *error = "the plug-in configuration has no [OEMFiles] section", false;
    auto collect = [&](const char* prefix, std::vector<std::string>* out) {
        for (int n = 1;; ++n) {
            const std::string* value = files->Value(prefix + std::to_string(n));
            if (!value || value->empty()) break;
            out->push_back(Unquote(*value));
        }
    };
    collect("OEMDriverFile", &config->rendering);
    collect("OEMConfigFile", &config->ui);
    if (config->rendering.empty() && config->ui.empty())
        return *error = "[OEMFiles] names neither OEMDriverFile1 nor OEMConfigFile1", false;
    return true;
}

}  // namespace corv::host
