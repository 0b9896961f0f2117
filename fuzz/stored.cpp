// Any bytes as a stored registry value: a named watermark, the last fax record, the last
// print-and-hold user name, or the values of a personal profile. Each is either taken as absent
// (its output untouched) or read within its bounds, strings ending within their arrays.
#include "check.h"
#include "common/record.h"
#include "common/text.h"
#include "plug-in/inboxui/profiles/store.h"
#include "plug-in/inboxui/watermarks/store.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

using namespace corv;
using namespace corv::ui;

namespace {

template <typename Record>
void CheckRecordValue(const std::vector<uint8_t>& value, bool (*read)(const void*, DWORD, Record*),
                      bool (*terminated)(const Record&)) {
    fuzz::Exact<uint8_t> data(value.data(), value.size(), value.size());
    Record record;
    std::memset(&record, 0x5A, sizeof record);
    Record before = record;
    const bool ok = read(value.empty() ? nullptr : data.get(), static_cast<DWORD>(value.size()), &record);
    FUZZ_CHECK(ok == (!value.empty() && value.size() <= sizeof(Record)));
    if (!ok) {
        FUZZ_CHECK(std::memcmp(&record, &before, sizeof record) == 0);
        return;
    }
    FUZZ_CHECK(terminated(record));
}

bool WatermarkTerminated(const WatermarkRecord& wm) {
    return fuzz::Terminated(wm.szName) && fuzz::Terminated(wm.szText) && fuzz::Terminated(wm.szFontName);
}

bool FaxTerminated(const FaxRecord& f) {
    return fuzz::Terminated(f.szFaxNumber) && fuzz::Terminated(f.szFaxStation) &&
           fuzz::Terminated(f.szRecipientName) && fuzz::Terminated(f.szSenderName) &&
           fuzz::Terminated(f.szSenderCompany) && fuzz::Terminated(f.szSenderAddress) &&
           fuzz::Terminated(f.szReserved) && fuzz::Terminated(f.szSenderFax) && fuzz::Terminated(f.szSenderVoice) &&
           fuzz::Terminated(f.szSenderEmail) && fuzz::Terminated(f.szComments);
}

void CheckUserName(FuzzedDataProvider& in) {
    const DWORD capacity = in.ConsumeIntegralInRange<DWORD>(1, 40);
    std::vector<uint8_t> value = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 2 * capacity + 4));
    fuzz::Exact<uint8_t> data(value.data(), value.size(), value.size());
    fuzz::Exact<WCHAR> buffer(capacity);
    for (DWORD i = 0; i < capacity; ++i) buffer.get()[i] = L'#';
    const bool ok = LastUserNameFromValue(reinterpret_cast<const WCHAR*>(data.get()), static_cast<DWORD>(value.size()),
                                          buffer.get(), capacity);
    if (!ok) {
        for (DWORD i = 0; i < capacity; ++i) FUZZ_CHECK(buffer.get()[i] == L'#');
        return;
    }
    const size_t length = BoundedLength(buffer.get(), capacity);
    FUZZ_CHECK(length < capacity);
    FUZZ_CHECK(std::memcmp(buffer.get(), data.get(), length * sizeof(WCHAR)) == 0);
}

// Option items as the core driver hands them over: each edit box's buffer exactly as large as the
// driver says (the second parameter of its type), names as texts, resource ids or DMPubIDs.
struct Options {
    std::vector<OPTITEM> items;
    std::vector<OPTTYPE> types;
    std::vector<std::vector<OPTPARAM>> params;
    std::vector<fuzz::Exact<WCHAR>> names, texts;
    std::vector<DWORD> capacities;
};

