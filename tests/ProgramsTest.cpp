// Factory programs, program numbers and names, and what each program sounds
// like through the built library against a one-sample-at-a-time model.
#include "EffectProbe.h"
#include "GuardedBuffer.h"
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace zandrel::test {
namespace {

// A readable page followed by one that faults on any access, so that text
// ending at the boundary shows a read past its last byte as a crash.
class PageEdge {
public:
    PageEdge() {
#ifdef _WIN32
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        base_ = static_cast<char*>(VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD previous = 0;
        ok_ = base_ != nullptr && VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &previous);
#else
        page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        void* mapped = mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base_ = mapped == MAP_FAILED ? nullptr : static_cast<char*>(mapped);
        ok_ = base_ != nullptr && mprotect(base_ + page_, page_, PROT_NONE) == 0;
#endif
    }
    ~PageEdge() {
#ifdef _WIN32
        if (base_) VirtualFree(base_, 0, MEM_RELEASE);
#else
        if (base_) munmap(base_, 2 * page_);
#endif
    }
    PageEdge(const PageEdge&) = delete;
    PageEdge& operator=(const PageEdge&) = delete;

    bool ok() const { return ok_; }
    // Copies bytes so that the last one is the last readable byte.
    char* placeAtEnd(const char* bytes, std::size_t count) {
        char* start = base_ + page_ - count;
        std::memcpy(start, bytes, count);
        return start;
    }

private:
    std::size_t page_ = 0;
    char* base_ = nullptr;
    bool ok_ = false;
};

const std::string kThirtyOne = "abcdefghijklmnopqrstuvwxyz01234";
static_assert(kVstMaxProgNameLen == 32);

// Fields a factory program leaves as they were.
enum Kept : unsigned { kKeepsMask = 1, kKeepsBitCount = 2, kKeepsStream = 4, kKeepsGate = 8 };

struct ProgramRow {
    const char* name;
    std::int32_t operation;
    std::uint16_t mask;
    std::int8_t bitCount;
    std::int32_t streamMode;
    std::uint8_t zeroCorrect;
    float wet, dry, master;
    unsigned kept;
};

const ProgramRow kPrograms[] = {
    {"Zandrel", 0, 0x0000, 0, 0, 1, 0.0f, 1.0f, 1.0f, kKeepsBitCount},
    {"Inverter", 0, 0xFFFF, 0, 0, 1, 1.0f, 0.0f, 1.0f, kKeepsBitCount},
    {"+ve Rectifier", 1, 0x7FFF, 0, 0, 0, 1.0f, 0.0f, 1.0f, kKeepsBitCount | kKeepsStream | kKeepsGate},
    {"-ve Rectifier", 2, 0x8000, 0, 0, 0, 1.0f, 0.0f, 1.0f, kKeepsBitCount | kKeepsGate},
    {"-6 dB", 4, 0x0000, 1, 0, 0, 1.0f, 0.0f, 1.0f, kKeepsMask | kKeepsStream | kKeepsGate},
};

EffectState expectedAfter(const EffectState& before, std::int32_t program) {
    const ProgramRow& row = kPrograms[program];
    EffectState s = before;
    s.programName = row.name;
    s.curProgram = program;
    s.operation = row.operation;
    s.wet = row.wet;
    s.dry = row.dry;
    s.master = row.master;
    if (!(row.kept & kKeepsMask)) s.mask = static_cast<std::int16_t>(row.mask);
    if (!(row.kept & kKeepsBitCount)) s.bitCount = row.bitCount;
    if (!(row.kept & kKeepsStream)) s.streamMode = row.streamMode;
    if (!(row.kept & kKeepsGate)) s.zeroCorrect = row.zeroCorrect;
    return s;
}

// Earlier settings, each field away from what any program writes where it can be.
struct Before {
    const char* name;
    void (*apply)(EffectProbe&);
};

const Before kBefores[] = {
    {"constructed", [](EffectProbe&) {}},
    {"stream from left, OR, 12 bits, gate off, renamed",
     [](EffectProbe& e) {
         e.setParameter(kParamStream, 0.5f);
         e.setParameter(kParamOperator, 0.4f);
         e.setParameter(kParamBits, 0.75f);
         e.setParameter(kParamZeroCorrect, 0.0f);
         e.setParameter(kParamWet, 0.25f);
         e.setParameter(kParamDry, 0.5f);
         e.setParameter(kParamMaster, 0.75f);
         char name[] = "Before";
         e.setProgramName(name);
     }},
    {"stream from right, rotation, 16 bits, program 3 before",
     [](EffectProbe& e) {
         e.setProgram(3);
         e.setParameter(kParamStream, 1.0f);
         e.setParameter(kParamOperator, 1.0f);
         e.setParameter(kParamBits, 1.0f);
         e.setParameter(kParamWet, 0.125f);
         e.setParameter(kParamMaster, 0.0f);
     }},
};

TEST(FactoryPrograms, WriteTheirRowAndKeepWhatTheRowLeavesOut) {
    for (const Before& before : kBefores) {
        for (std::int32_t program = 0; program < 5; ++program) {
            SCOPED_TRACE(std::string(before.name) + ", program " + std::to_string(program));
            EffectProbe effect;
            before.apply(effect);
            const EffectState prior = effect.state();
            effect.setProgram(program);
            EXPECT_EQ(effect.state(), expectedAfter(prior, program));
            EXPECT_EQ(effect.getProgram(), program);
            EXPECT_EQ(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0.0f), program);
        }
    }
}

TEST(FactoryPrograms, ProgramZeroIsTheConstructedState) {
    EffectProbe constructed;
    EffectProbe selected;
    selected.setProgram(0);
    EXPECT_EQ(selected.state(), constructed.state());
}

TEST(FactoryPrograms, ReadingsFollowTheFieldsTheProgramKept) {
    EffectProbe effect;
    effect.setProgram(4);
    EXPECT_EQ(bitsOf(effect.getParameter(kParamBits)), 0x3D80D1B7u) << "one bit, read as 1 x 0.0629";
    EXPECT_EQ(bitsOf(effect.getParameter(kParamOperator)), bitsOf(0.8f));

    // Program 2 leaves the stream mode: AND with 0x7FFF, yet parameter 0 reads a count.
    effect.setProgram(0);
    effect.setParameter(kParamStream, 0.5f);
    effect.setParameter(kParamBits, 0.25f);
    effect.setProgram(2);
    EXPECT_EQ(effect.operationValue(), kOpAnd);
    EXPECT_EQ(effect.maskPattern(), 0x7FFF);
    EXPECT_EQ(bitsOf(effect.getParameter(kParamBits)), 0x3E80D1B7u) << "four bits, read as 4 x 0.0629";
    effect.setProgram(3);
    EXPECT_EQ(bitsOf(effect.getParameter(kParamBits)), bitsOf(0.0f)) << "program 3 clears the stream mode: 0x8000";
}

TEST(ProgramNames, RenameStaysUntilAProgramIsSelected) {
    for (std::int32_t program = 0; program < 5; ++program) {
        SCOPED_TRACE("program " + std::to_string(program));
        EffectProbe effect;
        effect.setProgram(program);
        const EffectState selected = effect.state();
        char name[] = "Crunch";
        effect.setProgramName(name);
        EffectState renamed = selected;
        renamed.programName = "Crunch";
        EXPECT_EQ(effect.state(), renamed) << "renaming touches nothing else";

        char text[kVstMaxProgNameLen] = "";
        effect.getProgramName(text);
        EXPECT_STREQ(text, "Crunch");

        for (const std::int32_t other : {-1, 5, 1000}) {
            effect.setProgram(other);
            effect.getProgramName(text);
            EXPECT_STREQ(text, "Crunch") << "number " << other << " loads nothing";
        }
        for (const std::int32_t again : {program, (program + 1) % 5}) {
            effect.setProgramName(name);
            effect.setProgram(again);
            effect.getProgramName(text);
            EXPECT_STREQ(text, kPrograms[again].name) << "selecting " << again << " brings its factory name back";
        }
    }
}

TEST(ProgramNames, KeepTheFirstThirtyOneCharacters) {
    const struct {
        std::string name;
        std::string kept;
    } rows[] = {
        {"", ""},
        {"x", "x"},
        {kThirtyOne.substr(0, 30), kThirtyOne.substr(0, 30)},
        {kThirtyOne, kThirtyOne},
        {kThirtyOne + "5", kThirtyOne},
        {kThirtyOne + std::string(200, '#'), kThirtyOne},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("a name of " + std::to_string(row.name.size()) + " characters");
        EffectProbe effect;
        std::vector<char> source(row.name.begin(), row.name.end());
        source.push_back('\0');
        effect.setProgramName(source.data());
        EXPECT_EQ(effect.storedProgramName(), row.kept);

        GuardedBuffer<char> text(kVstMaxProgNameLen, '?', '!');
        effect.getProgramName(text.data());
        EXPECT_EQ(std::string(text.data()), row.kept);
        EXPECT_TRUE(text.guardsIntact()) << "the 32-byte buffer holds the name and its terminator";
    }
}

TEST(ProgramNames, ReadNoFurtherThanThirtyOneCharactersOfTheHostsText) {
    PageEdge edge;
    ASSERT_TRUE(edge.ok());
    // Thirty-one characters, then memory that faults: no terminator within reach.
    char* name = edge.placeAtEnd(kThirtyOne.data(), kThirtyOne.size());
    EffectProbe effect;
    effect.setProgramName(name);
    EXPECT_EQ(effect.storedProgramName(), kThirtyOne);
    EXPECT_EQ(effect.programNameBytes()[31], '\0');

    // The same through the shipped library's dispatcher.
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), host::CreateError::kNone);
    plugin->dispatch(effSetProgramName, 0, 0, name);
    GuardedBuffer<char> text(kVstMaxProgNameLen, '?', '!');
    plugin->dispatch(effGetProgramName, 0, 0, text.data());
    EXPECT_EQ(std::string(text.data()), kThirtyOne);
    EXPECT_TRUE(text.guardsIntact());

    // A short name ending at the boundary is read up to its terminator only.
    char* shortName = edge.placeAtEnd("Hi", 3);
    effect.setProgramName(shortName);
    EXPECT_EQ(effect.storedProgramName(), "Hi");
}

