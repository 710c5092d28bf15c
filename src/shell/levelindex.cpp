// The level index made at build time: each shipped level's name and par,
// and the Levels menu's mark on the level in play.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/board.h"
#include "game/session.h"
#include "lib/text.h"
#include "platform/files/files.h"
#include "platform/platform.h"
#include "resource.h"
#include "shell/comforts.h"
#include "shell/shell.h"

LevelIndex Levels;

namespace {

// The index holds twelve short lines; what goes past these is not an index.
constexpr int INDEX_LIMIT = 64 * 1024;
constexpr size_t INDEX_LINE_LIMIT = 200;
constexpr long long MAX_PAR = 99;

// "N PAR NAME": two whole numbers, then the name (which may be empty),
// which points into the line, its trailing blanks cut off.
bool ParseIndexLine(char* line, long long* n, long long* par, const char** name) {
    const char* p = line;
    long long* const values[] = {n, par};
    for (long long* value : values) {
        while (*p == ' ' || *p == '\t') ++p;
        char* end = nullptr;
        errno = 0;
        *value = std::strtoll(p, &end, 10);
        if (end == p || errno == ERANGE || (*end && *end != ' ' && *end != '\t')) return false;
        p = end;
    }
    while (*p == ' ' || *p == '\t') ++p;
    *name = p;
    for (size_t length = std::strlen(p); length > 0 && (p[length - 1] == ' ' || p[length - 1] == '\t'); --length)
        line[p - line + length - 1] = '\0';
    return true;
}

}  // namespace

void CopyName(char* dst, size_t size, const char* src) { PrintableText(src, dst, size); }

void ReadLevelIndex() {
    for (int32_t n = 0; n <= LAST_LEVEL; ++n) {
        std::snprintf(Levels.Names[n], sizeof Levels.Names[n], "Level %d", static_cast<int>(n));
        Levels.Pars[n] = 0;
    }
    FileBytes bytes;
    const FileRead read = ReadFileByName(LEVEL_INDEX_FILE, INDEX_LIMIT, &bytes, READ_START);
    if (read.error) {
        std::fprintf(stderr, "tarno: %s: %s; the levels go without names and pars\n", LEVEL_INDEX_FILE, read.reason);
        return;
    }
    if (read.longer)
        std::fprintf(stderr, "tarno: %s: larger than %d bytes; the rest is ignored\n", LEVEL_INDEX_FILE, INDEX_LIMIT);
    const char* text = reinterpret_cast<const char*>(bytes.data);
    int lineNo = 0;
    for (size_t pos = 0; pos < bytes.size;) {
        size_t end = pos;
        while (end < bytes.size && text[end] != '\n') ++end;
        size_t length = end - pos;
        const char* start = text + pos;
        pos = end + 1;
        ++lineNo;
        if (length > 0 && start[length - 1] == '\r') --length;
        size_t blank = 0;
        while (blank < length && (start[blank] == ' ' || start[blank] == '\t')) ++blank;
        if (blank == length) continue;
        const char* why = nullptr;
        long long n = 0, par = 0;
        const char* name = "";
        char line[INDEX_LINE_LIMIT + 1];
        if (length > INDEX_LINE_LIMIT) {
            why = "line too long";
        } else {
            std::memcpy(line, start, length);
            line[length] = '\0';
            if (!ParseIndexLine(line, &n, &par, &name)) why = "not \"LEVEL PAR NAME\"";
            else if (n < 1 || n > LAST_LEVEL) why = "no such level";
            else if (par < 0 || par > MAX_PAR) why = "par out of range (0 to 99)";
        }
        if (why) {
            std::fprintf(stderr, "tarno: %s:%d: %s; ignored\n", LEVEL_INDEX_FILE, lineNo, why);
            continue;
        }
        if (*name) CopyName(Levels.Names[n], sizeof Levels.Names[n], name);
        Levels.Pars[n] = static_cast<int32_t>(par);
    }
}

void MarkLevelMenu() {
    const int32_t want = Now.OwnLevel ? 0 : IDM_LEVEL1 - 1 + CurrentLevel;
    if (want == Levels.Marked) return;
    if (Levels.Marked) PlatformMarkMenuItem(Levels.Marked, MENU_UNCHECK);
    if (want) PlatformMarkMenuItem(want, MENU_CHECK);
    Levels.Marked = want;
}
