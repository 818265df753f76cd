#include "DisplacementField.h"

#include <platform/crt.h>

#include <cstring>

namespace {

constexpr double kSeedScale = 0.0001;
constexpr double kNeighbourWeight = 0.1;
constexpr double kCentreWeight = 0.4;
constexpr double kVelocityToDisplacement = 0.1;
constexpr double kPokeAmount = 0.1;
// With 50 nodes the middle falls between 24 and 25; the lower-right one is pulled.
constexpr int kPokeNode = FieldIndex(25, 25);

// Every node of a step must see the displacements as they were when the step
// began, so the step reads neighbours from these copies. Static so that a
// step, which runs every frame, never allocates.
double uSnapshot[kFieldNodeCount];
double vSnapshot[kFieldNodeCount];

double SeedValue(int draw) {
    return static_cast<double>(draw % 100 - 50) * kSeedScale;
}

// The products are formed one by one and summed below, right, left, above,
// with the centre term last, so every build gives the same bits.
double Laplacian(const double* snapshot, int node) {
    return kNeighbourWeight * snapshot[node + kFieldNodesPerSide] +
           kNeighbourWeight * snapshot[node + 1] + kNeighbourWeight * snapshot[node - 1] +
           kNeighbourWeight * snapshot[node - kFieldNodesPerSide] - kCentreWeight * snapshot[node];
}

// The grids never overlap; saying so lets the compiler vectorise the rows.
void StepAxis(const double* __restrict snapshot, double* __restrict velocity,
              double* __restrict displacement) {
    for (int row = 1; row < kFieldNodesPerSide - 1; ++row) {
        for (int column = 1; column < kFieldNodesPerSide - 1; ++column) {
            const int node = FieldIndex(row, column);
            velocity[node] += Laplacian(snapshot, node);
            displacement[node] += kVelocityToDisplacement * velocity[node];
        }
    }
}

} // namespace

void SeedFields(DisplacementField& field) {
    using crt::rand;
    for (int node = 0; node < kFieldNodeCount; ++node) {
        field.uDisplacement[node] = SeedValue(rand());
        field.vDisplacement[node] = SeedValue(rand());
        field.uVelocity[node] = SeedValue(rand());
        field.vVelocity[node] = SeedValue(rand());
    }
}

void PokeCentre(DisplacementField& field) {
    field.uDisplacement[kPokeNode] -= kPokeAmount;
    field.vDisplacement[kPokeNode] -= kPokeAmount;
}

void StepFields(DisplacementField& field) {
    std::memcpy(uSnapshot, field.uDisplacement, sizeof uSnapshot);
    std::memcpy(vSnapshot, field.vDisplacement, sizeof vSnapshot);

    // u and v never interact, so each axis is stepped on its own.
    StepAxis(uSnapshot, field.uVelocity, field.uDisplacement);
    StepAxis(vSnapshot, field.vVelocity, field.vDisplacement);
}
