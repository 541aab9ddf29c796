#include "ExerciseLoader.h"

#include <algorithm>
#include <cstring>

#include "framework/Convert.h"
#include "framework/Locale.h"
#include "model/HrmFormat.h"
#include "processing/DebugFlags.h"
#include "processing/HrmReader.h"

namespace {

constexpr uint8_t kMaskPower = 1u << 3;

using namespace debug_flags;

// Values of the current sample; a value a row does not set keeps the
// previous row's.
struct Sample {
    int32_t hr = 0, cadence = 0, altitude = 0, power = 0, balance = 0;
    double speed = 0;
};

class Loader {
public:
    Loader(TPluginState& plugin, const std::vector<std::string_view>& lines)
        : plugin_(plugin), context_{lines, plugin, ReadingState{}}, separator_(fw::decimalSeparator()) {}

    int32_t run() {
        std::memset(&plugin_.Summary, 0, sizeof plugin_.Summary);
        plugin_.ExerciseNote.clear();
        plugin_.DebugFlags = 0;
        plugin_.DebugFailFlags = 0;
        const ReadingState& reading = context_.reading;
        const std::vector<std::string_view>& lines = context_.lines;
        for (size_t n = 0; n < lines.size(); ++n) {
            if (reading.startDelay > 0) break;
            if (reading.sampleMode) {
                if (lines[n].empty()) break;
                if (reading.version >= hrm::kSModeVersion)
                    decodeBySMode(lines[n]);
                else
                    decodeShort(lines[n]);
                store();
            } else {
                HeaderLine(context_, n);
                if (!reading.sampleMode) continue;
                // Taken as samples, beat intervals would become an exercise of
                // days at 238 s steps; the header stays read.
                if (reading.interval == hrm::kRRRecordingInterval) break;
                reserveRows(n + 1);
            }
        }
        plugin_.Summary.TotalDistance = distance_;
        return next_;
    }

private:
    // Room for the rows from line `first` to the first empty line at once,
    // instead of growing the series step by step.
    void reserveRows(size_t first) {
        const auto begin = context_.lines.begin() + static_cast<std::ptrdiff_t>(first);
        const auto end = std::find_if(begin, context_.lines.end(), [](std::string_view line) { return line.empty(); });
        plugin_.ExerciseDatas.Reserve(static_cast<size_t>(end - begin));
    }

    void flag(uint16_t bit) {
        if (plugin_.Settings.Debug) plugin_.DebugFlags |= bit;
    }

    int32_t intOr(std::string_view text, int32_t fallback) const {
        int32_t value = fallback;
        return fw::tryStrToInt(text, value) ? value : fallback;
    }

    // The column's integer with its debug bit, or 0 when it is not one.
    bool readColumn(std::string_view text, int32_t& value, uint16_t bit) {
        if (fw::tryStrToInt(text, value)) {
            flag(bit);
            return true;
        }
        value = 0;
        return false;
    }

    void capHeartRate() {
        const int32_t max = context_.reading.fileMaxHR;
        if (max != 0 && sample_.hr > max) sample_.hr = max;
    }

    // Files before version 106: heart rate, speed, altitude.
    void decodeShort(std::string_view line) {
        ColumnSlots& slot = context_.reading.columns;
        SplitColumns(2, line, slot);
        if (slot[1].empty()) {
            SplitColumns(1, line, slot);
            slot[2] = "10";
        }
        if (!slot[0].empty()) {
            sample_.hr = intOr(slot[0], 0);
            double speed = 0;
            sample_.speed = fw::tryStrToFloat(slot[1], separator_, speed) ? speed / 10 : 0;
        } else {
            sample_.hr = intOr(slot[1], 0);
            sample_.speed = 0;
        }
        capHeartRate();
        int32_t altitude = 0;
        sample_.altitude = fw::tryStrToInt(slot[2], altitude)
                               ? static_cast<int32_t>(static_cast<uint32_t>(altitude) * context_.reading.altitudeFactor)
                               : 0;
    }

