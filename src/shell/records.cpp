// The player's records and the sound switch, kept as small named values
// ("records", "sound") beside the saved level and never in its place.
//
// The records are a few lines of text:
//   tarno records 1
//   level N SHOTS par|over      fewest shots a shipped level was won in
//   daily YYYY-MM-DD GRADE SHOTS    one of the last days' generated levels
// A text that does not read as that is set aside, not overwritten: it may
// be the only copy of a player's records.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/board.h"
#include "game/game.h"
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
// Twelve levels and thirty days: well under this.
constexpr int32_t RECORDS_TEXT_MAX = 4096;

struct LevelRecord {
    int32_t shots;  // 0 while never won
    bool inPar;
};

LevelRecord Levels[LAST_LEVEL + 1];
DailyRecord Dailies[MAX_DAILY_RECORDS];
int32_t DailyCount;

// Set when the stored records could not be read nor set aside: this run
// then keeps its records to itself rather than write over them.
bool RecordsHeld;
bool RecordsWriteTold;
// The win that beat its level's record, known by the tick it began on.
bool NewRecord;
uint32_t NewRecordWin;
bool RecordTried;
uint32_t RecordTriedWin;

char Text[RECORDS_TEXT_MAX];

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

// One line, split on spaces in place; false when it is not a records line.
bool ParseLine(char* line) {
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
        Levels[a] = {b, par};
        return true;
    }
    if (count == 4 && std::strcmp(words[0], "daily") == 0 && DailyCount < MAX_DAILY_RECORDS) {
        if (!IsDate(words[1]) || !Number(words[2], 0, 99, &a) || !Number(words[3], 1, MAX_RECORD_SHOTS, &b))
            return false;
        DailyRecord& d = Dailies[DailyCount++];
        std::snprintf(d.date, sizeof d.date, "%s", words[1]);
        d.grade = a;
        d.shots = b;
        return true;
    }
    return false;
}

bool ParseRecords(char* text) {
    char* next = text;
    bool header = true;
    while (next && *next) {
        char* line = next;
        next = std::strchr(line, '\n');
        if (next) *next++ = '\0';
        if (header) {
            if (std::strcmp(line, RECORDS_HEADER) != 0) return false;
            header = false;
        } else if (*line && !ParseLine(line)) return false;
    }
    return !header;
}

void ClearRecords() {
    for (LevelRecord& r : Levels) r = {0, false};
    DailyCount = 0;
}

void SaveRecords() {
    if (RecordsHeld) return;
    int used = std::snprintf(Text, sizeof Text, "%s\n", RECORDS_HEADER);
    for (int32_t n = 1; n <= LAST_LEVEL; ++n)
        if (Levels[n].shots)
            used += std::snprintf(Text + used, sizeof Text - used, "level %d %d %s\n", static_cast<int>(n),
                                  static_cast<int>(Levels[n].shots), Levels[n].inPar ? "par" : "over");
    for (int32_t i = 0; i < DailyCount; ++i)
        used += std::snprintf(Text + used, sizeof Text - used, "daily %s %d %d\n", Dailies[i].date,
                              static_cast<int>(Dailies[i].grade), static_cast<int>(Dailies[i].shots));
    const char* why = WriteText(RECORDS_SETTING, Text);
    if (why && !RecordsWriteTold) {
        RecordsWriteTold = true;
        char message[600];
        std::snprintf(message, sizeof message, "The records could not be saved: %s", why);
        ShowError(message);
    }
}

void LoadRecords() {
    ClearRecords();
    RecordsHeld = RecordsWriteTold = false;
    const int got = ReadText(RECORDS_SETTING, Text, sizeof Text);
    if (got == 0 || (got == 1 && ParseRecords(Text))) return;
    ClearRecords();
    char message[600];
    if (const char* why = WriteText(RECORDS_SETTING, nullptr)) {
        RecordsHeld = true;
        std::snprintf(message, sizeof message,
                      "The records could not be read, nor set aside (%s): this game's records will not be kept.", why);
    } else {
        std::snprintf(message, sizeof message,
                      "The records could not be read, so they were set aside under the name \"%s.bad\"; new "
                      "records begin now.",
                      RECORDS_SETTING);
    }
    ShowError(message);
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
    static bool wasDown;
    const bool down = KeyState[DIK_M] != 0;
    if (down && !wasDown) ToggleSound();
    wasDown = down;
}

