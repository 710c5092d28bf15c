#include "platform/gtk/setting_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/files/files.h"
#include "platform/platform.h"

namespace {

// mkdir -p: every missing folder on the way, user-only like the rest of
// the user's configuration. errno tells why it failed.
bool MakeFolders(const char* dir) {
    char path[PATH_MAX];
    const size_t length = std::strlen(dir);
    errno = length == 0 ? ENOENT : ENAMETOOLONG;
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
    if (stat(dir, &info) != 0) return false;
    errno = ENOTDIR;
    return S_ISDIR(info.st_mode);
}

// Where the set-aside of the given age goes: target.bad, target.bad.1 ...
bool AsidePath(const char* target, int slot, char* path, size_t size) {
    const int n =
        slot ? std::snprintf(path, size, "%s.bad.%d", target, slot) : std::snprintf(path, size, "%s.bad", target);
    return n >= 0 && static_cast<size_t>(n) < size;
}

// The file goes to the first free set-aside name; when all are taken, the
// oldest goes and the others move down one. 0 or an errno.
int SetAside(const char* target) {
    char path[PATH_MAX], older[PATH_MAX];
    struct stat info;
    if (lstat(target, &info) != 0) return errno == ENOENT ? 0 : errno;
    int slot = 0;
    for (; slot < MAX_SET_ASIDES; ++slot) {
        if (!AsidePath(target, slot, path, sizeof path)) return ENAMETOOLONG;
        if (lstat(path, &info) != 0) {
            if (errno != ENOENT) return errno;
            break;
        }
    }
    if (slot == MAX_SET_ASIDES) {
        for (slot = 1; slot < MAX_SET_ASIDES; ++slot) {
            if (!AsidePath(target, slot - 1, older, sizeof older) || !AsidePath(target, slot, path, sizeof path))
                return ENAMETOOLONG;
            if (std::rename(path, older) != 0) return errno;
        }
        slot = MAX_SET_ASIDES - 1;
        AsidePath(target, slot, path, sizeof path);
    }
    // link, not rename: a set-aside that appeared since is never replaced.
    // A file system without links has the rename.
    if (link(target, path) == 0) return unlink(target) == 0 ? 0 : errno;
    if (errno == EEXIST) return EEXIST;
    return std::rename(target, path) == 0 ? 0 : errno;
}

}  // namespace

int LockSettingFolder(const char* dir) {
    if (!MakeFolders(dir)) return -1;
    const int fd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    while (flock(fd, LOCK_EX) != 0)
        if (errno != EINTR) break;
    return fd;
}

void UnlockSettingFolder(int fd) {
    if (fd >= 0) close(fd);
}

int ReadSettingFile(const char* path, void* buf, int32_t size, int32_t* length) {
    if (!buf || size < 0 || !length) return 0;
    // Through the shared door a FIFO or a device in the file's place cannot
    // hang the start, and a file longer than the value is not ours to trust.
    FileBytes bytes;
    const FileRead read = ReadFileByName(path, static_cast<size_t>(size), &bytes);
    if (read.error == ENOENT) return 0;
    if (read.error || bytes.size > static_cast<size_t>(size)) return -1;
    if (bytes.size) std::memcpy(buf, bytes.data, bytes.size);
    *length = static_cast<int32_t>(bytes.size);
    return 1;
}

int WriteSettingFile(const char* dir, const char* name, const void* bytes, int32_t length, char* why, size_t whySize) {
    char target[PATH_MAX];
    int error = 0;
    if (std::snprintf(target, sizeof target, "%s/%s", dir, name) >= static_cast<int>(sizeof target))
        error = ENAMETOOLONG;
    else if (!bytes) error = SetAside(target);
    else if (!MakeFolders(dir)) error = errno ? errno : ENOTDIR;
    else error = ReplaceFileWhole(target, bytes, length > 0 ? static_cast<size_t>(length) : 0);
    if (error && why && whySize) std::snprintf(why, whySize, "%s: %s", target, std::strerror(error));
    return error ? 0 : 1;
}
