// The chunks of the scene tree inside a model file's "ROOT" chunk, and the program-wide flag
// that keeps nested readers from polling the progress window.
#pragma once

#include <cstdint>

#include "foundation/memory_stream.h"

constexpr ChunkTag kTagName = ChunkTagOf("NAME");
constexpr ChunkTag kTagData = ChunkTagOf("DATA");
constexpr ChunkTag kTagUnits = ChunkTagOf("UNIT");
constexpr ChunkTag kTagLights = ChunkTagOf("LGHT");
constexpr ChunkTag kTagColour = ChunkTagOf("COLR");
constexpr ChunkTag kTagSideAttributes = ChunkTagOf("PLGR");
constexpr ChunkTag kTagPrimitive = ChunkTagOf("POLY");
constexpr ChunkTag kTagMesh = ChunkTagOf("MESH");
constexpr ChunkTag kTagSlices = ChunkTagOf("SLIC");
constexpr ChunkTag kTagObjectTextures = ChunkTagOf("PLTX");
constexpr ChunkTag kTagSurface = ChunkTagOf("SURF");
constexpr ChunkTag kTagPosition = ChunkTagOf("POSN");
constexpr ChunkTag kTagVran = ChunkTagOf("VRAN");
constexpr ChunkTag kTagChildObject = ChunkTagOf("PRSM");
constexpr ChunkTag kTagChildGroup = ChunkTagOf("PGRP");
constexpr ChunkTag kTagConnections = ChunkTagOf("CONN");

// The deepest nesting of child chunks a reader follows; a deeper child fails the read.
constexpr int32_t kMaxReadDepth = 100;

// The result of a child nested deeper than kMaxReadDepth.
constexpr ResultCode kResultTooDeep = kResultLocked;

// While set, the scene-object and polygon-element readers do not poll the progress window.
// Starts clear.
extern int32_t ProgressSuppressionFlag;
