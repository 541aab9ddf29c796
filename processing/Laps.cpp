#include "Laps.h"

#include <cmath>
#include <stdexcept>

#include "processing/DebugFlags.h"

namespace {

LapRecord lapAt(const TLapClass& laps, int32_t index) {
    LapRecord record;
    laps.Get(index, &record);
    return record;
}

// One pass of the interpolation: the lap cursor, the start of the segment
// being filled and how many samples it has gathered.
class TemperatureModulation {
public:
    explicit TemperatureModulation(TPluginState& plugin)
        : datas_(plugin.ExerciseDatas), lapCount_(plugin.LapList.Count()) {
        ends_.reserve(static_cast<size_t>(lapCount_));
        temperatures_.reserve(static_cast<size_t>(lapCount_));
        for (int32_t l = 0; l < lapCount_; ++l) {
            const LapRecord lap = lapAt(plugin.LapList, l);
            ends_.push_back(static_cast<int64_t>(std::trunc(lap.LapSplit)));
            temperatures_.push_back(lap.LapTemperature / 10);
        }
    }

    void run() {
        const int32_t n = datas_.Count();
        datas_.SetTemperature(0, temperatures_[0]);
        for (int32_t i = 0; i < n; ++i) {
            ++pending_;
            if (datas_.GetTimeOffset(i) >= ends_[static_cast<size_t>(lap_)] && CloseTemperatureSegment(i)) break;
        }
        CloseTemperatureSegment(n - 1);
    }

private:
    // Fills the samples after the segment start up to `i` in equal steps
    // towards the temperature of the last lap ended by then; true when every
    // lap has been consumed.
    bool CloseTemperatureSegment(int32_t i) {
        double step = 0;
        if (lap_ < lapCount_ - 1) {
            const int32_t time = datas_.GetTimeOffset(i);
            bool raised = false;
            while (lap_ < lapCount_ - 1 && time >= ends_[static_cast<size_t>(lap_)]) ++lap_, raised = true;
            if (raised) --lap_;
            if (lap_ > 0) {
                if (pending_ == 0) throw std::domain_error("temperature step over no samples");
                step = (temperatures_[static_cast<size_t>(lap_)] - temperatures_[static_cast<size_t>(lap_ - 1)]) /
                       pending_;
            }
        }
        for (int32_t j = segmentStart_ + 1; j <= i; ++j) datas_.SetTemperature(j, datas_.GetTemperature(j - 1) + step);
        pending_ = 0;
        segmentStart_ = i;
        ++lap_;
        return lap_ > lapCount_ - 1;
    }

    TMyHRMDatas& datas_;
    const int32_t lapCount_;
    std::vector<int64_t> ends_;
    std::vector<double> temperatures_;
    int32_t lap_ = 0;
    int32_t segmentStart_ = 0;
    int32_t pending_ = 0;
};

}  // namespace

void BuildLap(TPluginState& plugin, const LapInput& input, int32_t startSecondOfDay, double& previousSplit) {
    if (plugin.Settings.Debug) plugin.DebugFlags |= debug_flags::kLapsAdded;
    LapRecord lap{};
    lap.LapEndOfDay = static_cast<int32_t>(std::trunc(input.split)) + startSecondOfDay;
    lap.LapDuration = input.split - previousSplit;
    lap.LapSplit = input.split;
    lap.LapMaxHR = static_cast<uint8_t>(input.hrMaximum);
    lap.LapAvgHR = static_cast<uint8_t>(input.hrAverage);
    lap.LapSpeed = input.speed / 10.0;
    lap.LapCadence = input.cadence;
    lap.LapTemperature = input.temperature;
    lap.LapPower = input.power;
    lap.LapAscent = input.ascent;
    lap.LapMarker = 2;
    previousSplit = input.split;
    plugin.LapList.Add(&lap);
    ++plugin.Summary.LapCount;
}

void ModulateTemperature(TPluginState& plugin) {
    if (plugin.LapList.Count() == 0 || plugin.ExerciseDatas.Count() == 0) return;
    TemperatureModulation(plugin).run();
    if (plugin.Settings.Debug) plugin.DebugFlags |= debug_flags::kTempModulated;
}
