// The textured sample scenes, built in code. The gallery: a room whose floor shows a checker
// picture embedded in the model file, whose walls show a gradient picture read from a BMP file
// beside it (plain, and mirrored and repeated), with a pedestal under a transparent stencil. The
// city: blocks of box buildings under one group, every face showing one of three embedded facade
// pictures, the eye standing in a street (or the buildings directly under the root, the eye
// overlooking them; or plain buildings without pictures). make-samples writes them (the gallery
// with its picture file; the benchmark cities with --bench); the tests build them in memory.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/result_code.h"

class ModelDocument;
class TextureRecordList;

// The picture file the gallery's walls show, beside the model file.
constexpr char kGradientFileName[] = "gradient.bmp";
constexpr char kGalleryFileName[] = "gallery.qpy";
constexpr char kCityFileName[] = "city.qpy";
// The city make-samples writes: some 16,700 buildings of six faces each.
constexpr int32_t kCityFaces = 100000;

// Writes the gradient picture: 96 x 64 pixels of 24 bits, red to blue across, darker downwards,
// with a black first column and a white last row.
bool WriteGradientBitmap(const std::string& path);

// A new document holding the gallery; its textures go to `textures` (the texture layer's
// document list while it is built). The gradient picture is read from `gradientPath`. Null when
// memory is short or a texture cannot be made. Needs the texture manager and the texture layer's
// services.
ModelDocument* BuildTexturedSample(TextureRecordList* textures, const std::string& gradientPath);

// How the city's buildings hang in the scene tree: under one group, the eye in a street; each
// directly under the root, the eye above the towers at the city's south edge, looking north across
// the roofs; or under one group as the first, all standing on one ground (a slab under the whole
// city, directly under the root), which every building touches.
enum class CityLayout { Grouped, Flat, Grounded };

// What the city's faces show: facade and roof pictures, or each building plain in the wall colour
// of the facade it would show.
enum class CitySurfaces { Textured, Plain };

// A new document holding a city of `faces` / 6 buildings (at least one; one fewer on a ground, so
// that the ground's faces complete the count); its facade textures go
// to `textures`. Null when memory is short or a texture cannot be made. Needs the texture manager
// and the texture layer's services.
ModelDocument* BuildCitySample(TextureRecordList* textures, int32_t faces, CityLayout layout = CityLayout::Grouped,
                               CitySurfaces surfaces = CitySurfaces::Textured);

// Writes the document as a model file at the path. kResultOk on success.
ResultCode WriteSampleFile(ModelDocument* document, const std::string& path);

// make-samples' part: sets up the texture layer, writes the gradient picture, the gallery and the
// city of kCityFaces faces into the directory (ending in a separator), and takes the texture layer
// down again. 0 on success.
int32_t WriteTexturedSamples(const std::string& directory);

// make-samples --bench: writes the scenes on which the renderer's frame times are compared with a
// general-purpose software OpenGL stack's (tools/frame_bench) into the directory (ending in a
// separator): the flat city and the city of kCityFaces faces (flat-city.qpy, city.qpy), the city
// of 10,000 and of 1,000 faces (city-10000.qpy, city-1000.qpy), the flat city of 10,000 faces
// (flat-city-10000.qpy) and the smaller cities plain (plain-city-10000.qpy, plain-city-1000.qpy).
// 0 on success.
int32_t WriteBenchScenes(const std::string& directory);

// Writes a city of the given faces, layout and surfaces to the path with the texture layer set up
// for it meanwhile, and reports the path on standard output (or the failure on standard error). 0
// on success.
int32_t WriteCitySample(const std::string& path, int32_t faces, CityLayout layout = CityLayout::Grouped,
                        CitySurfaces surfaces = CitySurfaces::Textured);
