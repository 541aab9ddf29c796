// One libFuzzer target per input kind; POLAR_FUZZ_KIND names it ("hrm",
// "gpx", "hrz", "ini" or "diary"). Every input is one load of the plug-in:
// the state is created, the driver runs, the state is released, and nothing
// may be left in the temporary directory.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "FuzzDrivers.h"
#include "framework/posix/MessageSink.h"
#include "plugin/uExportFunctions.h"

namespace {

std::unique_ptr<fuzzing::Workspace> workspace;
fuzzing::Driver driver = nullptr;
std::string startDirectory;

void removeWorkspace() {
    if (!workspace) return;
    std::error_code ignored;
    std::filesystem::remove_all(workspace->directory(), ignored);
}

[[noreturn]] void fail(const fuzzing::Problems& problems) {
    for (const std::string& problem : problems) std::fprintf(stderr, "fuzz %s: %s\n", POLAR_FUZZ_KIND, problem.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* base = std::getenv("POLAR_FUZZ_TMP");
    if (!base || !*base) base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/polarfuzz-" POLAR_FUZZ_KIND ".XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    workspace = std::make_unique<fuzzing::Workspace>(pattern);
    driver = fuzzing::driverFor(POLAR_FUZZ_KIND);
    startDirectory = std::filesystem::current_path().string();
    std::atexit(removeWorkspace);
    // The debug log would otherwise go to standard error on every input.
    fw::setMessageSink([](fw::MessageKind, const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InitPluginState();
    fuzzing::Problems problems = driver(*workspace, std::string_view(reinterpret_cast<const char*>(data), size));
    DonePluginState();
    // Removing the work directory makes the drive root current; the fuzzer's
    // own relative paths need the directory it started in.
    if (chdir(startDirectory.c_str()) != 0) problems.push_back("cannot return to " + startDirectory);
    for (std::string& left : fuzzing::leftovers(*workspace)) problems.push_back(std::move(left));
    if (!problems.empty()) fail(problems);
    return 0;
}
