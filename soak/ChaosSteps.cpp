#include "ChaosSteps.h"

namespace chaos {

const char* NameOf(StepKind kind)
{
    switch (kind) {
    case StepKind::Call: return "call";
    case StepKind::Edit: return "edit";
    case StepKind::File: return "file";
    case StepKind::Input: return "input";
    case StepKind::Reentrant: return "reentrant";
    }
    return "?";
}

Step DescribeStep(uint64_t seed, uint64_t index)
{
    std::seed_seq seeds{static_cast<uint32_t>(seed), static_cast<uint32_t>(seed >> 32), static_cast<uint32_t>(index),
                        static_cast<uint32_t>(index >> 32)};
    Step step;
    step.index = index;
    step.random.seed(seeds);
    // Weights in percent: input and calls most, the slower file steps least.
    const uint32_t roll = step.Below(100);
    step.kind = roll < 30 ? StepKind::Call
              : roll < 40 ? StepKind::Edit
              : roll < 48 ? StepKind::File
              : roll < 88 ? StepKind::Input
                          : StepKind::Reentrant;
    return step;
}

} // namespace chaos
