#pragma once
// Small file-system questions asked the way the rest of the program means them.

#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

bool FileExists(const std::string &path);                  // something that is not a directory
bool DirectoryExists(const std::string &path);             // "" is no directory
bool PathTaken(const std::string &path);                   // anything at all, a dangling link included
bool SameFile(const std::string &a, const std::string &b); // same device and inode
// The size in bytes, or -1 when the file cannot be opened.
int64_t FileSizeOf(const std::string &path);
// Removes a file (never a directory); true when nothing is left at path.
bool DeleteFileAt(const std::string &path);
// Makes a folder and the folders above it that are missing, each with mode.
bool MakeDirectories(const std::string &path, unsigned mode);
// Gives to the modification time of from; its access time stays. False,
// with errno, when either cannot be had.
bool CopyModificationTime(const std::string &from, const std::string &to);
// Creates a new file with bytes in it; never opens what is already at path
// (a link someone put there first is not followed). False with errno set
// when path was taken or the write failed (then nothing of ours is left).
bool CreateNewFile(const std::string &path, const std::string &bytes);
// The whole file, or nothing when it cannot be read. A file larger than
// limit bytes is refused before anything is read: "The file <path> is too
// large (<size> bytes; at most <limit>)".
std::optional<std::string> ReadWholeFile(const std::string &path, uint64_t limit);
// Writes bytes to a temporary file beside path and renames it into place, so
// that a failed write never destroys what was there.
bool WriteFileReplacing(const std::string &path, const std::string &bytes);

} // namespace quillon
