#include "gen/levelcode.h"

#include <vector>

#include "game/leveltext.h"
#include "game/leveltext_strings.h"

namespace gen {

namespace {

constexpr char VERSION = '1';
constexpr char ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int ValueOf(char c) {
    for (int v = 0; v < 64; ++v)
        if (ALPHABET[v] == c) return v;
    return -1;
}

char Check(const std::string& text) {
    // The length counts too, so that a dropped or doubled character is
    // caught more often than the weights alone would.
    int sum = static_cast<int>(text.size() * 17 % 64);
    for (size_t i = 0; i < text.size(); ++i) sum = (sum + ValueOf(text[i]) * static_cast<int>(2 * i + 1)) % 64;
    return ALPHABET[sum];
}

std::string Place(size_t i) { return std::to_string(i + 1); }

}  // namespace

bool EncodeLevel(const uint8_t bytes[LEVEL_FILE_SIZE], std::string* code, std::string* error) {
    std::vector<int> bits;
    auto push = [&](int value, int count) {
        for (int k = count - 1; k >= 0; --k) bits.push_back(value >> k & 1);
    };
    for (int cy = 1; cy <= leveltext::GRID; ++cy)
        for (int cx = 1; cx <= leveltext::GRID; ++cx) {
            const int c = bytes[leveltext::ByteIndex(cx, cy)];
            if (c == CELL_EMPTY) push(0, 1);
            else if (c == CELL_BLOCK) push(2, 2);
            else if (c == CELL_BALLOON) push(6, 3);
            else if (IsSingleDeflector(c)) push(28 + c - CELL_DEFLECTOR_0, 5);
            else {
                *error = "column " + std::to_string(cx) + ", row " + std::to_string(cy) + " holds code " +
                         std::to_string(c) + ", which a level cannot start with: the board has no level code";
                return false;
            }
        }
    if (!leveltext::CheckPieces(bytes, "the board", error)) return false;
    while (bits.size() % 6) bits.push_back(0);
    std::string out(1, VERSION);
    for (size_t i = 0; i < bits.size(); i += 6) {
        int v = 0;
        for (size_t k = 0; k < 6; ++k) v = v << 1 | bits[i + k];
        out += ALPHABET[v];
    }
    *code = out + Check(out);
    return true;
}

bool DecodeLevel(const std::string& raw, uint8_t bytes[LEVEL_FILE_SIZE], std::string* error) {
    size_t a = raw.find_first_not_of(" \t\r\n"), b = raw.find_last_not_of(" \t\r\n");
    const std::string code = a == std::string::npos ? "" : raw.substr(a, b - a + 1);
    if (code.empty()) {
        *error = "the level code is empty";
        return false;
    }
    for (size_t i = 0; i < code.size(); ++i)
        if (ValueOf(code[i]) < 0) {
            *error = "the level code has '" + std::string(1, code[i]) + "' at place " + Place(i) +
                     "; a level code holds only letters, digits, - and _";
            return false;
        }
    if (code[0] != VERSION) {
        *error = "the level code starts with '" + std::string(1, code[0]) +
                 "'; this game reads codes that start with '" + std::string(1, VERSION) + "'";
        return false;
    }
    if (code.size() < 3 || Check(code.substr(0, code.size() - 1)) != code.back()) {
        *error = "the level code does not check out: a character is mistyped, missing or extra";
        return false;
    }
    // The bits, then the cells read from them.
    std::vector<int> bits;
    for (size_t i = 1; i + 1 < code.size(); ++i)
        for (int k = 5; k >= 0; --k) bits.push_back(ValueOf(code[i]) >> k & 1);
    size_t at = 0;
    auto take = [&](int* bit) {
        if (at >= bits.size()) return false;
        *bit = bits[at++];
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
                *error = "the level code is too short: it stops at row " + std::to_string(cy) + " of 12";
                return false;
            }
            bytes[leveltext::ByteIndex(cx, cy)] = static_cast<uint8_t>(code2);
        }
    for (; at < bits.size(); ++at)
        if (bits[at] || bits.size() - at >= 6) {
            *error = "the level code is too long: it goes on past the board's last row";
            return false;
        }
    std::string why;
    if (!leveltext::CheckPieces(bytes, "the level code's board", &why)) {
        *error = why;
        return false;
    }
    return true;
}

}  // namespace gen
