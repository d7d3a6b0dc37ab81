// gl-bench [room|shapes] [--size WxH] [--frames N]: the comparison for render-frame --frames.
// Renders the same sample scene, built in code, with a general-purpose software OpenGL stack
// (whatever the EGL display offers without a window: Mesa's software rasterizer here) into an
// off-screen surface of the size, depth-buffered and flat-shaded in the faces' lit colours, from
// the walk observer's place with the same lens, turning the heading one step before each frame,
// and prints the median and 95th percentile time per frame as render-frame does.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"
#include "model/walk_observer.h"
#include "tools/sample_scenes.h"

namespace {

struct Face {
    std::vector<float> corners;  // x, y, z per corner, in world units
    float colour[3];
};

void Collect(const ModelObject* node, std::vector<Face>* faces)
{
    for (int32_t i = 0; i < node->GeometryCount(); ++i) {
        const ObjectGeometry* g = node->GeometryAt(i);
        for (int32_t k = 0; k < g->PolygonCount(); ++k) {
            const PolygonRecord* r = g->PolygonAt(k);
            Face face;
            for (int32_t c = 0; c < r->VertexCount(); ++c) {
                const FixedVector3* v = node->WorldVertices->At<FixedVector3>(r->IndexAt(c));
                if (!v) continue;
                face.corners.insert(face.corners.end(), {float(Fix2X(v->x)), float(Fix2X(v->y)), float(Fix2X(v->z))});
            }
            face.colour[0] = r->BackLit.red / 65535.0f;
            face.colour[1] = r->BackLit.green / 65535.0f;
            face.colour[2] = r->BackLit.blue / 65535.0f;
            if (face.corners.size() >= 9) faces->push_back(face);
        }
    }
    for (int32_t i = 0; i < node->ChildCount(); ++i) Collect(node->ChildAt(i), faces);
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(fraction * double(values.size() - 1) + 0.5))];
}

}  // namespace

int main(int argc, char** argv)
{
    std::string scene = "room";
    int width = 640, height = 480, frames = 256;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            std::sscanf(argv[++i], "%dx%d", &width, &height);
        } else if (arg == "--frames" && i + 1 < argc) {
            frames = std::atoi(argv[++i]);
        } else {
            scene = arg;
        }
    }
    ModelDocument* document = scene == "shapes" ? BuildShapesSample() : BuildRoomSample();
    if (!document || frames < 1) {
        std::fprintf(stderr, "usage: gl-bench [room|shapes] [--size WxH] [--frames N]\n");
        return 2;
    }
    std::vector<Face> faces;
    Collect(document->Holder->Root, &faces);

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
    glShadeModel(GL_FLAT);
    glClearColor(0, 0, 0, 1);

    const WalkObserver* walk = document->Walk;
    const double eye[3] = {Fix2X(walk->Position[0]), Fix2X(walk->Position[1]), Fix2X(walk->Position[2])};
    double heading = Fix2X(walk->Angles[2]);
    const double pitch = Fix2X(walk->Angles[1]);
    std::vector<double> times;
    for (int frame = 0; frame < frames; ++frame) {
        heading += 1;
        const auto start = std::chrono::steady_clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // Camera space x right, y forward, z up becomes x right, y up, -z forward.
        glRotated(-90, 1, 0, 0);
        glRotated(pitch * 360.0 / 256.0, 1, 0, 0);
        glRotated(-heading * 360.0 / 256.0, 0, 0, 1);
        glTranslated(-eye[0], -eye[1], -eye[2]);
        for (const Face& face : faces) {
            glColor3fv(face.colour);
            glBegin(GL_POLYGON);
            for (size_t c = 0; c < face.corners.size(); c += 3) glVertex3fv(&face.corners[c]);
            glEnd();
        }
        glFinish();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("frames: %d\n", frames);
    std::printf("faces-per-frame: %zu\n", faces.size());
    std::printf("ms-per-frame: %.3f\n", Percentile(times, 0.5));
    std::printf("ms-per-frame-p95: %.3f\n", Percentile(times, 0.95));
    if (const char* out = std::getenv("GL_BENCH_PPM")) {
        std::vector<unsigned char> pixels(size_t(width) * height * 3);
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
