#include "host/kit/answers.h"

#include <cstring>

namespace corv::host {

HRESULT Deliver(const void* data, size_t size, void* buffer, DWORD capacity, PDWORD needed) {
    *needed = static_cast<DWORD>(size);
    if (!buffer || capacity < size) return E_OUTOFMEMORY;
    std::memcpy(buffer, data, size);
    return S_OK;
}

HRESULT DeliverText(const std::string& text, PBYTE buffer, DWORD capacity, PDWORD needed) {
    return Deliver(text.c_str(), text.size() + 1, buffer, capacity, needed);
}

std::wstring WidenLatin1(const std::string& text) {
    std::wstring w;
    for (unsigned char c : text) w.push_back(static_cast<wchar_t>(c));
    return w;
}

HRESULT DeliverWide(const std::string& text, PBYTE buffer, DWORD capacity, PDWORD needed) {
    std::wstring w = WidenLatin1(text);
    return Deliver(w.c_str(), (w.size() + 1) * sizeof(wchar_t), buffer, capacity, needed);
}

std::string MultiSz(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items) {
        out += item;
        out.push_back('\0');
    }
    out.push_back('\0');
    if (items.empty()) out.resize(1);
    return out;
}

bool SplitMultiSz(const char* list, DWORD size, std::vector<std::string>* items) {
    items->clear();
    if (!list || size == 0) return false;
    DWORD i = 0;
    for (;;) {
        if (i >= size) return false;
        if (list[i] == 0) return true;  // the empty string that ends the list
        DWORD start = i;
        while (i < size && list[i]) ++i;
        if (i >= size) return false;
        items->emplace_back(list + start, i - start);
        ++i;
    }
}

FeatureChoices::FeatureChoices(const Ppd& ppd) : ppd_(ppd) {
    for (const auto& f : ppd.features) selection_[f.keyword] = f.defaultOption;
}

std::vector<std::string> FeatureChoices::PrinterOptions(const std::string& feature) const {
    std::vector<std::string> out;
    if (const PpdFeature* f = ppd_.Feature(feature))
        for (const auto& o : f->options) out.push_back(o.keyword);
    return out;
}

bool FeatureChoices::Select(const std::string& feature, const std::string& option) {
    const PpdFeature* f = ppd_.Feature(feature);
    if (!f || !f->Option(option)) return false;
    selection_[feature] = option;
    return true;
}

const std::string* FeatureChoices::Selection(const std::string& feature) const {
    auto it = selection_.find(feature);
    return it == selection_.end() ? nullptr : &it->second;
}

}  // namespace corv::host
