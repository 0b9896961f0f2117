// corvhost: prints a sample job through the rendering plug-in; see --help.
#include "host/driver.h"

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
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
