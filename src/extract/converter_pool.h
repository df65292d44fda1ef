#pragma once
// The converters of one front end, as lanes: each lane is a session of its
// own (one runner, its parser and facts) with a probe. Lane 0 is made at
// once; the others when a batch or an add first runs that many converters at
// the same time. The probes of all lanes share their answers, so a file
// probed on one lane is known on every other.

#include "extract/converter_session.h"
#include "extract/media_probe.h"

#include <memory>
#include <string>
#include <vector>

namespace quillon {

class ConverterPool {
public:
    explicit ConverterPool(std::string programDir);

    ConverterSession &Session(int lane) { return Lane(lane).session; }
    MediaProbe &Probe(int lane) { return Lane(lane).probe; }
    int LaneCount() const { return static_cast<int>(Lanes.size()); }
    // Whether a converter of any lane is running.
    bool AnyActive() const;

private:
    struct ConverterLane {
        explicit ConverterLane(const std::string &programDir, const MediaProbe *answersOf)
            : session(programDir), probe(session, answersOf)
        {
        }
        ConverterSession session;
        MediaProbe probe;
    };
    ConverterLane &Lane(int lane);

    std::string ProgramDir;
    std::vector<std::unique_ptr<ConverterLane>> Lanes;
};

} // namespace quillon
