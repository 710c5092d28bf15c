// tarno-demo SCRIPT: plays a script of what a player does through the real
// game frames on the headless platform, with a virtual clock, so a demo
// always plays the same way. See README for the script language.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/history.h"
#include "game/play.h"
#include "game/session.h"
#include "game/sprites.h"
#include "game/tank.h"
#include "gen/gen_strings.h"
#include "lib/display.h"
#include "lib/input.h"
#include "lib/sound.h"
#include "menu_table.h"
#include "platform/files/files.h"
#include "platform/headless/headless.h"
#include "resource.h"
#include "shell/shell.h"
#include "solver/advice.h"
#include "solver/solver_strings.h"

namespace {

// Far longer than any line of a script.
constexpr size_t LINE_LIMIT = 1u << 20;

struct KeyName {
    const char* name;
    int scanCode;
    int virtualKey;  // 0 when the game reads the key only by scan code
};

const KeyName KEYS[] = {
    {"left", DIK_LEFT, 0},
    {"up", DIK_UP, 0},
    {"right", DIK_RIGHT, 0},
    {"down", DIK_DOWN, 0},
    {"r", DIK_R, 0},
    {"d", DIK_D, 0},
    {"s", DIK_S, 0},
    {"l", DIK_L, 0},
    {"esc", 0x01, VK_ESCAPE_KEY},
    {"enter", 0x1C, VK_RETURN_KEY},
    {"u", DIK_U, 0},
    {"y", DIK_Y, 0},
    {"h", DIK_H, 0},
    {"m", DIK_M, 0},
    {"p", DIK_P, 0},
};

const KeyName* FindKey(const std::string& name) {
    for (const KeyName& k : KEYS)
        if (name == k.name) return &k;
    return nullptr;
}

void SetKey(const KeyName* key, bool down) {
    HeadlessSetKey(key->scanCode, down);
    if (key->virtualKey) HeadlessSetVirtualKey(key->virtualKey, down);
}

uint64_t FramesRun;
size_t SoundsSeen, MessagesSeen;
std::set<std::string> Held;

void Fail(int line, const std::string& why) {
    std::fprintf(stderr, "script line %d: %s\n", line, why.c_str());
    std::exit(2);
}

// The next line without its newline; false at the end. A line past the
// limit is no command of the script language: it ends the script.
bool ReadLine(std::FILE* in, std::string* text, int line) {
    text->clear();
    int c;
    while ((c = std::fgetc(in)) != EOF && c != '\n') {
        if (text->size() == LINE_LIMIT) Fail(line, "line too long");
        text->push_back(static_cast<char>(c));
    }
    return c == '\n' || !text->empty();
}

// Runs one frame; false once the game has asked to end.
bool Step() {
    RunFrame();
    ++FramesRun;
    return !HeadlessQuitRequested();
}

const char* SoundName(const SoundBuffer* buffer) {
    for (int i = 0; i < SOUND_COUNT; ++i)
        if (Sounds[i] >= 0 && Sounds[i] < MAX_SOUNDS && SoundTable[Sounds[i]].buffer == buffer) return SOUND_FILES[i];
    return "?";
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\', out += c;
        else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else out += c;
    }
    return out + "\"";
}

