// The saved progress as a file holding one byte. Written through a temporary
// file and a rename, so a failed or interrupted write leaves the old value.
// Plain POSIX calls and fixed buffers: it runs inside frames.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr const char* PROGRESS_FILE_NAME = "level";

// 1 and the byte when the file holds exactly one byte; 0 otherwise.
int ReadProgressFile(const char* path, uint8_t* level);
// Creates the folder (and its parents) when missing. 1 on success; 0 with
// the file and the system's reason in why.
int WriteProgressFile(const char* dir, uint8_t level, char* why = nullptr, size_t whySize = 0);

// A small named value as a text file of its own ("records", "sound"), read
// and written as the seam's settings are: 1 and the text, 0 when absent, -1
// when it is there but cannot be read here (too long, not a plain file).
int ReadSettingFile(const char* path, char* buf, int32_t size);
// Writes the text whole into dir/name, making the folders; a null text
// renames the file to name.bad instead (nothing there is nothing to do).
// 1 on success; 0 with the file and the system's reason in why.
int WriteSettingFile(const char* dir, const char* name, const char* text, char* why, size_t whySize);
