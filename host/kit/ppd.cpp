#include "host/kit/ppd.h"

#include <cstdlib>
#include <optional>

namespace corv::host {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// JCL strings may carry bytes as hex substrings, "<0A>" for a line feed.
bool DecodeHexSubstrings(const std::string& in, std::string* out) {
    out->clear();
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '<') {
            out->push_back(in[i]);
            continue;
        }
        int high = -1;
        for (++i; i < in.size() && in[i] != '>'; ++i) {
            if (IsBlank(in[i]) || in[i] == '\n' || in[i] == '\r') continue;
            int v = HexDigit(in[i]);
            if (v < 0) return false;
            if (high < 0) {
                high = v;
            } else {
                out->push_back(static_cast<char>(high * 16 + v));
                high = -1;
            }
        }
        if (i >= in.size() || high >= 0) return false;
    }
    return true;
}

struct Line {
    std::string_view text;
    size_t number;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    size_t number = 1;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back({line, number++});
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

struct Entry {
    std::string keyword, option, text, value;
    bool quoted = false;
};

class Parser {
public:
    Parser(std::string_view text, Ppd* ppd, std::string* error) : lines_(SplitLines(text)), ppd_(ppd), error_(error) {}

    bool Run() {
        for (next_ = 0; next_ < lines_.size();) {
            const Line& line = lines_[next_++];
            std::string_view t = line.text;
            if (t.empty() || t[0] != '*' || t.substr(0, 2) == "*%" || Trim(t) == "*End") continue;
            Entry entry;
            if (!ReadEntry(line, &entry) || !Apply(line, entry)) return false;
        }
        if (open_) return Fail(openLine_, "*OpenUI *" + ppd_->features[*open_].keyword + " is never closed");
        return ApplyDefaults();
    }

private:
    bool Fail(size_t line, const std::string& why) {
        if (error_) *error_ = "line " + std::to_string(line) + ": " + why;
        return false;
    }

    bool ReadEntry(const Line& line, Entry* entry) {
        std::string_view t = line.text.substr(1);
        size_t i = 0;
        while (i < t.size() && t[i] != ':' && !IsBlank(t[i])) ++i;
        entry->keyword = std::string(t.substr(0, i));
        if (entry->keyword.empty()) return Fail(line.number, "a keyword is missing after '*'");
        size_t colon = t.find(':', i);
        if (colon == std::string_view::npos) return Fail(line.number, "*" + entry->keyword + " has no ':'");
        std::string_view optionPart = Trim(t.substr(i, colon - i));
        size_t slash = optionPart.find('/');
        entry->option = std::string(Trim(optionPart.substr(0, slash)));
        if (slash != std::string_view::npos) entry->text = std::string(Trim(optionPart.substr(slash + 1)));
        std::string_view rest = t.substr(colon + 1);
        while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
        if (rest.empty() || rest.front() != '"') {
            entry->value = std::string(Trim(rest));
            return true;
        }
        // A quoted value may run over several lines; the line breaks belong to it.
        entry->quoted = true;
        rest.remove_prefix(1);
        for (;;) {
            size_t quote = rest.find('"');
            if (quote != std::string_view::npos) {
                entry->value.append(rest.substr(0, quote));
                return true;
            }
            entry->value.append(rest);
            if (next_ >= lines_.size())
                return Fail(line.number, "the string of *" + entry->keyword + " is never closed");
            entry->value.push_back('\n');
            rest = lines_[next_++].text;
        }
    }

    PpdFeature* FindFeature(const std::string& keyword) {
        for (auto& f : ppd_->features)
            if (f.keyword == keyword) return &f;
        return nullptr;
    }

    bool Apply(const Line& line, const Entry& e) {
        if (e.keyword == "OpenUI" || e.keyword == "JCLOpenUI") return OpenUi(line, e);
        if (e.keyword == "CloseUI" || e.keyword == "JCLCloseUI") return CloseUi(line, e);
        if (e.option.empty()) {
            ppd_->globals.emplace_back(e.keyword, e.value);
            if (e.keyword.rfind("Default", 0) == 0 && e.keyword.size() > 7)
                defaults_.push_back({e.keyword.substr(7), e.value, line.number});
            return true;
        }
        PpdFeature* feature = FindFeature(e.keyword);
        if (!feature) {
            ppd_->values.push_back({e.keyword, e.option, e.value});
            return true;
        }
        if (feature->Option(e.option))
            return Fail(line.number, "option " + e.option + " of *" + e.keyword + " is given twice");
        PpdOption option{e.option, e.text.empty() ? e.option : e.text, e.value};
        if (feature->IsJcl() && !DecodeHexSubstrings(e.value, &option.code))
            return Fail(line.number, "bad hex substring in *" + e.keyword + " " + e.option);
        feature->options.push_back(std::move(option));
        return true;
    }

