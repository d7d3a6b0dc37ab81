// gl-bench MODEL [--size WxH] [--frames N] [--eye X,Y,Z] [--angles ROLL,PITCH,HEADING]: the
// comparison for render-frame --frames. Reads the model file with the program's own reader, as
// render-frame does, and draws it with a general-purpose software OpenGL stack (whatever the EGL
// display offers without a window: Mesa's software rasterizer here) into an off-screen surface of
// the size, depth-buffered, from the walk observer's place (or the given eye and angles, in
// render-frame's units) with the same lens, turning the heading one step before each frame;
// prints the median and 95th percentile time per frame as render-frame does.
// The stack is fed as a program written for it feeds it: every face is triangulated once into one
// vertex buffer (position, colour and texture coordinates per corner) and one index buffer, and
// the textures are uploaded, before the timing starts; a frame clears, sets the view and draws the
// faces in their colours in one call, then the textured faces in one call per texture. A first
// frame from the walk observer's own heading is drawn untimed, as render-frame draws one.
// Faces are flat in the lit colour of the side seen from the eye; a side with a texture shows the
// texture's own pixels, mapped as the renderer maps them, sampled at the nearest texel,
// perspective-correct and darkened to the side's shade level (transparent texels left out, over
// the face's colour).
#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "draw/color_cube.h"
#include "draw/mem_pix_map.h"
#include "draw/shade_level_tables.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"
#include "model/walk_record.h"
#include "render/renderer_texture_mapping.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "tools/tool_support.h"

namespace {

struct Face {
    std::vector<float> corners;        // x, y, z per corner, in world units
    std::vector<float> coords;         // s, t per corner when the side seen shows a texture
    float colour[3];                   // the side's lit colour
    TextureRecord* texture = nullptr;  // the side's texture, when it can be had
    float shade = 1;                   // the texture's brightness at the side's shade level
};

// The texture coordinates of the side's corners as the renderer draws them: the side's mapping
// pairs in texels, v turned over against the picture's height times the texture's v factor
// (rounded half up), then the texture's own flips (the u flip inverted on the front side). The
// renderer picks the texel nearest to a coordinate; the stack picks the one the coordinate lies
// in, so the stack's coordinate is half a texel further.
std::vector<float> SideCoords(PolygonRecord* r, int32_t side, TextureRecord* texture)
{
    const DynamicArray* pairs = r->GetSideVertexPairs(side);
    PortRect bounds;
    TextureItemBounds(texture, &bounds, 0);
    const TextureAttributes& a = texture->attributes;
    const int32_t flipHeight =
        int32_t((int64_t(FixMul(IntToFixed(bounds.Height()), a[12])) + kFixedHalf) >> 16);
    const bool flipU = side == kSideFront ? !a[7] : a[7] != 0;
    std::vector<float> coords;
    for (int32_t c = 0; c < r->VertexCount(); ++c) {
        const FixedPoint* pair = pairs && c < pairs->ArrayCount() ? pairs->At<FixedPoint>(c) : nullptr;
        double u = pair ? Fix2X(pair->x) : 0;
        double v = pair ? flipHeight - 1 - Fix2X(pair->y) : 0;
        if (flipU) u = bounds.Width() - 1 - u;
        if (a[8]) v = bounds.Height() - 1 - v;
        coords.insert(coords.end(), {float((u + 0.5) / bounds.Width()), float((v + 0.5) / bounds.Height())});
    }
    return coords;
}

// Every face with its corners in world units, seen from the eye: the front side when the eye
// lies on the side the face's normal points to, else the back side.
void Collect(const ModelObject* node, const double eye[3], std::vector<Face>* faces)
{
    for (int32_t i = 0; i < node->GeometryCount(); ++i) {
        const ObjectGeometry* g = node->GeometryAt(i);
        for (int32_t k = 0; k < g->PolygonCount(); ++k) {
            PolygonRecord* r = g->PolygonAt(k);
            Face face;
            for (int32_t c = 0; c < r->VertexCount(); ++c) {
                const FixedVector3* v = node->WorldVertices->At<FixedVector3>(r->IndexAt(c));
                if (!v) continue;
                face.corners.insert(face.corners.end(), {float(Fix2X(v->x)), float(Fix2X(v->y)), float(Fix2X(v->z))});
            }
            if (face.corners.size() < 9 || face.corners.size() != size_t(r->VertexCount()) * 3) continue;
            const ShortVector3& n = r->WorldNormal;
            const bool front =
                (face.corners[0] - eye[0]) * n.x + (face.corners[1] - eye[1]) * n.y + (face.corners[2] - eye[2]) * n.z > 0;
            const int32_t side = front ? kSideFront : kSideBack;
            const RGBColor48& lit = front ? r->FrontLit : r->BackLit;
            face.colour[0] = lit.red / 65535.0f;
            face.colour[1] = lit.green / 65535.0f;
            face.colour[2] = lit.blue / 65535.0f;
            TextureRecord* texture = r->GetSideTexture(side);
            if (texture && TextureItemProperty(texture, 0)) {
                face.texture = texture;
                face.coords = SideCoords(r, side, texture);
                if (texture->attributes[2]) {
                    const int32_t level = std::clamp<int32_t>(front ? r->FrontShadeEntry : r->BackShadeEntry, 0,
                                                              kShadeLevelCount - 1);
                    face.shade = float(kShadeLevelCount - 1 - level) / (kShadeLevelCount - 1);
                }
            }
            faces->push_back(face);
        }
    }
    for (int32_t i = 0; i < node->ChildCount(); ++i) Collect(node->ChildAt(i), eye, faces);
}

// The texture layer as the player sets it up, with the renderer's texture mapping.
struct TextureLayer {
    TextureRecordList* list = nullptr;

