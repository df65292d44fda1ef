#pragma once
// The bit rates that FFmpeg's encoders accept. The program offers the same
// list of bit rates for every format, and some encoders refuse some of them
// (WMA below 24 kbit/s, Vorbis outside a range that depends on the sample
// rate and the channel count); the launcher then takes the nearest bit rate
// the encoder accepts instead of failing. The format never changes.

#include <string>

namespace videoenc {

// The bit rate (bit/s) to hand to encoder for a request of bitRate at
// sampleRate Hz with channels channels (0: not given, the source's own). A
// request the encoder accepts comes back unchanged.
long AcceptedBitRate(const std::string &encoder, long sampleRate, int channels, long bitRate);

} // namespace videoenc
