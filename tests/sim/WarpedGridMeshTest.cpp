#include <sim/WarpedGridMesh.h>

#include <platform/crt.h>

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct DrawnQuad {
    std::array<GridVertex, kMeshVerticesPerQuad> corners;
    const GridVertex* buffer;
};

std::vector<DrawnQuad> DrawAll(const DisplacementField& field) {
    std::vector<DrawnQuad> drawn;
    drawn.reserve(kMeshQuadCount);
    WarpedGridMesh(field, [&drawn](GridVertex* quad) {
        DrawnQuad copy{};
        std::memcpy(copy.corners.data(), quad, sizeof copy.corners);
        copy.buffer = quad;
        drawn.push_back(copy);
    });
    return drawn;
}

const DrawnQuad& QuadAt(const std::vector<DrawnQuad>& drawn, int row, int column) {
    return drawn.at(static_cast<std::size_t>(row * kMeshQuadsPerSide + column));
}

// Row and column offsets of the fan's corners from the quad's top-left node.
constexpr int kCornerOffsets[kMeshVerticesPerQuad][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};

std::unique_ptr<DisplacementField> SeededSteppedField() {
    crt::srand(1);
    auto field = std::make_unique<DisplacementField>();
    SeedFields(*field);
    for (int frame = 0; frame < 25; ++frame) {
        PokeCentre(*field);
        StepFields(*field);
    }
    return field;
}

struct ExpectedCorner {
    float sx, sy;
    double tu, tv;
};

struct ExpectedQuad {
    int row;
    int column;
    ExpectedCorner corners[kMeshVerticesPerQuad];
};

TEST(WarpedGridMesh, UndisturbedFirstAndLastQuads) {
    constexpr ExpectedQuad kQuads[] = {
        {0, 0, {{0, 0, 0.0, 0.0}, {10, 0, 0.02, 0.0}, {10, 10, 0.02, 0.02}, {0, 10, 0.0, 0.02}}},
        {48,
         48,
         {{480, 480, 0.96, 0.96},
          {490, 480, 0.98, 0.96},
          {490, 490, 0.98, 0.98},
          {480, 490, 0.96, 0.98}}},
    };
    const auto field = std::make_unique<DisplacementField>();
    const auto drawn = DrawAll(*field);
    for (const ExpectedQuad& expected : kQuads) {
        const DrawnQuad& quad = QuadAt(drawn, expected.row, expected.column);
        for (int corner = 0; corner < kMeshVerticesPerQuad; ++corner) {
            SCOPED_TRACE(testing::Message() << "quad (" << expected.row << ", " << expected.column
                                            << ") corner " << corner + 1);
            const ExpectedCorner& want = expected.corners[corner];
            EXPECT_EQ(quad.corners[corner].sx, want.sx);
            EXPECT_EQ(quad.corners[corner].sy, want.sy);
            EXPECT_EQ(quad.corners[corner].tu, static_cast<float>(want.tu));
            EXPECT_EQ(quad.corners[corner].tv, static_cast<float>(want.tv));
        }
    }
}

TEST(WarpedGridMesh, EveryQuadIsDrawnOnceInRowMajorOrderFromOneBuffer) {
    const auto field = SeededSteppedField();
    const auto drawn = DrawAll(*field);
    ASSERT_EQ(drawn.size(), static_cast<std::size_t>(kMeshQuadCount));
    ASSERT_EQ(drawn.size(), 2401u);
    for (std::size_t call = 0; call < drawn.size(); ++call) {
        const int row = static_cast<int>(call) / kMeshQuadsPerSide;
        const int column = static_cast<int>(call) % kMeshQuadsPerSide;
        for (int corner = 0; corner < kMeshVerticesPerQuad; ++corner) {
            const GridVertex& vertex = drawn[call].corners[corner];
            ASSERT_EQ(vertex.sx, static_cast<float>(10 * (column + kCornerOffsets[corner][1])))
                << call;
            ASSERT_EQ(vertex.sy, static_cast<float>(10 * (row + kCornerOffsets[corner][0])))
                << call;
        }
        ASSERT_EQ(drawn[call].buffer, drawn.front().buffer) << call;
    }
}

TEST(WarpedGridMesh, FixedAttributesSurviveADrawThatScribblesOnTheBuffer) {
    const auto field = SeededSteppedField();
    const auto clean = DrawAll(*field);

    int call = 0;
    int wrongQuads = 0;
    WarpedGridMesh(*field, [&](GridVertex* quad) {
        wrongQuads += std::memcmp(quad, clean[static_cast<std::size_t>(call++)].corners.data(),
                                  sizeof(GridVertex) * kMeshVerticesPerQuad) != 0;
        std::memset(quad, 0xA5, sizeof(GridVertex) * kMeshVerticesPerQuad);
    });
    EXPECT_EQ(call, kMeshQuadCount);
    EXPECT_EQ(wrongQuads, 0);

    for (const DrawnQuad& quad : clean) {
        for (const GridVertex& vertex : quad.corners) {
            ASSERT_EQ(vertex.sz, 0.0f);
            ASSERT_EQ(vertex.rhw, 10000.0f);
            ASSERT_EQ(vertex.color, 0xFFFFFFFFu);
            ASSERT_EQ(vertex.specular, 0x00000000u);
        }
    }
}