    TextureLayer()
    {
        UseToolScreen();
        BuildColorCube();
        InitTextureManager(new TextureManager{});
        list = NewTextureRecordList();
        InstallTextureLayerServices().SetDocumentTextureList(list);
        InstallRendererTextureMapping();
    }
    ~TextureLayer()
    {
        for (int32_t i = 0; i < TextureRecordCount(list); ++i) ReleaseTexture(TextureRecordAt(list, i));
        InstallTextureLayerServices().SetDocumentTextureList(nullptr);
        if (list) {
            ReleaseTextureRecords(list);
            FreeTextureRecordList(list);
        }
        RemoveTextureLayerServices();
        RemoveRendererTextureMapping();
        FreeTextureManager();
    }
};

// The model file read into a new document with its textures loaded and their users' mapping
// computed against the loaded pictures; null when it cannot be read. The file is read from its
// own folder, made the current one meanwhile, by its bare name: the file layer's paths are the
// program's, whose separator is not the host's, and pictures beside the model are found there.
ModelDocument* ReadModel(const std::string& path, TextureRecordList* textures)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::vector<char> previous(4096);
    if (!getcwd(previous.data(), previous.size()) || chdir(folder.c_str()) != 0) return nullptr;
    ModelDocument* document = nullptr;
    bool scrambled = false;
    if (DiskFileStream* file = OpenModelFileForReading(name, &scrambled)) {
        document = new ModelDocument;
        if (scrambled) file->StreamScrambleOn();
        if (document->Init() != kResultOk || document->ReadModelFile(file) != kResultOk) {
            document->Destroy();
            document = nullptr;
        }
        for (int32_t i = 0; document && i < TextureRecordCount(textures); ++i) {
            TextureRecord* texture = TextureRecordAt(textures, i);
            // Not watched: never stopped.
            if (AcquireTexture(texture) == kResultOk) IgnoreResult(RefreshTextureUsers(texture, false));
        }
        file->FileObjectDestroy();
    }
    if (chdir(previous.data()) != 0) std::fprintf(stderr, "gl-bench: cannot return to %s\n", previous.data());
    return document;
}

// The texture's pixels as the renderer reads them (colour-cube indices, index 0 left out when the
// texture is transparent) in the stack, nearest texel, repeated (every second copy mirrored
// where the texture says so).
GLuint UploadTexture(TextureRecord* texture)
{
    MemPixMap* pixmap = TextureItemProperty(texture, 0);
    PortRect bounds;
    TextureItemBounds(texture, &bounds, 0);
    const int32_t width = bounds.Width(), height = bounds.Height();
    std::vector<uint8_t> texels(size_t(width) * height * 4);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t index = pixmap->Format().rowTable[y][x];
            RGBColor48 colour = {0, 0, 0};
            ColorCubeEntry(&colour, index);
            uint8_t* texel = &texels[(size_t(y) * width + x) * 4];
            texel[0] = uint8_t(colour.red >> 8);
            texel[1] = uint8_t(colour.green >> 8);
            texel[2] = uint8_t(colour.blue >> 8);
            texel[3] = texture->attributes[1] && index == 0 ? 0 : 255;
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, texture->attributes[9] ? GL_MIRRORED_REPEAT : GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, texture->attributes[10] ? GL_MIRRORED_REPEAT : GL_REPEAT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return name;
}

// One corner as the vertex buffer holds it.
struct Vertex {
    float position[3];
    float colour[3];
    float coords[2];
};

// A run of the index buffer drawn in one call: with a texture bound, or (no texture) in the
// faces' colours.
struct Batch {
    TextureRecord* texture = nullptr;
    GLuint name = 0;
    size_t first = 0;  // the run's first index
    GLsizei count = 0;
};

