#include "platform/files/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace {

constexpr int TEMP_SUFFIX = 6;  // mkstemp's XXXXXX
constexpr double STALE_SECONDS = 60;

int SyncFile(int fd) {
#ifdef _WIN32
    return _commit(fd);
#else
    return fsync(fd);
#endif
}

// rename() on Windows refuses to replace an existing file.
int RenameOver(const char* from, const char* to) {
#ifdef _WIN32
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    return GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
#else
    return std::rename(from, to) == 0 ? 0 : errno;
#endif
}

const char* LastSlash(const char* path) {
    const char* slash = std::strrchr(path, '/');
#ifdef _WIN32
    if (const char* back = std::strrchr(path, '\\'); back && (!slash || back > slash)) slash = back;
#endif
    return slash;
}

// The folder part of path, "." when it has none.
void FolderOf(const char* path, char* dir, size_t size) {
    const char* slash = LastSlash(path);
    if (!slash) {
        std::snprintf(dir, size, ".");
        return;
    }
    const size_t length = slash == path ? 1 : static_cast<size_t>(slash - path);
    std::snprintf(dir, size, "%.*s", static_cast<int>(length), path);
}

// mkstemp makes the file private; the replacement keeps the old file's
// permissions, and a new file gets the ones any other new file would.
void KeepMode(int fd, const char* path) {
#ifndef _WIN32
    struct stat info;
    mode_t mode;
    if (stat(path, &info) == 0) {
        mode = info.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        // The owner keeps read and write whatever the mask says: the game
        // loads what it saved (the browser's file system reports a mask of 777).
        mode = (0666 & ~mask) | 0600;
    }
    fchmod(fd, mode);
#else
    (void)fd;
    (void)path;
#endif
}

void SyncFolder(const char* path) {
#ifndef _WIN32
    char dir[PATH_MAX];
    FolderOf(path, dir, sizeof dir);
    const int fd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
#else
    (void)path;
#endif
}

#ifdef _WIN32
constexpr int READ_FLAGS = O_BINARY | O_NOINHERIT;
#else
// O_NONBLOCK: opening a FIFO for reading waits for a writer otherwise.
constexpr int READ_FLAGS = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
#endif

// Keeps the first bytes; false when memory runs out.
bool Resize(FileBytes* bytes, size_t size) {
    void* grown = std::realloc(bytes->data, size ? size : 1);
    if (!grown) return false;
    bytes->data = static_cast<uint8_t*>(grown);
    bytes->size = size;
    return true;
}

void Clear(FileBytes* bytes) {
    std::free(bytes->data);
    bytes->data = nullptr;
    bytes->size = 0;
}

FileRead Failed(int error, const char* reason) {
    return FileRead{error, reason ? reason : std::strerror(error), false};
}

}  // namespace

FileRead ReadFileByName(const char* path, size_t limit, FileBytes* bytes, FileReadMode mode) {
    Clear(bytes);
    if (!path || !*path) return Failed(ENOENT, nullptr);
    const int fd = open(path, (mode == READ_WRITABLE ? O_RDWR : O_RDONLY) | READ_FLAGS);
    if (fd < 0) return Failed(errno, nullptr);
    struct stat info;
    if (fstat(fd, &info) != 0) {
        const int error = errno;
        close(fd);
        return Failed(error, nullptr);
    }
    if ((info.st_mode & S_IFMT) != S_IFREG) {
        close(fd);
        return Failed(EINVAL, "not a regular file");
    }
    // Room for what the file holds, and one byte past it that tells a file
    // longer than the limit, even one still growing.
    const size_t size = info.st_size > 0 ? static_cast<size_t>(info.st_size) : 0;
    size_t got = 0;
    int error = Resize(bytes, (size < limit ? size : limit) + 1) ? 0 : ENOMEM;
    while (!error) {
        if (got == bytes->size) {
            if (got > limit) break;
            if (!Resize(bytes, got * 2 < limit + 1 ? got * 2 : limit + 1)) {
                error = ENOMEM;
                break;
            }
        }
        const auto n = read(fd, bytes->data + got, static_cast<unsigned>(bytes->size - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    if (error) {
        Clear(bytes);
        return Failed(error, nullptr);
    }
    const bool longer = got > limit;
    bytes->size = longer ? limit : got;  // the room past it goes with the rest
    if (longer && mode != READ_START) {
        Clear(bytes);
        return FileRead{EFBIG, "too large", true};
    }
    return FileRead{0, nullptr, longer};
}

std::FILE* OpenStreamByName(const char* path, const char** reason) {
    const int fd = path ? open(path, O_RDONLY | READ_FLAGS) : -1;
    if (fd < 0) {
        *reason = std::strerror(path ? errno : ENOENT);
        return nullptr;
    }
    struct stat info;
    const bool stat = fstat(fd, &info) == 0;
    const int type = stat ? info.st_mode & S_IFMT : 0;
    if (!stat || (type != S_IFREG && type != S_IFIFO && !isatty(fd))) {
        *reason = stat ? "not a regular file, a pipe or a terminal" : std::strerror(errno);
        close(fd);
        return nullptr;
    }
#ifndef _WIN32
    // Opened; from here on a read waits for what a writer sends.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#endif
    std::FILE* stream = fdopen(fd, "rb");
    if (!stream) {
        *reason = std::strerror(errno);
        close(fd);
    }
    return stream;
}

int ReplaceFileWhole(const char* path, const void* bytes, size_t size) {
    char dir[PATH_MAX], temp[PATH_MAX];
    FolderOf(path, dir, sizeof dir);
    const char* slash = LastSlash(path);
    const char* base = slash ? slash + 1 : path;
    if (std::snprintf(temp, sizeof temp, "%s/.%s-XXXXXX", dir, base) >= static_cast<int>(sizeof temp))
        return ENAMETOOLONG;
    const int fd = mkstemp(temp);
    if (fd < 0) return errno;
    int error = 0;
    KeepMode(fd, path);
    const char* p = static_cast<const char*>(bytes);
    for (size_t left = size; left > 0 && !error;) {
        const ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) error = n < 0 ? errno : EIO;
        else p += n, left -= static_cast<size_t>(n);
    }
    // The bytes must be on disk before the name points at them, or a crash
    // could leave an empty file where the old one was.
    if (!error && SyncFile(fd) != 0) error = errno;
    if (close(fd) != 0 && !error) error = errno;
    if (!error) error = RenameOver(temp, path);
    if (error) {
        std::remove(temp);
        return error;
    }
    SyncFolder(path);
    return 0;
}

int RemoveStaleTemps(const char* dir, const char* const* names, int count) {
    DIR* folder = opendir(dir);
    if (!folder) return 0;
    int removed = 0;
    while (const dirent* entry = readdir(folder)) {
        const char* name = entry->d_name;
        if (name[0] != '.') continue;
        for (int i = 0; i < count; ++i) {
            const size_t length = std::strlen(names[i]);
            if (std::strncmp(name + 1, names[i], length) != 0 || name[1 + length] != '-' ||
                std::strlen(name + 2 + length) != TEMP_SUFFIX)
                continue;
            // A younger one may be another copy's write in flight: a write
            // takes well under a second, so only one older than a minute
            // was cut short.
            char path[PATH_MAX];
            struct stat info;
            if (std::snprintf(path, sizeof path, "%s/%s", dir, name) < static_cast<int>(sizeof path) &&
                stat(path, &info) == 0 && std::difftime(std::time(nullptr), info.st_mtime) > STALE_SECONDS &&
                std::remove(path) == 0)
                ++removed;
            break;
        }
    }
    closedir(folder);
    return removed;
}
