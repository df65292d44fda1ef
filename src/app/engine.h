#pragma once
// The engine's parts, made and wired once for a front end (the window or the
// command line): the shared converter, the probe, the job list, the way in
// and the batch driver. The front end supplies the view.

#include "batch/batch_driver.h"
#include "extract/converter_session.h"
#include "extract/media_probe.h"
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
    // For a program that must end now: the converter is stopped and waited
    // for, and what it and the probe were writing is removed (the reserved
    // output name, the temporary output, the wrapper scripts).
    void AbandonNow();

    ConverterSession Session;
    MediaProbe Probe{Session};
    JobList Jobs;
    SourceAdder Adder;
    BatchDriver Batch;
};

} // namespace quillon
