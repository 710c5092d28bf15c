// The player's records and the sound switch, kept as small named values
// ("records", "sound") beside the saved level and never in its place.
//
// The records are a few lines of text:
//   tarno records 1
//   level N SHOTS par|over      fewest shots a shipped level was won in
//   daily YYYY-MM-DD GRADE SHOTS    one of the last days' generated levels
// A text that does not read as that is set aside, not overwritten: it may
// be the only copy of a player's records.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/board.h"
#include "game/game.h"
#include "game/session.h"
#include "game/win.h"
#include "lib/display.h"
#include "lib/input.h"
#include "lib/sound.h"
#include "platform/platform.h"
#include "resource.h"
#include "shell/comforts.h"
#include "shell/shell.h"

namespace {

constexpr const char* RECORDS_SETTING = "records";
constexpr const char* SOUND_SETTING = "sound";
constexpr const char* RECORDS_HEADER = "tarno records 1";
constexpr int32_t MAX_RECORD_SHOTS = 9999;

// 1 with the text ended by a 0, 0 when absent, -1 when what is stored is no
// text of ours (too long, a zero byte inside, unreadable).
int ReadText(const char* name, char* buf, int32_t size) {
    int32_t length = 0;
    const int got = PlatformReadSetting(name, SETTING_TEXT, buf, size - 1, &length);
    if (got != 1) return got;
    if (std::memchr(buf, 0, static_cast<size_t>(length))) return -1;
    buf[length] = '\0';
    return 1;
}

// Null text: set what is stored aside.
const char* WriteText(const char* name, const char* text) {
    return PlatformWriteSetting(name, SETTING_TEXT, text, text ? static_cast<int32_t>(std::strlen(text)) : 0);
}

bool Number(const char* word, int32_t low, int32_t high, int32_t* value) {
    char* end = nullptr;
    const long n = std::strtol(word, &end, 10);
    if (end == word || *end || n < low || n > high) return false;
    *value = static_cast<int32_t>(n);
    return true;
}

bool IsDate(const char* word) {
    if (std::strlen(word) != 10 || word[4] != '-' || word[7] != '-') return false;
    for (int i = 0; i < 10; ++i)
        if (i != 4 && i != 7 && (word[i] < '0' || word[i] > '9')) return false;
    return true;
}

// One entry a day, the best of it; newest first, the oldest falls off.
// True when the set changed.
bool PutDaily(RecordSet* set, const char* date, int32_t grade, int32_t shots) {
    int32_t at = 0;
    while (at < set->dailyCount && std::strcmp(set->dailies[at].date, date) > 0) ++at;
    if (at < set->dailyCount && std::strcmp(set->dailies[at].date, date) == 0) {
        if (set->dailies[at].shots <= shots) return false;
    } else {
        if (at == MAX_DAILY_RECORDS) return false;
        if (set->dailyCount < MAX_DAILY_RECORDS) ++set->dailyCount;
        std::memmove(&set->dailies[at + 1], &set->dailies[at], sizeof(DailyRecord) * (set->dailyCount - 1 - at));
    }
    DailyRecord& d = set->dailies[at];
    std::snprintf(d.date, sizeof d.date, "%s", date);
    d.grade = grade;
    d.shots = shots;
    return true;
}

// One line, split on spaces in place; false when it is not a records line.
bool ParseLine(char* line, RecordSet* set) {
    char* words[5] = {};
    int count = 0;
    for (char* w = std::strtok(line, " "); w; w = std::strtok(nullptr, " "))
        if (count < 5) words[count++] = w;
        else return false;
    int32_t a = 0, b = 0;
    if (count == 4 && std::strcmp(words[0], "level") == 0) {
        if (!Number(words[1], 1, LAST_LEVEL, &a) || !Number(words[2], 1, MAX_RECORD_SHOTS, &b)) return false;
        const bool par = std::strcmp(words[3], "par") == 0;
        if (!par && std::strcmp(words[3], "over") != 0) return false;
        set->levels[a] = {b, par};
        return true;
    }
    if (count == 4 && std::strcmp(words[0], "daily") == 0 && set->dailyCount < MAX_DAILY_RECORDS) {
        if (!IsDate(words[1]) || !Number(words[2], 0, 99, &a) || !Number(words[3], 1, MAX_RECORD_SHOTS, &b))
            return false;
        DailyRecord& d = set->dailies[set->dailyCount++];
        std::snprintf(d.date, sizeof d.date, "%s", words[1]);
        d.grade = a;
        d.shots = b;
        return true;
    }
    return false;
}

bool ParseRecords(char* text, RecordSet* set) {
    char* next = text;
    bool header = true;
    while (next && *next) {
        char* line = next;
        next = std::strchr(line, '\n');
        if (next) *next++ = '\0';
        if (header) {
            if (std::strcmp(line, RECORDS_HEADER) != 0) return false;
            header = false;
        } else if (*line && !ParseLine(line, set)) return false;
    }
    return !header;
}

__attribute__((format(printf, 1, 2))) void Tell(const char* format, ...) {
    if (Comfort.Rec.PendingCount == 2) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(Comfort.Rec.Pending[Comfort.Rec.PendingCount++], sizeof Comfort.Rec.Pending[0], format, args);
    va_end(args);
}

void TellPending() {
    for (int32_t i = 0; i < Comfort.Rec.PendingCount; ++i) ShowError(Comfort.Rec.Pending[i]);
    Comfort.Rec.PendingCount = 0;
}

// The names set-asides take, oldest first: "records.bad", "records.bad.1" ...
void AsideName(int32_t slot, char* name, size_t size) {
    if (slot == 0) std::snprintf(name, size, "%s.bad", RECORDS_SETTING);
    else std::snprintf(name, size, "%s.bad.%d", RECORDS_SETTING, static_cast<int>(slot));
}

// What is stored does not read as records: it goes aside under the next
// free name, and the player hears where. The last free name warns that the
// next set-aside makes room by letting the oldest go.
void SetAsideStored() {
    int32_t slot = 0;
    char name[64], oldest[64];
    for (; slot < MAX_SET_ASIDES; ++slot) {
        AsideName(slot, name, sizeof name);
        int32_t length = 0;
        if (PlatformReadSetting(name, SETTING_TEXT, Comfort.Rec.Text, 0, &length) == 0) break;
    }
    const bool full = slot == MAX_SET_ASIDES;
    AsideName(full ? MAX_SET_ASIDES - 1 : slot, name, sizeof name);
    AsideName(0, oldest, sizeof oldest);
    if (const char* why = WriteText(RECORDS_SETTING, nullptr)) {
        Comfort.Rec.Held = true;
        Tell("The records could not be read, nor set aside (%s): this game's records will not be kept.", why);
    } else if (full) {
        Tell(
            "The records could not be read, so they were set aside under the name \"%s\", and the oldest set-aside, "
            "\"%s\", was let go to make room; new records begin now.",
            name, oldest);
    } else if (slot == MAX_SET_ASIDES - 1) {
        Tell(
            "The records could not be read, so they were set aside under the name \"%s\"; new records begin now. "
            "That was the last free name: the next set-aside lets the oldest, \"%s\", go.",
            name, oldest);
    } else {
        Tell("The records could not be read, so they were set aside under the name \"%s\"; new records begin now.",
             name);
    }
}

// The better of two records of one level: fewer shots, or as many within par.
bool Beats(const LevelRecord& a, const LevelRecord& b) {
    return a.shots && (!b.shots || a.shots < b.shots || (a.shots == b.shots && a.inPar && !b.inPar));
}

// Another copy of the game may have written since this one read: its
// records join ours, the best of each kept. What is stored and cannot be
// read is set aside first.
void MergeStored() {
    Comfort.Rec.Stored = {};
    const int got = ReadText(RECORDS_SETTING, Comfort.Rec.Text, sizeof Comfort.Rec.Text);
    if (got == 0) return;
    if (got == 1 && ParseRecords(Comfort.Rec.Text, &Comfort.Rec.Stored)) {
        for (int32_t n = 1; n <= LAST_LEVEL; ++n)
            if (Beats(Comfort.Rec.Stored.levels[n], Comfort.Rec.Mine.levels[n]))
                Comfort.Rec.Mine.levels[n] = Comfort.Rec.Stored.levels[n];
        for (int32_t i = 0; i < Comfort.Rec.Stored.dailyCount; ++i)
            PutDaily(&Comfort.Rec.Mine, Comfort.Rec.Stored.dailies[i].date, Comfort.Rec.Stored.dailies[i].grade,
                     Comfort.Rec.Stored.dailies[i].shots);
        return;
    }
    SetAsideStored();
}

// Locks the stored records and merges them in; false, unlocked, when this
// game keeps its records to itself.
bool BeginUpdate() {
    if (Comfort.Rec.Held) return false;
    PlatformLockSetting(RECORDS_SETTING);
    MergeStored();
    if (!Comfort.Rec.Held) return true;
    PlatformUnlockSetting(RECORDS_SETTING);
    return false;
}

void WriteRecords() {
    int used = std::snprintf(Comfort.Rec.Text, sizeof Comfort.Rec.Text, "%s\n", RECORDS_HEADER);
    for (int32_t n = 1; n <= LAST_LEVEL; ++n)
        if (Comfort.Rec.Mine.levels[n].shots)
            used += std::snprintf(Comfort.Rec.Text + used, sizeof Comfort.Rec.Text - used, "level %d %d %s\n",
                                  static_cast<int>(n), static_cast<int>(Comfort.Rec.Mine.levels[n].shots),
                                  Comfort.Rec.Mine.levels[n].inPar ? "par" : "over");
    for (int32_t i = 0; i < Comfort.Rec.Mine.dailyCount; ++i)
        used += std::snprintf(Comfort.Rec.Text + used, sizeof Comfort.Rec.Text - used, "daily %s %d %d\n",
                              Comfort.Rec.Mine.dailies[i].date, static_cast<int>(Comfort.Rec.Mine.dailies[i].grade),
                              static_cast<int>(Comfort.Rec.Mine.dailies[i].shots));
    const char* why = WriteText(RECORDS_SETTING, Comfort.Rec.Text);
    if (why && !Comfort.Rec.WriteTold) {
        Comfort.Rec.WriteTold = true;
        Tell("The records could not be saved: %s", why);
    }
}

// Writes when asked and when this game may, unlocks, then tells.
void EndUpdate(bool locked, bool write) {
    if (locked) {
        if (write) WriteRecords();
        PlatformUnlockSetting(RECORDS_SETTING);
    }
    TellPending();
}

void LoadRecords() {
    Comfort.Rec.Mine = {};
    Comfort.Rec.Held = Comfort.Rec.WriteTold = false;
    EndUpdate(BeginUpdate(), false);
}

}  // namespace

