// After construction no entry function allocates, frees, locks or calls the
// host: a full session of calls, watched call by call by the counters of
// AllocationCounter.cpp and by a host callback that only counts.
#include "AllocationCounter.h"
#include "BitwiseEffect.h"
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>

namespace zandrel::test {
namespace {

std::atomic<int> hostCalls{0};

VstIntPtr ZANDREL_VSTCALL countingHost(AEffect*, std::int32_t opcode, std::int32_t, VstIntPtr, void*, float) {
    hostCalls.fetch_add(1, std::memory_order_relaxed);
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Two ways to an instance: the effect linked into this program (seen on every
// platform) and the built plug-in as a host loads it. A Windows DLL carries its
// own C++ runtime and heap, so only the linked effect can be watched there.
enum class Source { kLinked, kLoaded };

const char* nameOf(Source source) { return source == Source::kLinked ? "linked effect" : "loaded plug-in"; }
void PrintTo(Source source, std::ostream* os) { *os << nameOf(source); }

AEffect* openInstance(Source source) {
    if (source == Source::kLinked) return (new BitwiseEffect(countingHost))->getDescriptor();
    return pluginLibrary().entry()(countingHost);
}

bool watchable(Source source) {
#if defined(_WIN32)
    return source == Source::kLinked;
#else
    (void)source;
    return true;
#endif
}

// The first call that changed a counter, kept without allocating.
struct Violation {
    bool found = false;
    const char* call = "";
    std::int32_t code = 0;
    std::int32_t index = 0;
    ResourceCounts before{};
    ResourceCounts after{};
    int hostCalls = 0;
};

class Watch {
public:
    template <class Call>
    void operator()(const char* call, std::int32_t code, std::int32_t index, Call&& body) {
        const ResourceCounts before = resourceCounts();
        const int hostBefore = hostCalls.load();
        body();
        const ResourceCounts after = resourceCounts();
        const int hostDelta = hostCalls.load() - hostBefore;
        ++calls_;
        if (violation_.found || (after == before && hostDelta == 0)) return;
        violation_ = {true, call, code, index, before, after, hostDelta};
    }

    int calls() const { return calls_; }
    const Violation& violation() const { return violation_; }

private:
    int calls_ = 0;
    Violation violation_;
};

std::string describe(const Violation& v) {
    if (!v.found) return "none";
    auto delta = [](std::uint64_t a, std::uint64_t b) { return std::to_string(b - a); };
    return std::string(v.call) + " code " + std::to_string(v.code) + " index " + std::to_string(v.index) + ": new " +
           delta(v.before.news, v.after.news) + ", delete " + delta(v.before.deletes, v.after.deletes) + ", malloc " +
           delta(v.before.mallocs, v.after.mallocs) + ", free " + delta(v.before.frees, v.after.frees) + ", lock " +
           delta(v.before.locks, v.after.locks) + ", host calls " + std::to_string(v.hostCalls);
}

constexpr std::size_t kFrames = 4096;

// Everything a session touches, allocated before it starts.
struct Scratch {
    std::array<std::array<float, kFrames>, 4> channels;
    std::array<char, 512> text;
    void* chunk = nullptr;
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kDenormal = std::numeric_limits<float>::denorm_min();
constexpr std::array<float, 13> kValues{0.0f, 0.25f, 0.5f,      0.75f, 1.0f,      -0.0f,     -1.0f,
                                        2.0f, 1e30f, kDenormal, kNaN,  kInfinity, -kInfinity};

void processBlocks(AEffect* e, Scratch& s, Watch& watch) {
    float* inputs[] = {s.channels[0].data(), s.channels[1].data()};
    float* outputs[] = {s.channels[2].data(), s.channels[3].data()};
    for (std::int32_t frames : {0, 1, 7, 64, static_cast<std::int32_t>(kFrames), -1}) {
        watch("processReplacing", frames, 0, [&] { e->processReplacing(e, inputs, outputs, frames); });
        watch("process", frames, 0, [&] { e->process(e, inputs, outputs, frames); });
        watch("processReplacing in place", frames, 0, [&] { e->processReplacing(e, outputs, outputs, frames); });
        watch("process in place", frames, 0, [&] { e->process(e, outputs, outputs, frames); });
    }
}

void readTexts(AEffect* e, Scratch& s, Watch& watch) {
    for (std::int32_t opcode : {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName}) {
        for (std::int32_t index = -1; index <= kNumParams; ++index)
            watch("text", opcode, index, [&] { e->dispatcher(e, opcode, index, 0, s.text.data(), 0.0f); });
    }
}

// Every opcode but effClose, every parameter with ordinary and hostile values,
// every program, the texts and processing in every state this reaches.
void fullSession(AEffect* e, Scratch& s, Watch& watch) {
    for (std::size_t c = 0; c < 2; ++c) {
        for (std::size_t i = 0; i < kFrames; ++i)
            s.channels[c][i] = static_cast<float>(static_cast<double>(i % 97) / 40.0 - 1.2) * (c == 0 ? 1.0f : -1.0f);
        s.channels[c][5] = kNaN;
        s.channels[c][6] = kInfinity;
        s.channels[c][7] = -0.0f;
    }
    std::memset(s.text.data(), 'n', s.text.size() - 1);
    s.text.back() = '\0';

    for (std::int32_t opcode = -2; opcode <= kNumEffOpcodes + 2; ++opcode) {
        if (opcode == effClose) continue;
        void* ptr = opcode == effGetChunk ? static_cast<void*>(&s.chunk) : s.text.data();
        for (std::int32_t index : {-1, 0, 3, 6, 7}) {
            for (VstIntPtr value : {VstIntPtr{0}, VstIntPtr{1}, VstIntPtr{-1}, VstIntPtr{4}})
                watch("dispatcher", opcode, index, [&] { e->dispatcher(e, opcode, index, value, ptr, 44100.0f); });
        }
    }
    for (std::int32_t index = -1; index <= kNumParams; ++index) {
        for (float value : kValues) {
            watch("setParameter", index, index, [&] { e->setParameter(e, index, value); });
            watch("getParameter", index, index, [&] { e->getParameter(e, index); });
            processBlocks(e, s, watch);
            readTexts(e, s, watch);
        }
    }
    for (std::int32_t program = -1; program <= kNumPrograms; ++program) {
        watch("effSetProgram", program, 0, [&] { e->dispatcher(e, effSetProgram, 0, program, nullptr, 0.0f); });
        processBlocks(e, s, watch);
        readTexts(e, s, watch);
    }
}

class RealTimeSafety : public ::testing::TestWithParam<Source> {
protected:
    void SetUp() override {
        if (!watchable(GetParam())) {
            GTEST_SKIP() << "a DLL's own heap is out of this program's sight";
        }
        if (GetParam() == Source::kLoaded) {
            ASSERT_NE(pluginLibrary().entry(), nullptr) << pluginPath();
        }
    }
};

TEST_P(RealTimeSafety, NoEntryFunctionAllocatesFreesLocksOrCallsTheHostAfterConstruction) {
    const Source source = GetParam();
    auto scratch = std::make_unique<Scratch>();
    AEffect* effect = openInstance(source);
    ASSERT_NE(effect, nullptr);

    Watch watch;
    fullSession(effect, *scratch, watch);
    EXPECT_FALSE(watch.violation().found)
        << nameOf(source) << ", first offending call of " << watch.calls() << ": " << describe(watch.violation());
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

// main allocates the effect and nothing else; effClose frees it and nothing else.
TEST_P(RealTimeSafety, MainAllocatesOneBlockAndEffCloseFreesIt) {
    const Source source = GetParam();

    const ResourceCounts beforeMain = resourceCounts();
    AEffect* effect = openInstance(source);
    const ResourceCounts afterMain = resourceCounts();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(afterMain.news - beforeMain.news, 1u);
    EXPECT_EQ(afterMain.deletes - beforeMain.deletes, 0u);
    if (observesMalloc()) {
        EXPECT_EQ(afterMain.frees - beforeMain.frees, 0u);
    }

    const int hostBefore = hostCalls.load();
    const VstIntPtr answer = effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    const ResourceCounts afterClose = resourceCounts();
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(afterClose.news - afterMain.news, 0u);
    EXPECT_EQ(afterClose.deletes - afterMain.deletes, 1u);
    if (observesMalloc()) {
        EXPECT_EQ(afterClose.mallocs - afterMain.mallocs, 0u);
        EXPECT_EQ(afterClose.frees - afterMain.frees, 1u);
    }
    if (observesLocks()) {
        EXPECT_EQ(afterClose.locks - afterMain.locks, 0u);
    }
    EXPECT_EQ(hostCalls.load(), hostBefore) << "effClose calls no host";
}

INSTANTIATE_TEST_SUITE_P(BothWays, RealTimeSafety, ::testing::Values(Source::kLinked, Source::kLoaded),
                         [](const ::testing::TestParamInfo<Source>& param) {
                             return param.param == Source::kLinked ? std::string("LinkedEffect")
                                                                   : std::string("LoadedPlugin");
                         });

// The counters see what they are meant to see, or the tests above prove nothing.
// The blocks escape through a volatile pointer: the compiler may not drop the pairs.
TEST(AllocationCounter, SeesAllocationsReleasesAndLocks) {
    static void* volatile sink = nullptr;
    const ResourceCounts before = resourceCounts();
    sink = new int[64];
    const ResourceCounts allocated = resourceCounts();
    delete[] static_cast<int*>(sink);
    const ResourceCounts released = resourceCounts();
    EXPECT_EQ(allocated.news - before.news, 1u);
    EXPECT_EQ(released.deletes - allocated.deletes, 1u);
    if (observesMalloc()) {
        sink = std::malloc(16);
        const ResourceCounts afterMalloc = resourceCounts();
        std::free(sink);
        EXPECT_EQ(afterMalloc.mallocs - released.mallocs, 1u);
        EXPECT_EQ(resourceCounts().frees - afterMalloc.frees, 1u);
    }
    if (observesLocks()) {
        std::mutex mutex;
        const ResourceCounts beforeLock = resourceCounts();
        { const std::lock_guard<std::mutex> guard(mutex); }
        EXPECT_EQ(resourceCounts().locks - beforeLock.locks, 1u);
    }
}

}  // namespace
}  // namespace zandrel::test
