// corvhost: prints a sample job through the rendering plug-in, or opens the UI plug-in's
// printing preferences (corvhost prefs); see --help.
#include "host/kit/hostio.h"
#include "host/print/driver.h"
#include "host/prefs/prefs.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

int RunJob(int argc, const wchar_t* const* argv) {
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

// Many jobs in one process: a test of dozens of jobs would otherwise start Wine for each.
int RunBatch(const wchar_t* path) {
    std::string text;
    if (!corv::host::ReadWholeFile(path, &text)) {
        std::fprintf(stderr, "corvhost: cannot read the batch file %s\n", corv::host::Narrow(path).c_str());
        return corv::host::kExitBadInput;
    }
    int worst = corv::host::kExitOk, number = 0;
    for (const auto& job : corv::host::BatchJobs(corv::host::Widen(text))) {
        std::vector<const wchar_t*> argv;
        for (const auto& arg : job) argv.push_back(arg.c_str());
        int code = RunJob(static_cast<int>(argv.size()), argv.data());
        std::printf("corvhost: batch job %d -> exit %d\n", ++number, code);
        std::fflush(stdout);
        std::fflush(stderr);
        worst = std::max(worst, code);
    }
    return worst;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"prefs") == 0) return corv::host::RunPrefs(argc - 1, argv + 1);
    if (argc == 3 && std::wcscmp(argv[1], L"batch") == 0) return RunBatch(argv[2]);
    return RunJob(argc, argv);
}
