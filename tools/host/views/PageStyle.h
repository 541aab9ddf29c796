#pragma once

#include <string>

// The overview page's one style sheet: its layout from a phone's width up,
// and the colours of the sports, zones and load lines its charts share.
std::string pageStyleSheet();
