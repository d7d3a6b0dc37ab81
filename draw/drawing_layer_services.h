// The drawing layer's side of the scene model's drawing services: colour-cube indices from its
// cube, coverage regions over the system's regions and credits pictures as its offscreens.
#pragma once

// Installs them in the scene model; programs call it at start-up.
void InstallDrawingLayerServices();
