#pragma once
// Where an entry of the job list stands in a batch. The texts are what a
// row and a report show; nothing reads them back.

namespace quillon {

enum class EntryState { Waiting, Running, Done, Error, Abort };

// "Done", "Error" or "Abort" for the final states; "" for the others (a
// running entry shows its percentage instead).
const char *EntryStateText(EntryState state);
inline bool IsFinal(EntryState state)
{
    return state == EntryState::Done || state == EntryState::Error || state == EntryState::Abort;
}

} // namespace quillon
