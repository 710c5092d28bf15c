#include "lib/text.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

size_t Utf8CharLength(const char* text) {
    const auto* s = reinterpret_cast<const uint8_t*>(text);
    if (s[0] == 0) return 0;
    if (s[0] < 0x80) return 1;
    size_t length = 0;
    uint8_t low = 0x80, high = 0xBF;  // the second byte's range, narrower for some leads
    if (s[0] >= 0xC2 && s[0] <= 0xDF) length = 2;
    else if (s[0] >= 0xE0 && s[0] <= 0xEF) {
        length = 3;
        if (s[0] == 0xE0) low = 0xA0;   // overlong
        if (s[0] == 0xED) high = 0x9F;  // surrogates
    } else if (s[0] >= 0xF0 && s[0] <= 0xF4) {
        length = 4;
        if (s[0] == 0xF0) low = 0x90;
        if (s[0] == 0xF4) high = 0x8F;  // past U+10FFFF
    } else return 0;
    if (s[1] < low || s[1] > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if ((s[i] & 0xC0) != 0x80) return 0;
    return length;
}

void PrintableText(const char* text, char* out, size_t size, bool keepLines) {
    if (!out || size == 0) return;
    size_t used = 0;
    for (const char* p = text ? text : ""; *p;) {
        const auto byte = static_cast<uint8_t>(*p);
        size_t take = Utf8CharLength(p);
        // C1 controls (U+0080 to U+009F) steer a terminal as C0 ones do.
        const bool control = byte < 0x20 || byte == 0x7F || (byte == 0xC2 && static_cast<uint8_t>(p[1]) < 0xA0);
        char piece[5];
        const char* from = p;
        size_t length = take;
        if (byte == '\n' && keepLines) {
            length = 1;
        } else if (!take || control) {
            take = 1;
            length = 2;
            if (byte == '\n') std::memcpy(piece, "\\n", 2);
            else if (byte == '\t') std::memcpy(piece, "\\t", 2);
            else if (byte == '\r') std::memcpy(piece, "\\r", 2);
            else length = static_cast<size_t>(std::snprintf(piece, sizeof piece, "\\x%02X", byte));
            from = piece;
        }
        if (used + length >= size) break;
        std::memcpy(out + used, from, length);
        used += length;
        p += take;
    }
    out[used] = '\0';
}
