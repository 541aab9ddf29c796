#include "tests/shared/HrmText.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

std::string crlfText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string tabbed(std::initializer_list<int64_t> values) {
    std::string row;
    for (const int64_t value : values) {
        if (!row.empty()) row += '\t';
        row += std::to_string(value);
    }
    return row;
}

std::vector<std::string> HrmLap::lines(int rows) const {
    std::vector<std::string> out = {split + "\t" + tabbed({heartRate, minimum, average, maximum}),
                                    tabbed({0, 0, 0, speed, cadence, altitude}), tabbed({0, 0, 0, ascent, 0}),
                                    tabbed({0, 0, power, temperature, 0, 0}), tabbed({0, 0, 0, 0, 0, 0})};
    out.resize(static_cast<size_t>(rows));
    return out;
}

std::vector<std::string> lapLines(const std::string& split, int hrAverage, int hrMaximum, int speed, int power,
                                  int temperature) {
    const HrmLap lap{.split = split, .average = hrAverage, .maximum = hrMaximum, .speed = speed, .power = power,
                     .temperature = temperature};
    return lap.lines();
}

std::vector<std::string> Hrm::head() const {
    std::vector<std::string> out{"[Params]"};
    const std::pair<const char*, const std::string*> keys[] = {
        {"Version=", &version},       {"Monitor=", &monitor}, {"SMode=", &smode},       {"Date=", &date},
        {"StartTime=", &startTime},   {"Length=", &length},   {"Interval=", &interval}, {"MaxHR=", &maxHR},
        {"StartDelay=", &startDelay}, {"VO2max=", &vo2max}};
    for (const auto& [key, value] : keys)
        if (!value->empty()) out.push_back(key + *value);
    out.push_back("");
    out.insert(out.end(), sections.begin(), sections.end());
    out.push_back("[HRData]");
    return out;
}

std::vector<std::string> Hrm::lines() const {
    std::vector<std::string> out = head();
    out.insert(out.end(), rows.begin(), rows.end());
    for (int64_t i = 0; i < madeRows; ++i) out.push_back(makeRow(i));
    return out;
}

void Hrm::write(std::ostream& out) const {
    out << crlfText(head()) << crlfText(rows);
    for (int64_t i = 0; i < madeRows; ++i) out << makeRow(i) << "\r\n";
}

std::string Hrm::text() const {
    std::ostringstream out;
    write(out);
    return out.str();
}

void Hrm::save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    write(out);
    if (!out) throw std::runtime_error("cannot write " + path);
}

Hrm& Hrm::heartRates(int count, int first) {
    for (int i = 0; i < count; ++i) rows.push_back(std::to_string(first + i));
    return *this;
}

Hrm& Hrm::note(const std::string& text) {
    sections.insert(sections.end(), {"[Note]", text, ""});
    return *this;
}

Hrm& Hrm::laps(const std::vector<HrmLap>& laps, int rowsPerLap) {
    sections.push_back("[IntTimes]");
    for (const HrmLap& lap : laps) {
        const std::vector<std::string> lines = lap.lines(rowsPerLap);
        sections.insert(sections.end(), lines.begin(), lines.end());
    }
    sections.push_back("");
    return *this;
}

Hrm& Hrm::trip(std::initializer_list<int64_t> values) {
    sections.push_back("[Trip]");
    for (const int64_t value : values) sections.push_back(std::to_string(value));
    sections.push_back("");
    return *this;
}
