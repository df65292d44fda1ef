#include "platform/partial_files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {

namespace {

constexpr const char Mark[] = ".quillon-";
constexpr size_t MarkLength = sizeof Mark - 1;
constexpr size_t RandomLength = 6;
// A file with no permission bits is one whose writer has not locked it yet;
// it is left alone until it is clearly abandoned.
constexpr time_t CreationGraceSeconds = 60;

bool isAlphanumeric(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

std::string randomPart()
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[RandomLength];
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        // No entropy source: time and pid still make collisions unlikely, and
        // O_EXCL makes them harmless.
        unsigned long seed =
            static_cast<unsigned long>(::time(nullptr)) ^ (static_cast<unsigned long>(::getpid()) << 16);
        for (unsigned char &b : bytes)
            b = static_cast<unsigned char>(seed = seed * 6364136223846793005ul + 1442695040888963407ul);
    }
    std::string text;
    for (unsigned char b : bytes)
        text += alphabet[b % (sizeof alphabet - 1)];
    return text;
}

std::string baseNameOf(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes the file at name (in dirFd) when no live process holds its lock:
// unlocked means its owner is gone. The name must still lead to the file we
// locked, for a new owner may have taken the name meanwhile.
bool removeIfUnheld(int dirFd, const char *name, int openMode, bool mustBeEmpty)
{
    const int fd = ::openat(dirFd, name, openMode | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat held {};
    struct stat now {};
    const bool removed = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 &&
                         (!mustBeEmpty || held.st_size == 0) &&
                         ::fstatat(dirFd, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && held.st_dev == now.st_dev &&
                         held.st_ino == now.st_ino && ::unlinkat(dirFd, name, 0) == 0;
    ::close(fd);
    return removed;
}

} // namespace

std::string DirectoryOf(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsPartialFileName(const std::string &name)
{
    if (name.size() < 1 + MarkLength + RandomLength || name[0] != '.' || name.find('/') != std::string::npos)
        return false;
    const size_t mark = name.rfind(Mark);
    if (mark == std::string::npos || mark == 0 || name.size() - mark - MarkLength < RandomLength)
        return false;
    const size_t random = mark + MarkLength;
    for (size_t i = random; i < random + RandomLength; ++i)
        if (!isAlphanumeric(name[i]))
            return false;
    const size_t rest = random + RandomLength;
    return rest == name.size() || (name[rest] == '.' && name.find('.', rest + 1) == std::string::npos);
}

std::string NamePartialFilesAs(const std::string &text, const std::string &finalPath)
{
    const std::string head = DirectoryOf(finalPath) + "/.";
    std::string out;
    size_t from = 0;
    for (size_t at = text.find(head); at != std::string::npos; at = text.find(head, std::max(at + 1, from))) {
        // Names hold blanks and colons too: the name ends after the mark, its
        // random part and the extension.
        const size_t nameStart = at + head.size() - 1;
        const size_t mark = text.find(Mark, nameStart + 1);
        if (mark == std::string::npos || text.find('/', nameStart) < mark)
            continue;
        size_t nameEnd = std::min(mark + MarkLength + RandomLength, text.size());
        if (nameEnd < text.size() && text[nameEnd] == '.')
            while (++nameEnd < text.size() && isAlphanumeric(text[nameEnd])) {
            }
        if (!IsPartialFileName(text.substr(nameStart, nameEnd - nameStart)))
            continue;
        const size_t start = at >= from + 5 && text.compare(at - 5, 5, "file:") == 0 ? at - 5 : at;
        out += text.substr(from, start - from) + finalPath;
        from = nameEnd;
    }
    return out + text.substr(from);
}

PartialFile CreatePartialFile(const std::string &finalPath)
{
    const std::string dir = DirectoryOf(finalPath);
    const std::string name = baseNameOf(finalPath);
    const size_t dot = name.find_last_of('.');
    const std::string extension = dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
    std::string base = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    // Names are at most NAME_MAX bytes: a long base is cut, the rest must stay.
    const size_t fixed = 1 + MarkLength + RandomLength + extension.size();
    if (fixed > NAME_MAX) {
        errno = ENAMETOOLONG;
        return {};
    }
    if (base.size() > NAME_MAX - fixed)
        base.resize(NAME_MAX - fixed);

    for (int attempt = 0; attempt < 100; ++attempt) {
        PartialFile file;
        file.Path = dir + "/." + base + Mark + randomPart() + extension;
        file.Fd = ::open(file.Path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0);
        if (file.Fd < 0) {
            if (errno == EEXIST)
                continue;
            return {};
        }
        ::flock(file.Fd, LOCK_EX);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(file.Fd, 0666 & ~mask);
        return file;
    }
    errno = EEXIST;
    return {};
}

int SweepStalePartialFiles(const std::string &dir)
{
    DIR *listing = ::opendir(dir.c_str());
    if (!listing)
        return 0;
    const int dirFd = ::dirfd(listing);
    int removed = 0;
    while (const dirent *entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (!IsPartialFileName(name))
            continue;
        struct stat seen {};
        if (::fstatat(dirFd, name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(seen.st_mode))
            continue;
        if ((seen.st_mode & 07777) == 0) {
            if (::time(nullptr) - seen.st_ctime < CreationGraceSeconds)
                continue;
            if (seen.st_size == 0 && ::unlinkat(dirFd, name.c_str(), 0) == 0)
                ++removed;
            continue;
        }
        if (removeIfUnheld(dirFd, name.c_str(), O_RDONLY, false))
            ++removed;
    }
    ::closedir(listing);
    return removed;
}

namespace {
// Owner write only: no output is ever made with these permissions.
constexpr mode_t ReservationMode = 0200;
} // namespace

Reservation &Reservation::operator=(Reservation &&other) noexcept
{
    if (this != &other) {
        Close();
        Path_ = std::move(other.Path_);
        Identity_ = other.Identity_;
        Fd = std::exchange(other.Fd, -1);
    }
    return *this;
}

bool Reservation::Make(const std::string &path)
{
    Close();
    // No permissions until it is locked: a reclaimer leaves it alone till then.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0);
    if (fd < 0)
        return false;
    struct stat st {};
    ::flock(fd, LOCK_EX);
    ::fchmod(fd, ReservationMode);
    ::fstat(fd, &st);
    Path_ = path;
    Identity_ = {st.st_dev, st.st_ino};
    Fd = fd;
    return true;
}

void Reservation::Release()
{
    if (!Path_.empty())
        ReleaseReservation(Path_, Identity_);
    Close();
}

void Reservation::Close()
{
    if (Fd >= 0)
        ::close(Fd);
    Fd = -1;
    Identity_ = {};
}

bool ReclaimStaleReservation(const std::string &path)
{
    struct stat seen {};
    if (::lstat(path.c_str(), &seen) != 0 || !S_ISREG(seen.st_mode) || seen.st_size != 0 ||
        (seen.st_mode & 07777) != ReservationMode)
        return false;
    // Opened for writing: its owner may write it, but not read it.
    return removeIfUnheld(AT_FDCWD, path.c_str(), O_WRONLY, true);
}

void ReleaseReservation(const std::string &path, const FileIdentity &identity)
{
    struct stat st {};
    if (identity.Inode != 0 && ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0 &&
        st.st_dev == identity.Device && st.st_ino == identity.Inode)
        ::unlink(path.c_str());
}

int InstallPartialFile(const std::string &partialPath, const std::string &finalPath, const FileIdentity *reserved)
{
    struct stat there {};
    if (::lstat(finalPath.c_str(), &there) == 0) {
        // An empty regular file is a reservation: nothing is lost by replacing
        // it. But not another run's, put there after ours went.
        if (!S_ISREG(there.st_mode) || there.st_size != 0 ||
            (reserved && (there.st_dev != reserved->Device || there.st_ino != reserved->Inode)))
            return EEXIST;
        if (::rename(partialPath.c_str(), finalPath.c_str()) != 0)
            return errno;
    } else if (errno != ENOENT) {
        return errno;
    } else if (::renameat2(AT_FDCWD, partialPath.c_str(), AT_FDCWD, finalPath.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
        // A file system without the no-replace rename: a hard link never
        // replaces either.
        if (::link(partialPath.c_str(), finalPath.c_str()) != 0)
            return errno;
        ::unlink(partialPath.c_str());
    }
    // The new name survives a power cut only once the folder is on disk too.
    const int dirFd = ::open(DirectoryOf(finalPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return 0;
}

} // namespace quillon
