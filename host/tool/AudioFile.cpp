#include "AudioFile.h"

#include "SampleConversion.h"
#include "ToolError.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace zandrel::tool {
namespace {

constexpr std::pair<const char*, int> kTypes[] = {
    {"wav", SF_FORMAT_WAV}, {"aiff", SF_FORMAT_AIFF}, {"flac", SF_FORMAT_FLAC}};
constexpr std::pair<const char*, int> kEncodings[] = {{"pcm16", SF_FORMAT_PCM_16},
                                                      {"pcm24", SF_FORMAT_PCM_24},
                                                      {"pcm32", SF_FORMAT_PCM_32},
                                                      {"float", SF_FORMAT_FLOAT},
                                                      {"double", SF_FORMAT_DOUBLE}};

int lookup(const auto& table, const std::string& name) {
    for (const auto& [text, value] : table)
        if (name == text) return value;
    return 0;
}

SF_INFO toInfo(const AudioFormat& format) {
    SF_INFO info{};
    info.format = format.format;
    info.channels = format.channels;
    info.samplerate = format.sampleRate;
    return info;
}

}  // namespace

std::string describe(const AudioFormat& format) {
    SF_FORMAT_INFO major{format.format & SF_FORMAT_TYPEMASK, nullptr, nullptr};
    SF_FORMAT_INFO minor{format.format & SF_FORMAT_SUBMASK, nullptr, nullptr};
    std::string text = sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof major) == 0 && major.name
                           ? major.name
                           : "unknown container";
    for (const auto& [name, value] : kEncodings)
        if (value == minor.format) return text + " " + name;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &minor, sizeof minor) == 0 && minor.name)
        return text + " " + minor.name;
    return text;
}

AudioFormat chooseOutputFormat(AudioFormat input, const std::optional<std::string>& type,
                               const std::optional<std::string>& encoding) {
    AudioFormat output = input;
    if (type) output.format = lookup(kTypes, *type) | (output.format & SF_FORMAT_SUBMASK);
    if (encoding) output.format = (output.format & SF_FORMAT_TYPEMASK) | lookup(kEncodings, *encoding);
    // AIFF keeps its samples big-endian and WAV little-endian; a converted file takes the container's own.
    if (type) output.format &= ~SF_FORMAT_ENDMASK;
    SF_INFO info = toInfo(output);
    if (!sf_format_check(&info))
        throw ToolError(ExitCode::kBadOption, "cannot write " + describe(output) + " with " +
                                                  std::to_string(output.channels) + " channels; choose another " +
                                                  (type ? "--encoding" : "--type or --encoding"));
    return output;
}

AudioReader::AudioReader(const std::string& path) : path_(path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        throw ToolError(ExitCode::kFileMissing, "cannot read " + path + ": " + std::strerror(errno));
    if (S_ISDIR(status.st_mode)) throw ToolError(ExitCode::kFileMissing, "cannot read " + path + ": it is a folder");
    if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        throw ToolError(ExitCode::kFileMissing, "cannot read " + path + ": " + std::strerror(errno));
    }
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (!file_)
        throw ToolError(ExitCode::kAudioFile, path + " is not a sound file we can read: " + sf_strerror(nullptr));
    format_ = {info.format, info.channels, info.samplerate};
    frames_ = info.frames;
}

AudioReader::~AudioReader() {
    if (file_) sf_close(file_);
}

std::int64_t AudioReader::read(float* interleaved, std::int64_t frames) {
    return checked(sf_readf_float(file_, interleaved, frames), frames);
}

std::int64_t AudioReader::read(double* interleaved, std::int64_t frames) {
    return checked(sf_readf_double(file_, interleaved, frames), frames);
}

// A short read is the end of the file, unless libsndfile says it was damage:
// a render must not pass a truncated result off as complete.
std::int64_t AudioReader::checked(std::int64_t got, std::int64_t wanted) {
    if (got < wanted && sf_error(file_) != SF_ERR_NO_ERROR)
        throw ToolError(ExitCode::kAudioFile, "cannot read " + path_ + ": " + sf_strerror(file_));
    return got;
}

AudioWriter::AudioWriter(const std::string& path, const AudioFormat& format)
    : path_(path), output_(path), pcmBits_(pcmBits(format.format)), channels_(format.channels) {
    SF_INFO info = toInfo(format);
    file_ = sf_open_fd(output_.fd(), SFM_WRITE, &info, SF_FALSE);
    if (!file_) throw ToolError(ExitCode::kAudioFile, "cannot write " + path + ": " + sf_strerror(nullptr));
    // For the encodings left to libsndfile (float, double, codecs): clip rather than wrap.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioWriter::~AudioWriter() { closeFile(); }

void AudioWriter::closeFile() {
    if (file_) sf_close(file_);
    file_ = nullptr;
}

void AudioWriter::write(const float* interleaved, std::int64_t frames) {
    sf_count_t written = 0;
    if (pcmBits_ > 0) {
        const auto samples = static_cast<std::size_t>(frames) * static_cast<std::size_t>(channels_);
        quantised_.resize(samples);
        for (std::size_t i = 0; i < samples; ++i) quantised_[i] = toPcm(interleaved[i], pcmBits_);
        written = sf_writef_int(file_, quantised_.data(), frames);
    } else {
        written = sf_writef_float(file_, interleaved, frames);
    }
    if (written != frames) throw ToolError(ExitCode::kAudioFile, "cannot write " + path_ + ": " + sf_strerror(file_));
}

void AudioWriter::commit() {
    // libsndfile finishes the header on close; its errors show there.
    const int error = sf_close(file_);
    file_ = nullptr;
    if (error != 0) throw ToolError(ExitCode::kAudioFile, "cannot write " + path_ + ": " + sf_error_number(error));
    output_.commit();
}

}  // namespace zandrel::tool
