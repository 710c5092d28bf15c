#include "platform/gtk/progress_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// mkdir -p: every missing folder on the way, user-only like the rest of
// the user's configuration.
bool MakeFolders(const char* dir) {
    char path[PATH_MAX];
    const size_t length = std::strlen(dir);
    if (length == 0 || length >= sizeof path) return false;
    std::memcpy(path, dir, length + 1);
    for (size_t i = 1; i <= length; ++i) {
        if (path[i] != '/' && path[i] != '\0') continue;
        const char saved = path[i];
        path[i] = '\0';
        if (mkdir(path, 0700) != 0 && errno != EEXIST) return false;
        path[i] = saved;
    }
    struct stat info;
    return stat(dir, &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

int ReadProgressFile(const char* path, uint8_t* level) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    uint8_t bytes[2];
    ssize_t got = 0;
    // Read until two bytes or the end: a longer file is not ours to trust.
    while (got < 2) {
        const ssize_t n = read(fd, bytes + got, sizeof bytes - static_cast<size_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += n;
    }
    close(fd);
    if (got != 1) return 0;
    *level = bytes[0];
    return 1;
}

int WriteProgressFile(const char* dir, uint8_t level) {
    char target[PATH_MAX];
    char temp[PATH_MAX];
    if (std::snprintf(target, sizeof target, "%s/%s", dir, PROGRESS_FILE_NAME) >= static_cast<int>(sizeof target))
        return 0;
    if (std::snprintf(temp, sizeof temp, "%s/.%s-XXXXXX", dir, PROGRESS_FILE_NAME) >= static_cast<int>(sizeof temp))
        return 0;
    if (!MakeFolders(dir)) return 0;
    const int fd = mkstemp(temp);
    if (fd < 0) return 0;
    ssize_t n;
    do n = write(fd, &level, 1);
    while (n < 0 && errno == EINTR);
    // The byte must be on disk before the name points at it, or a crash
    // could leave an empty file where the old value was.
    const bool written = n == 1 && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temp, target) != 0) {
        unlink(temp);
        return 0;
    }
    // Make the rename itself durable; the new value is in place either way.
    const int dirFd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return 1;
}
