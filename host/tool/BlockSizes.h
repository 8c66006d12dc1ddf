// The sizes of the blocks a render hands the plug-in: all the same, or drawn
// from a seed the way hosts vary them (odd sizes, single frames, the largest).
#pragma once

#include <cstdint>
#include <optional>
#include <random>

namespace zandrel::tool {

class BlockSizes {
public:
    // Random sizes are 1..largest; the same seed gives the same sequence everywhere.
    BlockSizes(std::int32_t largest, std::optional<std::uint64_t> seed);

    std::int32_t largest() const { return largest_; }
    std::int32_t next();

private:
    std::int32_t largest_;
    bool random_;
    std::mt19937_64 generator_;
};

}  // namespace zandrel::tool
