// The one door through which the game and the tools read a file by name,
// whole-file replacement, and the clean-up of what a replacement leaves when
// cut short; shared by every platform. A temporary file is named "." + the
// file's name + "-" + six characters, in the file's own folder.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// How a file is read: READ_WHOLE refuses a file longer than the limit,
// READ_START takes its first bytes and says whether more follow;
// READ_WRITABLE also refuses a file the player may not write.
enum FileReadMode { READ_WHOLE, READ_START, READ_WRITABLE };

struct FileRead {
    int error;           // 0, or an errno (ENOENT: no such file; EINVAL: not a regular file; EFBIG: too large)
    const char* reason;  // null, or why in words: the system's, "not a regular file", "too large"
    bool longer;         // the file holds more than the limit
};

// The bytes of a read, malloc'd and freed with the record.
struct FileBytes {
    uint8_t* data = nullptr;
    size_t size = 0;
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes() { std::free(data); }
};

// Reads at most `limit` bytes of the file into bytes. It opens without
// blocking, so that a FIFO in a data file's place cannot hang the program,
// and takes regular files only: a device such as /dev/zero never ends, and
// a folder holds no bytes.
FileRead ReadFileByName(const char* path, size_t limit, FileBytes* bytes, FileReadMode mode = READ_WHOLE);

// Opens a file by name to be read as it comes: a regular file, a pipe
// another program writes into, or a terminal (a script played as it is
// typed). Opening never blocks, and a FIFO with no writer reads as empty.
// Null, with the reason, for anything else (a folder, a device).
std::FILE* OpenStreamByName(const char* path, const char** reason);

// 0, or the errno of the first failure; the old file is then untouched and
// the temporary file gone.
int ReplaceFileWhole(const char* path, const void* bytes, size_t size);
// Removes, from the folder, temporary files of the names given
// (".name-XXXXXX") last written over a minute ago: a younger one may be
// another copy of the program writing. Returns how many went.
int RemoveStaleTemps(const char* dir, const char* const* names, int count);
