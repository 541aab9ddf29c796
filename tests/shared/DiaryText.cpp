#include "tests/shared/DiaryText.h"

std::string diaryText(const std::vector<DiaryEntry>& entries, const std::string& date) {
    std::string text = "[DayInfo]\r\n100\t1\t1\t6\t1\t512\r\n" + date + "\t" + std::to_string(entries.size()) +
                       "\t0\t0\t0\t0\r\n\r\n\r\n";
    for (size_t k = 0; k < entries.size(); ++k) {
        const DiaryEntry& e = entries[k];
        text += "[ExerciseInfo" + std::to_string(k + 1) + "]\r\n101\t1\t3\t6\t12\t512\r\n";
        text += "0\t0\t0\t0\t" + std::to_string(e.start) + "\t500\r\n";
        text += std::to_string(e.sport) + "\t0\t0\t0\t0\t" + std::to_string(e.energy) + "\r\n";
        text += "5000\t0\t0\t0\t0\t12\r\n";
        for (const std::string& line : {e.name, e.note, e.exerciseFile, std::string(), std::string(), e.trackFile,
                                        e.rrFile, std::string(), std::string(), std::string(), std::string(),
                                        std::string()})
            text += line + "\r\n";
    }
    return text;
}
