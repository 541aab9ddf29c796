#include "cExerciseDatas.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

TMyHRMDatas::TMyHRMDatas() { Resize(kGrowth); }

template <typename Action>
void TMyHRMDatas::ForEachSeries(Action action) {
    action(HR);
    action(Distance);
    action(Speed);
    action(Altitude);
    action(Temperature);
    action(Power);
    action(Balance);
    action(Cadence);
    action(Latitude);
    action(Longitude);
    action(TimeOffset);
    action(SampleFlag);
}

void TMyHRMDatas::Resize(size_t length) {
    ForEachSeries([length](auto& series) { series.resize(length); });
}

void TMyHRMDatas::Clear() {
    // The memory of an unusually long exercise goes back: the 32-bit host has
    // little address space to keep it in until unload. Any other is reused,
    // which spares the next exercise faulting fresh pages in (most of what an
    // archive of day-long recordings costs).
    if (HR.capacity() > kKeptSamples) {
        *this = TMyHRMDatas();
        return;
    }
    SampleText.clear();
    HighIndex = -1;
    ForEachSeries([](auto& series) {
        series.resize(kGrowth);
        std::fill(series.begin(), series.end(), 0);
    });
}

void TMyHRMDatas::Reserve(size_t count) {
    const size_t length = count + kGrowth;
    try {
        ForEachSeries([length](auto& series) { series.reserve(length); });
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

void TMyHRMDatas::Grow(int32_t index) {
    if (index > HighIndex) HighIndex = index;
    if (static_cast<int64_t>(HR.size()) - 1 >= HighIndex) return;
    Resize(static_cast<size_t>(HighIndex) + kGrowth);
}

void TLapClass::Clear() {
    while (!Laps.empty()) Laps.pop_back();
}

int32_t TLapClass::Add(const void* record) {
    auto copy = std::make_unique<Record>();
    std::memcpy(copy->data(), record, kRecordSize);
    Laps.push_back(std::move(copy));
    return Count() - 1;
}

void TLapClass::Get(int32_t index, void* record) const {
    if (index < 0 || index >= Count())
        throw LapIndexError("List index out of bounds (" + std::to_string(index) + ")");
    std::memcpy(record, Laps[static_cast<size_t>(index)]->data(), kRecordSize);
}