// effSetProgram passes values below the program count, negative ones included;
// setProgram records any number and loads only 0..4.
TEST(ProgramNumbers, OutsideTheTableAreRecordedOrDroppedButLoadNothing) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const struct {
        std::int32_t number;
        bool throughDispatcher;
        std::int32_t recorded;  // the program number afterwards, from 2
    } rows[] = {
        {-1, true, -1},  {-5, true, -5},  {kMin, true, kMin}, {5, true, 2},    {6, true, 2},
        {kMax, true, 2}, {-1, false, -1}, {5, false, 5},      {99, false, 99}, {kMax, false, kMax},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.number) + (row.throughDispatcher ? " through effSetProgram" : " directly"));
        EffectProbe effect;
        effect.setProgram(2);
        effect.setParameter(kParamWet, 0.6f);
        effect.setParameter(kParamBits, 0.6f);
        char name[] = "Mine";
        effect.setProgramName(name);
        EffectState expected = effect.state();
        expected.curProgram = row.recorded;
        if (row.throughDispatcher)
            EXPECT_EQ(effect.dispatcher(effSetProgram, 0, row.number, nullptr, 0.0f), 0);
        else
            effect.setProgram(row.number);
        EXPECT_EQ(effect.state(), expected);
        EXPECT_EQ(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0.0f), row.recorded);
    }
}

