#include "tools/host/views/LapLabels.h"

#include <algorithm>

#include "tools/host/views/SvgDocument.h"

namespace {

constexpr double kGap = 4;  // pixels between two labels of a row

}  // namespace

std::vector<LapLabel> lapLabels(const std::vector<LapSpan>& laps, double left, double right) {
    std::vector<LapLabel> labels;
    std::vector<double> rowEnds;  // the right end of each row's last label
    for (size_t k = 0; k < laps.size(); ++k) {
        const LapSpan& lap = laps[k];
        const std::string number = std::to_string(k + 1);
        std::vector<std::string> texts;
        if (!lap.name.empty()) texts.push_back("lap " + number + ": " + lap.name);
        texts.push_back("lap " + number);
        texts.push_back(number);
        const double room = lap.end - lap.begin - kGap;
        const auto fits = std::find_if(texts.begin(), texts.end(),
                                       [&](const std::string& text) { return textWidth(text, kLapLabelFont) <= room; });
        LapLabel label{fits == texts.end() ? texts.back() : *fits, 0, 0};
        const double half = textWidth(label.text, kLapLabelFont) / 2;
        const double ideal = std::clamp((lap.begin + lap.end) / 2, left + half, std::max(left + half, right - half));
        // A label over its lap may move within it, out of the way of the one before.
        const double latest = fits == texts.end() ? ideal : std::max(ideal, std::min(lap.end, right) - half);
        size_t row = 0;
        while (row < rowEnds.size() && rowEnds[row] + kGap + half > latest) ++row;
        if (row == rowEnds.size()) rowEnds.push_back(left - kGap);
        label.middle = std::max(ideal, rowEnds[row] + kGap + half);
        rowEnds[row] = label.middle + half;
        label.row = static_cast<int>(row);
        labels.push_back(label);
    }
    return labels;
}
