// tarno-demo SCRIPT: plays a script of what a player does through the real
// game frames on the headless platform, with a virtual clock, so a demo
// always plays the same way. See README for the script language.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/history.h"
#include "game/play.h"
#include "game/sprites.h"
#include "lib/display.h"
#include "lib/input.h"
#include "lib/sound.h"
#include "platform/headless/headless.h"
#include "shell/shell.h"
#include "solver/solver.h"

namespace {

struct KeyName {
    const char* name;
    int scanCode;
    int virtualKey;  // 0 when the game reads the key only by scan code
};

const KeyName KEYS[] = {
    {"left", DIK_LEFT, 0}, {"up", DIK_UP, 0}, {"right", DIK_RIGHT, 0}, {"down", DIK_DOWN, 0},
    {"r", DIK_R, 0},       {"d", DIK_D, 0},   {"s", DIK_S, 0},         {"l", DIK_L, 0},
    {"esc", 0x01, VK_ESCAPE_KEY}, {"enter", 0x1C, VK_RETURN_KEY},
    {"u", DIK_U, 0},       {"y", DIK_Y, 0},   {"h", DIK_H, 0},         {"p", DIK_P, 0},
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
    std::ostringstream o;
    o << "{\"frame\":" << FramesRun << ",\"level\":" << int(CurrentLevel) << ",\"won\":" << (LevelWon ? "true" : "false")
      << ",\"editor\":" << (EditorMode ? "true" : "false") << ",\"tank\":{\"x\":" << TankBob.x << ",\"y\":" << TankBob.y
      << ",\"frame\":" << TankBob.currFrame << ",\"firing\":" << (TankFiring ? "true" : "false") << "},\"board\":[";
    for (int cx = 0; cx < BOARD_CELLS; ++cx) {
        o << (cx ? ",[" : "[");
        for (int cy = 0; cy < BOARD_CELLS; ++cy) o << (cy ? "," : "") << Board[cx][cy];
        o << "]";
    }
    o << "],\"balloonsLeft\":" << BalloonsLeft << ",\"balloons\":[";
    for (int b = 0; b < BalloonCount; ++b)
        o << (b ? "," : "") << "{\"slot\":" << b << ",\"x\":" << Play.balloonX[b] << ",\"y\":" << Play.balloonY[b]
          << ",\"alive\":" << (BalloonAlive[b] ? "true" : "false") << "}";
    o << "],\"deflectors\":[";
    for (int d = 0; d < DeflectorCount; ++d) {
        const Deflector& b = Play.deflectors[d];
        o << (d ? "," : "") << "{\"slot\":" << d << ",\"x\":" << b.x << ",\"y\":" << b.y << ",\"xv\":" << b.xv
          << ",\"yv\":" << b.yv << ",\"frame\":" << b.orientation << "}";
    }
    o << "],\"shots\":[";
    for (int i = 0; i < MAX_SHOTS; ++i) {
        o << (i ? "," : "") << "{\"slot\":" << i << ",\"active\":" << (Play.shotActive[i] ? "true" : "false")
          << ",\"x\":" << Play.shotX[i] << ",\"y\":" << Play.shotY[i] << ",\"xv\":" << Play.shotXV[i]
          << ",\"yv\":" << Play.shotYV[i] << ",\"frame\":" << Play.shotFrame[i] << "}";
    }
    o << "],\"impact\":{\"active\":" << (Play.impactActive ? "true" : "false") << ",\"x\":" << Play.impactX
      << ",\"y\":" << Play.impactY << ",\"frame\":" << ImpactBob.currFrame << "},\"sounds\":[";
    const std::vector<HeadlessSoundEvent>& log = HeadlessSoundLog();
    bool first = true;
    for (; SoundsSeen < log.size(); ++SoundsSeen)
        if (log[SoundsSeen].kind == HeadlessSoundEvent::PLAY) {
            o << (first ? "" : ",") << JsonString(SoundName(log[SoundsSeen].buffer));
            first = false;
        }
    o << "],\"messages\":[";
    const std::vector<std::string>& messages = HeadlessMessages();
    for (size_t i = MessagesSeen; i < messages.size(); ++i) o << (i > MessagesSeen ? "," : "") << JsonString(messages[i]);
    MessagesSeen = messages.size();
    o << "],\"menu\":[";
    const char* comma = "";
    for (int n = 1; n <= LAST_LEVEL; ++n)
        if (HeadlessMenuEnabled(20 + n)) {
            o << comma << n;
            comma = ",";
        }
    o << "],\"about\":" << HeadlessAboutShown() << ",\"saved\":";
    if (HeadlessProgressPresent()) o << int(HeadlessProgress());
    else o << "null";
    // The solver's answer is waited for, so that a demo reads the same every run.
    WaitForAdvice();
    const int32_t par = LevelPar();
    o << ",\"shotsFired\":" << ShotsFired << ",\"par\":";
    if (par > 0) o << par;
    else o << "null";
    const int8_t lost = AdviceLost();
    o << ",\"lost\":" << (lost < 0 ? "null" : lost ? "true" : "false") << ",\"hint\":";
    const int32_t hint = AdviceHintEntry();
    if (hint >= 0) o << "{\"entry\":" << JsonString(solver::EntryName(hint)) << "}";
    else o << "null";
    o << ",\"undoDepth\":" << UndoDepth() << ",\"redoDepth\":" << RedoDepth() << ",\"status\":" << JsonString(StatusLine())
      << "}";
    std::printf("%s\n", o.str().c_str());
    std::fflush(stdout);
}

bool ReadInt(std::istringstream& in, long* value) {
    std::string word;
    if (!(in >> word)) return false;
    char* end = nullptr;
    *value = std::strtol(word.c_str(), &end, 10);
    return *end == '\0';
}

// Runs one script command; false when the game has ended.
bool RunCommand(const std::string& cmd, std::istringstream& in, int line) {
    long a = 0, b = 0;
    std::string word;
    if (cmd == "level") {
        if (!ReadInt(in, &a) || a < 1 || a > LAST_LEVEL) Fail(line, "level needs a number 1 to 12");
        OnMenuCommand(static_cast<int32_t>(20 + a));
    } else if (cmd == "reset") {
        OnMenuCommand(5);
    } else if (cmd == "menu") {
        if (!ReadInt(in, &a)) Fail(line, "menu needs a command id");
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
        if (!ReadInt(in, &a) || a < 0) Fail(line, "wait needs a frame count");
        for (long i = 0; i < a; ++i)
            if (!Step()) return false;
    } else if (cmd == "rest") {
        // Until every shot has stopped and every deflector rests (added for
        // the solver's demos); at most the given number of frames.
        long limit = 10000;
        if (in >> word) limit = std::strtol(word.c_str(), nullptr, 10);
        for (long i = 0; i < limit && PlayInMotion(Play); ++i)
            if (!Step()) return false;
    } else if (cmd == "click") {
        if (!(in >> word) || (word != "left" && word != "right")) Fail(line, "click needs left or right");
        if (!ReadInt(in, &a) || !ReadInt(in, &b)) Fail(line, "click needs X and Y");
        if (word == "left") OnLeftButtonDown(static_cast<int32_t>(a), static_cast<int32_t>(b));
        else OnRightButtonDown(static_cast<int32_t>(a), static_cast<int32_t>(b));
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
    std::ifstream script(argv[1]);
    if (!script) {
        std::fprintf(stderr, "tarno-demo: cannot read %s\n", argv[1]);
        return 2;
    }
    HeadlessReset();
    if (const char* saved = std::getenv("TARNO_SAVED_LEVEL"))
        HeadlessSetProgress(true, static_cast<uint8_t>(std::strtol(saved, nullptr, 10)));

    OnCreate();
    StartGame();

    std::string text;
    int line = 0;
    while (std::getline(script, text)) {
        ++line;
        const size_t hash = text.find('#');
        if (hash != std::string::npos) text.erase(hash);
        std::istringstream in(text);
        std::string cmd;
        if (!(in >> cmd)) continue;
        if (!RunCommand(cmd, in, line)) break;
    }
    ShutdownGame();
    return 0;
}