void Dump() {
    const PlayState& s = Now.Live.play;
    const Tank& tank = Now.Live.tank;
    std::ostringstream o;
    o << "{\"frame\":" << FramesRun << ",\"level\":" << int(CurrentLevel) << ",\"won\":" << (s.won ? "true" : "false")
      << ",\"editor\":" << (Now.Editor.Mode ? "true" : "false") << ",\"tank\":{\"x\":" << tank.x << ",\"y\":" << tank.y
      << ",\"frame\":" << tank.frame << ",\"firing\":" << (tank.firing ? "true" : "false") << "},\"board\":[";
    for (int cx = 0; cx < BOARD_CELLS; ++cx) {
        o << (cx ? ",[" : "[");
        for (int cy = 0; cy < BOARD_CELLS; ++cy) o << (cy ? "," : "") << s.board[cx][cy];
        o << "]";
    }
    o << "],\"balloonsLeft\":" << s.balloonsLeft << ",\"balloons\":[";
    for (int b = 0; b < s.balloonCount; ++b)
        o << (b ? "," : "") << "{\"slot\":" << b << ",\"x\":" << s.balloonX[b] << ",\"y\":" << s.balloonY[b]
          << ",\"alive\":" << (s.balloonAlive[b] ? "true" : "false") << "}";
    o << "],\"deflectors\":[";
    for (int d = 0; d < s.deflectorCount; ++d) {
        const Deflector& b = s.deflectors[d];
        o << (d ? "," : "") << "{\"slot\":" << d << ",\"x\":" << b.x << ",\"y\":" << b.y << ",\"xv\":" << b.xv
          << ",\"yv\":" << b.yv << ",\"frame\":" << b.orientation << "}";
    }
    o << "],\"shots\":[";
    for (int i = 0; i < MAX_SHOTS; ++i) {
        o << (i ? "," : "") << "{\"slot\":" << i << ",\"active\":" << (s.shotActive[i] ? "true" : "false")
          << ",\"x\":" << s.shotX[i] << ",\"y\":" << s.shotY[i] << ",\"xv\":" << s.shotXV[i]
          << ",\"yv\":" << s.shotYV[i] << ",\"frame\":" << s.shotFrame[i] << "}";
    }
    o << "],\"impact\":{\"active\":" << (s.impactActive ? "true" : "false") << ",\"x\":" << s.impactX
      << ",\"y\":" << s.impactY << ",\"frame\":" << ImpactBob.currFrame << "},\"sounds\":[";
    const std::vector<HeadlessSoundEvent>& log = HeadlessSoundLog();
    bool first = true;
    for (; SoundsSeen < log.size(); ++SoundsSeen)
        if (log[SoundsSeen].kind == HeadlessSoundEvent::PLAY) {
            o << (first ? "" : ",") << JsonString(SoundName(log[SoundsSeen].buffer));
            first = false;
        }
    o << "],\"messages\":[";
    const std::vector<std::string>& messages = HeadlessMessages();
    for (size_t i = MessagesSeen; i < messages.size(); ++i)
        o << (i > MessagesSeen ? "," : "") << JsonString(messages[i]);
    MessagesSeen = messages.size();
    o << "],\"menu\":[";
    const char* comma = "";
    for (int n = 1; n <= LAST_LEVEL; ++n)
        if (HeadlessMenuEnabled(20 + n)) {
            o << comma << n;
            comma = ",";
        }
    o << "],\"about\":" << HeadlessAboutShown() << ",\"saved\":";
    std::string saved;
    if (HeadlessSetting(SAVED_LEVEL_SETTING, &saved) && saved.size() == 1) o << int(static_cast<uint8_t>(saved[0]));
    else o << "null";
    // The solver's answer is waited for, so that a demo reads the same every run.
    WaitForAdvice();
    const int32_t par = LevelPar();
    o << ",\"shotsFired\":" << Now.Live.shotsFired << ",\"par\":";
    if (par > 0) o << par;
    else o << "null";
    const int8_t lost = AdviceLost();
    o << ",\"lost\":" << (lost < 0 ? "null" : lost ? "true" : "false") << ",\"hint\":";
    const int32_t hint = AdviceHintEntry();
    if (hint >= 0) o << "{\"entry\":" << JsonString(solver::EntryName(hint)) << "}";
    else o << "null";
    // Where the board comes from, and its code (null for a board that has none).
    char code[128];
    if (Now.OwnLevel) o << ",\"source\":" << JsonString(OwnBoardSource());
    else o << ",\"source\":" << JsonString("level " + std::to_string(int(CurrentLevel)));
    o << ",\"code\":" << (LevelCode(code, sizeof code) ? JsonString(code) : std::string("null"));
    o << ",\"undoDepth\":" << UndoDepth() << ",\"redoDepth\":" << RedoDepth()
      << ",\"status\":" << JsonString(StatusLine()) << ",\"best\":";
    if (const int32_t best = BestOnScreen()) o << best;
    else o << "null";
    // The records as the records panel lists them, and whether sound plays.
    o << ",\"records\":[";
    comma = "";
    for (int n = 1; n <= LAST_LEVEL; ++n)
        if (BestShots(n)) {
            o << comma << "{\"level\":" << n << ",\"best\":" << BestShots(n)
              << ",\"inPar\":" << (BestInPar(n) ? "true" : "false") << "}";
            comma = ",";
        }
    o << "],\"dailies\":[";
    for (int32_t i = 0; i < DailyRecordCount(); ++i) {
        const DailyRecord& d = DailyRecordAt(i);
        o << (i ? "," : "") << "{\"date\":" << JsonString(d.date) << ",\"grade\":" << d.grade
          << ",\"shots\":" << d.shots << "}";
    }
    o << "],\"recordsShown\":" << HeadlessRecordsShown() << ",\"sound\":" << (SoundOff ? "false" : "true");
    o << ",\"driveTo\":";
    int32_t goalX = 0, goalY = 0;
    if (DriveGoal(&goalX, &goalY)) o << "{\"cx\":" << goalX << ",\"cy\":" << goalY << "}";
    else o << "null";
    // The buttons as a front end shows them: the way on after a win, and
    // whether Undo and Redo are offered or greyed.
    const char* next = NextStepText();
    o << ",\"next\":" << (next ? JsonString(next) : std::string("null"));
    o << ",\"undoOffered\":" << (CommandAvailable(IDM_UNDO) ? "true" : "false");
    o << ",\"redoOffered\":" << (CommandAvailable(IDM_REDO) ? "true" : "false");
    o << "}";
    std::printf("%s\n", o.str().c_str());
    std::fflush(stdout);
}