TEST(ProgramNumbers, MinusOneThroughTheLoadedLibraryChangesOnlyTheNumber) {
    auto plugin = newPluginInstance();
    ASSERT_EQ(plugin->error(), host::CreateError::kNone);
    plugin->dispatch(effSetProgram, 0, 1);
    std::vector<float> readings;
    for (std::int32_t i = 0; i < kNumParams; ++i) readings.push_back(plugin->getParameter(i));

    plugin->dispatch(effSetProgram, 0, -1);
    EXPECT_EQ(plugin->dispatch(effGetProgram), -1);
    EXPECT_EQ(plugin->programName(), "Inverter");
    for (std::int32_t i = 0; i < kNumParams; ++i) {
        SCOPED_TRACE("parameter " + std::to_string(i));
        EXPECT_EQ(bitsOf(plugin->getParameter(i)), bitsOf(readings[static_cast<std::size_t>(i)]));
    }
    plugin->dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(plugin->dispatch(effGetProgram), -1) << "5 is dropped before it reaches the effect";
}

// The sample path written out literally, in double: gate, 16-bit integer by
// residues, the operation bit by bit or by division, the mix rounded once.
struct Sound {
    std::int32_t operation;  // 0 XOR, 1 AND, 2 OR, 4 shift right
    std::int32_t mask;       // 16-bit pattern
    int bitCount;
    bool gate;
    double wet, dry, master;
};

int sampleInteger(float x) {
    const double product = static_cast<double>(x) * 32768.0;
    if (!std::isfinite(product)) return 0;
    double residue = std::fmod(std::trunc(product), 65536.0);
    if (residue < 0) residue += 65536.0;
    if (residue >= 32768.0) residue -= 65536.0;
    return static_cast<int>(residue);
}

int bitwise(int s, std::int32_t pattern, std::int32_t operation) {
    const int a = s < 0 ? s + 65536 : s;
    int result = 0;
    for (int bit = 15; bit >= 0; --bit) {
        const bool p = (a / (1 << bit)) % 2 == 1;
        const bool q = (pattern / (1 << bit)) % 2 == 1;
        const bool r = operation == 0 ? p != q : operation == 1 ? p && q : p || q;
        result = 2 * result + (r ? 1 : 0);
    }
    return result >= 32768 ? result - 65536 : result;
}

