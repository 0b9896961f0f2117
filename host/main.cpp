// corvhost: prints a sample job through the rendering plug-in, or opens the UI plug-in's
// printing preferences (corvhost prefs); see --help.
#include "host/print/driver.h"
#include "host/prefs/prefs.h"

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"prefs") == 0) return corv::host::RunPrefs(argc - 1, argv + 1);
    corv::host::HostOptions options;
    std::string error;
    if (!corv::host::ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "corvhost: %s\n", error.c_str());
        return corv::host::kExitBadInput;
    }
    if (options.help) {
        std::fputs(corv::host::UsageText().c_str(), stdout);
        return corv::host::kExitOk;
    }
    return corv::host::RunHost(options);
}
