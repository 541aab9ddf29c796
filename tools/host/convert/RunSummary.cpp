#include "tools/host/convert/RunSummary.h"

namespace {

constexpr size_t kShown = 5;

const char* skipText(RunSummary::Skip kind) {
    switch (kind) {
        case RunSummary::Skip::Missing: return "missing";
        case RunSummary::Skip::Unreadable: return "cannot be read";
        case RunSummary::Skip::NotRecording: return "not a recording";
        case RunSummary::Skip::NoSample: return "no sample";
        case RunSummary::Skip::NoBeat: return "no beat";
        case RunSummary::Skip::NoPosition: return "no position (GPX)";
        case RunSummary::Skip::NotPlaceable: return "not placeable in time (TCX, GPX, FIT)";
        case RunSummary::Skip::DiaryMissingFile: return "diary names a missing file";
        case RunSummary::Skip::DiaryOutsideFile: return "outside the diary's folder, not read";
        case RunSummary::Skip::UnsafeEntry: return "archive entries not read";
        case RunSummary::Skip::FolderWalked: return "folders not walked again";
        case RunSummary::Skip::Count: break;
    }
    return "";
}

// "a, b, c and 4 more"
std::string firstFew(const std::vector<std::string>& items) {
    std::string text;
    for (size_t k = 0; k < items.size() && k < kShown; ++k) text += (k ? "; " : "") + items[k];
    if (items.size() > kShown) text += " and " + std::to_string(items.size() - kShown) + " more";
    return text;
}

std::string plural(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

void RunSummary::print(std::ostream& out) const {
    out << "polarhost: summary: " << plural(exercises_, "exercise", "exercises") << " found";
    std::string files;
    for (const auto& [format, count] : written_) files += (files.empty() ? "" : ", ") + std::to_string(count) + " " + format;
    out << "; files written: " << (files.empty() ? "none" : files);
    if (merged_) out << "; " << plural(merged_, "R-R recording", "R-R recordings") << " merged";
    if (tracksPlaced_ || tracksNotPlaced_)
        out << "; GPS tracks: " << tracksPlaced_ << " placed, " << tracksNotPlaced_ << " not";
    out << "; " << plural(diaries_, "day diary", "day diaries") << " read\n";
    for (const auto& [number, sports] : diarySports_) {
        out << "polarhost: summary: diary sport " << number << " taken as ";
        std::string taken;
        for (const auto& [sport, count] : sports) taken += (taken.empty() ? "" : ", ") + sport + " (" + std::to_string(count) + ")";
        out << taken << "\n";
    }
    if (!generic_.empty())
        out << "polarhost: summary: sport left generic (other), the recording not telling it: " << generic_.size()
            << " (" << firstFew(generic_) << "); --sport or --sport-map sets it\n";
    for (size_t kind = 0; kind < skips_.size(); ++kind) {
        const std::vector<std::string>& files = skips_[kind];
        if (files.empty()) continue;
        out << "polarhost: summary: " << skipText(static_cast<Skip>(kind)) << ": " << files.size() << " ("
            << firstFew(files) << ")\n";
    }
    if (!diaryProblems_.empty())
        out << "polarhost: summary: diary problems: " << diaryProblems_.size() << " (" << firstFew(diaryProblems_)
            << ")\n";
    if (!others_.empty())
        out << "polarhost: summary: other files, not converted: " << others_.size() << " (" << firstFew(others_)
            << ")\n";
    if (end_.how == End::Interrupted)
        out << "polarhost: summary: interrupted after " << end_.done << " of " << plural(end_.total, "raw file", "raw files")
            << "\n";
    if (end_.how == End::Stopped)
        out << "polarhost: summary: stopped after " << end_.done << " of " << plural(end_.total, "raw file", "raw files")
            << ", a converted file could not be written; " << plural(end_.notReached, "raw file", "raw files")
            << " not reached\n";
}
