#include "WarpedGridMesh.h"

namespace {

constexpr double kTextureStep = 0.02;
constexpr float kDepth = 0.0f;
constexpr float kReciprocalW = 10000.0f;
constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kNoSpecular = 0x00000000u;

// The only vertex storage; the device copies what it needs during the draw.
GridVertex quadBuffer[kMeshVerticesPerQuad];

// Texture coordinates are summed in double and narrowed once, so a node
// shared by four quads gives the same float to each and the quads meet
// without cracks.
void PlaceCorner(GridVertex& vertex, const DisplacementField& field, int row, int column) {
    const int node = FieldIndex(row, column);
    vertex.sx = static_cast<float>(column * kMeshQuadPixels);
    vertex.sy = static_cast<float>(row * kMeshQuadPixels);
    vertex.sz = kDepth;
    vertex.rhw = kReciprocalW;
    vertex.color = kOpaqueWhite;
    vertex.specular = kNoSpecular;
    vertex.tu =
        static_cast<float>(static_cast<double>(column) * kTextureStep + field.uDisplacement[node]);
    vertex.tv =
        static_cast<float>(static_cast<double>(row) * kTextureStep + field.vDisplacement[node]);
}

} // namespace

void WarpedGridMesh(const DisplacementField& field, DrawQuadFunction drawQuad, void* context) {
    for (int row = 0; row < kMeshQuadsPerSide; ++row) {
        for (int column = 0; column < kMeshQuadsPerSide; ++column) {
            // Every field is rewritten: the draw operation may have used the
            // buffer as scratch.
            PlaceCorner(quadBuffer[0], field, row, column);
            PlaceCorner(quadBuffer[1], field, row, column + 1);
            PlaceCorner(quadBuffer[2], field, row + 1, column + 1);
            PlaceCorner(quadBuffer[3], field, row + 1, column);
            drawQuad(context, quadBuffer);
        }
    }
}
