#pragma once
// The engine's parts, made and wired once for a front end (the window or the
// command line): the converters, the job list, the way in and the batch
// driver. The front end supplies the view.

#include "batch/batch_driver.h"
#include "extract/converter_pool.h"
#include "joblist/job_list.h"
#include "joblist/source_adder.h"

#include <string>

namespace quillon {

class Engine {
public:
    Engine(std::string programDir, BatchView &view);

    // The Delete key of the job list: removes the selected entries, but never
    // while a batch runs. Returns whether anything could be done.
    bool DeleteSelectedEntries();
    // The Clear List button; it is disabled while a batch runs.
    void ClearEntries();
    // For a program that must end now: the converters are stopped and waited
    // for, and what they and the probes were writing is removed (the reserved
    // output names, the temporary outputs, the wrapper scripts).
    void AbandonNow();

    ConverterPool Converters;
    // The first converter lane: an add that probes one source at a time and
    // a batch that extracts one entry at a time use it alone.
    ConverterSession &Session;
    MediaProbe &Probe;
    JobList Jobs;
    SourceAdder Adder;
    BatchDriver Batch;
};

} // namespace quillon
