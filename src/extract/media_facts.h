#pragma once
#include "extract/sound_track.h"

#include <cstdint>
#include <vector>

namespace quillon {

// What the converter's console output told about the source of the last run.
struct MediaFacts {
    int32_t Duration = 0;     // whole seconds; 0 while none was seen
    int32_t PictureWidth = 0; // pixels; 0 while none was seen
    int32_t PictureHeight = 0;
    bool HasAudio = false;   // only ever set by the parser
    bool UseWrapper = false; // set by the probe, not by the parser
    // The source's sound tracks in its order; only from the report of the
    // input, never from that of an output.
    std::vector<SoundTrack> SoundTracks;
};

} // namespace quillon
