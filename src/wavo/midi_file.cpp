#include "midi_file.h"

#include <algorithm>
#include <cmath>

namespace wavo {
namespace {

constexpr int64_t kDefaultTempo = 500000;  // 120 beats a minute

uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// A variable-length number; false when it runs past the end or past the
// four bytes the format allows.
bool ReadNumber(std::span<const uint8_t> data, size_t& at, uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= data.size()) return false;
        const uint8_t byte = data[at++];
        value = value << 7 | (byte & 0x7F);
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

}  // namespace

bool MidiFile::Parse(std::span<const uint8_t> data) {
    mTempos.clear();
    mEndTick = 0;
    if (data.size() < 14 || !std::equal(data.begin(), data.begin() + 4, "MThd")) return false;
    const uint32_t headerSize = Be32(&data[4]);
    if (headerSize < 6 || headerSize > data.size() - 8) return false;
    const uint16_t tracks = uint16_t(data[10] << 8 | data[11]);
    mDivision = uint16_t(data[12] << 8 | data[13]);
    if (mDivision == 0 || ((mDivision & 0x8000) && (mDivision & 0xFF) == 0)) return false;
    size_t at = 8 + headerSize;
    int found = 0;
    while (found < tracks && at + 8 <= data.size()) {
        const uint32_t size = Be32(&data[at + 4]);
        if (size > data.size() - at - 8) return false;
        // Chunks of other kinds are skipped, as the format asks.
        if (std::equal(&data[at], &data[at] + 4, "MTrk")) {
            if (!ParseTrack(data.subspan(at + 8, size))) return false;
            ++found;
        }
        at += 8 + size;
    }
    if (found == 0) return false;
    std::stable_sort(mTempos.begin(), mTempos.end(),
                     [](const Tempo& a, const Tempo& b) { return a.tick < b.tick; });
    if (mTempos.empty() || mTempos.front().tick != 0)
        mTempos.insert(mTempos.begin(), {0, kDefaultTempo});
    return true;
}

bool MidiFile::ParseTrack(std::span<const uint8_t> track) {
    size_t at = 0;
    int64_t tick = 0;
    uint8_t status = 0;
    while (at < track.size()) {
        uint32_t delta = 0;
        if (!ReadNumber(track, at, delta)) return false;
        tick += delta;
        mEndTick = std::max(mEndTick, tick);
        if (at >= track.size()) return false;
        uint8_t byte = track[at];
        if (byte & 0x80) {
            status = byte;
            ++at;
        } else if (status == 0 || status >= 0xF0) {
            return false;  // data without a status to run on
        }
        if (status == 0xFF) {
            if (at >= track.size()) return false;
            const uint8_t type = track[at++];
            uint32_t length = 0;
            if (!ReadNumber(track, at, length) || length > track.size() - at) return false;
            if (type == 0x51 && length == 3) {
                const int64_t micros = track[at] << 16 | track[at + 1] << 8 | track[at + 2];
                if (micros > 0) mTempos.push_back({tick, micros});
            }
            at += length;
            status = 0;  // meta events cancel the running status
            if (type == 0x2F) break;
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t length = 0;
            if (!ReadNumber(track, at, length) || length > track.size() - at) return false;
            at += length;
            status = 0;
        } else {
            const int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            if (at + dataBytes > track.size()) return false;
            at += dataBytes;
        }
    }
    return true;
}

double MidiFile::MicrosPerTick(int64_t microsPerQuarter) const {
    if (mDivision & 0x8000) {
        const int framesPerSecond = -static_cast<int8_t>(mDivision >> 8);
        const int ticksPerFrame = mDivision & 0xFF;
        return 1e6 / (std::max(framesPerSecond, 1) * ticksPerFrame);
    }
    return double(microsPerQuarter) / mDivision;
}

int64_t MidiFile::MsAt(int64_t tick) const {
    double micros = 0.0;
    for (size_t i = 0; i < mTempos.size() && mTempos[i].tick < tick; ++i) {
        const int64_t end = i + 1 < mTempos.size() ? std::min(mTempos[i + 1].tick, tick) : tick;
        micros += double(end - mTempos[i].tick) * MicrosPerTick(mTempos[i].microsPerQuarter);
    }
    return static_cast<int64_t>(std::llround(micros / 1000.0));
}

int64_t MidiFile::TickAt(int64_t ms) const {
    double left = double(ms) * 1000.0;
    for (size_t i = 0; i < mTempos.size(); ++i) {
        const double perTick = MicrosPerTick(mTempos[i].microsPerQuarter);
        const bool last = i + 1 == mTempos.size();
        const double span = last ? 0.0 : double(mTempos[i + 1].tick - mTempos[i].tick) * perTick;
        if (last || left < span) {
            // A hair over, so that a time a whole tick stands for gives that tick.
            return std::min(mEndTick,
                            mTempos[i].tick + static_cast<int64_t>(left / perTick + 1e-6));
        }
        left -= span;
    }
    return 0;
}

}  // namespace wavo
