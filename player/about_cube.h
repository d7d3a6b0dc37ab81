// The about box's cube: a square of 128 held as a top and a bottom cap, turned about its
// vertical axis and tipped, in whole numbers through the renderer's Q15 sine table, and seen
// straight along its depth axis. It answers each face's four corners on the screen (y up), the
// side of the face the viewer sees, the face's light and the texture point of each corner.
#pragma once

#include <cstdint>

class AboutCube {
public:
    // Faces: the four sides, then the bottom cap and the top cap (the pictures 500 to 505 in
    // this order).
    static constexpr int32_t kSideCount = 4;
    static constexpr int32_t kFaceCount = 6;
    static constexpr int32_t kBottomCap = 4;
    static constexpr int32_t kTopCap = 5;
    static constexpr int32_t kCornerCount = 4;
    // The pictures on the faces: 128 x 128.
    static constexpr int32_t kPictureSize = 128;

    struct Point {
        int32_t x;
        int32_t y;
    };
    struct Vector {
        int32_t x;
        int32_t y;
        int32_t z;
    };

    // Unturned: the caps as the square stands, the normals along the axes.
    AboutCube();

    // Turns the cube from its unturned place by `turn` about its vertical axis and tips it by
    // `tip` (steps of 1/256 turn).
    void Turn(int32_t turn, int32_t tip);

    // The face's corners on the screen, in the order that runs clockwise when the face looks at
    // the viewer: a side i runs top corner i, top i + 1, bottom i + 1, bottom i; the top cap runs
    // its square backwards.
    void FaceCorners(int32_t face, Point corners[kCornerCount]) const;
    // True when the face turns towards the viewer: its corners run clockwise with an area.
    bool FacesViewer(int32_t face) const;
    // The light on the face: its normal (length 256) times the light, at least 0.
    int32_t Intensity(int32_t face) const;
    // The texture point of the face's corner: (64 + x, 64 - y) of the square corner it stands
    // on, the whole picture across the face.
    static Point TexturePoint(int32_t face, int32_t corner);

    const Vector& Normal(int32_t face) const { return normals_[face]; }

private:
    Point top_[kCornerCount];
    Point bottom_[kCornerCount];
    Vector normals_[kFaceCount];
};

// The shade level of a textured face of the intensity: 27 for no light, brighter levels below
// it, never below 0.
int32_t AboutShadeLevel(int32_t intensity);
