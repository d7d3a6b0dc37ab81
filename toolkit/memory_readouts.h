// The memory figures that start-up, the help bar and the model reader ask for, in bytes.
#pragma once

#include <cstdint>

// Available physical plus page-file memory.
uint64_t AvailableMemory();
// Total physical plus page-file memory.
uint64_t TotalMemory();

// TotalMemory as start-up recorded it.
extern uint64_t TotalMemorySize;

// Hooks the entry calls before the toolkit starts and after it has shut down; they do nothing.
inline void InitMemoryWatch() {}
inline void EndMemoryWatch() {}
