#include "llvmpipe_frame.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <cstdlib>

namespace {

constexpr int kVertexBytes = 32;
constexpr int kColourOffset = 16;
constexpr int kTextureOffset = 24;

} // namespace

LlvmpipeFrame::LlvmpipeFrame(int width, int height, const std::vector<uint32_t>& rgba,
                             int textureWidth, int textureHeight)
    : pixels_(size_t(width) * height) {
    setenv("LP_NUM_THREADS", "1", 1);
    context_ = OSMesaCreateContextExt(OSMESA_BGRA, 16, 0, 0, nullptr);
    if (context_ == nullptr ||
        !OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, width, height))
        return;
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    renderer_ = renderer != nullptr ? renderer : "";
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Pixel centres on integers, y down, as the transformed vertices have them.
    glOrtho(-0.5, width - 0.5, height - 0.5, -0.5, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ready_ = true;
}

LlvmpipeFrame::~LlvmpipeFrame() {
    if (context_ != nullptr)
        OSMesaDestroyContext(context_);
}

bool LlvmpipeFrame::Ready() const {
    return ready_ && renderer_.find("llvmpipe") != std::string::npos;
}

void LlvmpipeFrame::Begin() {
    glClearColor(1, 1, 1, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void LlvmpipeFrame::DrawFan(const void* vertices) {
    const auto* bytes = static_cast<const unsigned char*>(vertices);
    glVertexPointer(3, GL_FLOAT, kVertexBytes, bytes);
    // 0xAARRGGBB: blue first in memory.
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, kVertexBytes, bytes + kColourOffset);
    glTexCoordPointer(2, GL_FLOAT, kVertexBytes, bytes + kTextureOffset);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
}

void LlvmpipeFrame::End() {
    glFinish();
}