void BuildOptions(FuzzedDataProvider& in, Options& o) {
    const size_t count = in.ConsumeIntegralInRange<size_t>(0, 6);
    o.items.resize(count);
    o.types.resize(count);
    o.params.resize(count);
    o.capacities.resize(count);
    for (size_t i = 0; i < count; ++i) {
        OPTITEM& item = o.items[i];
        OPTTYPE& type = o.types[i];
        item = {};
        type = {};
        type.Type = in.ConsumeIntegralInRange<BYTE>(0, 9);
        type.Count = in.ConsumeIntegralInRange<WORD>(0, 3);
        o.params[i].assign(type.Count, OPTPARAM{});
        const DWORD capacity =
            in.ConsumeBool() ? in.ConsumeIntegralInRange<DWORD>(0, 8) : in.ConsumeIntegralInRange<DWORD>(0, 300);
        if (type.Count >= 2) o.params[i][1].IconID = capacity;
        type.pOptParam = type.Count ? o.params[i].data() : nullptr;
        item.pOptType = in.ConsumeBool() ? &type : nullptr;
        item.DMPubID = in.ConsumeBool() ? in.ConsumeIntegral<BYTE>() : 0;
        if (in.ConsumeBool()) {
            item.pName = reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(in.ConsumeIntegralInRange<int>(0, 0xFFFF)));
        } else {
            std::string n = in.ConsumeRandomLengthString(20);
            o.names.emplace_back(n.size() + 1);
            for (size_t k = 0; k < n.size(); ++k) o.names.back().get()[k] = static_cast<unsigned char>(n[k]);
            item.pName = o.names.back().get();
        }
        if (type.Type == TVOT_EDITBOX) {
            // An edit box's selection is its text buffer, or none.
            if (in.ConsumeBool()) {
                o.texts.emplace_back(capacity ? capacity : 1);
                item.pSel = o.texts.back().get();
                o.capacities[i] = capacity;
            }
        } else {
            item.Sel = in.ConsumeIntegral<LONG>();
        }
    }
}

void CheckProfile(FuzzedDataProvider& in) {
    Options options;
    BuildOptions(in, options);
    fuzz::Exact<JobSettings> working(1);
    ProfileSettings current;
    current.options = options.items.data();
    current.optionCount = static_cast<DWORD>(options.items.size());
    current.workingCopy = working.get();

    fuzz::Exact<StoredValue> value(1);  // on the heap, as the store keeps it
    while (in.remaining_bytes() > 0) {
        StoredValue& v = *value.get();
        // The registry ends every enumerated name within its buffer.
        // Mostly the name of one of the options, as a save wrote it, or of the record.
        const int choice = in.ConsumeIntegralInRange(0, 3);
        if (choice <= 1 && !options.items.empty()) {
            ProfileValueName(options.items[in.ConsumeIntegralInRange<size_t>(0, options.items.size() - 1)], v.name);
        } else {
            std::string name =
                choice == 2 ? std::string("CustomDevData") : in.ConsumeRandomLengthString(kProfileNameCapacity - 1);
            size_t n = 0;
            for (; n < name.size() && n + 1 < kProfileNameCapacity; ++n)
                v.name[n] = static_cast<unsigned char>(name[n]);
            v.name[n] = 0;
        }
        const DWORD types[] = {REG_SZ, REG_DWORD, REG_BINARY, REG_NONE};
        v.type = in.PickValueInArray(types);
        v.bytes = in.ConsumeBool() ? static_cast<DWORD>(sizeof(JobSettings)) : in.ConsumeIntegralInRange<DWORD>(0, 300);
        std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(v.bytes);
        std::memset(v.data, 0, sizeof v.data);
        if (!bytes.empty()) std::memcpy(v.data, bytes.data(), bytes.size());

        std::vector<OPTITEM> before = options.items;
        OPTITEM* changed = ApplyStoredOption(current, v);
        for (size_t i = 0; i < options.items.size(); ++i) {
            const OPTITEM& item = options.items[i];
            if (&item != changed) {
                FUZZ_CHECK(item.Sel == before[i].Sel && item.Flags == before[i].Flags);
                continue;
            }
            FUZZ_CHECK(item.Flags & OPTIF_CHANGED);
            if (options.capacities[i]) {
                FUZZ_CHECK(BoundedLength(item.pSel, options.capacities[i]) < options.capacities[i]);
            } else {
                FUZZ_CHECK(v.type == REG_DWORD && v.bytes == sizeof(DWORD));
            }
        }
        // A selection just loaded is what the profile holds.
        if (changed && !options.capacities[changed - options.items.data()]) FUZZ_CHECK(StoredOptionMatches(current, v));

        JobSettings repaired;
        const JobSettings* record = StoredRecord(v, &repaired);
        FUZZ_CHECK(!record || (v.type == REG_BINARY && v.bytes == sizeof(JobSettings)));
        if (record) {
            FUZZ_CHECK(RecordsMatch(*record, *record));
            FUZZ_CHECK(RecordsMatch(*record, *working.get()) == RecordsMatch(*working.get(), *record));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        CheckRecordValue<WatermarkRecord>(in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 720)),
                                          &WatermarkFromValue, &WatermarkTerminated);
        break;
    case 1:
        CheckRecordValue<FaxRecord>(in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 4800)),
                                    &FaxInfoFromValue, &FaxTerminated);
        break;
    case 2: CheckUserName(in); break;
    default: CheckProfile(in); break;
    }
    return 0;
}
