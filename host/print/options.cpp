#include "host/print/options.h"

#include "host/kit/fields.h"
#include "host/standins/uiprint.h"

#include <cwchar>

namespace corv::host {
namespace {

std::string Narrow(std::wstring_view s) {
    std::string out;
    for (wchar_t c : s) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

bool ParseCount(std::wstring_view text, long long low, long long high, long long* value) {
    if (text.empty()) return false;
    long long v = 0;
    int base = 10;
    size_t i = 0;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) base = 16, i = 2;
    if (i >= text.size()) return false;
    for (; i < text.size(); ++i) {
        wchar_t c = text[i];
        int digit = (c >= L'0' && c <= L'9')   ? c - L'0'
                    : (c >= L'a' && c <= L'f') ? c - L'a' + 10
                    : (c >= L'A' && c <= L'F') ? c - L'A' + 10
                                               : 99;
        if (digit >= base) return false;
        v = v * base + digit;
        if (v > high) return false;
    }
    if (v < low) return false;
    *value = v;
    return true;
}

// CODE[=VALUE][@PAGE]
bool ParseEscape(std::wstring_view text, EscapeRequest* request) {
    long long v = 0;
    size_t at = text.find(L'@');
    if (at != std::wstring_view::npos) {
        if (!ParseCount(text.substr(at + 1), 1, 1000000, &v)) return false;
        request->page = static_cast<int>(v);
        text = text.substr(0, at);
    }
    size_t eq = text.find(L'=');
    if (eq != std::wstring_view::npos) {
        if (!ParseCount(text.substr(eq + 1), 0, 0xFFFFFFFFll, &v)) return false;
        request->hasValue = true;
        request->value = static_cast<DWORD>(v);
        text = text.substr(0, eq);
    }
    if (!ParseCount(text, 0, 0xFFFFFFFFll, &v)) return false;
    request->code = static_cast<DWORD>(v);
    return true;
}

}  // namespace

bool ParseOptions(int argc, const wchar_t* const* argv, HostOptions* o, std::string* error) {
    JobSettings scratch{};
    DefaultRecord(&scratch);
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    for (int i = 1; i < argc; ++i) {
        std::wstring_view arg = argv[i];
        auto value = [&](std::wstring* out) {
            if (i + 1 >= argc) return false;
            *out = argv[++i];
            return true;
        };
        auto count = [&](long long low, long long high, long long* out) {
            std::wstring text;
            return value(&text) && ParseCount(text, low, high, out);
        };
        long long n = 0;
        std::wstring text;
        if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
            o->help = true;
        } else if (arg == L"--no-prefs") {
            o->userPrefs = false;
        } else if (arg == L"--trace") {
            o->trace = true;
        } else if (arg == L"--memstats") {
            o->memStats = true;
        } else if (arg == L"--list-fields") {
            o->listFields = true;
        } else if (arg == L"--color" || arg == L"--colour") {
            o->color = DMCOLOR_COLOR;
        } else if (arg == L"--mono") {
            o->color = DMCOLOR_MONOCHROME;
        } else if (arg == L"--driver") {
            if (!value(&o->driver) || o->driver.empty()) return fail("--driver needs the package folder");
        } else if (arg == L"--plugin") {
            if (!value(&o->plugin)) return fail("--plugin needs a file");
        } else if (arg == L"--ui") {
            if (!value(&o->ui) || o->ui.empty()) return fail("--ui needs a file, or none");
        } else if (arg == L"--ppd") {
            if (!value(&o->ppd)) return fail("--ppd needs a file");
        } else if (arg == L"--out") {
            if (!value(&o->out) || o->out.empty()) return fail("--out needs a file");
        } else if (arg == L"--doc") {
            if (!value(&o->doc)) return fail("--doc needs a name");
        } else if (arg == L"--paper") {
            if (!value(&o->paper)) return fail("--paper needs a paper size");
        } else if (arg == L"--nup") {
            if (!value(&o->nup) || o->nup.empty()) return fail("--nup needs 1, 2, 4, 6, 9, 16 or Booklet");
        } else if (arg == L"--pages") {
            if (!count(1, 10000, &n)) return fail("--pages needs a number from 1 to 10000");
            o->pages = static_cast<int>(n);
        } else if (arg == L"--copies") {
            if (!count(1, 32767, &n)) return fail("--copies needs a number from 1 to 32767");
            o->copies = static_cast<int>(n);
        } else if (arg == L"--duplex") {
            if (!value(&text)) return fail("--duplex needs none, long or short");
            if (text == L"none") o->duplex = DMDUP_SIMPLEX;
            else if (text == L"long") o->duplex = DMDUP_VERTICAL;
            else if (text == L"short") o->duplex = DMDUP_HORIZONTAL;
            else return fail("--duplex needs none, long or short");
        } else if (arg == L"--set") {
            if (!value(&text)) return fail("--set needs field=value");
            std::string why;
            if (!ApplySetting(&scratch, text, &why)) return fail("--set " + why);
            o->settings.push_back(text);
        } else if (arg == L"--reset-at") {
            if (!count(2, 10000, &n)) return fail("--reset-at needs a page number from 2 on");
            o->resetAt = static_cast<int>(n);
        } else if (arg == L"--escape") {
            EscapeRequest request;
            if (!value(&text) || !ParseEscape(text, &request))
                return fail("--escape needs CODE[=VALUE][@PAGE], numbers decimal or 0x hex");
            o->escapes.push_back(request);
        } else if (arg == L"--job-id") {
            if (!count(1, 0xFFFFFFFFll, &n)) return fail("--job-id needs a number above 0");
            o->jobId = static_cast<DWORD>(n);
        } else if (arg == L"--watermark") {
            const size_t before = o->settings.size();
            if (!value(&text) || !WatermarkPreset(text, &o->settings)) return fail("--watermark needs Draft or Confidential");
            for (size_t k = before; k < o->settings.size(); ++k) ApplySetting(&scratch, o->settings[k], nullptr);
        } else if (arg == L"--preview") {
            if (!value(&o->preview) || o->preview.empty()) return fail("--preview needs a folder");
        } else if (arg == L"--no-document-events") {
            o->documentEvents = false;
        } else {
            return fail("unknown option " + Narrow(arg) + " (see --help)");
        }
    }
    return true;
}

