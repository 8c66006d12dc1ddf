// Loads a plug-in, prints its record and runs a test tone through it.
#include "PluginInstance.h"
#include "PluginLibrary.h"

#include <cmath>
#include <numbers>
#include <cstdio>
#include <vector>

using namespace zandrel::host;

namespace {

void printLevels(const char* what, const std::vector<float>& samples) {
    double peak = 0.0, sum = 0.0;
    for (float s : samples) {
        peak = std::fmax(peak, std::fabs(static_cast<double>(s)));
        sum += static_cast<double>(s) * static_cast<double>(s);
    }
    std::printf("%-7s peak %.6f  rms %.6f\n", what, peak, std::sqrt(sum / static_cast<double>(samples.size())));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: plughost-mini PLUGIN\n");
        return 2;
    }
    PluginLibrary library(argv[1]);
    if (library.error() != LoadError::kNone) {
        std::fprintf(stderr, "plughost-mini: cannot load %s %s\n", argv[1], library.errorText().c_str());
        return 3;
    }
    PluginInstance plugin(library.entry());
    if (plugin.error() != CreateError::kNone) {
        std::fprintf(stderr, "plughost-mini: %s gave no usable instance\n", argv[1]);
        return 4;
    }
    const AEffect& e = *plugin.effect();
    std::printf("magic 0x%08X  uniqueID 0x%08X  version %d\n", static_cast<unsigned>(e.magic),
                static_cast<unsigned>(e.uniqueID), e.version);
    std::printf("programs %d  params %d  inputs %d  outputs %d  flags 0x%X\n", e.numPrograms, e.numParams,
                e.numInputs, e.numOutputs, static_cast<unsigned>(e.flags));

    constexpr std::size_t kFrames = 44100;
    std::vector<float> left(kFrames), right(kFrames), outLeft(kFrames), outRight(kFrames);
    for (std::size_t i = 0; i < kFrames; ++i) {
        left[i] = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * static_cast<double>(i) / 44100.0));
        right[i] = static_cast<float>(0.25 * std::sin(2.0 * std::numbers::pi * 660.0 * static_cast<double>(i) / 44100.0));
    }
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    plugin.processReplacing(inputs, outputs, static_cast<std::int32_t>(kFrames));
    printLevels("in L", left);
    printLevels("in R", right);
    printLevels("out L", outLeft);
    printLevels("out R", outRight);
    return 0;
}
