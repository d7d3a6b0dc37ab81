// The commands that views and their document exchange (ViewCommand up to the document,
// ViewNotify down to every view, and the pick test's one-frame draw): the command kinds and the
// codes they carry.
#pragma once

#include <cstdint>

// Command kinds.
constexpr int32_t kCommandApplied = 1;       // set-up: preferences applied with force
constexpr int32_t kCommandSceneChange = 3;   // a change to the scene the view shows
constexpr int32_t kCommandModel = 4;         // the model changed
constexpr int32_t kCommandStep = 5;          // a walk step or path point: redraw at once
constexpr int32_t kCommandLight = 6;
constexpr int32_t kCommandViewChange = 7;    // menus and levelling
constexpr int32_t kCommandRecording = 8;     // start or stop recording the walk path
constexpr int32_t kCommandPlay = 9;          // play the walk path from its start

// Command codes.
constexpr int32_t kCodeModelChanged = 1001;
constexpr int32_t kCodeViewChanged = 1002;
constexpr int32_t kCodeNavigationPreferences = 1014;
constexpr int32_t kCodeRedrawStep = 1015;
constexpr int32_t kCodeRedraw = 1017;
constexpr int32_t kCodePathControls = 1020;
constexpr int32_t kCodeLights = 1021;
constexpr int32_t kCodeContentChanged = 1027;
constexpr int32_t kCodePreferencesChanged = 1028;
constexpr int32_t kCodeRenderPresets = 1029;
