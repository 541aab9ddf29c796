#pragma once

#include <string>
#include <string_view>
#include <vector>

// The plug-in driven through its exports the way the host drives it, on
// files written from an arbitrary input. Shared by the fuzz targets and by
// the native tests that replay the regression files.
namespace fuzzing {

// What the host would see as wrong: one readable line per broken rule.
using Problems = std::vector<std::string>;

// A directory that is the plug-in's temporary directory while the drivers
// run, holding the fixed files they analyse beside the fuzzed one.
class Workspace {
public:
    // `directory` must exist; TMPDIR is pointed at it.
    explicit Workspace(std::string directory);
    const std::string& directory() const { return directory_; }
    std::string file(const std::string& name) const { return directory_ + "/" + name; }
    // Names of the fixed files and of the files the drivers write.
    const std::vector<std::string>& ownFiles() const { return ownFiles_; }

private:
    std::string directory_;
    std::vector<std::string> ownFiles_;
};

// Each driver expects a loaded plug-in (InitPluginState done) and leaves it
// loaded. The input becomes one file; the result lists what went wrong.

// .hrm: AnalyseExercise with every setting on, then every transfer export
// over the counts it returned.
Problems driveHrm(const Workspace& workspace, std::string_view input);
// .gpx: a fixed valid .hrm with the input as its track beside it, GPS on,
// with and without the track times.
Problems driveGpx(const Workspace& workspace, std::string_view input);
// .hrz: the exercise count, then AnalyseExercise for every index from -1 to
// the count (at most kMaxArchiveIndexes of them) and for the extremes.
Problems driveHrz(const Workspace& workspace, std::string_view input);
// Settings file: SetPluginIniFile on it, the getters, and one analysis of
// the fixed exercise under those settings.
Problems driveIni(const Workspace& workspace, std::string_view input);
// Track (TrackDriver.cpp): the converter's own reading of a GPX file and its
// placement on an exercise the first bytes choose, asked every second.
Problems driveTrack(const Workspace& workspace, std::string_view input);

// Recording (RecordingDriver.cpp): the converter's reading of an exercise
// file's header, last row and R-R beats.
Problems driveRecording(const Workspace& workspace, std::string_view input);

// Day diary: the converter's reader on the input, in the code page its
// first byte picks; every text it gives must be UTF-8 of one line.
Problems driveDiary(const Workspace& workspace, std::string_view input);
// Person file: its reader on the input, in the code page its first byte
// picks; every sport name UTF-8 of one line (DiaryDriver.cpp).
Problems drivePerson(const Workspace& workspace, std::string_view input);
// Overview history (HistoryDriver.cpp): its reader on the input; what it
// read must be written, read back and written again alike.
Problems driveHistory(const Workspace& workspace, std::string_view input);

// An archive may claim 65535 exercises in a few bytes; analysing each index
// would only test the same refusal again.
inline constexpr int kMaxArchiveIndexes = 256;

// Anything in the workspace that is not one of its own files, after unload.
Problems leftovers(const Workspace& workspace);

// The driver for a file of this extension ("hrm", "gpx", "hrz", "ini"), for
// day diaries ("diary"), person files ("person"), the converter's own track
// reading ("track") and its overview history ("history"); null for any other.
using Driver = Problems (*)(const Workspace&, std::string_view);
Driver driverFor(const std::string& extension);

}  // namespace fuzzing
