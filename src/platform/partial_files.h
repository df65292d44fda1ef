#pragma once
// Output files that only ever appear whole. The converter writes into a
// temporary file beside the final name, and the file is renamed into place
// when the run has succeeded, so a final name never holds a cut-off file,
// whatever happens to the programs or the machine meanwhile.
//
// A temporary name looks like ".talk.quillon-Ab3xYz.MP3": hidden, the final
// name's base, our mark with six random characters, and the final name's
// extension (the converter chooses the container by it). Its writer holds an
// exclusive lock on it for as long as it runs, so a file of that form that no
// one holds is what a run that died left behind, and may go.
//
// Plain POSIX: the converter launcher uses this too.

#include <string>
#include <sys/types.h>
#include <utility>

namespace quillon {

struct PartialFile {
    std::string Path;
    int Fd = -1; // open for writing, locked; -1 when it could not be made (errno set)
};

// Creates a new, locked temporary file beside finalPath.
PartialFile CreatePartialFile(const std::string &finalPath);

// Whether a file name (no directory) has the form of a temporary output.
bool IsPartialFileName(const std::string &name);

// Removes the temporary outputs in dir that no live writer holds. Returns how
// many went.
int SweepStalePartialFiles(const std::string &dir);

// Which file a name led to when we made it.
struct FileIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;
};

// The name of an output, held for one run: an empty file, made exclusively,
// with only its owner's write permission (a mark no output has), locked for
// as long as the run lives. One that a dead run left behind can be told from
// a live one and reclaimed.
class Reservation {
public:
    Reservation() = default;
    Reservation(Reservation &&other) noexcept { *this = std::move(other); }
    Reservation &operator=(Reservation &&other) noexcept;
    ~Reservation() { Close(); }

    // Creates path and locks it; false with errno set (EEXIST: taken).
    bool Make(const std::string &path);
    const std::string &Path() const { return Path_; }
    const FileIdentity &Identity() const { return Identity_; }
    // Removes the file if it is still the empty one made here: the name is free again.
    void Release();
    // Lets go of the lock; the file stays (it holds the finished output now).
    void Close();

private:
    std::string Path_;
    FileIdentity Identity_;
    int Fd = -1;
};

// Removes the reservation at path that a run which died left behind; true
// when it went. Anything else there (a live reservation, a user's file) stays.
bool ReclaimStaleReservation(const std::string &path);
// Removes the file at path if it is still the empty file that reserved it.
void ReleaseReservation(const std::string &path, const FileIdentity &identity);

// Puts a finished temporary file under its final name: over the empty file
// that reserved it (the one with identity reserved, when given), or where
// nothing is; never over a file with content. Returns 0 or an errno value
// (EEXIST for a file that is not the reservation).
int InstallPartialFile(const std::string &partialPath, const std::string &finalPath,
                       const FileIdentity *reserved = nullptr);

// text with every mention of a temporary file of finalPath ("file:" and all)
// replaced by finalPath itself: what the user knows the file by.
std::string NamePartialFilesAs(const std::string &text, const std::string &finalPath);

// The directory part of a path, "." when it has none.
std::string DirectoryOf(const std::string &path);

} // namespace quillon
