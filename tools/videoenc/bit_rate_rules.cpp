#include "bit_rate_rules.h"

#include <algorithm>

namespace videoenc {

namespace {

struct Range {
    long sampleRate;
    int channels;
    long lowest, highest; // bit/s, both accepted
};

// libvorbis's managed bit-rate mode refuses requests outside the range of its
// quality templates for the sample rate and channel count; measured on the
// three sample rates the program offers.
constexpr Range VorbisRanges[] = {
    {11025, 1, 12000, 50000},  {22050, 1, 16000, 90000},  {44100, 1, 32000, 240000},
    {11025, 2, 16000, 100000}, {22050, 2, 30000, 180000}, {44100, 2, 45000, 500000},
};

// The WMA encoder needs 24 kbit/s at every sample rate and channel count.
constexpr long WmaLowest = 24000;

} // namespace

long AcceptedBitRate(const std::string &encoder, long sampleRate, int channels, long bitRate)
{
    if (encoder == "wmav2" || encoder == "wmav1")
        return std::max(bitRate, WmaLowest);
    if (encoder == "libvorbis")
        for (const Range &r : VorbisRanges)
            if (r.sampleRate == sampleRate && r.channels == channels)
                return std::clamp(bitRate, r.lowest, r.highest);
    return bitRate;
}

} // namespace videoenc
