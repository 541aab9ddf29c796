#include "tools/host/views/LapTable.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "tools/host/time/CivilTime.h"
#include "tools/host/views/ChartScale.h"
#include "tools/host/views/ChartSeries.h"
#include "tools/host/views/SvgDocument.h"

namespace {

constexpr double kFont = 12;
constexpr double kRowHeight = 17;
constexpr size_t kHeaderRows = 2;  // the title of a column, then its unit
constexpr double kCellPadding = 14;
constexpr double kTitleGap = 8;
constexpr size_t kLongestName = 24;  // characters
constexpr char kNone[] = "\xe2\x80\x93";  // en dash

// A lap as the table shows it.
struct LapRow {
    const TrackLap& lap;
    Figures figures;
    double end;  // seconds since the start: the laps follow each other from it
};

// The cells of a column of one value per lap, or none where no lap has one.
std::vector<std::string> cellsOf(const std::vector<LapRow>& rows,
                                 const std::function<std::optional<std::string>(const LapRow&)>& cell) {
    std::vector<std::string> cells;
    bool any = false;
    for (const LapRow& row : rows) {
        const std::optional<std::string> text = cell(row);
        any |= text.has_value();
        cells.push_back(text.value_or(kNone));
    }
    return any ? cells : std::vector<std::string>();
}

}  // namespace

double LapTable::Column::width() const {
    double widest = std::max(textWidth(header, kFont) * 1.08, textWidth(unit, kFont));  // the header bold
    for (const std::string& cell : cells) widest = std::max(widest, textWidth(cell, kFont));
    return widest + kCellPadding;
}

void LapTable::addColumn(std::string header, std::string unit, std::vector<std::string> cells, bool number) {
    if (!cells.empty()) columns_.push_back({std::move(header), std::move(unit), std::move(cells), number});
}

LapTable::LapTable(const Track& track, const LapFigures& figures) {
    if (!track.lapsFromFile()) return;
    std::vector<LapRow> laps;
    double end = 0;
    for (size_t k = 0; k < track.laps().size(); ++k) {
        end += std::max(track.laps()[k].duration, 0.0);
        laps.push_back({track.laps()[k], figures.lap(k), end});
    }
    rows_ = laps.size();
    std::vector<std::string> numbers;
    for (size_t k = 1; k <= laps.size(); ++k) numbers.push_back(std::to_string(k));
    addColumn("Lap", "", numbers);
    addColumn("Name", "", cellsOf(laps, [](const LapRow& row) -> std::optional<std::string> {
                  if (row.lap.name.empty()) return std::nullopt;
                  return shortened(row.lap.name, kLongestName);
              }),
              false);
    addColumn("Ends at", "h:mm:ss",
              cellsOf(laps, [](const LapRow& row) { return durationText(std::llround(row.end)); }));
    addColumn("Time", "h:mm:ss",
              cellsOf(laps, [](const LapRow& row) { return durationText(std::llround(row.figures.time)); }));
    // Samples without times measured no distance, nor a speed.
    if (track.timed()) {
        addColumn("Distance", "km", cellsOf(laps, [](const LapRow& row) -> std::optional<std::string> {
                      if (!row.figures.distance) return std::nullopt;
                      return fixedText(*row.figures.distance / 1000, 2);
                  }));
    }
    addColumn("Avg HR", "bpm", cellsOf(laps, [](const LapRow& row) -> std::optional<std::string> {
                  if (!row.figures.averageHeartRate) return std::nullopt;
                  return std::to_string(*row.figures.averageHeartRate);
              }));
    if (track.timed()) {
        if (track.sport() == Sport::Running)
            addColumn("Pace", "min/km", cellsOf(laps, [](const LapRow& row) -> std::optional<std::string> {
                          const std::optional<double> speed = row.figures.averageSpeed;
                          const std::optional<double> pace = speed ? paceAt(*speed) : std::nullopt;
                          if (!pace) return std::nullopt;
                          return paceText(*pace);
                      }));
        else
            addColumn("Speed", "km/h", cellsOf(laps, [](const LapRow& row) -> std::optional<std::string> {
                          if (!row.figures.averageSpeed) return std::nullopt;
                          return fixedText(*row.figures.averageSpeed * 3.6, 1);
                      }));
    }
    // A power meter's laps; a column of zeros had none.
    if (std::any_of(laps.begin(), laps.end(), [](const LapRow& row) {
            return row.figures.averagePower && *row.figures.averagePower > 0;
        }))
        addColumn("Power", "W", cellsOf(laps, [](const LapRow& row) -> std::optional<std::string> {
                      if (!row.figures.averagePower) return std::nullopt;
                      return fixedText(*row.figures.averagePower, 0);
                  }));
    addColumn("Energy", "kcal", cellsOf(laps, [](const LapRow& row) -> std::optional<std::string> {
                  if (!row.lap.calories) return std::nullopt;
                  return std::to_string(*row.lap.calories);
              }));
}

double LapTable::width() const {
    double width = 0;
    for (const Column& column : columns_) width += column.width();
    return width;
}

double LapTable::height() const { return kRowHeight * static_cast<double>(rows_ + kHeaderRows) + 4; }

void LapTable::draw(pugi::xml_node parent, double x, double y) const {
    pugi::xml_node group = addGroup(parent, "lapTable");
    addText(group, x, y - kTitleGap, "Laps", "panelTitle");
    const double head = kRowHeight * kHeaderRows + 4;
    for (size_t row = 1; row < rows_; row += 2)
        addRect(group, x, y + head + kRowHeight * static_cast<double>(row), width(), kRowHeight, "stripe");
    addLine(group, x, y + head, x + width(), y + head, "frame");
    double left = x;
    for (const Column& column : columns_) {
        const double w = column.width();
        const double textX = column.number ? left + w - kCellPadding / 2 : left + kCellPadding / 2;
        const char* anchor = column.number ? "end" : nullptr;
        addText(group, textX, y + kRowHeight - 4, column.header, "tableHead", anchor);
        if (!column.unit.empty()) addText(group, textX, y + 2 * kRowHeight - 4, column.unit, "tableUnit", anchor);
        for (size_t row = 0; row < column.cells.size(); ++row)
            addText(group, textX, y + head + kRowHeight * static_cast<double>(row + 1) - 4, column.cells[row], nullptr,
                    anchor);
        left += w;
    }
}