void LoadPlayerSettings() {
    LoadRecords();
    char text[8];
    SoundOff = ReadText(SOUND_SETTING, text, sizeof text) == 1 && std::strcmp(text, "off") == 0;
    PlatformMarkMenuItem(IDM_SOUND, SoundOff ? MENU_UNCHECK : MENU_CHECK);
}

void ToggleSound() {
    SoundOff = !SoundOff;
    if (SoundOff) StopAllSounds();
    PlatformMarkMenuItem(IDM_SOUND, SoundOff ? MENU_UNCHECK : MENU_CHECK);
    if (const char* why = WriteText(SOUND_SETTING, SoundOff ? "off" : "on")) {
        char message[600];
        std::snprintf(message, sizeof message, "The sound setting could not be saved: %s", why);
        ShowError(message);
    }
}

// M acts once per press, in play (the editor's keys are its own).
void ReadSoundKey() {
    const bool down = KeyState[DIK_M] != 0;
    if (down && !Comfort.Rec.SoundKeyDown) ToggleSound();
    Comfort.Rec.SoundKeyDown = down;
}

void RecordShippedWin() {
    if (Now.OwnLevel || Now.LevelPlayed < 1 || Now.LevelPlayed > LAST_LEVEL) return;
    if (Comfort.Rec.Tried && Comfort.Rec.TriedWin == Now.WinStartTick) return;
    Comfort.Rec.Tried = true;
    Comfort.Rec.TriedWin = Now.WinStartTick;
    // What is on the board at the win: undone shots went back with the board.
    const int32_t shots = Now.Live.shotsFired;
    if (shots < 1 || shots > MAX_RECORD_SHOTS) return;
    // Measured against what any copy of the game has stored by now, so that
    // another window's better win is no "New record!" here.
    const bool locked = BeginUpdate();
    LevelRecord& r = Comfort.Rec.Mine.levels[Now.LevelPlayed];
    const bool better = !r.shots || shots < r.shots;
    if (better) {
        Comfort.Rec.NewRecord = r.shots != 0;
        Comfort.Rec.NewRecordWin = Now.WinStartTick;
        const int32_t par = Levels.Pars[Now.LevelPlayed];
        r = {shots, par > 0 && shots <= par};
    }
    EndUpdate(locked, better);
}

