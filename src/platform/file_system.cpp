#include "platform/file_system.h"

#include "platform/quillon_error.h"
#include "platform/translation.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {

bool FileExists(const std::string &path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string &path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathTaken(const std::string &path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool SameFile(const std::string &a, const std::string &b)
{
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

int64_t FileSizeOf(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    const int rc = ::fstat(fd, &st);
    ::close(fd);
    return rc == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

bool DeleteFileAt(const std::string &path)
{
    if (::unlink(path.c_str()) == 0)
        return true;
    return errno == ENOENT;
}

std::optional<std::string> ReadWholeFile(const std::string &path, uint64_t limit)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    if (uint64_t(st.st_size) > limit) {
        ::close(fd);
        RaiseError(Arg(Tr("Platform", "The file %1 is too large (%2 bytes; at most %3)"),
                       {path, std::to_string(st.st_size), std::to_string(limit)}));
    }
    std::string bytes(size_t(st.st_size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    ::close(fd);
    bytes.resize(done); // a file that shrank meanwhile gives what was there
    return bytes;
}

bool CreateNewFile(const std::string &path, const std::string &bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(path.c_str());
        errno = error ? error : EIO;
    }
    return written;
}

bool WriteFileReplacing(const std::string &path, const std::string &bytes)
{
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<size_t>(n);
    }
    // Keep the permissions of the file that is replaced; a new file gets the
    // usual ones.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool CopyModificationTime(const std::string &from, const std::string &to)
{
    struct stat st {};
    if (::stat(from.c_str(), &st) != 0)
        return false;
    const timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    return ::utimensat(AT_FDCWD, to.c_str(), times, 0) == 0;
}

bool MakeDirectories(const std::string &path, unsigned mode)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return DirectoryExists(path);
    }
}

} // namespace quillon