TEST(WarpedGridMesh, DrawResultsChangeNothing) {
    const auto field = SeededSteppedField();
    const auto expected = DrawAll(*field);

    constexpr std::int32_t kFailure = static_cast<std::int32_t>(0x80004005u);
    int call = 0;
    int mismatches = 0;
    WarpedGridMesh(*field, [&](GridVertex* quad) -> std::int32_t {
        const DrawnQuad& want = expected[static_cast<std::size_t>(call)];
        mismatches += std::memcmp(quad, want.corners.data(), sizeof want.corners) != 0;
        return call++ % 2 == 0 ? kFailure : 0;
    });
    EXPECT_EQ(call, kMeshQuadCount);
    EXPECT_EQ(mismatches, 0);
}

TEST(WarpedGridMesh, AcceptsAConstCallable) {
    int calls = 0;
    const auto countCalls = [&calls](GridVertex*) { ++calls; };
    const auto field = std::make_unique<DisplacementField>();
    WarpedGridMesh(*field, countCalls);
    EXPECT_EQ(calls, kMeshQuadCount);
}

// A node shared by several quads must give all of them the same bits, or
// the picture cracks along the quad edges.
TEST(WarpedGridMesh, SharedNodesGiveIdenticalCoordinatesToEveryQuad) {
    const auto field = SeededSteppedField();
    const auto drawn = DrawAll(*field);

    struct NodeSeen {
        bool seen = false;
        std::uint32_t tu = 0, tv = 0;
    };
    std::vector<NodeSeen> nodes(kFieldNodeCount);
    for (int row = 0; row < kMeshQuadsPerSide; ++row) {
        for (int column = 0; column < kMeshQuadsPerSide; ++column) {
            const DrawnQuad& quad = QuadAt(drawn, row, column);
            for (int corner = 0; corner < kMeshVerticesPerQuad; ++corner) {
                const GridVertex& vertex = quad.corners[corner];
                NodeSeen& node = nodes[static_cast<std::size_t>(FieldIndex(
                    row + kCornerOffsets[corner][0], column + kCornerOffsets[corner][1]))];
                const auto tu = std::bit_cast<std::uint32_t>(vertex.tu);
                const auto tv = std::bit_cast<std::uint32_t>(vertex.tv);
                if (node.seen) {
                    ASSERT_EQ(tu, node.tu)
                        << "quad (" << row << ", " << column << ") corner " << corner + 1;
                    ASSERT_EQ(tv, node.tv)
                        << "quad (" << row << ", " << column << ") corner " << corner + 1;
                }
                node = {true, tu, tv};
            }
        }
    }
    for (const NodeSeen& node : nodes) {
        EXPECT_TRUE(node.seen);
    }
}

TEST(WarpedGridMesh, PokedNodeIsTheCommonCornerOfFourQuads) {
    struct SharingQuad {
        int row;
        int column;
        int corner; // 1-based, in fan order
    };
    constexpr SharingQuad kSharing[] = {{24, 24, 3}, {24, 25, 4}, {25, 24, 2}, {25, 25, 1}};

    const auto field = SeededSteppedField();
    const auto drawn = DrawAll(*field);
    const int centre = FieldIndex(25, 25);
    const float tu = static_cast<float>(0.5 + field->uDisplacement[centre]);
    const float tv = static_cast<float>(0.5 + field->vDisplacement[centre]);
    ASSERT_NE(tu, 0.5f);

    for (const SharingQuad& sharing : kSharing) {
        SCOPED_TRACE(testing::Message()
                     << "quad (" << sharing.row << ", " << sharing.column << ")");
        const GridVertex& vertex =
            QuadAt(drawn, sharing.row, sharing.column).corners[sharing.corner - 1];
        EXPECT_EQ(vertex.sx, 250.0f);
        EXPECT_EQ(vertex.sy, 250.0f);
        EXPECT_EQ(vertex.tu, tu);
        EXPECT_EQ(vertex.tv, tv);
    }
}

TEST(WarpedGridMesh, DisplacementsPassThroughUnclamped) {
    struct DisplacedNode {
        int row;
        int column;
        double uDisplacement;
        double vDisplacement;
        double expectedTu;
        double expectedTv;
    };
    constexpr DisplacedNode kCases[] = {
        // One quad's worth of texture: samples where the next node would.
        {3, 3, 0.02, -0.02, 0.08, 0.04},
        {10, 20, -2.0, -2.0, -1.6, -1.8},
        {49, 49, 0.5, 1.25, 1.48, 2.23},
        {0, 0, -0.0001, 3.0, -0.0001, 3.0},
        // Summing in float instead would give 0.020000007.
        {0, 1, 8e-9, 8e-9, 0.020000008, 8e-9},
    };
    for (const DisplacedNode& c : kCases) {
        SCOPED_TRACE(testing::Message() << "node (" << c.row << ", " << c.column << ")");
        auto field = std::make_unique<DisplacementField>();
        field->uDisplacement[FieldIndex(c.row, c.column)] = c.uDisplacement;
        field->vDisplacement[FieldIndex(c.row, c.column)] = c.vDisplacement;
        const auto drawn = DrawAll(*field);
        // Corner 1 of the quad whose top-left node it is, or corner 3 of the
        // last quad for the bottom-right node.
        const bool lastNode = c.row == kMeshQuadsPerSide;
        const GridVertex& vertex = lastNode ? QuadAt(drawn, c.row - 1, c.column - 1).corners[2]
                                            : QuadAt(drawn, c.row, c.column).corners[0];
        EXPECT_EQ(vertex.tu, static_cast<float>(c.expectedTu));
        EXPECT_EQ(vertex.tv, static_cast<float>(c.expectedTv));
    }
}

} // namespace
