// The core driver's own document options, as the common property sheet UI shows them and the UI
// plug-in sees them in CommonUIProp: OPTITEMs with their OPTTYPEs and OPTPARAMs, all storage
// owned here. Orientation, copies, pages per sheet and page order carry their public DEVMODE
// identifiers (DMPUB_*); a job note is an edit box and the printer's resolution a list named by
// its text, as feature items of the driver are. The plug-in may change selections and flags;
// nothing else of an item moves while the list lives.
#pragma once

#include "common/platform/oemintf.h"
#include "host/kit/ppd.h"

#include <memory>
#include <string>
#include <vector>

namespace corv::host {

// Index of the "Booklet" entry of the pages-per-sheet list.
inline constexpr LONG kNupBookletIndex = 6;
// Characters of the job note's buffer, terminator included.
inline constexpr size_t kJobNoteCapacity = 128;

class DriverOptionList {
public:
    // The resolution list takes the printer's *Resolution options; without them it has "600dpi".
    explicit DriverOptionList(const Ppd& ppd);
    DriverOptionList(const DriverOptionList&) = delete;
    DriverOptionList& operator=(const DriverOptionList&) = delete;

    POPTITEM items() { return items_.data(); }
    DWORD count() const { return static_cast<DWORD>(items_.size()); }
    const OPTITEM& item(size_t i) const { return items_[i]; }

    // The item with a public identifier, or null.
    POPTITEM Find(BYTE dmPubId);
    // The job note's text buffer (the edit box's pSel).
    WCHAR* jobNote() { return jobNote_; }

    // "name = value" for every item, in order: what the sheet leaves the driver with.
    std::vector<std::wstring> Describe() const;

private:
    struct Item {
        std::wstring name;
        std::string keyword;
        std::vector<std::wstring> texts;  // one per OPTPARAM
        std::vector<OPTPARAM> params;
        OPTTYPE type{};
        USERDATA user{};
    };
    void Add(const wchar_t* name, const char* keyword, BYTE type, BYTE dmPubId, std::vector<std::wstring> texts,
             LONG selection);

    std::vector<std::unique_ptr<Item>> storage_;
    std::vector<OPTITEM> items_;
    WCHAR jobNote_[kJobNoteCapacity] = {};
};

// The text an item shows for its selection: the chosen OPTPARAM's text, the number of an up-down
// item, the edit box's text. Empty for an item without an option type.
std::wstring SelectionText(const OPTITEM& item);

}  // namespace corv::host
