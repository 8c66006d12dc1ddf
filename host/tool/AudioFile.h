// Sound files through libsndfile: a reader of interleaved frames, and a writer
// that quantises PCM itself and publishes the file only when it is complete.
#pragma once

#include "TempOutput.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sf_private_tag;

namespace zandrel::tool {

struct AudioFormat {
    int format = 0;  // libsndfile's container and encoding bits
    std::int32_t channels = 0;
    std::int32_t sampleRate = 0;
};

// "WAV float", "FLAC pcm16" and the like, for messages.
std::string describe(const AudioFormat& format);

// The input's format with the container and encoding the user named replaced;
// throws ToolError(kBadOption) for a combination libsndfile cannot write.
AudioFormat chooseOutputFormat(AudioFormat input, const std::optional<std::string>& type,
                               const std::optional<std::string>& encoding);

class AudioReader {
public:
    // Throws ToolError(kFileMissing) or, for a file that is not sound, ToolError(kAudioFile).
    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    const AudioFormat& format() const { return format_; }
    std::int64_t frames() const { return frames_; }
    // Up to `frames` interleaved frames, fewer only at the end; PCM arrives
    // scaled by 2^-(bits-1), exactly. Throws ToolError(kAudioFile) on damage.
    std::int64_t read(float* interleaved, std::int64_t frames);
    std::int64_t read(double* interleaved, std::int64_t frames);

private:
    std::int64_t checked(std::int64_t got, std::int64_t wanted);

    std::string path_;
    sf_private_tag* file_ = nullptr;
    AudioFormat format_;
    std::int64_t frames_ = 0;
};

class AudioWriter {
public:
    // Throws ToolError(kAudioFile) when the file cannot be started.
    AudioWriter(const std::string& path, const AudioFormat& format);
    // Without commit(), nothing appears at the path.
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    void write(const float* interleaved, std::int64_t frames);
    void commit();

private:
    void closeFile();

    std::string path_;
    TempOutput output_;
    sf_private_tag* file_ = nullptr;
    int pcmBits_ = 0;
    std::int32_t channels_ = 0;
    std::vector<std::int32_t> quantised_;
};

}  // namespace zandrel::tool
