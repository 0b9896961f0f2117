#include "host/prefs/optionlist.h"

namespace corv::host {
namespace {

constexpr DWORD kUserDataSize = sizeof(USERDATA);

}  // namespace

DriverOptionList::DriverOptionList(const Ppd& ppd) {
    Add(L"Orientation", "Orientation", TVOT_2STATES, DMPUB_ORIENTATION, {L"Portrait", L"Landscape"}, 0);
    // An up-down item: the first parameter is the unit after the number, the second the range.
    Add(L"Copy Count", "Copies", TVOT_UDARROW, DMPUB_COPIES_COLLATE, {L"Copies", L""}, 1);
    Add(L"Pages per Sheet", "PagePerSheet", TVOT_LISTBOX, DMPUB_NUP,
        {L"1", L"2", L"4", L"6", L"9", L"16", L"Booklet"}, 0);
    Add(L"Page Order", "OutputOrder", TVOT_2STATES, DMPUB_PAGEORDER, {L"Front to Back", L"Back to Front"}, 0);
    // An edit box: the first parameter is the unit after the field, the second the capacity.
    Add(L"Job Note", "JobNote", TVOT_EDITBOX, 0, {L"", L""}, 0);
    std::vector<std::wstring> resolutions;
    if (const PpdFeature* f = ppd.Feature("Resolution"))
        for (const auto& o : f->options) resolutions.emplace_back(o.keyword.begin(), o.keyword.end());
    if (resolutions.empty()) resolutions.push_back(L"600dpi");
    Add(L"Resolution", "Resolution", TVOT_LISTBOX, 0, resolutions, 0);

    // The storage of every part is in place now: point the items and types at it.
    for (size_t i = 0; i < storage_.size(); ++i) {
        Item& s = *storage_[i];
        for (size_t p = 0; p < s.params.size(); ++p) s.params[p].pData = s.texts[p].data();
        s.type.pOptParam = s.params.data();
        s.user.pKeyWordName = s.keyword.data();
        OPTITEM& item = items_[i];
        item.pName = s.name.data();
        item.pOptType = &s.type;
        item.UserData = reinterpret_cast<ULONG_PTR>(&s.user);
        switch (s.type.Type) {
            case TVOT_UDARROW:
                s.params[1].IconID = 1;    // lowest
                s.params[1].lParam = 999;  // highest
                break;
            case TVOT_EDITBOX:
                s.params[1].IconID = kJobNoteCapacity;
                item.pSel = jobNote_;
                break;
            default:
                break;
        }
    }
}

void DriverOptionList::Add(const wchar_t* name, const char* keyword, BYTE type, BYTE dmPubId,
                           std::vector<std::wstring> texts, LONG selection) {
    auto s = std::make_unique<Item>();
    s->name = name;
    s->keyword = keyword;
    s->texts = std::move(texts);
    s->params.resize(s->texts.size());
    for (OPTPARAM& p : s->params) p.cbSize = sizeof(OPTPARAM);
    s->type.cbSize = sizeof(OPTTYPE);
    s->type.Type = type;
    s->type.Count = static_cast<WORD>(s->params.size());
    s->user.dwSize = kUserDataSize;
    s->user.dwItemID = storage_.size();
    storage_.push_back(std::move(s));

    OPTITEM item{};
    item.cbSize = sizeof(OPTITEM);
    item.Level = 1;
    item.DMPubID = dmPubId;
    item.Sel = selection;
    items_.push_back(item);
}

POPTITEM DriverOptionList::Find(BYTE dmPubId) {
    for (OPTITEM& item : items_)
        if (item.DMPubID == dmPubId) return &item;
    return nullptr;
}

std::vector<std::wstring> DriverOptionList::Describe() const {
    std::vector<std::wstring> lines;
    for (const OPTITEM& item : items_) {
        std::wstring name = item.pName && !IS_INTRESOURCE(item.pName) ? item.pName : L"?";
        lines.push_back(name + L" = " + SelectionText(item));
    }
    return lines;
}

std::wstring SelectionText(const OPTITEM& item) {
    const OPTTYPE* type = item.pOptType;
    if (!type) return {};
    switch (type->Type) {
        case TVOT_UDARROW:
        case TVOT_TRACKBAR:
        case TVOT_SCROLLBAR:
            return std::to_wstring(item.Sel);
        case TVOT_EDITBOX:
            return item.pSel && !IS_INTRESOURCE(item.pSel) ? std::wstring(item.pSel) : std::wstring();
        default:
            if (item.Sel < 0 || item.Sel >= type->Count || !type->pOptParam) return L"(" + std::to_wstring(item.Sel) + L")";
            {
                const wchar_t* text = type->pOptParam[item.Sel].pData;
                return text && !IS_INTRESOURCE(text) ? std::wstring(text) : std::wstring();
            }
    }
}

}  // namespace corv::host
