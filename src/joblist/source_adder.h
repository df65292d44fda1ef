#pragma once
// The one way into the job list. A dialog's selection, a drop, the command
// line and a list file each make one request; a request is handled at once
// when the converters are free, and otherwise waits in a first-in-first-out
// queue until they are (after the batch, after the add that is probing), so an
// add never disturbs a running extraction or another add's probe.
//
// A request probes up to Simultaneous sources at a time, each on a converter
// lane of its own; its rows are still appended, and its messages shown, in
// the order of its paths.
//
// Errors a caller can act on: the converter that cannot be started ("Error
// creating process : <errno>") ends the request at that path; the paths after
// it are not added. A missing file is skipped silently; a rejected one shows
// "Unsupported or bad video file: <path>!".

#include "extract/converter_pool.h"
#include "extract/output_options.h"
#include "joblist/job_list.h"
#include "platform/message_sink.h"

#include <QObject>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace quillon {

enum class AddKind {
    Source,      // a video file
    ListFile,    // a list file
    ByExtension, // ".LST" in any letter case is a list file, anything else a source
};

struct AddItem {
    std::string Path;
    AddKind Kind = AddKind::ByExtension;
};

// Why a path did not enter the job list.
enum class PassedOver {
    Missing, // no file there (a source, or a list file)
    Refused, // the probe found no sound to extract ("Unsupported or bad video file")
};

class SourceAdder {
public:
    SourceAdder(JobList &jobs, ConverterPool &converters, MessageSink &messages);

    // Tells whether a batch runs; while it does, requests wait.
    std::function<bool()> BatchRunning;
    // Told of every path that did not enter the list, and why.
    std::function<void(const std::string &path, PassedOver why)> OnPassedOver;
    // false: sources enter the list unprobed, for a batch that judges them
    // by their extraction; missing files are still passed over.
    bool ProbeOnAdmission = true;
    // How many sources are probed at once; one when unset.
    std::function<int()> Simultaneous;
    // Whether a row's information names its sound track's codec (while the
    // track is copied as it is, the codec decides the output's type).
    std::function<bool()> ShowSoundTracks;
    // Called whenever a request has been handled (or has failed), from the
    // window's add or from the queue: a close that waited for it can go on.
    std::function<void()> OnRequestDone;

    // Handles the request now, or queues it when the converter is busy.
    // Returns true when it was handled now; errors of a request handled now
    // go to the caller.
    bool Offer(std::vector<AddItem> items);
    // Handles waiting requests while the converter is free; errors go to the
    // application's error handler. Safe to call at any time.
    void DrainQueue();
    // Asks for DrainQueue from the event loop (after a batch has ended).
    void DrainQueueLater();

    bool Busy() const { return Adding; } // an add's probe is under way
    size_t QueuedRequests() const { return Queue.size(); }
    bool ConverterFree() const;

private:
    // One source of a request, in the request's order.
    struct Admission {
        explicit Admission(std::string path, bool missing = false) : Path(std::move(path)), Missing(missing) {}
        std::string Path;
        bool Missing = false;     // no file (or no list file) there
        bool Finished = false;    // its probe has ended
        bool Interrupted = false; // stopped from outside: its answer says nothing
        MediaProbe::Outcome Outcome;
        MediaFacts Facts;
    };
    void Process(const std::vector<AddItem> &items);
    // The sources of the request: the paths themselves and the lines of the
    // list files among them.
    std::vector<Admission> AdmissionsOf(const std::vector<AddItem> &items) const;
    // Starts the admission's probe on lane; it is Finished at once when its
    // file is missing, its answer known or its probe could not start.
    void StartProbe(Admission &admission, int lane);
    // Appends the admitted source, or tells why it was not.
    void Conclude(const Admission &admission);
    void PassOver(const std::string &path, PassedOver why);

    JobList &Jobs;
    ConverterPool &Converters;
    MessageSink &Messages;
    std::deque<std::vector<AddItem>> Queue;
    bool Adding = false;
    QObject Context; // queued calls die with the adder
};

} // namespace quillon
