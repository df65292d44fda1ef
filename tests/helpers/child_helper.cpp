// A child for the runner's tests. Each argument is one command, run in order:
//   out:TEXT  err:TEXT   write TEXT ("\n", "\r" and "\0" escapes) to stdout / stderr
//   flood:N              write N bytes of a counting pattern to stdout
//   sleep:MS             sleep
//   exit:CODE            exit with CODE
//   args                 print every argument as "[arg]" on its own line
//   cwd  env:NAME        print the working directory / a variable ("<unset>")
//   fds                  print the open descriptors, e.g. "fds 0 1 2"
//   grandchild           fork a child that sleeps 30 s; print its pid
//   ppid-wait:MS         wait up to MS for the parent to change (used by grandchildren)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <unistd.h>

static std::string unescape(const char *s)
{
    std::string out;
    for (; *s; ++s) {
        if (*s == '\\' && s[1]) {
            ++s;
            out += *s == 'n' ? '\n' : *s == 'r' ? '\r' : *s == '0' ? '\0' : *s;
        } else {
            out += *s;
        }
    }
    return out;
}

static void writeAll(int fd, const std::string &s)
{
    size_t done = 0;
    while (done < s.size()) {
        ssize_t n = write(fd, s.data() + done, s.size() - done);
        if (n <= 0)
            _exit(99);
        done += static_cast<size_t>(n);
    }
}

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        if (!std::strncmp(a, "out:", 4)) {
            writeAll(1, unescape(a + 4));
        } else if (!std::strncmp(a, "err:", 4)) {
            writeAll(2, unescape(a + 4));
        } else if (!std::strncmp(a, "flood:", 6)) {
            long long left = std::atoll(a + 6);
            std::string block(1 << 16, '\0');
            for (size_t k = 0; k < block.size(); ++k)
                block[k] = static_cast<char>('a' + k % 26);
            while (left > 0) {
                const size_t n = left < static_cast<long long>(block.size()) ? static_cast<size_t>(left) : block.size();
                writeAll(1, block.substr(0, n));
                left -= static_cast<long long>(n);
            }
        } else if (!std::strncmp(a, "sleep:", 6)) {
            usleep(static_cast<useconds_t>(std::atoi(a + 6)) * 1000);
        } else if (!std::strncmp(a, "exit:", 5)) {
            return std::atoi(a + 5);
        } else if (!std::strcmp(a, "args")) {
            for (int k = 0; k < argc; ++k)
                writeAll(1, std::string("[") + argv[k] + "]\n");
        } else if (!std::strcmp(a, "cwd")) {
            char buf[4096];
            writeAll(1, std::string(getcwd(buf, sizeof buf) ? buf : "?") + "\n");
        } else if (!std::strncmp(a, "env:", 4)) {
            const char *v = std::getenv(a + 4);
            writeAll(1, std::string(v ? v : "<unset>") + "\n");
        } else if (!std::strcmp(a, "fds")) {
            std::string line = "fds";
            DIR *d = opendir("/proc/self/fd");
            const int own = dirfd(d);
            while (dirent *e = readdir(d)) {
                if (e->d_name[0] == '.' || std::atoi(e->d_name) == own)
                    continue;
                line += std::string(" ") + e->d_name;
            }
            closedir(d);
            writeAll(1, line + "\n");
        } else if (!std::strcmp(a, "grandchild")) {
            const pid_t pid = fork();
            if (pid == 0) {
                sleep(30);
                _exit(0);
            }
            writeAll(1, std::to_string(pid) + "\n");
        }
    }
    return 0;
}
