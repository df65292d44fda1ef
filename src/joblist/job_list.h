#pragma once
// The job list: the ordered sources of a batch with their information and
// progress texts, and which rows are selected. It is at once the only store
// of the batch: the batch driver walks it by index and writes each entry's
// progress into it.

#include "extract/progress_target.h"
#include "extract/sound_track.h"
#include "joblist/entry_state.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillon {

struct JobEntry {
    std::string Source;      // exactly as it was handed to AddFileToList
    std::string Information; // "640X480 01:02:05"
    std::string Progress;    // "", "0%", "42.0%", "Done", "Error", "Abort"
    std::string Reason;      // why the last batch could not extract it; "" otherwise
    EntryState State = EntryState::Waiting;
    bool Selected = false;
    int32_t Duration = 0; // the source's, in seconds; 0 while unknown
};

// Told of every change, before and after, so that a view can follow.
class JobListObserver {
public:
    virtual ~JobListObserver() = default;
    virtual void EntryAboutToBeAppended(int /*index*/) {}
    virtual void EntryAppended(int /*index*/) {}
    virtual void EntryChanged(int /*index*/) {}
    virtual void EntryAboutToBeRemoved(int /*index*/) {}
    virtual void EntryRemoved(int /*index*/) {}
    virtual void ListAboutToBeCleared() {}
    virtual void ListCleared() {}
};

class JobList : public ProgressTarget {
public:
    int Count() const override { return static_cast<int>(Entries.size()); }
    const JobEntry &Entry(int index) const { return Entries.at(static_cast<size_t>(index)); }
    const std::string &SourcePath(int index) const { return Entry(index).Source; }
    std::vector<std::string> SourcePaths() const;

    void Append(const std::string &source, const std::string &information, int32_t duration = 0);
    void SetProgressText(int index, const std::string &text) override;
    void SetReason(int index, const std::string &text);
    // What an extraction learnt of the source's duration; shown nowhere.
    void SetDuration(int index, int32_t seconds) { Entries.at(static_cast<size_t>(index)).Duration = seconds; }
    // The entry's state; a final state shows as its text, a running entry
    // starts at "0%".
    void SetState(int index, EntryState state);
    // Clears the progress texts and the reasons of every entry.
    void ClearProgressTexts();

    void SetSelected(int index, bool selected);
    // Removes the selected entries, from the last index down to the first.
    void DeleteSelected();
    void Clear();
    // The lowest selected index, or -1.
    int FirstSelected() const;

    void SetObserver(JobListObserver *observer) { Observer = observer; }

private:
    void SetText(int index, std::string JobEntry::*field, const std::string &text);

    std::vector<JobEntry> Entries;
    JobListObserver *Observer = nullptr;
};

// width, capital "X", height, blank, hh:mm:ss (hours not reduced modulo 24).
std::string InformationText(int width, int height, int durationSeconds);
// "AAC 44100 Hz stereo", the first sound track's description, with
// " (3 tracks)" when there are more; "" without any.
std::string SoundTracksText(const std::vector<SoundTrack> &tracks);

} // namespace quillon