// The scene as uploaded: the runs drawn each frame and the triangles they hold.
struct Scene {
    std::vector<Batch> batches;
    size_t triangles = 0;
};

// The face appended to the buffers as a fan of triangles round its first corner, in its colour
// or, with `textured`, in its shade with its texture coordinates.
void AppendFace(const Face& face, bool textured, std::vector<Vertex>* vertices, std::vector<GLuint>* indices)
{
    const GLuint base = GLuint(vertices->size());
    const size_t corners = face.corners.size() / 3;
    for (size_t c = 0; c < corners; ++c) {
        Vertex v = {{face.corners[3 * c], face.corners[3 * c + 1], face.corners[3 * c + 2]},
                    {face.colour[0], face.colour[1], face.colour[2]},
                    {0, 0}};
        if (textured) {
            std::fill(v.colour, v.colour + 3, face.shade);
            v.coords[0] = face.coords[2 * c];
            v.coords[1] = face.coords[2 * c + 1];
        }
        vertices->push_back(v);
    }
    for (size_t c = 1; c + 1 < corners; ++c) indices->insert(indices->end(), {base, GLuint(base + c), GLuint(base + c + 1)});
}

// Uploads the faces and their textures: first every face shown in its colour (a transparent
// texture's face too, which the texture is drawn over), then the textured sides by texture, in
// the order the textures first occur. The buffers stay bound with the arrays pointing into them.
Scene UploadScene(const std::vector<Face>& faces)
{
    std::vector<Vertex> vertices;
    std::vector<GLuint> indices;
    Scene scene;
    scene.batches.emplace_back();
    for (const Face& face : faces)
        if (!face.texture || face.texture->attributes[1]) AppendFace(face, false, &vertices, &indices);
    scene.batches.back().count = GLsizei(indices.size());
    std::vector<TextureRecord*> order;
    std::map<TextureRecord*, std::vector<const Face*>> byTexture;
    for (const Face& face : faces) {
        if (!face.texture) continue;
        if (!byTexture.count(face.texture)) order.push_back(face.texture);
        byTexture[face.texture].push_back(&face);
    }
    for (TextureRecord* texture : order) {
        Batch batch;
        batch.texture = texture;
        batch.name = UploadTexture(texture);
        batch.first = indices.size();
        for (const Face* face : byTexture[texture]) AppendFace(*face, true, &vertices, &indices);
        batch.count = GLsizei(indices.size() - batch.first);
        scene.batches.push_back(batch);
    }
    scene.triangles = indices.size() / 3;

    GLuint buffers[2];
    glGenBuffers(2, buffers);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(Vertex)), vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(GLuint)), indices.data(), GL_STATIC_DRAW);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), reinterpret_cast<const void*>(offsetof(Vertex, position)));
    glColorPointer(3, GL_FLOAT, sizeof(Vertex), reinterpret_cast<const void*>(offsetof(Vertex, colour)));
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), reinterpret_cast<const void*>(offsetof(Vertex, coords)));
    return scene;
}

// One frame's drawing: the coloured faces, then each texture's.
void DrawScene(const Scene& scene)
{
    for (const Batch& batch : scene.batches) {
        if (batch.texture) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, batch.name);
            if (batch.texture->attributes[1]) glEnable(GL_ALPHA_TEST);
            else glDisable(GL_ALPHA_TEST);
        } else {
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_ALPHA_TEST);
        }
        if (batch.count > 0)
            glDrawElements(GL_TRIANGLES, batch.count, GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(batch.first * sizeof(GLuint)));
    }
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(fraction * double(values.size() - 1) + 0.5))];
}

}  // namespace

