#include "platform/gtk/progress_file.h"

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

int ReadProgressFile(const char* path, uint8_t* level) {
    // One byte: a longer file is not ours to trust, and through the shared
    // door a FIFO or a device in its place cannot hang the start.
    FileBytes bytes;
    if (ReadFileByName(path, 1, &bytes).error || bytes.size != 1) return 0;
    *level = bytes.data[0];
    return 1;
}

int WriteProgressFile(const char* dir, uint8_t level, char* why, size_t whySize) {
    char target[PATH_MAX];
    int error = 0;
    if (std::snprintf(target, sizeof target, "%s/%s", dir, PROGRESS_FILE_NAME) >= static_cast<int>(sizeof target))
        error = ENAMETOOLONG;
    else if (!MakeFolders(dir)) error = errno ? errno : ENOTDIR;
    else error = ReplaceFileWhole(target, &level, 1);
    if (error && why && whySize) std::snprintf(why, whySize, "%s: %s", target, std::strerror(error));
    return error ? 0 : 1;
}

int ReadSettingFile(const char* path, char* buf, int32_t size) {
    if (!buf || size <= 0) return 0;
    FileBytes bytes;
    const FileRead read = ReadFileByName(path, static_cast<size_t>(size), &bytes);
    if (read.error == ENOENT) return 0;
    if (read.error || bytes.size >= static_cast<size_t>(size)) return -1;
    if (bytes.size && std::memchr(bytes.data, 0, bytes.size)) return -1;  // text holds no zero byte
    if (bytes.size) std::memcpy(buf, bytes.data, bytes.size);
    buf[bytes.size] = '\0';
    return 1;
}

int WriteSettingFile(const char* dir, const char* name, const char* text, char* why, size_t whySize) {
    char target[PATH_MAX];
    char aside[PATH_MAX];
    int error = 0;
    if (std::snprintf(target, sizeof target, "%s/%s", dir, name) >= static_cast<int>(sizeof target) ||
        std::snprintf(aside, sizeof aside, "%s.bad", target) >= static_cast<int>(sizeof aside))
        error = ENAMETOOLONG;
    else if (!text) error = std::rename(target, aside) == 0 || errno == ENOENT ? 0 : errno;
    else if (!MakeFolders(dir)) error = errno ? errno : ENOTDIR;
    else error = ReplaceFileWhole(target, text, std::strlen(text));
    if (error && why && whySize) std::snprintf(why, whySize, "%s: %s", target, std::strerror(error));
    return error ? 0 : 1;
}
