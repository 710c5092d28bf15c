// Text from outside the game (a code typed, a file's name, a link) made fit
// to show in a message box, the status line or a terminal.
#pragma once
#include <cstddef>

// Copies text into out: whole UTF-8 characters stay as they are; a byte that
// is not part of one becomes an escape such as \xC3, and a control character
// one such as \n or \x1B (a line break stays one when lines are kept). The
// copy is cut to size - 1 bytes, only ever between characters and escapes.
void PrintableText(const char* text, char* out, size_t size, bool keepLines = false);
// The length of the whole UTF-8 character at text, 0 when none starts there
// (a stray byte, a cut or overlong sequence, the text's end).
size_t Utf8CharLength(const char* text);
