// The textured sample scene, built in code: a room whose floor shows a checker picture embedded
// in the model file, whose walls show a gradient picture read from a BMP file beside it (plain,
// and mirrored and repeated), with a pedestal under a transparent stencil. make-samples writes it
// with its picture file; the tests build it in memory.
#pragma once

#include <cstdint>
#include <string>

class ModelDocument;
class TextureRecordList;

// The picture file the gallery's walls show, beside the model file.
constexpr char kGradientFileName[] = "gradient.bmp";
constexpr char kGalleryFileName[] = "gallery.qpy";

// Writes the gradient picture: 96 x 64 pixels of 24 bits, red to blue across, darker downwards,
// with a black first column and a white last row.
bool WriteGradientBitmap(const std::string& path);

// A new document holding the gallery; its textures go to `textures` (the texture layer's
// document list while it is built). The gradient picture is read from `gradientPath`. Null when
// memory is short or a texture cannot be made. Needs the texture manager and the texture layer's
// services.
ModelDocument* BuildTexturedSample(TextureRecordList* textures, const std::string& gradientPath);

// make-samples' part: sets up the texture layer, writes the gradient picture and the gallery into
// the directory (ending in a separator), and takes the texture layer down again. 0 on success.
int32_t WriteTexturedSamples(const std::string& directory);
