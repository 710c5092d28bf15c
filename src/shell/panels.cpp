// What every front end shows around the field, in the form it needs: the
// status line when it changed, the records as a table, the sheet's cells.
#include <cstring>

#include "game/sheet.h"
#include "shell/comforts.h"
#include "shell/shell.h"

const char* ChangedStatusLine() {
    const char* line = StatusLine();
    if (Comfort.Status.AnyShown && std::strncmp(line, Comfort.Status.Shown, sizeof Comfort.Status.Shown - 1) == 0)
        return nullptr;
    std::strncpy(Comfort.Status.Shown, line, sizeof Comfort.Status.Shown - 1);
    Comfort.Status.AnyShown = true;
    return line;
}

void ForgetShownStatus() { Comfort.Status.AnyShown = false; }

bool RecordsCell(int32_t row, int32_t column, char* buf, int32_t size) {
    if (row < 0 || column < 0 || !buf || size <= 0) return false;
    const char* at = RecordsText();
    for (int32_t r = 0; r < row; ++r) {
        at = std::strchr(at, '\n');
        if (!at) return false;
        ++at;
    }
    const char* end = std::strchr(at, '\n');
    if (!end) end = at + std::strlen(at);
    if (at == end && column == 0 && !*end) return false;  // no row after the last line's end
    for (int32_t c = 0; c < column; ++c) {
        const char* gap = std::strstr(at, "   ");
        if (!gap || gap >= end) return false;
        at = gap + 3;
    }
    const char* gap = std::strstr(at, "   ");
    const char* cellEnd = gap && gap < end ? gap : end;
    const int32_t n = cellEnd - at < size - 1 ? static_cast<int32_t>(cellEnd - at) : size - 1;
    std::memcpy(buf, at, static_cast<size_t>(n));
    buf[n] = '\0';
    return true;
}

SheetSpot SheetCellSpot(int32_t cell) {
    return SheetSpot{cell % SHEET_COLUMNS * (SHEET_CELL + 1) + 1, cell / SHEET_COLUMNS * (SHEET_CELL + 1) + 1,
                     SHEET_CELL};
}
