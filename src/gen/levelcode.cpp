#include "gen/levelcode.h"

#include <cstdio>
#include <cstring>

#include "game/leveltext.h"
#include "lib/text.h"

namespace gen {

namespace {

constexpr char VERSION = '1';
constexpr char ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
// Five bits a cell at most.
constexpr int MAX_BITS = leveltext::GRID * leveltext::GRID * 5;

int ValueOf(char c) {
    for (int v = 0; v < 64; ++v)
        if (ALPHABET[v] == c) return v;
    return -1;
}

char Check(const char* text, size_t size) {
    // The length counts too, so that a dropped or doubled character is
    // caught more often than the weights alone would.
    int sum = static_cast<int>(size * 17 % 64);
    for (size_t i = 0; i < size; ++i) sum = (sum + ValueOf(text[i]) * static_cast<int>(2 * i + 1)) % 64;
    return ALPHABET[sum];
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool EncodeLevel(const uint8_t bytes[LEVEL_FILE_SIZE], char code[LEVEL_CODE_SIZE], char* error, size_t errorSize) {
    uint8_t bits[MAX_BITS + 6];
    int n = 0;
    auto push = [&](int value, int count) {
        for (int k = count - 1; k >= 0; --k) bits[n++] = static_cast<uint8_t>(value >> k & 1);
    };
    for (int cy = 1; cy <= leveltext::GRID; ++cy)
        for (int cx = 1; cx <= leveltext::GRID; ++cx) {
            const int c = bytes[leveltext::ByteIndex(cx, cy)];
            if (c == CELL_EMPTY) push(0, 1);
            else if (c == CELL_BLOCK) push(2, 2);
            else if (c == CELL_BALLOON) push(6, 3);
            else if (IsSingleDeflector(c)) push(28 + c - CELL_DEFLECTOR_0, 5);
            else {
                std::snprintf(error, errorSize,
                              "column %d, row %d holds code %d, which a level cannot start with: the board has no "
                              "level code",
                              cx, cy, c);
                return false;
            }
        }
    if (!leveltext::CheckPieces(bytes, "the board", error, errorSize)) return false;
    while (n % 6) bits[n++] = 0;
    // A board that play can hold fills at most 58 characters.
    if (static_cast<size_t>(n / 6 + 3) > LEVEL_CODE_SIZE) {
        std::snprintf(error, errorSize, "the board is too full for a level code");
        return false;
    }
    size_t out = 0;
    code[out++] = VERSION;
    for (int i = 0; i < n; i += 6) {
        int v = 0;
        for (int k = 0; k < 6; ++k) v = v << 1 | bits[i + k];
        code[out++] = ALPHABET[v];
    }
    code[out] = Check(code, out);
    code[out + 1] = '\0';
    return true;
}

bool DecodeLevel(const char* raw, uint8_t bytes[LEVEL_FILE_SIZE], char* error, size_t errorSize) {
    while (IsSpace(*raw)) ++raw;
    size_t size = std::strlen(raw);
    while (size > 0 && IsSpace(raw[size - 1])) --size;
    const char* code = raw;
    if (size == 0) {
        std::snprintf(error, errorSize, "the level code is empty");
        return false;
    }
    for (size_t i = 0; i < size; ++i)
        if (ValueOf(code[i]) < 0) {
            // The whole character, when it is one: never half of it.
            const size_t length = Utf8CharLength(code + i);
            std::snprintf(error, errorSize,
                          "the level code has '%.*s' at place %d; a level code holds only letters, digits, - and _",
                          static_cast<int>(length ? length : 1), code + i, static_cast<int>(i + 1));
            return false;
        }
    if (code[0] != VERSION) {
        std::snprintf(error, errorSize, "the level code starts with '%c'; this game reads codes that start with '%c'",
                      code[0], VERSION);
        return false;
    }
    if (size < 3 || Check(code, size - 1) != code[size - 1]) {
        std::snprintf(error, errorSize, "the level code does not check out: a character is mistyped, missing or extra");
        return false;
    }
    // The bits between the version and the check, read as the cells ask.
    const size_t bitCount = (size - 2) * 6;
    size_t at = 0;
    auto bitAt = [&](size_t i) { return ValueOf(code[1 + i / 6]) >> (5 - i % 6) & 1; };
    auto take = [&](int* bit) {
        if (at >= bitCount) return false;
        *bit = bitAt(at++);
        return true;
    };
    for (int i = 0; i < LEVEL_FILE_SIZE; ++i) bytes[i] = 0;
    for (int cy = 1; cy <= leveltext::GRID; ++cy)
        for (int cx = 1; cx <= leveltext::GRID; ++cx) {
            int bit = 0, code2 = CELL_EMPTY, o1 = 0, o2 = 0;
            bool ok = take(&bit);
            if (ok && bit) {
                ok = take(&bit);
                code2 = CELL_BLOCK;
                if (ok && bit) {
                    ok = take(&bit);
                    code2 = CELL_BALLOON;
                    if (ok && bit) {
                        ok = take(&o1) && take(&o2);
                        code2 = CELL_DEFLECTOR_0 + (o1 << 1 | o2);
                    }
                }
            }
            if (!ok) {
                std::snprintf(error, errorSize, "the level code is too short: it stops at row %d of 12", cy);
                return false;
            }
            bytes[leveltext::ByteIndex(cx, cy)] = static_cast<uint8_t>(code2);
        }
    for (; at < bitCount; ++at)
        if (bitAt(at) || bitCount - at >= 6) {
            std::snprintf(error, errorSize, "the level code is too long: it goes on past the board's last row");
            return false;
        }
    return leveltext::CheckPieces(bytes, "the level code's board", error, errorSize);
}

}  // namespace gen