std::vector<std::vector<std::wstring>> BatchJobs(std::wstring_view text) {
    std::vector<std::vector<std::wstring>> jobs;
    while (!text.empty()) {
        size_t end = text.find(L'\n');
        std::wstring_view line = text.substr(0, end);
        text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 1);
        std::vector<std::wstring> args{L"corvhost"};
        std::wstring arg;
        bool inArg = false, quoted = false;
        for (wchar_t c : line) {
            if (c == L'"') {
                quoted = !quoted;
                inArg = true;
            } else if (!quoted && (c == L' ' || c == L'\t' || c == L'\r')) {
                if (inArg) args.push_back(arg);
                arg.clear();
                inArg = false;
            } else {
                arg.push_back(c);
                inArg = true;
            }
        }
        if (inArg) args.push_back(arg);
        if (args.size() > 1 && args[1][0] != L'#') jobs.push_back(std::move(args));
    }
    return jobs;
}

std::string UsageText() {
    return "corvhost - prints a sample job through the UI and rendering plug-ins, standing in for\n"
           "the PostScript core driver and the spooler.\n"
           "\n"
           "  corvhost [options]\n"
           "  corvhost batch FILE  one job per line of FILE, each line options as below, all in\n"
           "                       this one process; reports each job's exit code\n"
           "\n"
           "  --driver DIR         the package the printer's driver is installed from, by its INF\n"
           "                       (default: driver\\ beside corvhost.exe)\n"
           "  --plugin FILE        the rendering plug-in (default: the one the package's plug-in\n"
           "                       configuration file names)\n"
           "  --ui FILE|none       the UI plug-in, whose DevMode and DocumentEvent the job goes\n"
           "                       through (default: the one the configuration file names)\n"
           "  --ppd FILE           printer description (default: the package's first model's)\n"
           "  --out FILE           job stream (default: out\\job.prn)\n"
           "  --doc NAME           document name (default: Corvane sample job)\n"
           "  --pages N            pages of the document (default: 2)\n"
           "  --copies N           dmCopies (default: 1)\n"
           "  --duplex none|long|short    dmDuplex 1, 2 or 3\n"
           "  --nup N|Booklet      the \"%PagePerSheet\" option (1, 2, 4, 6, 9, 16, Booklet)\n"
           "  --paper NAME         a *PageSize of the printer (default: its default)\n"
           "  --color | --mono     dmColor (default: as the printer)\n"
           "  --set FIELD=VALUE    a field of the job settings record, e.g. dwOutputTo=4,\n"
           "                       szHoldPin=1234, fax.szFaxNumber=555, wmFirst.szText=Draft\n"
           "  --list-fields        lists every field --set knows, with its default\n"
           "  --reset-at N         resets the device (ResetPDEV) before page N\n"
           "  --escape CODE[=U32][@PAGE]  sends a private escape through the hook at the start\n"
           "                       of PAGE (default 1) and prints its result\n"
           "  --watermark NAME     a watermark on every page: Draft or Confidential (as --set)\n"
           "  --preview DIR        each page as the UI plug-in's drawing recorded it: DIR\\page-N.emf\n"
           "                       and DIR\\page-N.png (50 dpi)\n"
           "  --no-document-events prints without calling the UI plug-in's document events\n"
           "  --job-id N           spooler job id given to StartDoc (default: 1)\n"
           "  --no-prefs           prints with the driver's defaults, not this user's preferences\n"
           "                       (corvhost prefs keeps them; --set still wins over them)\n"
           "  --trace              logs every call into the plug-in and every injection\n"
           "  --memstats           prints the process's memory and GDI and USER objects at pages\n"
           "                       1000 and 10000\n";
}

}  // namespace corv::host