// A whole decimal word within [low, high]: a word, a sign where none may be,
// or a value the receiving type cannot hold is refused, never cut to fit.
bool ParseNumber(const std::string& word, long long low, long long high, long long* value) {
    if (word.empty()) return false;
    char* end = nullptr;
    errno = 0;
    *value = std::strtoll(word.c_str(), &end, 10);
    return *end == '\0' && errno == 0 && *value >= low && *value <= high;
}

bool ReadInt(std::istringstream& in, long long* value, long long low, long long high) {
    std::string word;
    return (in >> word) && ParseNumber(word, low, high, value);
}

// Runs one script command; false when the game has ended.
bool RunCommand(const std::string& cmd, std::istringstream& in, int line) {
    long long a = 0, b = 0;
    std::string word;
    if (cmd == "level") {
        if (!ReadInt(in, &a, 1, LAST_LEVEL)) Fail(line, "level needs a number 1 to 12");
        OnMenuCommand(static_cast<int32_t>(20 + a));
    } else if (cmd == "reset") {
        OnMenuCommand(5);
    } else if (cmd == "menu") {
        // Any id the window message can carry; the game ignores the unknown ones.
        if (!ReadInt(in, &a, INT32_MIN, INT32_MAX)) Fail(line, "menu needs a command id (32-bit)");
        OnMenuCommand(static_cast<int32_t>(a));
        return !HeadlessQuitRequested();
    } else if (cmd == "keys") {
        std::set<std::string> next;
        while (in >> word) {
            if (!FindKey(word)) Fail(line, "unknown key '" + word + "'");
            next.insert(word);
        }
        for (const std::string& k : Held)
            if (!next.count(k)) {
                SetKey(FindKey(k), false);
                OnKeyUp();
            }
        for (const std::string& k : next) SetKey(FindKey(k), true);
        Held = next;
    } else if (cmd == "wait") {
        if (!ReadInt(in, &a, 0, LLONG_MAX)) Fail(line, "wait needs a frame count");
        for (long long i = 0; i < a; ++i)
            if (!Step()) return false;
    } else if (cmd == "rest") {
        // Until every shot has stopped and every deflector rests (added for
        // the solver's demos); at most the given number of frames.
        long long limit = 10000;
        if (in >> word && !ParseNumber(word, 0, LLONG_MAX, &limit)) Fail(line, "rest takes a frame count");
        for (long long i = 0; i < limit && PlayInMotion(Now.Live.play); ++i)
            if (!Step()) return false;
    } else if (cmd == "click") {
        if (!(in >> word) || (word != "left" && word != "right")) Fail(line, "click needs left or right");
        // The window message carries each coordinate in signed 16 bits.
        if (!ReadInt(in, &a, INT16_MIN, INT16_MAX) || !ReadInt(in, &b, INT16_MIN, INT16_MAX))
            Fail(line, "click needs X and Y (-32768 to 32767)");
        if (word == "left") OnLeftButtonDown(static_cast<int32_t>(a), static_cast<int32_t>(b));
        else OnRightButtonDown(static_cast<int32_t>(a), static_cast<int32_t>(b));
    } else if (cmd == "tap") {
        // A player's click or tap in play: the designed click, then the tank drives or fires.
        if (!ReadInt(in, &a, INT16_MIN, INT16_MAX) || !ReadInt(in, &b, INT16_MIN, INT16_MAX))
            Fail(line, "tap needs X and Y (-32768 to 32767)");
        OnFieldTap(static_cast<int32_t>(a), static_cast<int32_t>(b));
    } else if (cmd == "new") {
        gen::Grade grade = gen::EASY;
        if (!(in >> word) || !gen::GradeOfName(word, &grade)) Fail(line, "new needs a grade: easy, medium or hard");
        if (!(in >> word)) Fail(line, "new needs a seed");
        char* end = nullptr;
        errno = 0;
        const unsigned long long seed = std::strtoull(word.c_str(), &end, 10);
        if (*end || errno || word[0] == '-') Fail(line, "new needs a seed 0 to 2^64-1");
        StartNewLevel(grade, seed);
        // The level starts at once, so the frames after it read the same every run.
        WaitForMaking();
    } else if (cmd == "daily") {
        if (!(in >> word)) Fail(line, "daily needs a date YYYY-MM-DD");
        if (!StartDailyLevel(word.c_str())) Fail(line, "daily needs a date YYYY-MM-DD");
        WaitForMaking();
    } else if (cmd == "code") {
        // A code that cannot be read is told as the game tells it, in the messages.
        if (!(in >> word)) Fail(line, "code needs a level code");
        StartCodeLevel(word.c_str());
    } else if (cmd == "button") {
        // A button beside the status line, by its text: what a pointer player clicks.
        if (!(in >> word)) Fail(line, "button needs a name");
        int32_t index = -1;
        for (int32_t i = 0; i < static_cast<int32_t>(sizeof COMFORT_BUTTONS / sizeof COMFORT_BUTTONS[0]); ++i)
            if (word == COMFORT_BUTTONS[i].text) index = i;
        if (index < 0) Fail(line, "no button '" + word + "'");
        OnCommand(Command{COMMAND_BUTTON, index, 0, 0});
    } else if (cmd == "finger") {
        // A finger on the field: down X Y, held (past the long press), up, or cancel.
        if (!(in >> word) || (word != "down" && word != "held" && word != "up" && word != "cancel"))
            Fail(line, "finger needs down X Y, held, up or cancel");
        if (word == "down") {
            if (!ReadInt(in, &a, INT16_MIN, INT16_MAX) || !ReadInt(in, &b, INT16_MIN, INT16_MAX))
                Fail(line, "finger down needs X and Y (-32768 to 32767)");
            OnCommand(Command{COMMAND_TOUCH_DOWN, 0, static_cast<int32_t>(a), static_cast<int32_t>(b)});
        } else {
            OnCommand(Command{word == "held" ? COMMAND_TOUCH_HELD
                              : word == "up" ? COMMAND_TOUCH_UP
                                             : COMMAND_TOUCH_CANCEL,
                              0, 0, 0});
        }
    } else if (cmd == "dump") {
        Dump();
    } else if (cmd == "screenshot") {
        if (!(in >> word)) Fail(line, "screenshot needs a file name");
        if (!HeadlessWriteBmp(BackSurface, word.c_str())) Fail(line, "cannot write " + word);
    } else {
        Fail(line, "unknown command '" + cmd + "'");
    }
    if (in >> word) Fail(line, "unexpected '" + word + "'");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarno-demo SCRIPT\n");
        return 2;
    }
    // A folder or a device is refused by name; a pipe is played as it comes
    // (a script may be written while it plays), and opening never waits.
    const char* why = nullptr;
    std::FILE* script = OpenStreamByName(argv[1], &why);
    if (!script) {
        std::fprintf(stderr, "tarno-demo: cannot read %s as a file: %s\n", argv[1], why);
        return 2;
    }
    HeadlessReset();
    // A dump reads the same on a slow machine as on a fast one.
    CountAdviceBudgetInBoards(true);
    if (const char* saved = std::getenv("TARNO_SAVED_LEVEL")) {
        // The stored byte: levels outside 1..12 stay, the game handles them.
        long long level = 0;
        if (!ParseNumber(saved, 0, UINT8_MAX, &level)) {
            std::fprintf(stderr, "tarno-demo: TARNO_SAVED_LEVEL must be a number 0 to 255\n");
            return 2;
        }
        HeadlessSetSetting(SAVED_LEVEL_SETTING, std::string(1, static_cast<char>(level)));
    }

    OnCreate();
    StartGame();

    std::string text;
    int line = 0;
    while (ReadLine(script, &text, line + 1)) {
        ++line;
        const size_t hash = text.find('#');
        if (hash != std::string::npos) text.erase(hash);
        std::istringstream in(text);
        std::string cmd;
        if (!(in >> cmd)) continue;
        if (!RunCommand(cmd, in, line)) break;
    }
    const bool failed = std::ferror(script) != 0;
    std::fclose(script);
    if (failed) {
        std::fprintf(stderr, "tarno-demo: %s: read failed after line %d\n", argv[1], line);
        return 2;
    }
    ShutdownGame();
    return 0;
}
