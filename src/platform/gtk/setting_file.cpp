#include "platform/gtk/setting_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/files/files.h"

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

}  // namespace

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
    char aside[PATH_MAX];
    int error = 0;
    if (std::snprintf(target, sizeof target, "%s/%s", dir, name) >= static_cast<int>(sizeof target))
        error = ENAMETOOLONG;
    else if (!bytes) {
        if (std::snprintf(aside, sizeof aside, "%s.bad", target) >= static_cast<int>(sizeof aside))
            error = ENAMETOOLONG;
        else error = std::rename(target, aside) == 0 || errno == ENOENT ? 0 : errno;
    } else if (!MakeFolders(dir)) error = errno ? errno : ENOTDIR;
    else error = ReplaceFileWhole(target, bytes, length > 0 ? static_cast<size_t>(length) : 0);
    if (error && why && whySize) std::snprintf(why, whySize, "%s: %s", target, std::strerror(error));
    return error ? 0 : 1;
}
