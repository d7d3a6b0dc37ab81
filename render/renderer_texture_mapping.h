// The renderer's part in the texture mapping of sides: its SetupTextureMapping installed as the
// texture layer's mapping computation, which the layer runs whenever a side's texture is bound or
// the face under it changes. Installed at engine start-up.
#pragma once

void InstallRendererTextureMapping();
// Restores the texture layer's default (no mapping computed) when the renderer's is installed.
void RemoveRendererTextureMapping();
