#pragma once

#include <cstddef>

// The elastic surface: how far each node's texture coordinate is pushed
// (u horizontally, v vertically) and how fast that push is changing.

inline constexpr int kFieldNodesPerSide = 50;
inline constexpr int kFieldNodeCount = kFieldNodesPerSide * kFieldNodesPerSide;

// Node (row, column) is stored row by row in each grid.
constexpr int FieldIndex(int row, int column) {
    return row * kFieldNodesPerSide + column;
}

struct DisplacementField {
    // Displacements are in texture units: 1.0 spans the whole texture and
    // neighbouring nodes lie 0.02 apart. Zero until SeedFields fills them.
    double uDisplacement[kFieldNodeCount] = {};
    double vDisplacement[kFieldNodeCount] = {};
    double uVelocity[kFieldNodeCount] = {};
    double vVelocity[kFieldNodeCount] = {};
};

static_assert(sizeof(DisplacementField) == 4 * kFieldNodeCount * sizeof(double));
static_assert(offsetof(DisplacementField, vDisplacement) == 1 * kFieldNodeCount * sizeof(double));
static_assert(offsetof(DisplacementField, uVelocity) == 2 * kFieldNodeCount * sizeof(double));
static_assert(offsetof(DisplacementField, vVelocity) == 3 * kFieldNodeCount * sizeof(double));

// Fills all four grids from the process-wide crt::rand() sequence: four draws
// per node in storage order, each (r % 100 - 50) * 0.0001.
void SeedFields(DisplacementField& field);

// Pulls the centre node by a further 0.1 in u and in v; never limited.
void PokeCentre(DisplacementField& field);

// One step of the undamped wave equation on the interior nodes; the border
// stays where seeding put it. Allocates nothing.
void StepFields(DisplacementField& field);
