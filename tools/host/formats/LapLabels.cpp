#include "tools/host/formats/LapLabels.h"

#include <algorithm>

#include "tools/host/formats/SvgDocument.h"

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
        const double width = textWidth(label.text, kLapLabelFont);
        label.middle = std::clamp((lap.begin + lap.end) / 2, left + width / 2, std::max(left + width / 2, right - width / 2));
        const double start = label.middle - width / 2;
        size_t row = 0;
        while (row < rowEnds.size() && rowEnds[row] + kGap > start) ++row;
        if (row == rowEnds.size()) rowEnds.push_back(0);
        rowEnds[row] = label.middle + width / 2;
        label.row = static_cast<int>(row);
        labels.push_back(label);
    }
    return labels;
}
