// The probe's progress scenarios: loaders that call the progress services as the lower layers do.
#pragma once

#include <cstdint>

using ProbeLog = void (*)(const char* format, ...);

// Runs the scenario of the key pressed in a pane (L a plain load, C with credits, S with a
// nested stage, E with an alert during the load), logging through `log`; 0 for other keys.
int32_t RunProgressScenario(int32_t key, ProbeLog log);
