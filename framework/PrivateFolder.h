#pragma once

#include <string>

namespace fw {

// A folder of one run of a program inside the temporary directory: made
// anew under a name nobody can guess, so that nothing planted in the
// temporary directory (a folder, a link) is ever used instead, open to the
// current user alone, and removed with everything in it when the object
// goes. Two runs at once thereby never share a folder.
class PrivateFolder {
public:
    // `prefix` begins the folder's name. path() is empty when the folder
    // cannot be made; error() then says why.
    explicit PrivateFolder(const std::string& prefix);
    ~PrivateFolder() { remove(); }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::string& path() const { return path_; }  // full, without a final delimiter
    const std::string& error() const { return error_; }
    // Removes the folder with everything in it, read-only files too,
    // following no link; nothing once it is gone.
    void remove();

private:
    std::string path_, error_;
};

// The platform half of PrivateFolder: creates the folder (POSIX: mkdtemp,
// mode 0700; Windows: a random name created exclusively, its DACL the
// current user's alone) and returns its path; empty with `error` set when
// it cannot.
std::string createPrivateFolder(const std::string& prefix, std::string& error);

// Points the process's temporary directory at `path`: what tempDirectory()
// reports from now on, to this program and to a plug-in it loaded (TMPDIR
// on POSIX; TMP and TEMP, which GetTempPath reads, on Windows). False when
// the environment cannot be changed.
bool setTempDirectory(const std::string& path);

}  // namespace fw
