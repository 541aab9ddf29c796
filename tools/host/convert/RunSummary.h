#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "tools/host/track/Sport.h"

// What a conversion run did, for the lines it ends with: what was found,
// written and merged, and each kind of skip with the files it concerns.
class RunSummary {
public:
    enum class Skip {
        Missing,           // a file named that is not there
        Unreadable,        // no read permission, or another reason the system gives
        NotRecording,      // no exercise file, archive or R-R recording
        NoSample,          // a recording without a sample
        NoBeat,            // an R-R recording without a beat
        NoPosition,        // GPX asked for, and no position to write
        NotPlaceable,      // TCX, GPX or FIT asked for, and no date or interval to place the samples in time
        DiaryMissingFile,  // a day diary names a file its folder does not have
        DiaryOutsideFile,  // a day diary names a file in another folder, which is not read
        UnsafeEntry,       // an archive entry the plug-in does not extract for its name
        FolderWalked,      // a path to a folder the walk had gone through already
        Count
    };

    void exerciseFound() { ++exercises_; }
    void written(const std::string& format) { ++written_[format]; }
    void recordingMerged() { ++merged_; }
    void trackPlaced(bool placed) { ++(placed ? tracksPlaced_ : tracksNotPlaced_); }
    void diariesRead(size_t count) { diaries_ += static_cast<int>(count); }
    // A diary that could not be read, or a section of one that was not: "20120722.pdd: ..."
    void diaryProblem(const std::string& text) { diaryProblems_.push_back(text); }
    // The sport a diary's sport number gave.
    void diarySport(int32_t number, const std::string& sport) { diarySports_[number][sport]++; }
    // An exercise whose sport the recording could not tell, left generic.
    void leftGeneric(const std::string& what) { generic_.push_back(what); }
    void skipped(Skip kind, const std::string& what) { skips_[static_cast<size_t>(kind)].push_back(what); }
    // A file among the folders that is neither a raw file nor a companion.
    void otherFile(const std::string& path) { others_.push_back(path); }
    // The run ended early, after `done` of its `total` raw files: by an
    // interrupt, or because a converted file could not be written, which
    // left `notReached` raw files untouched.
    void interrupted(size_t done, size_t total) { end_ = {End::Interrupted, done, total, 0}; }
    void stopped(size_t done, size_t total, size_t notReached) { end_ = {End::Stopped, done, total, notReached}; }

    // The summary, a few lines, each list cut after its first few files.
    void print(std::ostream& out) const;

private:
    enum class End { Whole, Interrupted, Stopped };
    struct {
        End how = End::Whole;
        size_t done = 0, total = 0, notReached = 0;
    } end_;
    int exercises_ = 0, merged_ = 0, diaries_ = 0, tracksPlaced_ = 0, tracksNotPlaced_ = 0;
    std::map<std::string, int> written_;
    std::map<int32_t, std::map<std::string, int>> diarySports_;
    std::vector<std::string> diaryProblems_, others_, generic_;
    std::array<std::vector<std::string>, static_cast<size_t>(Skip::Count)> skips_;
};