float expectedSample(float x, const Sound& sound) {
    if (sound.gate && (x == 0.0f || std::isnan(x))) return 0.0f;
    const int s = sampleInteger(x);
    const int v = sound.operation == 4 ? static_cast<int>(std::floor(s / std::ldexp(1.0, sound.bitCount)))
                                       : bitwise(s, sound.mask, sound.operation);
    const double y = ((v * 0.000030517578125) * sound.wet + sound.dry * static_cast<double>(x)) * sound.master;
    return static_cast<float>(y);
}

std::vector<float> testSignal(float scale) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> signal = {0.0f,     -0.0f,   nan,         1.0f,         -1.0f,  0.5f,     -0.5f, 0.25f,
                                 -0.25f,   1.5f,    2.0f,        -1e-5f,       1e-30f, 0x1p-15f, 0.3f,  -0.3f,
                                 65536.0f, 0x1p24f, 0.99999994f, -0.99999994f, inf,    -inf,     1e10f, -3.75f};
    for (int k = 0; k < 80; ++k) signal.push_back(scale * std::sin(0.37f * static_cast<float>(k)) * 1.2f);
    return signal;
}

void leaveAsConstructed(host::PluginInstance&) {}
void turnTheGateOff(host::PluginInstance& plugin) { plugin.setParameter(kParamZeroCorrect, 0.0f); }

TEST(FactoryPrograms, SoundThroughTheLoadedLibraryAsTheSampleModelGives) {
    const struct {
        const char* name;
        std::int32_t program;
        void (*before)(host::PluginInstance&);
        Sound sound;
    } rows[] = {
        {"constructed", 0, leaveAsConstructed, {0, 0x0000, 0, true, 0.0, 1.0, 1.0}},
        {"constructed", 1, leaveAsConstructed, {0, 0xFFFF, 0, true, 1.0, 0.0, 1.0}},
        {"constructed", 2, leaveAsConstructed, {1, 0x7FFF, 0, true, 1.0, 0.0, 1.0}},
        {"constructed", 3, leaveAsConstructed, {2, 0x8000, 0, true, 1.0, 0.0, 1.0}},
        {"constructed", 4, leaveAsConstructed, {4, 0x0000, 1, true, 1.0, 0.0, 1.0}},
        {"gate off", 1, turnTheGateOff, {0, 0xFFFF, 0, true, 1.0, 0.0, 1.0}},
        {"gate off", 2, turnTheGateOff, {1, 0x7FFF, 0, false, 1.0, 0.0, 1.0}},
        {"gate off", 3, turnTheGateOff, {2, 0x8000, 0, false, 1.0, 0.0, 1.0}},
        {"gate off, rotation by 16, half master",
         4,
         [](host::PluginInstance& p) {
             p.setParameter(kParamZeroCorrect, 0.0f);
             p.setParameter(kParamOperator, 1.0f);
             p.setParameter(kParamBits, 1.0f);
             p.setParameter(kParamMaster, 0.5f);
         },
         {4, 0x0000, 1, false, 1.0, 0.0, 1.0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + ", program " + std::to_string(row.program));
        auto plugin = newPluginInstance();
        ASSERT_EQ(plugin->error(), host::CreateError::kNone);
        row.before(*plugin);
        plugin->dispatch(effSetProgram, 0, row.program);

        const std::vector<float> left = testSignal(1.0f), right = testSignal(-0.7f);
        const std::size_t frames = left.size();
        GuardedBuffer<float> outLeft(frames, 99.0f, -7.0f), outRight(frames, 99.0f, -7.0f);
        float* inputs[] = {const_cast<float*>(left.data()), const_cast<float*>(right.data())};
        float* outputs[] = {outLeft.data(), outRight.data()};
        plugin->processReplacing(inputs, outputs, static_cast<std::int32_t>(frames));

        EXPECT_TRUE(outLeft.guardsIntact());
        EXPECT_TRUE(outRight.guardsIntact());
        for (std::size_t i = 0; i < frames; ++i) {
            for (const auto& [input, output] : {std::pair{left[i], outLeft[i]}, std::pair{right[i], outRight[i]}}) {
                const float expected = expectedSample(input, row.sound);
                if (std::isnan(expected) && std::isnan(output)) continue;
                EXPECT_EQ(bitsOf(output), bitsOf(expected))
                    << "sample " << i << ", input " << describe(input) << ": got " << describe(output) << ", expected "
                    << describe(expected);
            }
        }
    }
}

}  // namespace
}  // namespace zandrel::test
