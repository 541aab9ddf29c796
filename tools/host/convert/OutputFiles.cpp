#include "tools/host/convert/OutputFiles.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "framework/FileSystem.h"

namespace fs = std::filesystem;

void writeFileAtomically(const fs::path& path, const std::function<void(std::ostream&)>& write) {
    fs::path partial = path;
    partial += ".part";
    std::error_code failed;
    const auto fail = [&](const std::string& what) {
        fs::remove(partial, failed);
        throw OutputError(what);
    };
    try {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out) fail("cannot create " + fw::fromPath(partial) + ": " + std::strerror(errno));
        write(out);
        out.close();
        if (!out) fail("cannot write " + fw::fromPath(partial) + ": " + std::strerror(errno));
    } catch (const OutputError&) {
        throw;
    } catch (const std::exception& error) {
        fail("cannot write " + fw::fromPath(partial) + ": " + error.what());
    } catch (...) {
        // An interrupt (fw::Interrupted) from the writing: the half-written
        // file goes, and the interrupt on.
        fs::remove(partial, failed);
        throw;
    }
    fs::rename(partial, path, failed);
    if (failed) fail("cannot rename " + fw::fromPath(partial) + " to " + fw::fromPath(path) + ": " + failed.message());
}