    bool OpenUi(const Line& line, const Entry& e) {
        if (open_) return Fail(line.number, "*OpenUI inside the block of *" + ppd_->features[*open_].keyword);
        if (e.option.size() < 2 || e.option[0] != '*') return Fail(line.number, "*OpenUI needs a *Keyword");
        std::string keyword = e.option.substr(1);
        if (FindFeature(keyword)) return Fail(line.number, "*" + keyword + " is opened twice");
        if (e.value != "PickOne" && e.value != "PickMany" && e.value != "Boolean")
            return Fail(line.number, "*" + keyword + " has the unknown UI type '" + e.value + "'");
        ppd_->features.push_back({keyword, e.text.empty() ? keyword : e.text, e.value, {}, {}});
        open_ = ppd_->features.size() - 1;
        openLine_ = line.number;
        return true;
    }

    bool CloseUi(const Line& line, const Entry& e) {
        if (!open_) return Fail(line.number, "*CloseUI without *OpenUI");
        const std::string& keyword = ppd_->features[*open_].keyword;
        if (e.value != "*" + keyword)
            return Fail(line.number, "*CloseUI: " + e.value + " closes the block of *" + keyword);
        open_.reset();
        return true;
    }

    bool ApplyDefaults() {
        for (const auto& d : defaults_) {
            PpdFeature* feature = FindFeature(d.feature);
            if (!feature) continue;  // e.g. *DefaultImageableArea: a default without UI
            if (!feature->Option(d.option))
                return Fail(d.line, "the default " + d.option + " is not an option of *" + d.feature);
            feature->defaultOption = d.option;
        }
        for (auto& f : ppd_->features)
            if (f.defaultOption.empty() && !f.options.empty()) f.defaultOption = f.options.front().keyword;
        return true;
    }

    struct Default {
        std::string feature, option;
        size_t line;
    };

    std::vector<Line> lines_;
    size_t next_ = 0;
    Ppd* ppd_;
    std::string* error_;
    std::optional<size_t> open_;
    size_t openLine_ = 0;
    std::vector<Default> defaults_;
};

bool ParseNumbers(const std::string& text, double* out, int count) {
    const char* p = text.c_str();
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        out[i] = std::strtod(p, &end);
        if (end == p) return false;
        p = end;
    }
    return Trim(p).empty();
}

}  // namespace

const PpdOption* PpdFeature::Option(std::string_view k) const {
    for (const auto& o : options)
        if (o.keyword == k) return &o;
    return nullptr;
}

const std::string* Ppd::Global(std::string_view keyword) const {
    for (const auto& [k, v] : globals)
        if (k == keyword) return &v;
    return nullptr;
}

const PpdFeature* Ppd::Feature(std::string_view keyword) const {
    for (const auto& f : features)
        if (f.keyword == keyword) return &f;
    return nullptr;
}

const std::string* Ppd::Value(std::string_view keyword, std::string_view option) const {
    for (const auto& v : values)
        if (v.keyword == keyword && v.option == option) return &v.value;
    return nullptr;
}

bool Ppd::IsTrue(std::string_view keyword) const {
    const std::string* v = Global(keyword);
    return v && *v == "True";
}

bool ParsePpd(std::string_view text, Ppd* ppd, std::string* error) {
    if (!ppd) return false;
    *ppd = Ppd{};
    if (text.substr(0, 11) != "*PPD-Adobe:") {
        if (error) *error = "line 1: not a printer description (no *PPD-Adobe)";
        return false;
    }
    return Parser(text, ppd, error).Run();
}

bool ReadPaperSize(const Ppd& ppd, std::string_view option, PaperSize* paper) {
    const PpdFeature* sizes = ppd.Feature("PageSize");
    if (!paper || !sizes || !sizes->Option(option)) return false;
    const std::string* dimension = ppd.Value("PaperDimension", option);
    double wh[2];
    if (!dimension || !ParseNumbers(*dimension, wh, 2) || wh[0] <= 0 || wh[1] <= 0) return false;
    paper->name = std::string(option);
    paper->width = wh[0];
    paper->height = wh[1];
    double area[4] = {0, 0, wh[0], wh[1]};
    const std::string* imageable = ppd.Value("ImageableArea", option);
    if (imageable && !ParseNumbers(*imageable, area, 4)) return false;
    paper->left = area[0];
    paper->bottom = area[1];
    paper->right = area[2];
    paper->top = area[3];
    return true;
}

int ResolutionDpi(std::string_view option) {
    int dpi = 0;
    size_t i = 0;
    for (; i < option.size() && option[i] >= '0' && option[i] <= '9'; ++i) dpi = dpi * 10 + (option[i] - '0');
    if (i == 0 || dpi > 100000) return 0;
    std::string_view rest = option.substr(i);
    if (rest == "dpi") return dpi;
    if (rest.size() > 4 && rest[0] == 'x' && rest.substr(rest.size() - 3) == "dpi") return dpi;
    return 0;
}

std::vector<std::string> PrinterFonts(const Ppd& ppd) {
    std::vector<std::string> fonts;
    for (const auto& v : ppd.values)
        if (v.keyword == "Font") fonts.push_back(v.option);
    return fonts;
}

}  // namespace corv::host
