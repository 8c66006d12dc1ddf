#include "BlockSizes.h"

namespace zandrel::tool {

BlockSizes::BlockSizes(std::int32_t largest, std::optional<std::uint64_t> seed)
    : largest_(largest), random_(seed.has_value()), generator_(seed.value_or(0)) {}

// The raw engine's output is fixed by the standard; the distributions are not,
// so the sizes are taken from it directly to stay the same on every library.
std::int32_t BlockSizes::next() {
    if (!random_) return largest_;
    const std::uint64_t draw = generator_();
    const auto range = static_cast<std::uint64_t>(largest_);
    switch (draw % 8) {
        case 0: return 1;         // single frames
        case 1: return largest_;  // the announced maximum
        default: return static_cast<std::int32_t>(1 + (draw >> 3) % range);
    }
}

}  // namespace zandrel::tool