int main(int argc, char** argv)
{
    std::string model;
    int width = 640, height = 480, frames = 256;
    bool usage = false;
    bool eyeGiven = false, anglesGiven = false;
    double givenEye[3] = {0, 0, 0};
    double givenAngles[3] = {0, 0, 0};  // roll, pitch, heading in 256ths of a turn
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            usage |= std::sscanf(argv[++i], "%dx%d", &width, &height) != 2;
        } else if (arg == "--frames" && i + 1 < argc) {
            frames = std::atoi(argv[++i]);
        } else if (arg == "--eye" && i + 1 < argc) {
            usage |= std::sscanf(argv[++i], "%lf,%lf,%lf", &givenEye[0], &givenEye[1], &givenEye[2]) != 3;
            eyeGiven = true;
        } else if (arg == "--angles" && i + 1 < argc) {
            usage |= std::sscanf(argv[++i], "%lf,%lf,%lf", &givenAngles[0], &givenAngles[1], &givenAngles[2]) != 3;
            anglesGiven = true;
        } else {
            usage |= !model.empty() || arg.rfind("--", 0) == 0;
            model = arg;
        }
    }
    if (usage || model.empty() || frames < 1 || width < 2 || height < 2) {
        std::fprintf(stderr, "usage: gl-bench MODEL [--size WxH] [--frames N] [--eye X,Y,Z] [--angles ROLL,PITCH,HEADING]\n");
        return 2;
    }
    // File names as long as the host allows.
    ProgramVolumeLimits.maxNameLength = 255;
    ProgramVolumeLimits.maxExtensionLength = 255;
    TextureLayer textures;
    ModelDocument* document = ReadModel(model, textures.list);
    if (!document) {
        std::fprintf(stderr, "gl-bench: cannot read the model file %s\n", model.c_str());
        return 1;
    }
    const WalkRecord* walk = document->Walk;
    double eye[3] = {Fix2X(walk->Position[0]), Fix2X(walk->Position[1]), Fix2X(walk->Position[2])};
    if (eyeGiven) std::copy(givenEye, givenEye + 3, eye);
    double angles[3] = {Fix2X(walk->Angles[0]), Fix2X(walk->Angles[1]), Fix2X(walk->Angles[2])};
    if (anglesGiven) std::copy(givenAngles, givenAngles + 3, angles);
    std::vector<Face> faces;
    Collect(document->Holder->Root, eye, &faces);

    auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay display = getDisplay ? getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr)
                                    : eglGetDisplay(EGL_DEFAULT_DISPLAY);
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) {
        std::fprintf(stderr, "gl-bench: no EGL display\n");
        return 1;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                                       EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 24, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    eglChooseConfig(display, configAttributes, &config, 1, &count);
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = count > 0 ? eglCreatePbufferSurface(display, config, surfaceAttributes) : EGL_NO_SURFACE;
    eglBindAPI(EGL_OPENGL_API);
    EGLContext context = count > 0 ? eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr) : EGL_NO_CONTEXT;
    if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT || !eglMakeCurrent(display, surface, surface, context)) {
        std::fprintf(stderr, "gl-bench: no off-screen OpenGL surface\n");
        return 1;
    }
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    // The renderer's lens: the projection scale in pixels for the half-width.
    const double scale = std::min(8191.0, std::floor(35.0 * (width / 2) * 2 / 36));
    const double nearPlane = 1.0;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-nearPlane * (width / 2) / scale, nearPlane * (width / 2) / scale, -nearPlane * (height / 2) / scale,
              nearPlane * (height / 2) / scale, nearPlane, 40000.0);
    glEnable(GL_DEPTH_TEST);
    // The faces' corners do not all run one way round in the stack's sense: every face is drawn
    // and the depth buffer decides.
    glDisable(GL_CULL_FACE);
    // A transparent texture is drawn over its face's colour at the same depth.
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_FLAT);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glClearColor(0, 0, 0, 1);
    const Scene scene = UploadScene(faces);

    const double roll = angles[0];
    const double pitch = angles[1];
    const auto drawFrame = [&](double heading) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // The roll turns the picture about the line of sight, last, as the renderer turns it.
        glRotated(roll * 360.0 / 256.0, 0, 0, 1);
        // Camera space x right, y forward, z up becomes x right, y up, -z forward.
        glRotated(-90, 1, 0, 0);
        glRotated(pitch * 360.0 / 256.0, 1, 0, 0);
        glRotated(-heading * 360.0 / 256.0, 0, 0, 1);
        glTranslated(-eye[0], -eye[1], -eye[2]);
        DrawScene(scene);
        glFinish();
    };
    // The first frame, as render-frame draws one before it times the others: the stack prepares
    // its shaders for the scene's states on their first use.
    double heading = angles[2];
    drawFrame(heading);
    std::vector<double> times;
    for (int frame = 0; frame < frames; ++frame) {
        heading += 1;
        const auto start = std::chrono::steady_clock::now();
        drawFrame(heading);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("frames: %d\n", frames);
    std::printf("faces-per-frame: %zu\n", faces.size());
    std::printf("triangles-per-frame: %zu\n", scene.triangles);
    std::printf("draw-calls-per-frame: %zu\n", scene.batches.size());
    std::printf("ms-per-frame: %.3f\n", Percentile(times, 0.5));
    std::printf("ms-per-frame-p95: %.3f\n", Percentile(times, 0.95));
    if (const char* out = std::getenv("GL_BENCH_PPM")) {
        std::vector<unsigned char> pixels(size_t(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        FILE* file = std::fopen(out, "wb");
        if (file) {
            std::fprintf(file, "P6\n%d %d\n255\n", width, height);
            for (int y = height - 1; y >= 0; --y) std::fwrite(&pixels[size_t(y) * width * 3], 1, size_t(width) * 3, file);
            std::fclose(file);
        }
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglTerminate(display);
    document->Destroy();
    return 0;
}
