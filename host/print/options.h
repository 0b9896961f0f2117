// corvhost's command line, read into one plain structure.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace corv::host {

// A private escape to send through the plug-in's Escape hook when the given page starts.
struct EscapeRequest {
    DWORD code = 0;
    bool hasValue = false;
    DWORD value = 0;  // sent as the four-byte input
    int page = 1;
};

struct HostOptions {
    std::wstring driver;  // the package folder the printer's driver is installed from; empty: driver\ beside corvhost.exe
    std::wstring plugin;  // empty: the rendering plug-in the driver's configuration file names
    std::wstring ui;      // empty: the UI plug-in it names; "none": no UI plug-in
    std::wstring ppd;     // empty: the data file of the package's first model
    std::wstring out = L"out\\job.prn";
    std::wstring doc = L"Corvane sample job";
    std::wstring paper;  // a *PageSize option; empty: the printer's default
    std::wstring nup;    // a "%PagePerSheet" option; empty: the printer's default
    int pages = 2;
    int copies = 1;
    short duplex = DMDUP_SIMPLEX;
    short color = 0;  // 0: as the printer (colour if it is a colour device), else DMCOLOR_*
    std::vector<std::wstring> settings;  // field=value, applied in order
    int resetAt = 0;                     // page before which the device is reset; 0 = never
    std::vector<EscapeRequest> escapes;
    DWORD jobId = 1;
    bool userPrefs = true;       // this user's preferences (corvhost prefs) under the command line's --set
    bool documentEvents = true;  // the UI plug-in's document events, on a recorded device context
    std::wstring preview;        // folder for each page's metafile and PNG; empty: none
    bool trace = false;
    bool memStats = false;  // prints the process's memory and GUI objects at pages 1000 and 10000
    bool listFields = false;
    bool help = false;
};

// False with a message for anything it cannot use; `--set` assignments are checked against a
// record here already, so a typo stops the run before the plug-in is loaded.
bool ParseOptions(int argc, const wchar_t* const* argv, HostOptions* options, std::string* error);

std::string UsageText();

// One job's arguments per line of a batch file (corvhost batch FILE): blanks separate them, double
// quotes keep blanks inside one; empty lines and lines that begin with # are left out. Each
// argument list starts with the program's name, as argv does.
std::vector<std::vector<std::wstring>> BatchJobs(std::wstring_view text);

}  // namespace corv::host
