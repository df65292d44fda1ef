#include "platform/temp_files.h"

#include <cstdlib>
#include <unistd.h>

namespace quillon {

std::string TempPath()
{
    const char *dir = std::getenv("TMPDIR");
    std::string path = dir && *dir ? dir : "/tmp";
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string CreateTempFileName(const std::string &dir, const std::string &prefix)
{
    std::string path = dir + "/" + prefix + "XXXXXX.tmp";
    const int fd = ::mkstemps(path.data(), 4);
    if (fd < 0)
        return {};
    ::close(fd);
    return path;
}

} // namespace quillon
