#include "cExerciseDatas.h"

#include <cstring>

TMyHRMDatas::TMyHRMDatas() { Resize(kGrowth); }

void TMyHRMDatas::Resize(size_t length) {
    HR.resize(length);
    Distance.resize(length);
    Speed.resize(length);
    Altitude.resize(length);
    Temperature.resize(length);
    Power.resize(length);
    Balance.resize(length);
    Cadence.resize(length);
    Latitude.resize(length);
    Longitude.resize(length);
    TimeOffset.resize(length);
    SampleFlag.resize(length);
}

void TMyHRMDatas::Clear() {
    // Swapping with fresh series gives the memory back instead of keeping the
    // capacity of a long exercise.
    TMyHRMDatas fresh;
    std::swap(*this, fresh);
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
