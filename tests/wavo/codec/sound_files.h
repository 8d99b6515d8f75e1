#pragma once
// Test sound files, reference decodes and the comparison of decoded sound.

#include <cstdint>
#include <string>
#include <vector>

namespace wavo::test {

std::string DataPath(const std::string& name);
std::vector<uint8_t> ReadBytes(const std::string& name);
// 16-bit little-endian samples of a .raw file, as sox wrote them.
std::vector<int16_t> ReadSamples(const std::string& name);
// The PCM that libvorbisfile's ov_read gives for a file: 16-bit, signed, interleaved.
std::vector<int16_t> DecodeWithVorbisfile(const std::string& name);
std::vector<int16_t> AsSamples(const std::vector<uint8_t>& bytes);

// Signal-to-noise ratio in dB of actual against reference, after shifting
// actual by the lag (in frames, up to maxLag) that matches best.
double AlignedSnr(const std::vector<float>& reference, const std::vector<float>& actual,
                  int channels, int maxLag);
double AlignedSnr(const std::vector<int16_t>& reference, const std::vector<int16_t>& actual,
                  int channels, int maxLag);
// Samples scaled to full scale 1.0.
std::vector<float> AsFloat(const std::vector<int16_t>& samples);

// A stretch of one channel of interleaved sound: frames first to first +
// count, cut at the end of the sound.
struct Stretch {
    int channels = 2;
    int channel = 0;
    size_t first = 0;
    size_t count = 0;
};
// Its root mean square (full scale 1.0) and how often it changes sign.
double Rms(const std::vector<float>& samples, const Stretch& stretch);
int Crossings(const std::vector<float>& samples, const Stretch& stretch);

// A little-endian RIFF WAVE block written chunk by chunk.
class RiffBuilder {
public:
    RiffBuilder& Chunk(const std::string& tag, const std::vector<uint8_t>& body);
    RiffBuilder& Raw(const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> Build() const;

    static std::vector<uint8_t> Format(uint16_t tag, uint16_t channels, uint32_t rate,
                                       uint16_t blockAlign, uint16_t bits);
    static std::vector<uint8_t> Le16(int value);
    static std::vector<uint8_t> Le32(uint32_t value);

private:
    std::vector<uint8_t> mBody;
};

}  // namespace wavo::test
