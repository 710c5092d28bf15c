// Whole-file replacement and the clean-up of what it leaves when cut short,
// shared by every platform. A temporary file is named "." + the file's name
// + "-" + six characters, in the file's own folder.
#pragma once
#include <cstddef>

// 0, or the errno of the first failure; the old file is then untouched and
// the temporary file gone.
int ReplaceFileWhole(const char* path, const void* bytes, size_t size);
// Removes, from the folder, temporary files of the names given (".name-XXXXXX").
// Returns how many went.
int RemoveStaleTemps(const char* dir, const char* const* names, int count);
