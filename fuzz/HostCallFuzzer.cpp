// Turns a byte string into a session of host calls on one live instance, made
// through its record only, and checks after each call what a host may rely on.
// Every pointer stays within what the interface can carry: text requests get a
// buffer of the capacity the host contract names, effGetChunk a pointer slot.
#include "BitwiseEffect.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZANDREL_FUZZ_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZANDREL_FUZZ_ASAN 1
#endif
#if defined(ZANDREL_FUZZ_ASAN)
#include <sanitizer/asan_interface.h>
#endif

namespace {

// A finding: says what broke and stops, so that libFuzzer keeps the input.
void require(bool condition, const char* what, std::int32_t detail = 0) {
    if (condition) return;
    std::fprintf(stderr, "fuzz-host-calls: %s (%d)\n", what, static_cast<int>(detail));
    std::abort();
}

// The input as a stream of decisions; past its end every read gives zeros.
class Decisions {
public:
    Decisions(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool done() const { return position_ >= size_; }
    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
    std::uint32_t word() {
        std::uint32_t w = 0;
        for (int i = 0; i < 4; ++i) w = (w << 8) | byte();
        return w;
    }
    // Mostly a small number around the tables' ranges; now and then any 32 bits.
    std::int32_t smallOrAny(int low, int count) {
        const std::uint8_t b = byte();
        if (b < 0xF0) return low + b % count;
        return static_cast<std::int32_t>(word());
    }
    float anyFloat() {
        const std::uint32_t bits = word();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Bytes between two guard zones; under ASan the zones are poisoned as well, so
// that a stray access is reported where it happens.
class GuardedBytes {
public:
    static constexpr std::size_t kGuard = 32;
    static constexpr unsigned char kPattern = 0xA5;

    explicit GuardedBytes(std::size_t size) : size_(size), storage_(size + 2 * kGuard, kPattern) {
#if defined(ZANDREL_FUZZ_ASAN)
        ASAN_POISON_MEMORY_REGION(storage_.data(), kGuard);
        ASAN_POISON_MEMORY_REGION(storage_.data() + kGuard + size_, kGuard);
#endif
    }
    ~GuardedBytes() {
#if defined(ZANDREL_FUZZ_ASAN)
        ASAN_UNPOISON_MEMORY_REGION(storage_.data(), storage_.size());
#endif
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    unsigned char* data() { return storage_.data() + kGuard; }
    std::size_t size() const { return size_; }

    bool guardsIntact() {
#if defined(ZANDREL_FUZZ_ASAN)
        ASAN_UNPOISON_MEMORY_REGION(storage_.data(), storage_.size());
#endif
        bool intact = true;
        for (std::size_t i = 0; i < kGuard; ++i) {
            intact = intact && storage_[i] == kPattern && storage_[kGuard + size_ + i] == kPattern;
        }
#if defined(ZANDREL_FUZZ_ASAN)
        ASAN_POISON_MEMORY_REGION(storage_.data(), kGuard);
        ASAN_POISON_MEMORY_REGION(storage_.data() + kGuard + size_, kGuard);
#endif
        return intact;
    }

private:
    std::size_t size_;
    std::vector<unsigned char> storage_;
};

// Host calls after main returned; the finished effect sends none.
int hostCallsAfterCreation = 0;
bool creating = false;

VstIntPtr ZANDREL_VSTCALL hostCallback(AEffect* effect, std::int32_t opcode, std::int32_t index, VstIntPtr value,
                                       void* ptr, float opt) {
    (void)effect, (void)index, (void)value, (void)ptr, (void)opt;
    if (!creating) ++hostCallsAfterCreation;
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The capacity, terminator included, that the host contract gives each text
// answer; 0 for opcodes that write no text.
std::size_t textCapacity(std::int32_t opcode) {
    switch (opcode) {
        case effGetProgramName: return kVstMaxProgNameLen;
        case effGetParamLabel: return kVstMaxParamLabelLen;
        case effGetParamDisplay: return kVstMaxParamDisplayLen;
        case effGetParamName: return kVstMaxParamNameLen;
        case effGetProgramNameIndexed: return kVstMaxProgNameLen;
        case effGetEffectName: return 32;
        case effGetVendorString: return 64;
        case effGetProductString: return 64;
        case effGetErrorText: return 256;
        default: return 0;
    }
}

// A text answer is either no write at all or a text that ends within the
// buffer, with every byte after its terminator as it was.
void requireTextOnly(GuardedBytes& buffer, std::int32_t opcode) {
    require(buffer.guardsIntact(), "text request wrote outside its buffer", opcode);
    const unsigned char* p = buffer.data();
    std::size_t end = 0;
    while (end < buffer.size() && p[end] != 0) ++end;
    const bool untouched = [&] {
        for (std::size_t i = 0; i < buffer.size(); ++i)
            if (p[i] != GuardedBytes::kPattern) return false;
        return true;
    }();
    if (untouched) return;
    require(end < buffer.size(), "text answer has no terminator within the contract's capacity", opcode);
    for (std::size_t i = end + 1; i < buffer.size(); ++i)
        require(p[i] == GuardedBytes::kPattern, "text answer wrote beyond its terminator", opcode);
}

class Session {
public:
    explicit Session(Decisions& in) : in_(in) {
        creating = true;
        hostCallsAfterCreation = 0;
        // What main does once the host's version answer is non-zero.
        effect_ = (new zandrel::BitwiseEffect(hostCallback))->getDescriptor();
        creating = false;
    }

    void run() {
        for (int calls = 0; calls < kMaxCalls && !in_.done(); ++calls) {
            switch (in_.byte() % 5) {
                case 0:
                    if (!dispatch()) return;
                    break;
                case 1: effect_->setParameter(effect_, in_.smallOrAny(-2, 12), in_.anyFloat()); break;
                case 2: requireParameterInRange(); break;
                case 3: processBlock(false); break;
                default: processBlock(true); break;
            }
            require(hostCallsAfterCreation == 0, "the effect called its host");
        }
        close();
    }

private:
    static constexpr int kMaxCalls = 4096;
    // One byte gives every frame count from 0 up to the whole buffer.
    static constexpr std::size_t kMaxFrames = 255;
    static constexpr std::size_t kLiteralSamples = 16;

    // Normalised values stay within 0..1, apart from a bit count of 16 that
    // reads 16 x 0.0629; a clamped hostile value can do no more.
    void requireParameterInRange() {
        const std::int32_t index = in_.smallOrAny(-2, 12);
        const float value = effect_->getParameter(effect_, index);
        require(value >= 0.0f && value <= 1.01f, "getParameter left the normalised range", index);
    }

    // False once the session has ended with effClose.
    bool dispatch() {
        const std::int32_t opcode = in_.smallOrAny(-2, 64);
        if (opcode == effClose) {
            close();
            return false;
        }
        const std::int32_t index = in_.smallOrAny(-2, 12);
        VstIntPtr value = in_.smallOrAny(-2, 12);
        const float opt = (in_.byte() & 1) ? in_.anyFloat() : 44100.0f;
        const bool withPointer = in_.byte() % 4 != 0;

        if (opcode == effSetProgramName) {
            setProgramName(withPointer);
            return true;
        }
        if (const std::size_t capacity = textCapacity(opcode)) {
            GuardedBytes text(capacity);
            const VstIntPtr answer = call(opcode, index, value, withPointer ? text.data() : nullptr, opt);
            if (opcode >= effGetProgramName && opcode <= effGetParamName)
                require(answer == 0, "a text request answered non-zero", opcode);
            requireTextOnly(text, opcode);
            return true;
        }
        if (opcode == effGetChunk) {
            GuardedBytes slot(sizeof(void*));
            call(opcode, index, value, withPointer ? slot.data() : nullptr, opt);
            require(slot.guardsIntact(), "effGetChunk wrote beyond its pointer slot");
            return true;
        }
        // Any other pointer gets bytes of any length: the finished effect reads
        // and writes none of them.
        GuardedBytes data(in_.byte());
        for (std::size_t i = 0; i < data.size(); ++i) data.data()[i] = in_.byte();
        if (opcode == effSetChunk) value = static_cast<VstIntPtr>(data.size());
        if (opcode == effSetSpeakerArrangement) value = withPointer ? reinterpret_cast<VstIntPtr>(data.data()) : 0;
        call(opcode, index, value, withPointer ? data.data() : nullptr, opt);
        require(data.guardsIntact(), "a request wrote outside the buffer it was given", opcode);
        return true;
    }

    // A name of any length, terminated within its buffer; read back at once.
    void setProgramName(bool withPointer) {
        const std::size_t length = static_cast<std::size_t>(in_.byte()) * (in_.byte() % 4 + 1);
        GuardedBytes name(length + 1);
        for (std::size_t i = 0; i < length; ++i) name.data()[i] = static_cast<unsigned char>(in_.byte() | 1);
        name.data()[length] = 0;
        require(call(effSetProgramName, 0, 0, withPointer ? name.data() : nullptr, 0.0f) == 0,
                "effSetProgramName answered non-zero");
        require(name.guardsIntact(), "effSetProgramName wrote to the host's name");

        GuardedBytes stored(kVstMaxProgNameLen);
        call(effGetProgramName, 0, 0, stored.data(), 0.0f);
        requireTextOnly(stored, effGetProgramName);
        const auto* text = reinterpret_cast<const char*>(stored.data());
        const std::size_t storedLength = strnlen(text, kVstMaxProgNameLen);
        require(storedLength <= kVstMaxProgNameLen - 1, "program name longer than 31 characters");
        if (withPointer) {
            const std::size_t kept = length < storedLength ? length : storedLength;
            require(std::memcmp(text, name.data(), kept) == 0, "program name is not the start of the host's");
        }
    }

    // Random sample bits in two channels, in place or not, and a frame count
    // that the buffers hold (or one of 0 or less, which writes nothing).
    void processBlock(bool replacing) {
        const std::uint8_t mode = in_.byte();
        const bool inPlace = mode & 1;
        const std::int32_t frames =
            (mode & 0x80) ? -static_cast<std::int32_t>(in_.word() & 0x7FFFFFFF) : static_cast<std::int32_t>(in_.byte());
        const std::size_t bytes = kMaxFrames * sizeof(float);

        std::array<GuardedBytes*, 2> in{&in0_, &in1_};
        std::array<GuardedBytes*, 2> out{&out0_, &out1_};
        std::array<std::array<float, kMaxFrames>, 2> inBefore{}, outBefore{};
        for (std::size_t c = 0; c < 2; ++c) {
            fillSamples(channel(*in[c]), frames > 0 ? static_cast<std::size_t>(frames) : 0);
            if (!inPlace && (mode & 2)) std::memset(out[c]->data(), 0, bytes);
            std::memcpy(inBefore[c].data(), in[c]->data(), bytes);
            std::memcpy(outBefore[c].data(), out[c]->data(), bytes);
        }
        float* inputs[2] = {channel(*in[0]), channel(*in[1])};
        float* outputs[2] = {inPlace ? inputs[0] : channel(*out[0]), inPlace ? inputs[1] : channel(*out[1])};
        if (replacing)
            effect_->processReplacing(effect_, inputs, outputs, frames);
        else
            effect_->process(effect_, inputs, outputs, frames);

        const std::size_t written = frames > 0 ? static_cast<std::size_t>(frames) : 0;
        for (std::size_t c = 0; c < 2; ++c) {
            require(in[c]->guardsIntact() && out[c]->guardsIntact(), "processing wrote outside the channel buffers");
            const float* result = inPlace ? inputs[c] : outputs[c];
            const float* before = inPlace ? inBefore[c].data() : outBefore[c].data();
            require(std::memcmp(result + written, before + written, (kMaxFrames - written) * sizeof(float)) == 0,
                    "processing wrote past the frame count", frames);
            if (!inPlace) require(std::memcmp(inputs[c], inBefore[c].data(), bytes) == 0, "processing wrote its input");
            if (replacing) requireBoundedOutput(inBefore[c].data(), result, written);
        }
    }

    // The first samples come from the input as they are; the rest, so that long
    // blocks cost few input bytes, from a generator it seeds.
    void fillSamples(float* samples, std::size_t frames) {
        std::size_t i = 0;
        for (; i < frames && i < kLiteralSamples; ++i) samples[i] = in_.anyFloat();
        std::uint32_t state = in_.word() | 1u;
        for (; i < frames; ++i) {
            state ^= state << 13, state ^= state >> 17, state ^= state << 5;
            std::memcpy(&samples[i], &state, sizeof state);
        }
    }

    // Gains are clamped to 0..1 and the wet path is below 1 in magnitude, so a
    // finite input x gives an output no larger than 1 + |x|.
    static void requireBoundedOutput(const float* input, const float* output, std::size_t frames) {
        for (std::size_t i = 0; i < frames; ++i) {
            if (!std::isfinite(input[i])) continue;
            const float bound =
                std::nextafter(static_cast<float>(1.0 + std::fabs(static_cast<double>(input[i]))), INFINITY);
            require(std::fabs(output[i]) <= bound, "output exceeds what clamped gains allow",
                    static_cast<std::int32_t>(i));
        }
    }

    static float* channel(GuardedBytes& bytes) { return reinterpret_cast<float*>(bytes.data()); }

    VstIntPtr call(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }

    void close() {
        if (!effect_) return;
        require(call(effClose, 0, 0, nullptr, 0.0f) == 1, "effClose did not answer 1");
        effect_ = nullptr;
    }

    Decisions& in_;
    AEffect* effect_ = nullptr;
    GuardedBytes in0_{kMaxFrames * sizeof(float)}, in1_{kMaxFrames * sizeof(float)};
    GuardedBytes out0_{kMaxFrames * sizeof(float)}, out1_{kMaxFrames * sizeof(float)};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Decisions in(data, size);
    Session session(in);
    session.run();
    return 0;
}
