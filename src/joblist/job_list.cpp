#include "joblist/job_list.h"

#include "platform/translation.h"

#include <QtGlobal>

#include <cstdio>

namespace quillon {

std::vector<std::string> JobList::SourcePaths() const
{
    std::vector<std::string> paths;
    paths.reserve(Entries.size());
    for (const JobEntry &e : Entries)
        paths.push_back(e.Source);
    return paths;
}

void JobList::Append(const std::string &source, const std::string &information, int32_t duration)
{
    if (Observer)
        Observer->EntryAboutToBeAppended(Count());
    Entries.push_back(JobEntry{source, information, "", "", EntryState::Waiting, false, duration});
    if (Observer)
        Observer->EntryAppended(Count() - 1);
}

void JobList::SetText(int index, std::string JobEntry::*field, const std::string &text)
{
    if (index < 0 || index >= Count())
        return;
    Entries[static_cast<size_t>(index)].*field = text;
    if (Observer)
        Observer->EntryChanged(index);
}

void JobList::SetProgressText(int index, const std::string &text) { SetText(index, &JobEntry::Progress, text); }
void JobList::SetReason(int index, const std::string &text) { SetText(index, &JobEntry::Reason, text); }

const char *EntryStateText(EntryState state)
{
    switch (state) {
    // Marked for translation, shown translated only by the window: scripts
    // read these words from quillon-cli.
    case EntryState::Done: return QT_TRANSLATE_NOOP("JobList", "Done");
    case EntryState::Error: return QT_TRANSLATE_NOOP("JobList", "Error");
    case EntryState::Abort: return QT_TRANSLATE_NOOP("JobList", "Abort");
    default: return "";
    }
}

void JobList::SetState(int index, EntryState state)
{
    if (index < 0 || index >= Count())
        return;
    Entries[static_cast<size_t>(index)].State = state;
    SetProgressText(index, state == EntryState::Running ? "0%" : EntryStateText(state));
}

void JobList::ClearProgressTexts()
{
    for (int i = 0; i < Count(); ++i) {
        Entries[static_cast<size_t>(i)].Reason.clear();
        Entries[static_cast<size_t>(i)].State = EntryState::Waiting;
        SetProgressText(i, "");
    }
}

void JobList::SetSelected(int index, bool selected)
{
    if (index >= 0 && index < Count())
        Entries[static_cast<size_t>(index)].Selected = selected;
}

void JobList::DeleteSelected()
{
    for (int i = Count() - 1; i >= 0; --i) {
        if (!Entries[static_cast<size_t>(i)].Selected)
            continue;
        if (Observer)
            Observer->EntryAboutToBeRemoved(i);
        Entries.erase(Entries.begin() + i);
        if (Observer)
            Observer->EntryRemoved(i);
    }
}

void JobList::Clear()
{
    if (Entries.empty())
        return;
    if (Observer)
        Observer->ListAboutToBeCleared();
    Entries.clear();
    if (Observer)
        Observer->ListCleared();
}

int JobList::FirstSelected() const
{
    for (int i = 0; i < Count(); ++i)
        if (Entries[static_cast<size_t>(i)].Selected)
            return i;
    return -1;
}

std::string InformationText(int width, int height, int durationSeconds)
{
    const int d = durationSeconds < 0 ? 0 : durationSeconds;
    char text[96];
    std::snprintf(text, sizeof text, "%dX%d %.2d:%.2d:%.2d", width, height, d / 3600, (d % 3600) / 60, d % 60);
    return text;
}

std::string SoundTracksText(const std::vector<SoundTrack> &tracks)
{
    if (tracks.empty())
        return {};
    std::string text = tracks.front().Described;
    if (tracks.size() > 1)
        text += Arg(Tr("JobList", " (%1 tracks)"), {std::to_string(tracks.size())});
    return text;
}

} // namespace quillon
