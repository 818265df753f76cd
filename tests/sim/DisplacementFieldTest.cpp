#include <sim/DisplacementField.h>

#include <platform/crt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

namespace {

using Grid = double[kFieldNodeCount];
using GridMember = Grid DisplacementField::*;

struct NamedGrid {
    const char* name;
    GridMember grid;
};

constexpr NamedGrid kAllGrids[] = {
    {"uDisplacement", &DisplacementField::uDisplacement},
    {"vDisplacement", &DisplacementField::vDisplacement},
    {"uVelocity", &DisplacementField::uVelocity},
    {"vVelocity", &DisplacementField::vVelocity},
};

bool IsBorder(int row, int column) {
    return row == 0 || column == 0 || row == kFieldNodesPerSide - 1 ||
           column == kFieldNodesPerSide - 1;
}

// The generator is process-wide, so every test that seeds starts it afresh
// and does not depend on what ran before.
class DisplacementFieldTest : public testing::Test {
protected:
    void SetUp() override { crt::srand(1); }

    static std::unique_ptr<DisplacementField> SeededField() {
        auto field = std::make_unique<DisplacementField>();
        SeedFields(*field);
        return field;
    }
};

struct SeededNode {
    int row;
    int column;
    double uDisplacement, vDisplacement, uVelocity, vVelocity;
};

TEST_F(DisplacementFieldTest, SeedsTheFirstNodesFromTheStartUpSequence) {
    constexpr SeededNode kNodes[] = {
        {0, 0, -0.0009, +0.0017, -0.0016, -0.0050},
        {0, 1, +0.0019, -0.0026, +0.0028, +0.0008},
    };
    const auto field = SeededField();
    for (const SeededNode& node : kNodes) {
        SCOPED_TRACE(testing::Message() << "node (" << node.row << ", " << node.column << ")");
        const int index = FieldIndex(node.row, node.column);
        EXPECT_DOUBLE_EQ(field->uDisplacement[index], node.uDisplacement);
        EXPECT_DOUBLE_EQ(field->vDisplacement[index], node.vDisplacement);
        EXPECT_DOUBLE_EQ(field->uVelocity[index], node.uVelocity);
        EXPECT_DOUBLE_EQ(field->vVelocity[index], node.vVelocity);
    }
}

TEST_F(DisplacementFieldTest, SeedsWholeMultiplesOfTheScaleFromMinus50To49) {
    const auto field = SeededField();
    for (const NamedGrid& named : kAllGrids) {
        SCOPED_TRACE(named.name);
        std::set<long> steps;
        for (double value : (*field).*named.grid) {
            const long step = std::lround(value * 10000.0);
            ASSERT_GE(step, -50);
            ASSERT_LE(step, 49);
            ASSERT_EQ(value, static_cast<double>(step) * 0.0001);
            steps.insert(step);
        }
        // 2,500 draws per grid reach every one of the 100 values.
        EXPECT_EQ(steps.size(), 100u);
    }
}

TEST_F(DisplacementFieldTest, SeedingIsTheSameOnEveryRun) {
    const auto first = SeededField();
    crt::srand(1);
    const auto second = SeededField();
    EXPECT_EQ(std::memcmp(first.get(), second.get(), sizeof(DisplacementField)), 0);
}

TEST_F(DisplacementFieldTest, SeedingDrawsExactlyTenThousandNumbersAndNeverReseeds) {
    for (int draw = 0; draw < 10000; ++draw) {
        static_cast<void>(crt::rand());
    }
    const int drawAfterSeeding = crt::rand();

    crt::srand(1);
    const auto first = SeededField();
    EXPECT_EQ(crt::rand(), drawAfterSeeding);

    crt::srand(1);
    static_cast<void>(SeededField());
    const auto second = SeededField();
    EXPECT_NE(std::memcmp(first.get(), second.get(), sizeof(DisplacementField)), 0);
}

TEST_F(DisplacementFieldTest, BorderNeverMovesUnderStepsAndPokes) {
    auto field = SeededField();
    const DisplacementField seeded = *field;
    for (int frame = 0; frame < 300; ++frame) {
        if (frame % 3 != 2) {
            PokeCentre(*field);
        }
        StepFields(*field);
    }
    for (const NamedGrid& named : kAllGrids) {
        SCOPED_TRACE(named.name);
        for (int row = 0; row < kFieldNodesPerSide; ++row) {
            for (int column = 0; column < kFieldNodesPerSide; ++column) {
                if (IsBorder(row, column)) {
                    const int index = FieldIndex(row, column);
                    ASSERT_EQ(((*field).*named.grid)[index], (seeded.*named.grid)[index])
                        << "node (" << row << ", " << column << ")";
                }
            }
        }
    }
    // The waves did reach the interior.
    const int nextToBorder = FieldIndex(1, 1);
    EXPECT_NE(field->uDisplacement[nextToBorder], seeded.uDisplacement[nextToBorder]);
}

TEST_F(DisplacementFieldTest, UniformDisplacementAtRestStaysUnchanged) {
    constexpr double kLevels[] = {0.0, 0.0049, -0.005, 0.3, -1.25, 1.0 / 3.0, 12345.678};
    for (double level : kLevels) {
        SCOPED_TRACE(level);
        auto field = std::make_unique<DisplacementField>();
        std::fill(std::begin(field->uDisplacement), std::end(field->uDisplacement), level);
        std::fill(std::begin(field->vDisplacement), std::end(field->vDisplacement), -level);
        const DisplacementField before = *field;
        StepFields(*field);
        StepFields(*field);
        // Compared by value: a level of -0.0 may come back as +0.0.
        for (const NamedGrid& named : kAllGrids) {
            for (int index = 0; index < kFieldNodeCount; ++index) {
                ASSERT_EQ(((*field).*named.grid)[index], (before.*named.grid)[index])
                    << named.name << " " << index;
            }
        }
    }
}

struct NodeValue {
    int row;
    int column;
    double velocity;
    double displacement;
};

// All zero but one poke; the u and v grids must show the same numbers.
TEST_F(DisplacementFieldTest, OnePokeSpreadsToTheNeighboursStepByStep) {
    constexpr NodeValue kAfterOneStep[] = {
        {25, 25, 0.04, -0.096},  {24, 25, -0.01, -0.001}, {26, 25, -0.01, -0.001},
        {25, 24, -0.01, -0.001}, {25, 26, -0.01, -0.001},
    };
    constexpr GridMember kVelocity[] = {&DisplacementField::uVelocity,
                                        &DisplacementField::vVelocity};
    constexpr GridMember kDisplacement[] = {&DisplacementField::uDisplacement,
                                            &DisplacementField::vDisplacement};

    auto field = std::make_unique<DisplacementField>();
    PokeCentre(*field);
    StepFields(*field);
    for (int axis = 0; axis < 2; ++axis) {
        SCOPED_TRACE(kAllGrids[axis].name);
        const Grid& velocity = (*field).*kVelocity[axis];
        const Grid& displacement = (*field).*kDisplacement[axis];
        int nonZero = 0;
        for (int index = 0; index < kFieldNodeCount; ++index) {
            nonZero += displacement[index] != 0.0 || velocity[index] != 0.0;
        }
        EXPECT_EQ(nonZero, 5);
        for (const NodeValue& node : kAfterOneStep) {
            const int index = FieldIndex(node.row, node.column);
            EXPECT_NEAR(velocity[index], node.velocity, 1e-15) << node.row << ", " << node.column;
            EXPECT_NEAR(displacement[index], node.displacement, 1e-15)
                << node.row << ", " << node.column;
        }
    }

    StepFields(*field);
    for (int axis = 0; axis < 2; ++axis) {
        SCOPED_TRACE(kAllGrids[axis].name);
        const Grid& displacement = (*field).*kDisplacement[axis];
        // The disturbance has reached every node within two steps of the
        // centre, and no other.
        for (int row = 0; row < kFieldNodesPerSide; ++row) {
            for (int column = 0; column < kFieldNodesPerSide; ++column) {
                const bool reached = std::abs(row - 25) + std::abs(column - 25) <= 2;
                EXPECT_EQ(displacement[FieldIndex(row, column)] != 0.0, reached)
                    << row << ", " << column;
            }
        }
        EXPECT_NEAR(displacement[FieldIndex(25, 25)], -0.0882, 1e-15);
    }
}

TEST_F(DisplacementFieldTest, EachPokeSubtractsATenthWithoutLimit) {
    constexpr int kPokeCounts[] = {0, 1, 2, 7, 100, 1000};
    const int centre = FieldIndex(25, 25);
    for (int pokes : kPokeCounts) {
        SCOPED_TRACE(pokes);
        crt::srand(1);
        auto field = SeededField();
        const DisplacementField seeded = *field;
        for (int poke = 0; poke < pokes; ++poke) {
            PokeCentre(*field);
        }
        // Repeated subtraction rounds once per poke.
        const double tolerance = 1e-12 * (pokes + 1);
        EXPECT_NEAR(field->uDisplacement[centre], seeded.uDisplacement[centre] - pokes * 0.1,
                    tolerance);
        EXPECT_NEAR(field->vDisplacement[centre], seeded.vDisplacement[centre] - pokes * 0.1,
                    tolerance);

        // Nothing else moves, velocities included.
        field->uDisplacement[centre] = seeded.uDisplacement[centre];
        field->vDisplacement[centre] = seeded.vDisplacement[centre];
        EXPECT_EQ(std::memcmp(field.get(), &seeded, sizeof(DisplacementField)), 0);
    }
}

// An independent step that visits the interior bottom-up, column by column,
// from right to left.
void StepInReverseColumnOrder(DisplacementField& field) {
    const DisplacementField start = field;
    auto laplacian = [](const Grid& s, int row, int column) {
        return 0.1 * s[FieldIndex(row + 1, column)] + 0.1 * s[FieldIndex(row, column + 1)] +
               0.1 * s[FieldIndex(row, column - 1)] + 0.1 * s[FieldIndex(row - 1, column)] -
               0.4 * s[FieldIndex(row, column)];
    };
    for (int column = kFieldNodesPerSide - 2; column >= 1; --column) {
        for (int row = kFieldNodesPerSide - 2; row >= 1; --row) {
            const int index = FieldIndex(row, column);
            field.vVelocity[index] += laplacian(start.vDisplacement, row, column);
            field.vDisplacement[index] += 0.1 * field.vVelocity[index];
            field.uVelocity[index] += laplacian(start.uDisplacement, row, column);
            field.uDisplacement[index] += 0.1 * field.uVelocity[index];
        }
    }
}

TEST_F(DisplacementFieldTest, StepMatchesAReferenceVisitingInAnotherOrder) {
    auto field = SeededField();
    auto reference = std::make_unique<DisplacementField>(*field);
    for (int frame = 0; frame < 60; ++frame) {
        if (frame < 20) {
            PokeCentre(*field);
            PokeCentre(*reference);
        }
        StepFields(*field);
        StepInReverseColumnOrder(*reference);
        ASSERT_EQ(std::memcmp(field.get(), reference.get(), sizeof(DisplacementField)), 0)
            << "after step " << frame;
    }
}

} // namespace
