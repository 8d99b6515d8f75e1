#include "sound_files.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace wavo::test {

std::string DataPath(const std::string& name) {
    return std::string(ZELK_TEST_DATA) + "/wavo/" + name;
}

std::vector<uint8_t> ReadBytes(const std::string& name) {
    std::ifstream file(DataPath(name), std::ios::binary);
    if (!file) throw std::runtime_error("missing test file " + name);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<int16_t> AsSamples(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

std::vector<int16_t> ReadSamples(const std::string& name) {
    return AsSamples(ReadBytes(name));
}

std::vector<int16_t> DecodeWithVorbisfile(const std::string& name) {
    OggVorbis_File file;
    if (ov_fopen(DataPath(name).c_str(), &file) != 0)
        throw std::runtime_error("vorbisfile cannot open " + name);
    std::vector<uint8_t> bytes;
    char buffer[4096];
    int section = 0;
    for (;;) {
        long got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
        if (got <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    ov_clear(&file);
    return AsSamples(bytes);
}

std::vector<float> AsFloat(const std::vector<int16_t>& samples) {
    std::vector<float> scaled(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        scaled[i] = samples[i] / 32768.0f;
    return scaled;
}

namespace {

size_t StretchEnd(const std::vector<float>& samples, const Stretch& stretch) {
    return std::min(stretch.first + stretch.count, samples.size() / stretch.channels);
}

}  // namespace

double Rms(const std::vector<float>& samples, const Stretch& stretch) {
    const size_t end = StretchEnd(samples, stretch);
    double sum = 0.0;
    for (size_t frame = stretch.first; frame < end; ++frame) {
        const double sample = samples[frame * stretch.channels + stretch.channel];
        sum += sample * sample;
    }
    return end > stretch.first ? std::sqrt(sum / double(end - stretch.first)) : 0.0;
}

int Crossings(const std::vector<float>& samples, const Stretch& stretch) {
    const size_t end = StretchEnd(samples, stretch);
    int crossings = 0;
    for (size_t frame = stretch.first + 1; frame < end; ++frame) {
        const float before = samples[(frame - 1) * stretch.channels + stretch.channel];
        const float now = samples[frame * stretch.channels + stretch.channel];
        crossings += (before < 0) != (now < 0);
    }
    return crossings;
}

double AlignedSnr(const std::vector<int16_t>& reference, const std::vector<int16_t>& actual,
                  int channels, int maxLag) {
    return AlignedSnr(AsFloat(reference), AsFloat(actual), channels, maxLag);
}

double AlignedSnr(const std::vector<float>& reference, const std::vector<float>& actual,
                  int channels, int maxLag) {
    double best = -1000;
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        double signal = 0, noise = 0;
        for (size_t i = 0; i < reference.size(); ++i) {
            int64_t j = static_cast<int64_t>(i) + int64_t{lag} * channels;
            double other = j >= 0 && j < std::ssize(actual) ? actual[static_cast<size_t>(j)] : 0;
            double difference = reference[i] - other;
            signal += double(reference[i]) * reference[i];
            noise += difference * difference;
        }
        double snr = noise == 0 ? 200 : 10 * std::log10(signal / noise);
        best = std::max(best, snr);
    }
    return best;
}

RiffBuilder& RiffBuilder::Chunk(const std::string& tag, const std::vector<uint8_t>& body) {
    mBody.insert(mBody.end(), tag.begin(), tag.end());
    Raw(Le32(static_cast<uint32_t>(body.size())));
    return Raw(body);
}

RiffBuilder& RiffBuilder::Raw(const std::vector<uint8_t>& bytes) {
    mBody.insert(mBody.end(), bytes.begin(), bytes.end());
    return *this;
}

std::vector<uint8_t> RiffBuilder::Build() const {
    std::vector<uint8_t> block{'R', 'I', 'F', 'F'};
    auto size = Le32(static_cast<uint32_t>(mBody.size() + 4));
    block.insert(block.end(), size.begin(), size.end());
    block.insert(block.end(), {'W', 'A', 'V', 'E'});
    block.insert(block.end(), mBody.begin(), mBody.end());
    return block;
}

std::vector<uint8_t> RiffBuilder::Format(uint16_t tag, uint16_t channels, uint32_t rate,
                                         uint16_t blockAlign, uint16_t bits) {
    std::vector<uint8_t> body;
    for (auto part : {Le16(tag), Le16(channels), Le32(rate), Le32(rate * blockAlign),
                      Le16(blockAlign), Le16(bits)})
        body.insert(body.end(), part.begin(), part.end());
    return body;
}

std::vector<uint8_t> RiffBuilder::Le16(int value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
}

std::vector<uint8_t> RiffBuilder::Le32(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

}  // namespace wavo::test
