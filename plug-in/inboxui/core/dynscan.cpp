// The scanning rules of dynamic watermark text, apart from the system calls that give the
// variables their values (dyntext.cpp): they are also built natively and fuzzed.
#include "plug-in/inboxui/core/dyntext.h"

#include "common/text.h"

#include <cwchar>

namespace corv::ui {

namespace {

constexpr size_t kNotFound = static_cast<size_t>(-1);

size_t Find(const WCHAR* text, size_t length, size_t from, WCHAR c) {
    for (size_t i = from; i < length; ++i)
        if (text[i] == c) return i;
    return kNotFound;
}

// The text being built. Every limit is checked by the caller, because the rules differ by what
// is appended (a literal, a doubled delimiter, a token, a value).
class Output {
public:
    explicit Output(WCHAR* buffer) : buffer_(buffer) { buffer_[0] = 0; }
    size_t length() const { return length_; }
    // Room for count more characters and the terminator.
    bool fits(size_t count) const { return length_ + count + 1 <= kExpandCapacity; }
    void append(const WCHAR* s, size_t count) {
        for (size_t i = 0; i < count; ++i) buffer_[length_ + i] = s[i];
        length_ += count;
        buffer_[length_] = 0;
    }

private:
    WCHAR* buffer_;
    size_t length_ = 0;
};

// Tries the variables in table order against the text at the opening delimiter; the first one
// whose token matches and whose value can be had and fits is appended.
bool AppendVariable(const WCHAR* at, size_t available, ExpandMode mode, DynamicSource& source, Output& out) {
    WCHAR token[kExpandCapacity];
    WCHAR value[kExpandCapacity];
    for (int row = 0; row < kDynamicVariableCount; ++row) {
        const auto variable = static_cast<DynamicVariable>(row);
        token[0] = 0;
        source.token(variable, token, kExpandCapacity);
        token[kExpandCapacity - 1] = 0;
        const size_t tokenLength = BoundedLength(token, kExpandCapacity);
        // A token that could not be loaded must not match every text.
        if (tokenLength == 0 || tokenLength > available || _wcsnicmp(at, token, tokenLength) != 0) continue;

        value[0] = 0;
        if (!(mode == ExpandMode::Validate && variable == DynamicVariable::UserName)) {
            if (!source.value(variable, value, kExpandCapacity)) continue;
            value[kExpandCapacity - 1] = 0;
        }
        const size_t valueLength = BoundedLength(value, kExpandCapacity);
        // A value may fill the output only up to one character short of the expansion's limit.
        if (out.length() + valueLength + 1 >= kExpandCapacity) continue;
        out.append(value, valueLength);
        return true;
    }
    return false;
}

}  // namespace

bool ScanDynamicText(const WCHAR* text, ExpandMode mode, DynamicSource& source, WCHAR* buffer, size_t* length) {
    if (!text || !buffer || !length) return false;
    const size_t textLength = BoundedLength(text, kExpandCapacity);
    if (textLength >= kExpandCapacity) return false;

    WCHAR delimiter[kExpandCapacity];
    delimiter[0] = 0;
    source.delimiter(delimiter, kExpandCapacity);
    delimiter[kExpandCapacity - 1] = 0;
    if (!delimiter[0]) CopyText(delimiter, L"%");
    const WCHAR mark = delimiter[0];
    const size_t delimiterLength = BoundedLength(delimiter, kExpandCapacity);
    const bool lenient = mode == ExpandMode::Preview;

    Output out(buffer);
    size_t pos = 0;
    while (pos < textLength) {
        const size_t open = Find(text, textLength, pos, mark);
        if (open == kNotFound) {
            if (!out.fits(textLength - pos)) return false;
            out.append(text + pos, textLength - pos);
            break;
        }
        if (!out.fits(open - pos)) return false;
        out.append(text + pos, open - pos);

        const size_t close = Find(text, textLength, open + 1, mark);
        if (close == kNotFound) {
            if (!lenient) return false;
            // The preview drops the unpartnered delimiter with the rest of its word.
            const size_t space = Find(text, textLength, open + 1, L' ');
            if (space == kNotFound) break;
            pos = space + 1;
            continue;
        }
        if (close == open + 1) {
            if (!out.fits(delimiterLength)) return false;
            out.append(delimiter, delimiterLength);
            pos = close + 1;
            continue;
        }
        if (out.length() + (close - open + 1) > kExpandCapacity) return false;
        if (!AppendVariable(text + open, textLength - open, mode, source, out) && !lenient) return false;
        pos = close + 1;
    }
    *length = out.length();
    return true;
}

}  // namespace corv::ui
