// The steps of a chaos run. A step's description comes from the run's seed and the step's index
// alone (its own generator, seeded with both), never from what earlier steps left, so that any
// subset of a run's steps replays the same way (--only) and a failing run can be shrunk. The host
// adapts each description to its state when it runs it ("the k-th visible row, modulo the rows").
#pragma once

#include <cstdint>
#include <random>

namespace chaos {

enum class StepKind { Call, Edit, File, Input, Reentrant };
const char* NameOf(StepKind kind);

struct Step {
    uint64_t index = 0;
    StepKind kind = StepKind::Call;
    std::mt19937_64 random;

    // A number in 0 .. n-1 (0 when n is 0).
    uint32_t Below(uint64_t n) { return n ? static_cast<uint32_t>(random() % n) : 0; }
    bool Chance(unsigned percent) { return Below(100) < percent; }
};

Step DescribeStep(uint64_t seed, uint64_t index);

} // namespace chaos
