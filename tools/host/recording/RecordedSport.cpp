#include "tools/host/recording/RecordedSport.h"

#include "model/HrmFormat.h"

Sport sportFor(const std::optional<RecordingFacts>& facts, std::optional<Sport> chosen) {
    if (chosen) return *chosen;
    if (!facts) return Sport::Other;
    if (facts->power || facts->cyclingData) return Sport::Cycling;
    // Before version 106 speed comes only with cycling data.
    if (facts->speed && facts->version >= hrm::kSModeVersion) return Sport::Running;
    return Sport::Other;
}
