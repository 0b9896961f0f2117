// A reader of the few printer-description (PPD) keywords the stand-in core driver answers from:
// the model's name, its UI features with their options and defaults (installable options such
// as *HasManualDuplex, *PageSize, *Resolution, *PagePerSheet, JCL options) and the per-option
// values of other keywords (*PaperDimension, *ImageableArea). Pure: text in, tables out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corv::host {

struct PpdOption {
    std::string keyword;
    std::string text;  // the translation string; the keyword when the file gives none
    std::string code;  // the invocation value (PostScript, or PJL for JCL features)
};

struct PpdFeature {
    std::string keyword;  // without the leading '*'
    std::string text;
    std::string uiType;  // PickOne, PickMany or Boolean
    std::string defaultOption;
    std::vector<PpdOption> options;

    const PpdOption* Option(std::string_view keyword) const;
    bool IsJcl() const { return keyword.rfind("JCL", 0) == 0; }
};

// A value of a keyword given per option outside a UI block, e.g. *PaperDimension Letter: "612 792".
struct PpdValue {
    std::string keyword;
    std::string option;
    std::string value;
};

struct Ppd {
    std::vector<std::pair<std::string, std::string>> globals;  // *Keyword: value
    std::vector<PpdFeature> features;
    std::vector<PpdValue> values;

    const std::string* Global(std::string_view keyword) const;
    const PpdFeature* Feature(std::string_view keyword) const;
    const std::string* Value(std::string_view keyword, std::string_view option) const;
    bool IsTrue(std::string_view keyword) const;  // a global that reads True
};

// Reads a whole description. On a malformed file it returns false and says where and why.
bool ParsePpd(std::string_view text, Ppd* ppd, std::string* error);

struct PaperSize {
    std::string name;
    double width = 0, height = 0;                       // points
    double left = 0, bottom = 0, right = 0, top = 0;    // imageable area, points
};

// The size of one *PageSize option from *PaperDimension and *ImageableArea (the whole sheet when
// the file gives no imageable area); false when the option or its dimension is missing.
bool ReadPaperSize(const Ppd& ppd, std::string_view option, PaperSize* paper);

// The printer's resident PostScript fonts (*Font entries), in the order the description lists them.
std::vector<std::string> PrinterFonts(const Ppd& ppd);

// The dots per inch of a *Resolution option keyword such as "600dpi" or "600x600dpi"; 0 if none.
int ResolutionDpi(std::string_view option);

}  // namespace corv::host
