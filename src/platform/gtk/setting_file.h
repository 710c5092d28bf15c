// The player's small named values ("level", "records", "sound") as a file
// each, holding the value's bytes. Written through a temporary file and a
// rename, so a failed or interrupted write leaves the old value. Plain POSIX
// calls and fixed buffers: it runs inside frames.
#pragma once
#include <cstddef>
#include <cstdint>

// 1 with the file's bytes and their count; 0 when absent; -1 when it is
// there but cannot be read here (longer than size, not a plain file).
int ReadSettingFile(const char* path, void* buf, int32_t size, int32_t* length);
// Writes the bytes whole into dir/name, making the folders (and their
// parents) when missing; null bytes set the file aside instead, under the
// first free of name.bad, name.bad.1 ... (platform.h says what happens when
// all are taken; nothing there is nothing to do). 1 on success; 0 with the file and the
// system's reason in why.
int WriteSettingFile(const char* dir, const char* name, const void* bytes, int32_t length, char* why = nullptr,
                     size_t whySize = 0);
// Holds other programs' locks on the folder off (made when missing) until
// unlocked: a descriptor, or -1 when no lock could be had.
int LockSettingFolder(const char* dir);
void UnlockSettingFolder(int fd);
