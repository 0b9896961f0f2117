// One job's device, driven by any sequence of escapes (any code, sizes and payload) and injection
// points, with a core driver and helper whose answers come from the input. No escape may read or
// write past the sizes it is given, no answer may promise more than the record or the buffers
// hold, and the job state keeps what only this process may set. The image-mask test is also run
// on its own over any buffer.
#include "check.h"
#include "common/record.h"
#include "plug-in/render/escape.h"
#include "plug-in/render/imagemask.h"
#include "plug-in/render/inject.h"
#include "plug-in/render/jobstate.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

using namespace corv;
using namespace corv::render;

namespace {

constexpr ULONG kCoreAnswer = 0xC0DE;
constexpr char kSwitchStart[] = "4072958316 internaldict";

// What the application's PASSTHROUGH buffer was, so that the buffers the plug-in makes itself can
// be told apart in the core driver.
const void* applicationBuffer = nullptr;

ULONG APIENTRY CoreEscape(SURFOBJ*, ULONG code, ULONG inSize, PVOID in, ULONG outSize, PVOID out) {
    // The core driver may read all of its input and write all of its output.
    volatile uint8_t sum = 0;
    for (ULONG i = 0; in && i < inSize; ++i) sum = sum + static_cast<const uint8_t*>(in)[i];
    if (out && outSize) std::memset(out, 0xA5, outSize);
    if (code == PASSTHROUGH && in && in != applicationBuffer) {
        // A switch buffer: its count never claims more data than it holds, then the text, then NULs.
        FUZZ_CHECK(inSize >= kImageMaskBracketMin);
        const auto* b = static_cast<const uint8_t*>(in);
        const ULONG count = b[0] | (b[1] << 8);
        FUZZ_CHECK(count <= inSize - 2);
        FUZZ_CHECK(std::memcmp(b + 2, kSwitchStart, sizeof kSwitchStart - 1) == 0);
    }
    return kCoreAnswer;
}

// The core driver's helper: its answers about the printer come from the input.
class Helper final : public IPrintCorePS2 {
public:
    std::string pagePerSheet;  // the answer to "%PagePerSheet": feature, NUL, option
    bool manualDuplex = false;
    bool keepHeldJobs = false;
    HRESULT featureAttribute = S_OK;
    std::vector<std::string> pieces;

    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return 1; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(DrvWriteSpoolBuf)(PDEVOBJ, PVOID buffer, DWORD size, DWORD* written) override {
        FUZZ_CHECK(buffer && size > 0);
        pieces.emplace_back(static_cast<const char*>(buffer), size);
        if (written) *written = size;
        return S_OK;
    }
    STDMETHOD(GetOptions)(PDEVOBJ, DWORD, PCSTR request, DWORD requestSize, PSTR buffer, DWORD size,
                          PDWORD needed) override {
        FUZZ_CHECK(request && requestSize >= 2 && request[requestSize - 1] == 0 && request[requestSize - 2] == 0);
        *needed = static_cast<DWORD>(pagePerSheet.size());
        if (!buffer || size < pagePerSheet.size()) return E_OUTOFMEMORY;
        std::memcpy(buffer, pagePerSheet.data(), pagePerSheet.size());
        return S_OK;
    }
    STDMETHOD(GetGlobalAttribute)(PDEVOBJ, DWORD, PCSTR, PDWORD, PBYTE, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetFeatureAttribute)(PDEVOBJ, DWORD, PCSTR, PCSTR, PDWORD, PBYTE, DWORD, PDWORD needed) override {
        if (needed) *needed = 0;
        return featureAttribute;
    }
    STDMETHOD(GetOptionAttribute)(PDEVOBJ, DWORD, PCSTR, PCSTR, PCSTR, PDWORD, PBYTE, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(EnumFeatures)(PDEVOBJ, DWORD, PSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumOptions)(PDEVOBJ, DWORD, PCSTR feature, PSTR, DWORD, PDWORD needed) override {
        const bool has = std::strcmp(feature, "HasManualDuplex") == 0 ? manualDuplex : keepHeldJobs;
        *needed = has ? 8 : 0;
        return has ? E_OUTOFMEMORY : E_FAIL;
    }
};

const ULONG kCodes[] = {kEscGetPublicDevMode, kEscGetRecord, kEscNextPage, kEscResetPageCount, kEscGetPageCount,
                        kEscGetJobState, kEscSetCoverPageActive, kEscGetSheetCount, kEscSetRecord, kEscSetJobState,
                        kEscSetPublicDevMode, kEscGetJobId, kEscGetStartTime, kEscAnnouncedOnly, kEscDuplexMode1,
                        kEscDuplexMode2, kEscHasManualDuplex, kEscSetPageSkip, kEscGetPageSkip, kEscClearPageSkip,
                        kEscSetPendingPageValue, 0x1000E, QUERYESCSUPPORT, PASSTHROUGH, POSTSCRIPT_DATA,
                        POSTSCRIPT_PASSTHROUGH, POSTSCRIPT_IDENTIFY, POSTSCRIPT_INJECTION};

const DWORD kPoints[] = {PSINJECT_BEGINSTREAM, PSINJECT_PSADOBE,       PSINJECT_COMMENTS,      PSINJECT_BEGINSETUP,
                         PSINJECT_PAGENUMBER,  PSINJECT_BEGINPAGESETUP, PSINJECT_ENDPAGESETUP, PSINJECT_PAGETRAILER,
                         PSINJECT_SHOWPAGE,    PSINJECT_EOF,            PSINJECT_TRAILER};

// A block size: the sizes the protocol knows, the record's own, or any.
ULONG PickSize(FuzzedDataProvider& in, const JobSettings& record) {
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: return 0;
    case 1: return sizeof(DWORD);
    case 2: return sizeof(DEVMODEW);
    case 3: return kJobStateSize;
    case 4: return kRecordSize;
    case 5: return record.dwSize < 16384 ? record.dwSize : 16384;
    case 6: return in.ConsumeIntegralInRange<ULONG>(0, 16);
    default: return in.ConsumeIntegralInRange<ULONG>(0, 12000);
    }
}

// Every piece written at an injection point is whole lines; the job trailer ends with the UEL.
void CheckPieces(const std::vector<std::string>& pieces) {
    for (const std::string& p : pieces) {
        FUZZ_CHECK(p.find('\0') == std::string::npos);
        FUZZ_CHECK(p.back() == '\n' || p.compare(p.size() - 9, 9, "\x1b%-12345X") == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);

    // The image-mask test over any buffer of exactly its size.
    {
        std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 600));
        fuzz::Exact<BYTE> buffer(bytes.data(), bytes.size(), bytes.size());
        const DWORD n = static_cast<DWORD>(bytes.size());
        const bool special = IsSpecialImageMask(bytes.empty() ? nullptr : buffer.get(), n);
        const WORD count = ImageMaskSwitchCount(bytes.empty() ? nullptr : buffer.get(), n);
        FUZZ_CHECK(n < 2 ? count == 0 : count <= n - 2);
        FUZZ_CHECK(!special || n >= 50);
        fuzz::Exact<BYTE> fill(n);
        FillImageMaskSwitch(n ? fill.get() : nullptr, n, count, in.ConsumeBool());
    }

