#include "tools/host/program/RawFileWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

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

// `raw` when `path` is a raw file that can be read.
void addFile(RawFileWalk& walk, const fs::path& path, const std::string& shown, bool named, RawFileName raw) {
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
    walk.rawFiles.push_back(std::move(raw));
}

// The folders named, with their subfolders in name order; every folder,
// known by its canonical path, walked once.
class FolderWalk {
public:
    explicit FolderWalk(RawFileWalk& walk) : walk_(walk) {}

    void walkNamed(const NamedPath& named) {
        top_ = fw::toPath(named.full);
        topShown_ = fw::toPath(named.shown);
        enter(top_);
    }

private:
    // `folder` unless the walk went through it already.
    void enter(const fs::path& folder) {
        std::error_code failed;
        const fs::path real = fs::canonical(folder, failed);
        if (failed) {
            walk_.failures.push_back({shown(folder), RunSummary::Skip::Unreadable,
                                      "cannot be read (" + failed.message() + ")"});
            return;
        }
        if (std::find(path_.begin(), path_.end(), real) != path_.end()) {
            walk_.notWalked.push_back({shown(folder), RunSummary::Skip::FolderWalked,
                                       "a link back to " + fw::fromPath(real) +
                                           ", a folder it lies in (a loop); not followed"});
            return;
        }
        if (!walked_.insert(real).second) {
            walk_.notWalked.push_back({shown(folder), RunSummary::Skip::FolderWalked,
                                       "the folder " + fw::fromPath(real) + " again, walked already; not walked twice"});
            return;
        }
        path_.push_back(real);
        list(folder);
        path_.pop_back();
    }

    void list(const fs::path& folder) {
        std::vector<fs::directory_entry> entries;
        std::error_code failed;
        for (fs::directory_iterator entry(folder, failed), end; !failed && entry != end; entry.increment(failed))
            entries.push_back(*entry);
        if (failed)
            walk_.failures.push_back({shown(folder), RunSummary::Skip::Unreadable,
                                      (entries.empty() ? "cannot be read (" : "cannot be read to its end (") +
                                          failed.message() + ")"});
        std::sort(entries.begin(), entries.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
            return a.path().filename() < b.path().filename();
        });
        const std::string below = fw::fromPath(folder.lexically_relative(top_));
        const auto names =
            std::make_shared<const RawFolder>(RawFolder{shown(folder), fw::fromPath(folder), below == "." ? "" : below});
        for (const fs::directory_entry& entry : entries) {
            const fs::file_status status = entry.status(failed);  // through a link
            if (fs::is_directory(status))
                enter(entry.path());
            else if (fs::is_regular_file(status))
                addFile(walk_, entry.path(), shown(entry.path()), false,
                        RawFileName(names, fw::fromPath(entry.path().filename())));
            else if (kindOf(entry.path()) != Kind::Raw)
                walk_.others.push_back(shown(entry.path()));
            else if (fs::exists(status))
                walk_.failures.push_back({shown(entry.path()), RunSummary::Skip::NotRecording,
                                          "not a regular file"});
            else if (failed && failed != std::errc::no_such_file_or_directory)
                walk_.failures.push_back({shown(entry.path()), RunSummary::Skip::Unreadable,
                                          "cannot be read (" + failed.message() + ")"});
            else
                walk_.failures.push_back({shown(entry.path()), RunSummary::Skip::Missing,
                                          "missing (a link to a file that is not there)"});
        }
    }

    // A path below the folder named, as the user would write it.
    std::string shown(const fs::path& path) const {
        const fs::path below = path.lexically_relative(top_);
        return fw::fromPath(below == "." ? topShown_ : topShown_ / below);
    }

    RawFileWalk& walk_;
    fs::path top_, topShown_;
    std::set<fs::path> walked_;
    std::vector<fs::path> path_;  // the folders being walked, the named one first
};

}  // namespace

std::string fullPath(const std::string& path) {
    std::error_code failed;
    const fs::path full = fs::absolute(fw::toPath(path), failed);
    return failed ? path : fw::fromPath(full);
}

NamedPath namedPath(const std::string& given) { return {given, fullPath(given)}; }

RawFileWalk walkRawFiles(const std::vector<NamedPath>& arguments) {
    RawFileWalk walk;
    FolderWalk folders(walk);
    for (const NamedPath& argument : arguments) {
        std::error_code failed;
        const fs::path path = fw::toPath(argument.full);
        const fs::file_status status = fs::status(path, failed);
        if (fs::is_directory(status))
            folders.walkNamed(argument);
        else if (!fs::exists(status))
            walk.failures.push_back({argument.shown, RunSummary::Skip::Missing,
                                     "missing (" + (failed ? failed.message() : std::string(std::strerror(ENOENT))) + ")"});
        else
            addFile(walk, path, argument.shown, true, RawFileName(argument.shown, argument.full));
    }
    walk.rawFiles.shrink_to_fit();
    return walk;
}
