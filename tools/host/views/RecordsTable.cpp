#include "tools/host/views/RecordsTable.h"

#include <cmath>

#include "tools/host/time/CivilTime.h"
#include "tools/host/views/ChartScale.h"
#include "tools/host/views/ExerciseText.h"
#include "tools/host/views/PageElements.h"

namespace {

bool earlier(const OverviewExercise& a, const OverviewExercise& b) {
    return a.start.has_value() && (!b.start || *a.start < *b.start);
}

std::string valueText(double value, RecordKind kind) {
    switch (kind) {
    case RecordKind::longest: return durationText(std::llround(value));
    case RecordKind::farthest: return kilometresText(value);
    case RecordKind::climbing: return fixedText(value, 0) + " m";
    case RecordKind::load: return fixedText(value, 0);
    }
    return {};
}

}  // namespace

std::optional<double> recordValue(const OverviewExercise& exercise, RecordKind kind) {
    switch (kind) {
    case RecordKind::longest: return exercise.duration;
    case RecordKind::farthest: return exercise.distance;
    case RecordKind::climbing: return exercise.ascent;
    case RecordKind::load: return exercise.load;
    }
    return std::nullopt;
}

std::vector<std::optional<size_t>> sportRecords(const std::vector<OverviewExercise>& exercises,
                                                const std::string& sport) {
    std::vector<std::optional<size_t>> records;
    for (const RecordKind kind : kRecordKinds) {
        std::optional<size_t> best;
        for (size_t i = 0; i < exercises.size(); ++i) {
            if (exercises[i].sport != sport) continue;
            const double value = recordValue(exercises[i], kind).value_or(0);
            if (!(value > 0)) continue;
            const double held = best ? *recordValue(exercises[*best], kind) : 0;
            if (value > held || (best && value == held && earlier(exercises[i], exercises[*best]))) best = i;
        }
        records.push_back(best);
    }
    return records;
}

void addRecordsTable(pugi::xml_node parent, const std::vector<OverviewExercise>& exercises,
                     const std::vector<std::string>& sports) {
    pugi::xml_node table = element(element(parent, "div", "", "scroll"), "table", "", "records");
    pugi::xml_node header = element(element(table, "thead"), "tr");
    for (const char* title : {"Sport", "Longest", "Farthest", "Most climbing", "Highest load"})
        element(header, "th", title);
    pugi::xml_node body = element(table, "tbody");
    for (const std::string& sport : sports) {
        pugi::xml_node row = element(body, "tr");
        element(row, "th", sport);
        const std::vector<std::optional<size_t>> records = sportRecords(exercises, sport);
        for (size_t kind = 0; kind < records.size(); ++kind) {
            pugi::xml_node cell = element(row, "td");
            if (!records[kind]) {
                cell.text().set(kNone);
                continue;
            }
            const OverviewExercise& exercise = exercises[*records[kind]];
            element(cell, "strong", valueText(*recordValue(exercise, kRecordKinds[kind]), kRecordKinds[kind]));
            exerciseLink(element(cell, "span", "", "record"), exercise);
            element(cell, "span", exercise.startText, "source");
        }
    }
}