// A daily level's win goes into the last days' list, once per win.
void RecordDailyLevelWin() {
    char date[16], grade[16];
    if (!Now.OwnLevel || (Comfort.Rec.DailyTried && Comfort.Rec.DailyTriedWin == Now.WinStartTick)) return;
    if (std::sscanf(Comfort.OwnSource, "daily %15s %15s", date, grade) != 2) return;
    Comfort.Rec.DailyTried = true;
    Comfort.Rec.DailyTriedWin = Now.WinStartTick;
    static const char* const GRADES[] = {"easy", "medium", "hard"};
    for (int g = 0; g < 3; ++g)
        if (std::strcmp(grade, GRADES[g]) == 0) RecordDailyWin(date, g, Now.Live.shotsFired);
}

void RecordDailyWin(const char* date, int grade, int shots) {
    if (!date || !IsDate(date) || grade < 0 || grade > 99 || shots < 1 || shots > MAX_RECORD_SHOTS) return;
    const bool locked = BeginUpdate();
    EndUpdate(locked, PutDaily(&Comfort.Rec.Mine, date, grade, shots));
}

void RefreshRecords() { EndUpdate(BeginUpdate(), false); }

int32_t DailyRecordCount() { return Comfort.Rec.Mine.dailyCount; }
const DailyRecord& DailyRecordAt(int32_t i) { return Comfort.Rec.Mine.dailies[i]; }

