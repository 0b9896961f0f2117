// One job through the rendering plug-in, driven only through its exports and interfaces, in
// the order the PostScript core driver uses them.
#pragma once

#include "host/print/options.h"

namespace corv::host {

enum ExitCode : int {
    kExitOk = 0,
    kExitJobFailed = 1,    // the plug-in could not be loaded or refused a step the job needs
    kExitBadInput = 2,     // the command line or the printer description
    kExitRuleBroken = 3,   // the job ran, but the plug-in broke a rule of the interfaces
};

int RunHost(const HostOptions& options);

// The folder of corvhost.exe, with a trailing backslash.
std::wstring ProgramFolder();

}  // namespace corv::host
