#pragma once

#include "DisplacementField.h"

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>

// A transformed-and-lit vertex, laid out exactly as the device's TL vertex
// so the buffer can be handed to the device unchanged.
struct GridVertex {
    float sx; // screen pixels, y grows downward
    float sy;
    float sz;
    float rhw;
    std::uint32_t color;    // ARGB
    std::uint32_t specular; // ARGB
    float tu;
    float tv;
};

static_assert(sizeof(GridVertex) == 32);
static_assert(offsetof(GridVertex, sx) == 0);
static_assert(offsetof(GridVertex, sy) == 4);
static_assert(offsetof(GridVertex, sz) == 8);
static_assert(offsetof(GridVertex, rhw) == 12);
static_assert(offsetof(GridVertex, color) == 16);
static_assert(offsetof(GridVertex, specular) == 20);
static_assert(offsetof(GridVertex, tu) == 24);
static_assert(offsetof(GridVertex, tv) == 28);

inline constexpr int kMeshQuadsPerSide = kFieldNodesPerSide - 1;
inline constexpr int kMeshQuadCount = kMeshQuadsPerSide * kMeshQuadsPerSide;
inline constexpr int kMeshQuadPixels = 10;
inline constexpr int kMeshVerticesPerQuad = 4;

// Receives one quad as a triangle fan of kMeshVerticesPerQuad vertices:
// top left, top right, bottom right, bottom left.
using DrawQuadFunction = void (*)(void* context, GridVertex* quad);

// Draws the 49 x 49 quads of 10 x 10 pixels from pixel (0, 0), row by row,
// each textured at its corner nodes' grid positions pushed by the fields'
// displacements. One static four-vertex buffer is refilled for every quad.
void WarpedGridMesh(const DisplacementField& field, DrawQuadFunction drawQuad, void* context);

// Same, for any callable taking GridVertex*; whatever it returns is ignored.
// The callable is reached through a plain function pointer, so nothing is
// allocated however often it runs.
template <typename DrawQuad>
requires std::invocable<DrawQuad&, GridVertex*>
void WarpedGridMesh(const DisplacementField& field, DrawQuad&& drawQuad) {
    using Callable = std::remove_reference_t<DrawQuad>;
    auto* context = const_cast<std::remove_const_t<Callable>*>(std::addressof(drawQuad));
    WarpedGridMesh(
        field,
        [](void* opaque, GridVertex* quad) {
            static_cast<void>((*static_cast<Callable*>(opaque))(quad));
        },
        context);
}
