#include "game/leveltext.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files/files.h"

namespace leveltext {

namespace {

constexpr char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

// Whether a line names the level: "name:" in any case.
bool IsNameLine(Span s) {
    if (s.size < 5) return false;
    for (size_t i = 0; i < 5; ++i)
        if ((s.at[i] | 0x20) != "name:"[i]) return false;
    return true;
}

// Before the name only comments and blank lines may come.
bool IsCommentOrBlank(Span s) {
    for (size_t i = 0; i < s.size; ++i)
        if (s.at[i] != ' ' && s.at[i] != '\t' && s.at[i] != '\r') return s.at[0] == '#';
    return true;
}

size_t TextStart(const char* text, size_t size) {
    return size >= 3 && std::memcmp(text, BYTE_ORDER_MARK, 3) == 0 ? 3 : 0;
}

// The line from pos, without its newline; pos moves past it.
Span NextLine(const char* text, size_t size, size_t* pos) {
    const char* start = text + *pos;
    const void* newline = std::memchr(start, '\n', size - *pos);
    const size_t length = newline ? static_cast<size_t>(static_cast<const char*>(newline) - start) : size - *pos;
    *pos += length + 1;
    return Span{start, length};
}

// The grid characters, spaced, for messages: ". # o 0 1 2 3".
void CellCharList(char* out, size_t size) {
    size_t at = 0;
    for (const PieceKind& p : PIECES)
        if (p.text && at + 3 < size) {
            if (at) out[at++] = ' ';
            out[at++] = p.text;
        }
    out[at] = '\0';
}

}  // namespace

void CountPieces(const uint8_t bytes[LEVEL_FILE_SIZE], int* balloons, int* deflectors) {
    *balloons = 0;
    *deflectors = 0;
    for (int cx = 1; cx <= GRID; ++cx)
        for (int cy = 1; cy <= GRID; ++cy) {
            const int code = bytes[ByteIndex(cx, cy)];
            if (code == CELL_BALLOON) ++*balloons;
            if (code >= CELL_DEFLECTOR_0 && code <= CELL_DEFLECTOR_3) ++*deflectors;
        }
}

bool CheckPieces(const uint8_t bytes[LEVEL_FILE_SIZE], const char* file, char* error, size_t errorSize) {
    int balloons = 0, deflectors = 0;
    CountPieces(bytes, &balloons, &deflectors);
    if (balloons == 0) {
        std::snprintf(error, errorSize, "%s: no balloon: the level could never be won", file);
        return false;
    }
    if (balloons > MAX_BALLOONS) {
        std::snprintf(error, errorSize, "%s: %d balloons, at most %d", file, balloons, MAX_BALLOONS);
        return false;
    }
    if (deflectors > MAX_DEFLECTORS) {
        std::snprintf(error, errorSize, "%s: %d deflectors, at most %d", file, deflectors, MAX_DEFLECTORS);
        return false;
    }
    return true;
}

bool ParseLevelText(const char* file, const char* text, size_t size, uint8_t bytes[LEVEL_FILE_SIZE], Span* name,
                    char* error, size_t errorSize) {
    for (int i = 0; i < LEVEL_FILE_SIZE; ++i) bytes[i] = 0;
    *name = Span{text, 0};
    int rows = 0, line = 0;
    bool named = false;
    for (size_t pos = TextStart(text, size); pos < size;) {
        Span s = NextLine(text, size, &pos);
        ++line;
        while (s.size > 0 && (s.at[s.size - 1] == '\r' || s.at[s.size - 1] == ' ' || s.at[s.size - 1] == '\t'))
            --s.size;
        if (!named) {
            if (IsCommentOrBlank(s)) continue;
            if (!IsNameLine(s)) {
                std::snprintf(error, errorSize, "%s:%d: the first line must be 'name: ...'", file, line);
                return false;
            }
            size_t start = 5;
            while (start < s.size && s.at[start] == ' ') ++start;
            *name = Span{s.at + start, s.size - start};
            if (name->size == 0) {
                std::snprintf(error, errorSize, "%s:%d: the level has no name", file, line);
                return false;
            }
            named = true;
            continue;
        }
        // A row may start with a block, so a '#' line is a comment unless it
        // is 12 grid characters while the grid still needs rows.
        bool gridLike = static_cast<int>(s.size) == GRID && rows < GRID;
        for (size_t i = 0; i < s.size; ++i) gridLike = gridLike && CodeOfChar(s.at[i]) >= 0;
        if (s.size == 0 || (s.at[0] == '#' && !gridLike)) {
            if (rows > 0 && rows < GRID) {
                std::snprintf(error, errorSize, "%s:%d: the grid stops after %d rows; it needs 12", file, line, rows);
                return false;
            }
            continue;
        }
        if (rows == GRID) {
            std::snprintf(error, errorSize, "%s:%d: more than 12 grid rows", file, line);
            return false;
        }
        if (static_cast<int>(s.size) != GRID) {
            std::snprintf(error, errorSize, "%s:%d: a grid row has %zu characters; it needs 12", file, line, s.size);
            return false;
        }
        ++rows;
        for (int col = 1; col <= GRID; ++col) {
            const int code = CodeOfChar(s.at[col - 1]);
            if (code < 0) {
                char list[32];
                CellCharList(list, sizeof list);
                std::snprintf(error, errorSize, "%s:%d: column %d: unknown cell '%c' (use %s)", file, line, col,
                              s.at[col - 1], list);
                return false;
            }
            bytes[ByteIndex(col, rows)] = static_cast<uint8_t>(code);
        }
    }
    if (!named) {
        std::snprintf(error, errorSize, "%s:%d: %s; the first line must be 'name: ...'", file, line ? line : 1,
                      line ? "no name" : "empty file");
        return false;
    }
    if (rows != GRID) {
        std::snprintf(error, errorSize, "%s:%d: the grid has %d rows; it needs 12", file, line, rows);
        return false;
    }
    return CheckPieces(bytes, file, error, errorSize);
}

void UnknownCodeWarning(int code, int cx, int cy, char* out, size_t outSize) {
    std::snprintf(out, outSize, "unknown code %d at column %d, row %d taken as empty", code, cx, cy);
}

void Canonical(const uint8_t in[LEVEL_FILE_SIZE], uint8_t out[LEVEL_FILE_SIZE]) {
    for (int i = 0; i < LEVEL_FILE_SIZE; ++i) out[i] = 0;
    for (int cx = 1; cx <= GRID; ++cx)
        for (int cy = 1; cy <= GRID; ++cy) {
            const int code = static_cast<int8_t>(in[ByteIndex(cx, cy)]);
            out[ByteIndex(cx, cy)] = static_cast<uint8_t>(CharOfCode(code) ? code : CELL_EMPTY);
        }
}

bool ReadWholeFile(const char* path, FileBytes* data, char* error, size_t errorSize, bool* refused) {
    const FileRead read = ReadFileByName(path, LEVEL_FILE_LIMIT, data);
    *refused = read.longer || read.error == EINVAL;
    if (read.longer) {
        std::snprintf(error, errorSize, "%s: larger than %d MiB; refused", path,
                      static_cast<int>(LEVEL_FILE_LIMIT / 1024 / 1024));
        return false;
    }
    if (read.error) {
        std::snprintf(error, errorSize, "%s: cannot read: %s", path, read.reason);
        return false;
    }
    return true;
}

bool LooksLikeText(const char* data, size_t size) {
    for (size_t pos = TextStart(data, size); pos < size;) {
        const Span s = NextLine(data, size, &pos);
        if (!IsCommentOrBlank(s)) return IsNameLine(s);
    }
    return false;
}

bool LevelFromData(const char* path, const char* data, size_t size, uint8_t bytes[LEVEL_FILE_SIZE], Span* name,
                   char* error, size_t errorSize, WarningSink warn, void* context) {
    if (LooksLikeText(data, size)) return ParseLevelText(path, data, size, bytes, name, error, errorSize);
    if (size < static_cast<size_t>(LEVEL_FILE_SIZE)) {
        std::snprintf(error, errorSize, "%s: %zu bytes; a level file has %d", path, size, LEVEL_FILE_SIZE);
        return false;
    }
    char warning[ERROR_SIZE];
    if (size > static_cast<size_t>(LEVEL_FILE_SIZE)) {
        std::snprintf(warning, sizeof warning, "%s: bytes past %d ignored", path, LEVEL_FILE_SIZE);
        warn(warning, context);
    }
    uint8_t raw[LEVEL_FILE_SIZE];
    std::memcpy(raw, data, sizeof raw);
    // Row by row, as the level's text would show them.
    for (int cy = 1; cy <= GRID; ++cy)
        for (int cx = 1; cx <= GRID; ++cx) {
            const int code = static_cast<int8_t>(raw[ByteIndex(cx, cy)]);
            if (CharOfCode(code)) continue;
            char what[96];
            UnknownCodeWarning(code, cx, cy, what, sizeof what);
            std::snprintf(warning, sizeof warning, "%s: %s", path, what);
            warn(warning, context);
        }
    Canonical(raw, bytes);
    const char* slash = std::strrchr(path, '/');
    const char* base = slash ? slash + 1 : path;
    const char* dot = std::strrchr(base, '.');
    *name = Span{base, dot && dot > base ? static_cast<size_t>(dot - base) : std::strlen(base)};
    return CheckPieces(bytes, path, error, errorSize);
}

bool LoadAnyLevel(const char* path, uint8_t bytes[LEVEL_FILE_SIZE], char* name, size_t nameSize, char* error,
                  size_t errorSize, WarningSink warn, void* context) {
    FileBytes data;
    bool refused = false;
    if (!ReadWholeFile(path, &data, error, errorSize, &refused)) return false;
    Span found{nullptr, 0};
    if (!LevelFromData(path, reinterpret_cast<const char*>(data.data), data.size, bytes, &found, error, errorSize, warn,
                       context))
        return false;
    std::snprintf(name, nameSize, "%.*s", static_cast<int>(found.size), found.at);
    return true;
}

}  // namespace leveltext