void RecordShippedWin() {
    if (OwnLevel || LevelPlayed < 1 || LevelPlayed > LAST_LEVEL) return;
    if (RecordTried && RecordTriedWin == WinStartTick) return;
    RecordTried = true;
    RecordTriedWin = WinStartTick;
    // What is on the board at the win: undone shots went back with the board.
    const int32_t shots = Live.shotsFired;
    if (shots < 1 || shots > MAX_RECORD_SHOTS) return;
    LevelRecord& r = Levels[LevelPlayed];
    if (r.shots && r.shots <= shots) return;
    NewRecord = r.shots != 0;
    NewRecordWin = WinStartTick;
    const int32_t par = LevelPars[LevelPlayed];
    r = {shots, par > 0 && shots <= par};
    SaveRecords();
}

// A daily level's win goes into the last days' list, once per win.
void RecordDailyLevelWin() {
    static uint32_t triedWin;
    static bool tried;
    char date[16], grade[16];
    if (!OwnLevel || (tried && triedWin == WinStartTick)) return;
    if (std::sscanf(OwnSource, "daily %15s %15s", date, grade) != 2) return;
    tried = true;
    triedWin = WinStartTick;
    static const char* const GRADES[] = {"easy", "medium", "hard"};
    for (int g = 0; g < 3; ++g)
        if (std::strcmp(grade, GRADES[g]) == 0) RecordDailyWin(date, g, Live.shotsFired);
}

void RecordDailyWin(const char* date, int grade, int shots) {
    if (!date || !IsDate(date) || grade < 0 || grade > 99 || shots < 1 || shots > MAX_RECORD_SHOTS) return;
    // One entry a day, the best of it; newest first, the oldest falls off.
    int32_t at = 0;
    while (at < DailyCount && std::strcmp(Dailies[at].date, date) > 0) ++at;
    if (at < DailyCount && std::strcmp(Dailies[at].date, date) == 0) {
        if (Dailies[at].shots <= shots) return;
    } else {
        if (at == MAX_DAILY_RECORDS) return;
        if (DailyCount < MAX_DAILY_RECORDS) ++DailyCount;
        std::memmove(&Dailies[at + 1], &Dailies[at], sizeof(DailyRecord) * (DailyCount - 1 - at));
    }
    std::snprintf(Dailies[at].date, sizeof Dailies[at].date, "%s", date);
    Dailies[at].grade = grade;
    Dailies[at].shots = shots;
    SaveRecords();
}

int32_t DailyRecordCount() { return DailyCount; }
const DailyRecord& DailyRecordAt(int32_t i) { return Dailies[i]; }

int32_t BestShots(int32_t level) { return level >= 1 && level <= LAST_LEVEL ? Levels[level].shots : 0; }
bool BestInPar(int32_t level) { return BestShots(level) && Levels[level].inPar; }

int32_t BestOnScreen() {
    if (OwnLevel) return 0;
    return BestShots(Live.play.won ? LevelPlayed : CurrentLevel);
}

bool NewRecordShown() { return Live.play.won && NewRecord && NewRecordWin == WinStartTick && !OwnLevel; }

const char* RecordsText() {
    int used = 0;
    for (int32_t n = 1; n <= LAST_LEVEL; ++n) {
        char par[16] = "par ?";
        if (LevelPars[n] > 0) std::snprintf(par, sizeof par, "par %d", static_cast<int>(LevelPars[n]));
        char best[32] = "not won yet";
        if (Levels[n].shots)
            std::snprintf(best, sizeof best, "best %d%s", static_cast<int>(Levels[n].shots),
                          Levels[n].inPar ? ", won in par" : "");
        used += std::snprintf(Text + used, sizeof Text - used, "Level %d: %s   %s   %s\n", static_cast<int>(n),
                              LevelNames[n], par, best);
    }
    if (DailyCount) used += std::snprintf(Text + used, sizeof Text - used, "\nDaily levels\n");
    for (int32_t i = 0; i < DailyCount; ++i)
        used += std::snprintf(Text + used, sizeof Text - used, "%s   grade %d   %d shots\n", Dailies[i].date,
                              static_cast<int>(Dailies[i].grade), static_cast<int>(Dailies[i].shots));
    return Text;
}