int32_t BestShots(int32_t level) {
    return level >= 1 && level <= LAST_LEVEL ? Comfort.Rec.Mine.levels[level].shots : 0;
}
bool BestInPar(int32_t level) { return BestShots(level) && Comfort.Rec.Mine.levels[level].inPar; }

int32_t BestOnScreen() {
    if (Now.OwnLevel) return 0;
    return BestShots(Now.Live.play.won ? Now.LevelPlayed : CurrentLevel);
}

bool NewRecordShown() {
    return Now.Live.play.won && Comfort.Rec.NewRecord && Comfort.Rec.NewRecordWin == Now.WinStartTick && !Now.OwnLevel;
}

const char* RecordsText() {
    // Another window's wins since this one last looked are shown too.
    RefreshRecords();
    int used = 0;
    for (int32_t n = 1; n <= LAST_LEVEL; ++n) {
        const LevelRecord& r = Comfort.Rec.Mine.levels[n];
        char par[16] = "par ?";
        if (Levels.Pars[n] > 0) std::snprintf(par, sizeof par, "par %d", static_cast<int>(Levels.Pars[n]));
        char best[32] = "not won yet";
        if (r.shots)
            std::snprintf(best, sizeof best, "best %d%s", static_cast<int>(r.shots), r.inPar ? ", won in par" : "");
        used += std::snprintf(Comfort.Rec.Text + used, sizeof Comfort.Rec.Text - used, "Level %d: %s   %s   %s\n",
                              static_cast<int>(n), Levels.Names[n], par, best);
    }
    if (Comfort.Rec.Mine.dailyCount)
        used += std::snprintf(Comfort.Rec.Text + used, sizeof Comfort.Rec.Text - used, "\nDaily levels\n");
    // The grades as the Generate menu names them.
    static const char* const GRADES[] = {TEXT_MENU_EASY, TEXT_MENU_MEDIUM, TEXT_MENU_HARD};
    for (int32_t i = 0; i < Comfort.Rec.Mine.dailyCount; ++i) {
        const DailyRecord& d = Comfort.Rec.Mine.dailies[i];
        char grade[16];
        if (d.grade >= 0 && d.grade < 3) std::snprintf(grade, sizeof grade, "%s", GRADES[d.grade]);
        else std::snprintf(grade, sizeof grade, "grade %d", static_cast<int>(d.grade));
        used += std::snprintf(Comfort.Rec.Text + used, sizeof Comfort.Rec.Text - used, "%s   %s   %d shots\n", d.date,
                              grade, static_cast<int>(d.shots));
    }
    return Comfort.Rec.Text;
}
