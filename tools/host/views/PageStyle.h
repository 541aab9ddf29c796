#pragma once

#include <string>

// The overview page's one style sheet: its layout from a phone's width up,
// and the colours of the sports, zones and load lines its charts share.
// Without '<', '>' and '&', which the page's XML would escape and HTML,
// reading a style sheet as it stands, would not read back.
std::string pageStyleSheet();