    bool present(size_t character) const {
        return hrm::modeFlag(context_.reading.smodeText, character);
    }

    void splitByMask(std::string_view line) {
        ColumnSlots& slot = context_.reading.columns;
        const uint8_t mask = context_.reading.smodeMask;
        switch (mask) {
            case 0:
                slot.fill({});
                slot[0] = line;
                return;
            case 1: case 2: case 4: SplitColumns(1, line, slot); return;
            case 3: case 5: case 6: SplitColumns(2, line, slot); return;
            case 7: SplitColumns(3, line, slot); return;
            default:
                // Packs up to seven columns into slots 0 upward, whatever their number.
                SplitColumns(6, line, slot);
                for (int count = 5; count >= 1; --count)
                    if (slot[static_cast<size_t>(count)].empty()) SplitColumns(count, line, slot);
        }
    }

    void decodeBySMode(std::string_view line) {
        if (context_.reading.smodeText.empty()) throw HrmFormatError("sample rows without an SMode");
        splitByMask(line);
        const ColumnSlots& slot = context_.reading.columns;
        if (fw::tryStrToInt(slot[0], sample_.hr))
            flag(kHR);
        else
            sample_.hr = intOr(slot[1], 0);
        capHeartRate();
        namespace smode = hrm::smode;
        const bool speed = present(smode::kSpeed), cadence = present(smode::kCadence),
                   altitude = present(smode::kAltitude), power = present(smode::kPower);
        sample_.speed = 0;
        if (speed) {
            double value = 0;
            if (fw::tryStrToFloat(slot[1], separator_, value)) {
                sample_.speed = value / 10;
                flag(kSpeed);
            }
        }
        if (cadence) readColumn(slot[speed ? 2 : 1], sample_.cadence, kCadence);
        if (altitude) {
            readColumn(slot[1 + speed + cadence], sample_.altitude, kAltitude);
        } else {
            sample_.altitude = 10;
        }
        if (power && context_.reading.smodeMask >= kMaskPower) decodePower(speed + cadence + altitude);
    }

    void decodePower(size_t before) {
        const ColumnSlots& slot = context_.reading.columns;
        if (!readColumn(slot[1 + before], sample_.power, kPower) && plugin_.Settings.Debug)
            plugin_.DebugFailFlags |= kPowerUnreadable;
        if (!present(hrm::smode::kPowerBalance)) return;
        for (size_t column = 5; column >= 1; --column) {
            if (slot[column].empty()) continue;
            readColumn(slot[column], sample_.balance, kBalance);
            sample_.balance &= 0xFF;
            return;
        }
        sample_.balance &= 0xFF;
    }

    void store() {
        TMyHRMDatas& datas = plugin_.ExerciseDatas;
        const int32_t interval = plugin_.Summary.IntervalSec;
        const int32_t i = next_;
        if (i > 0) distance_ += interval * sample_.speed / 3600;
        datas.SetDistance(i, distance_);
        datas.SetAltitude(i, sample_.altitude);
        datas.SetTimeOffset(i, timeOffset_);
        datas.SetHR(i, static_cast<uint8_t>(sample_.hr));
        datas.SetCadence(i, static_cast<uint8_t>(sample_.cadence));
        datas.SetPower(i, sample_.power);
        datas.SetBalance(i, sample_.balance);
        // Wraps like the 32-bit counter it is, instead of overflowing.
        timeOffset_ = static_cast<int32_t>(static_cast<uint32_t>(timeOffset_) + static_cast<uint32_t>(interval));
        datas.SetSpeed(i, sample_.speed);
        ++next_;
    }

    TPluginState& plugin_;
    LoadContext context_;
    const char separator_;
    Sample sample_;
    double distance_ = 0;
    int32_t timeOffset_ = 0;
    int32_t next_ = 0;
};

}  // namespace

int32_t LoadExercise(TPluginState& plugin, const std::vector<std::string_view>& lines) {
    return Loader(plugin, lines).run();
}
