// Any bytes as a level code: decoding must accept or refuse them without
// reading outside them, a refusal must say why, and an accepted code must
// encode back to itself, as it was typed without the spaces around it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/board.h"
#include "gen/levelcode.h"

namespace {

void Fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "level code: %s: '%s'\n", what, text.c_str());
    std::abort();
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A typed code ends at its first zero byte, as a C string does.
    const std::string text(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
    uint8_t bytes[LEVEL_FILE_SIZE];
    char error[gen::LEVEL_CODE_ERROR_SIZE] = "";
    if (!gen::DecodeLevel(text.c_str(), bytes, error, sizeof error)) {
        if (!error[0]) Fail("refused without a reason", text);
        return 0;
    }
    size_t first = 0, end = text.size();
    while (first < end && IsSpace(text[first])) ++first;
    while (end > first && IsSpace(text[end - 1])) --end;
    char code[gen::LEVEL_CODE_SIZE];
    if (!gen::EncodeLevel(bytes, code, error, sizeof error)) Fail("decoded but cannot be encoded", text);
    if (text.compare(first, end - first, code) != 0) Fail("encodes to another code", text);
    return 0;
}
