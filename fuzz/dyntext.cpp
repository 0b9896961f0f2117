// Any watermark text with any delimiter, tokens and variable values through the dynamic-text
// scanner in its three modes: the output holds at most 2047 characters and its terminator, the
// scanner reads nothing past its input, and the source's buffers are as large as it is told.
#include "check.h"
#include "common/text.h"
#include "plug-in/inboxui/core/dyntext.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

using namespace corv::ui;

namespace {

const char16_t* const kTokens[kDynamicVariableCount] = {
    u"%Username%", u"%dateshort%", u"%datelong%", u"%dateddmmyyyy%", u"%time%",     u"%timemil%",
    u"%timehrmn%", u"%pagenumber%", u"%hostname%", u"%printer%",     u"%modelname%"};

std::u16string Wide(FuzzedDataProvider& in, size_t longest) {
    std::string bytes = in.ConsumeRandomLengthString(longest * 2);
    std::u16string s(bytes.size() / 2, u'\0');
    std::memcpy(s.data(), bytes.data(), s.size() * 2);
    return s;
}

// The source fills the whole capacity it is given: its text, cut or not, and no terminator when
// the text is as long as the buffer.
void Fill(const std::u16string& text, WCHAR* buffer, size_t capacity) {
    size_t n = text.size() < capacity ? text.size() : capacity;
    std::memcpy(buffer, text.data(), n * sizeof(WCHAR));
    if (n < capacity) buffer[n] = 0;
}

class Source final : public DynamicSource {
public:
    std::u16string mark;
    std::u16string tokens[kDynamicVariableCount];
    std::u16string values[kDynamicVariableCount];
    bool resolves[kDynamicVariableCount] = {};

    void delimiter(WCHAR* buffer, size_t capacity) override { Fill(mark, buffer, capacity); }
    void token(DynamicVariable v, WCHAR* buffer, size_t capacity) override {
        Fill(tokens[static_cast<int>(v)], buffer, capacity);
    }
    bool value(DynamicVariable v, WCHAR* buffer, size_t capacity) override {
        if (!resolves[static_cast<int>(v)]) return false;
        Fill(values[static_cast<int>(v)], buffer, capacity);
        return true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    Source source;
    const bool ownTable = in.ConsumeBool();
    source.mark = ownTable ? Wide(in, 4) : u"%";
    for (int v = 0; v < kDynamicVariableCount; ++v) {
        source.tokens[v] = ownTable ? Wide(in, 16) : kTokens[v];
        source.resolves[v] = in.ConsumeBool();
        // Values as long as the scanner's buffer, and longer, must be handled too.
        const size_t longest = in.ConsumeBool() ? kExpandCapacity + 8 : 24;
        source.values[v] = Wide(in, longest);
    }
    const auto mode = static_cast<ExpandMode>(in.ConsumeIntegralInRange<DWORD>(0, 3));
    // Plain text in front may bring the text to a few units short of the scanner's capacity, so
    // that what the variables expand to meets its last units.
    const size_t gap = in.ConsumeBool() ? in.ConsumeIntegralInRange<size_t>(1, 64) : 0;
    std::u16string text = Wide(in, kExpandCapacity + 16);
    text.resize(std::char_traits<char16_t>::length(text.c_str()));
    if (gap && text.size() + gap < kExpandCapacity) text.insert(0, kExpandCapacity - gap - text.size(), u'.');

    // The text in a block of exactly its length and terminator, the output of exactly its size.
    fuzz::Exact<WCHAR> input(text.c_str(), (text.size() + 1) * sizeof(WCHAR), text.size() + 1);
    fuzz::Exact<WCHAR> output(kExpandCapacity);
    size_t length = 12345;
    const bool ok = ScanDynamicText(input.get(), mode, source, output.get(), &length);

    if (text.size() >= kExpandCapacity) FUZZ_CHECK(!ok);
    if (!ok) return 0;
    FUZZ_CHECK(length < kExpandCapacity);
    FUZZ_CHECK(output.get()[length] == 0);
    FUZZ_CHECK(corv::BoundedLength(output.get(), kExpandCapacity) == length);
    // A text without the delimiter comes out as it is.
    const char16_t mark = source.mark.empty() || source.mark[0] == 0 ? u'%' : source.mark[0];
    if (text.find(mark) == std::u16string::npos) {
        FUZZ_CHECK(length == text.size());
        FUZZ_CHECK(std::memcmp(output.get(), text.data(), length * sizeof(WCHAR)) == 0);
    }
    return 0;
}
