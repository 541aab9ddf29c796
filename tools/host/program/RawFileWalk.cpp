#include "tools/host/program/RawFileWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "framework/FileSystem.h"
#include "tools/host/recording/Companions.h"

namespace fs = std::filesystem;

namespace {

enum class Kind { Raw, Companion, Other };

Kind kindOf(const fs::path& path) {
    const std::string extension = foldedName(fw::fromPath(path.extension()));
    if (extension == ".hrm" || extension == ".hrz") return Kind::Raw;
    if (extension == ".gpx" || extension == ".pdd") return Kind::Companion;
    return Kind::Other;
}

// The system's reason a file cannot be read; empty when it can.
std::string unreadable(const fs::path& path) {
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (file) return {};
    return std::strerror(errno ? errno : EACCES);
}

void addFile(RawFileWalk& walk, const fs::path& path, const std::string& shown, const std::string& outputFolder,
             bool named) {
    switch (kindOf(path)) {
        case Kind::Companion: return;
        case Kind::Other:
            if (named)
                walk.failures.push_back({shown, RunSummary::Skip::NotRecording,
                                         "not a raw file (an .hrm exercise or an .hrz archive)"});
            else
                walk.others.push_back(shown);
            return;
        case Kind::Raw: break;
    }
    if (const std::string reason = unreadable(path); !reason.empty()) {
        walk.failures.push_back({shown, RunSummary::Skip::Unreadable, "cannot be read (" + reason + ")"});
        return;
    }
    walk.rawFiles.push_back({shown, fw::fromPath(path), outputFolder});
}

void walkFolder(RawFileWalk& walk, const NamedPath& named) {
    const fs::path folder = fw::toPath(named.full);
    std::vector<fs::path> files;
    std::error_code failed;
    const auto options = fs::directory_options::skip_permission_denied;
    for (fs::recursive_directory_iterator entry(folder, options, failed), end; !failed && entry != end;
         entry.increment(failed))
        if (entry->is_regular_file(failed)) files.push_back(entry->path());
    if (failed)
        walk.failures.push_back({named.shown, RunSummary::Skip::Unreadable,
                                 "cannot be read to its end (" + failed.message() + ")"});
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const fs::path relative = file.lexically_relative(folder);
        const std::string below = fw::fromPath(relative.parent_path());
        addFile(walk, file, fw::fromPath(fw::toPath(named.shown) / relative), below, false);
    }
}

}  // namespace

std::string fullPath(const std::string& path) {
    std::error_code failed;
    const fs::path full = fs::absolute(fw::toPath(path), failed);
    return failed ? path : fw::fromPath(full);
}

NamedPath namedPath(const std::string& given) { return {given, fullPath(given)}; }

RawFileWalk walkRawFiles(const std::vector<NamedPath>& arguments) {
    RawFileWalk walk;
    for (const NamedPath& argument : arguments) {
        std::error_code failed;
        const fs::path path = fw::toPath(argument.full);
        const fs::file_status status = fs::status(path, failed);
        if (fs::is_directory(status))
            walkFolder(walk, argument);
        else if (!fs::exists(status))
            walk.failures.push_back({argument.shown, RunSummary::Skip::Missing,
                                     "missing (" + (failed ? failed.message() : std::string(std::strerror(ENOENT))) + ")"});
        else
            addFile(walk, path, argument.shown, "", true);
    }
    return walk;
}