    Helper helper;
    helper.manualDuplex = in.ConsumeBool();
    helper.keepHeldJobs = in.ConsumeBool();
    helper.featureAttribute = in.ConsumeBool() ? S_OK : E_INVALIDARG;
    helper.pagePerSheet = in.ConsumeRandomLengthString(24);

    DRVFN coreFunctions[] = {{INDEX_DrvStartDoc, nullptr}, {INDEX_DrvEscape, AsPfn(&CoreEscape)}};
    fuzz::Exact<JobState> state(1);
    state.get()->structSize = kJobStateSize;
    state.get()->coreHooks = {0x00030100, 2, coreFunctions};
    state.get()->coreHelper = in.ConsumeBool() ? &helper : nullptr;
    const DRVENABLEDATA hooks = state.get()->coreHooks;
    IPrintCorePS2* const coreHelper = state.get()->coreHelper;

    // The driver's default record with any stretch of it overwritten from the input: taking the
    // whole record first would leave the escapes only to inputs of more than 7,672 bytes.
    JobSettings base;
    DefaultRecord(&base);
    std::vector<uint8_t> recordBytes(reinterpret_cast<const uint8_t*>(&base),
                                     reinterpret_cast<const uint8_t*>(&base) + kRecordSize);
    const size_t longest = in.ConsumeBool() ? kRecordSize : 64;
    const std::vector<uint8_t> overwrite = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, longest));
    const size_t at = in.ConsumeIntegralInRange<size_t>(0, kRecordSize - overwrite.size());
    std::copy(overwrite.begin(), overwrite.end(), recordBytes.begin() + static_cast<ptrdiff_t>(at));
    fuzz::Exact<JobSettings> record(recordBytes.data(), recordBytes.size(), 1);
    const DWORD recordSize = record.get()->dwSize;
    fuzz::Exact<DEVMODEW> publicDM(1);
    publicDM.get()->dmSize = sizeof(DEVMODEW);
    publicDM.get()->dmDriverExtra = static_cast<WORD>(kRecordSize);
    publicDM.get()->dmDuplex = in.ConsumeIntegralInRange<short>(1, 3);

    DEVOBJ device{};
    device.dwSize = sizeof device;
    device.pdevOEM = state.get();
    device.pPublicDM = publicDM.get();
    device.pOEMDM = record.get();
    SURFOBJ surface{};
    surface.dhpdev = reinterpret_cast<DHPDEV>(&device);

    for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
        if (in.ConsumeBool()) {
            helper.pieces.clear();
            const HRESULT hr = HandleInjection(&device, &helper, in.PickValueInArray(kPoints));
            FUZZ_CHECK(hr == S_OK || hr == E_NOTIMPL);
            CheckPieces(helper.pieces);
            continue;
        }
        const ULONG code = in.ConsumeBool() ? in.PickValueInArray(kCodes) : in.ConsumeIntegral<ULONG>();
        const ULONG inSize = PickSize(in, *record.get());
        const bool hasIn = in.ConsumeBool();
        std::vector<uint8_t> payload = in.ConsumeBytes<uint8_t>(inSize);
        fuzz::Exact<uint8_t> input(payload.data(), payload.size(), inSize);
        const ULONG outSize = PickSize(in, *record.get());
        const bool hasOut = in.ConsumeBool();
        fuzz::Exact<uint8_t> output(outSize);
        applicationBuffer = hasIn ? input.get() : nullptr;
        const DWORD pages = state.get()->escapePageCount;

        const ULONG answer = HookEscape(&surface, code, inSize, hasIn ? input.get() : nullptr, outSize,
                                        hasOut ? output.get() : nullptr);

        // What only this process may set stays; the sizes the driver allocated stay.
        FUZZ_CHECK(state.get()->structSize == kJobStateSize);
        FUZZ_CHECK(state.get()->coreHooks.c == hooks.c && state.get()->coreHooks.pdrvfn == hooks.pdrvfn);
        FUZZ_CHECK(state.get()->coreHelper == coreHelper);
        FUZZ_CHECK(fuzz::Terminated(state.get()->docName) && fuzz::Terminated(state.get()->userName));
        FUZZ_CHECK(record.get()->dwSize == recordSize);
        FUZZ_CHECK(publicDM.get()->dmSize == sizeof(DEVMODEW) && publicDM.get()->dmDriverExtra == kRecordSize);
        switch (code) {
        case kEscGetRecord:
        case kEscSetRecord:
            FUZZ_CHECK(answer == (recordSize < kRecordSize ? recordSize : kRecordSize));
            break;
        case kEscGetPublicDevMode:
        case kEscSetPublicDevMode: FUZZ_CHECK(answer == sizeof(DEVMODEW)); break;
        case kEscGetJobState:
        case kEscSetJobState: FUZZ_CHECK(answer == kJobStateSize); break;
        case kEscGetStartTime: FUZZ_CHECK(answer == sizeof(SYSTEMTIME)); break;
        case kEscGetSheetCount: FUZZ_CHECK(answer <= pages && (pages == 0 || answer >= 1)); break;
        case QUERYESCSUPPORT: FUZZ_CHECK(answer == 0 || answer == 1 || answer == kCoreAnswer); break;
        default: break;
        }
    }
    return 0;
}
