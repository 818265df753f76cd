// The program's frame through Mesa's llvmpipe (one thread, via OSMesa), for
// the benchmarks to compare against: a cleared colour and 16-bit depth
// buffer, the frame's states, an RGBA texture sampled nearest with wrap, and
// one draw call per quad as a triangle fan.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using OSMesaContextHandle = struct osmesa_context*;

class LlvmpipeFrame {
public:
    // rgba: textureWidth x textureHeight texels, bytes R, G, B, A.
    LlvmpipeFrame(int width, int height, const std::vector<uint32_t>& rgba, int textureWidth,
                  int textureHeight);
    ~LlvmpipeFrame();
    LlvmpipeFrame(const LlvmpipeFrame&) = delete;
    LlvmpipeFrame& operator=(const LlvmpipeFrame&) = delete;

    // False unless the context exists and really is llvmpipe.
    bool Ready() const;
    const std::string& Renderer() const { return renderer_; }

    // Clears and sets the frame's states; DrawFan per quad; End waits for it.
    void Begin();
    // Four vertices in the transformed-and-lit layout (sx, sy, sz, rhw,
    // colour 0xAARRGGBB, specular, tu, tv; 32 bytes each).
    static void DrawFan(const void* vertices);
    void End();

private:
    std::vector<uint32_t> pixels_;
    OSMesaContextHandle context_ = nullptr;
    unsigned texture_ = 0;
    std::string renderer_;
    bool ready_ = false;
};
