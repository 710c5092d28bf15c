// Levels made on the spot: a new level of a grade, the day's level, and a
// board read from its level code. Each plays as a board of one's own. The
// generator runs off the frame: on a worker thread where there are threads,
// else in slices of the frame's spare time (PumpComforts).
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "game/board.h"
#include "game/session.h"
#include "game/win.h"
#include "gen/generate.h"
#include "gen/grade.h"
#include "gen/levelcode.h"
#include "lib/text.h"
#include "platform/platform.h"
#include "platform/worker/worker.h"
#include "shell/comforts.h"
#include "shell/shell.h"

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define TARNO_SLICED_MAKING 1
#endif

namespace {

// What the level being made will be called and where it comes from.
struct Order {
    gen::Grade grade = gen::EASY;
    uint64_t seed = 0;
    char name[48] = {};
    char source[64] = {};
};

// The level being made, and what its maker and the game share: one value.
struct LevelMaking {
    gen::Generation* Making;  // large: on the heap while a level is being made
    Order Ordered;
    std::atomic<bool> Cancel{false}, Done{false};
    char MakingNote[48];
    WorkerThread* Worker;  // where threads are
    gen::Grade LastGrade;  // what File -> New level makes again
};
LevelMaking Maker;
#ifndef TARNO_SLICED_MAKING

void Make(void* generation) {
    gen::ContinueGeneration(static_cast<gen::Generation*>(generation), cellsolver::NO_DEADLINE, &Maker.Cancel);
    Maker.Done = true;
}

void JoinWorker() {
    if (Maker.Worker) JoinThread(Maker.Worker);
    Maker.Worker = nullptr;
}
#endif

void Forget() {
    delete Maker.Making;
    Maker.Making = nullptr;
}

void StopWorker() {
    Maker.Cancel = true;
#ifndef TARNO_SLICED_MAKING
    JoinWorker();
#endif
    Forget();
    Maker.Done = false;
    Maker.MakingNote[0] = '\0';
}

// The made level comes into play once its maker has finished.
void TakeMade() {
    if (!Maker.Making || !Maker.Done) return;
#ifndef TARNO_SLICED_MAKING
    JoinWorker();
#endif
    const bool made = Maker.Making->status == gen::MADE;
    if (made) {
        PlayOwnBoard(Maker.Making->level.bytes, Maker.Ordered.name);
        Comfort.Own.par = Maker.Making->level.figures.par;
        Comfort.Own.tabled = true;
        CopyName(Comfort.OwnSource, sizeof Comfort.OwnSource, Maker.Ordered.source);
    }
    Forget();
    Maker.Done = false;
    Maker.MakingNote[0] = '\0';
}

void Order(gen::Grade grade, uint64_t seed, const char* name, const char* source) {
    StopWorker();
    Maker.Ordered.grade = grade;
    Maker.Ordered.seed = seed;
    CopyName(Maker.Ordered.name, sizeof Maker.Ordered.name, name);
    CopyName(Maker.Ordered.source, sizeof Maker.Ordered.source, source);
    std::snprintf(Maker.MakingNote, sizeof Maker.MakingNote, "Making %s %s level\xE2\x80\xA6",
                  grade == gen::EASY ? "an" : "a", gen::GradeName(grade));
    Maker.Making = new gen::Generation;
    gen::StartGeneration(Maker.Making, grade, seed);
    Maker.Cancel = false;
    Maker.Done = false;
#ifndef TARNO_SLICED_MAKING
    // Without a thread, the level is made here and now.
    Maker.Worker = StartThread(Make, Maker.Making);
    if (!Maker.Worker) Make(Maker.Making);
#endif
}

}  // namespace

void StartNewLevel(int32_t grade, uint64_t seed) {
    const gen::Grade g = static_cast<gen::Grade>(grade < 0 ? 0 : grade >= gen::GRADES ? gen::GRADES - 1 : grade);
    Maker.LastGrade = g;
    char name[gen::LEVEL_NAME_SIZE], source[64];
    gen::LevelName(g, seed, name);
    std::snprintf(source, sizeof source, "new %s %llu", gen::GradeName(g), static_cast<unsigned long long>(seed));
    Order(g, seed, name, source);
}

void StartNewLevel(int32_t grade) {
    // Any seed will do; the time and the tick count differ from start to start.
    const uint64_t seed = (static_cast<uint64_t>(std::time(nullptr)) * 2654435761u + PlatformTicks()) % 100000;
    StartNewLevel(grade, seed);
}

void StartNewLevelAgain() { StartNewLevel(Maker.LastGrade); }

int32_t MadeGrade() {
    if (!Now.OwnLevel) return -1;
    // "new hard 83412" or "daily 2026-12-07 hard": the grade is a word of it.
    const bool made =
        std::strncmp(Comfort.OwnSource, "new ", 4) == 0 || std::strncmp(Comfort.OwnSource, "daily ", 6) == 0;
    for (int32_t g = 0; made && g < gen::GRADES; ++g) {
        char word[16];
        std::snprintf(word, sizeof word, " %s", gen::GradeName(static_cast<gen::Grade>(g)));
        if (std::strstr(Comfort.OwnSource, word)) return g;
    }
    return -1;
}

bool StartDailyLevel(const char* date) {
    gen::Date day;
    char error[gen::DATE_ERROR_SIZE];
    if (date) {
        if (!gen::ParseDate(date, &day, error, sizeof error)) {
            char shown[sizeof error];
            PrintableText(error, shown, sizeof shown);
            PlatformShowMessage(shown);
            return false;
        }
    } else {
        // The player's own calendar day: the daily level changes at local midnight.
        const std::time_t now = std::time(nullptr);
        const std::tm* local = std::localtime(&now);
        if (!local) return false;
        day.year = local->tm_year + 1900;
        day.month = local->tm_mon + 1;
        day.day = local->tm_mday;
    }
    gen::Grade grade = gen::EASY;
    uint64_t seed = 0;
    gen::DailyLevel(day, &grade, &seed);
    char text[gen::DATE_TEXT_SIZE], name[gen::LEVEL_NAME_SIZE], source[64];
    gen::DateText(day, text);
    gen::DailyName(day, name);
    std::snprintf(source, sizeof source, "daily %s %s", text, gen::GradeName(grade));
    Order(grade, seed, name, source);
    return true;
}

bool StartCodeLevel(const char* code) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    char error[gen::LEVEL_CODE_ERROR_SIZE] = "";
    if (!code || !gen::DecodeLevel(code, bytes, error, sizeof error)) {
        char text[gen::LEVEL_CODE_ERROR_SIZE];
        PrintableText(*error ? error : "That is no level code.", text, sizeof text);
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        PlatformShowMessage(text);
        return false;
    }
    StopWorker();
    char canonical[gen::LEVEL_CODE_SIZE];
    gen::EncodeLevel(bytes, canonical, error, sizeof error);
    // The name shows the code's start: enough to tell two codes apart.
    char name[32], source[gen::LEVEL_CODE_SIZE + 8];
    std::snprintf(name, sizeof name, "Code %.8s%s", canonical, std::strlen(canonical) > 8 ? "\xE2\x80\xA6" : "");
    PlayOwnBoard(bytes, name);
    Comfort.Own.tabled = true;
    std::snprintf(source, sizeof source, "code %s", canonical);
    CopyName(Comfort.OwnSource, sizeof Comfort.OwnSource, source);
    return true;
}

bool LevelCode(char* buf, int32_t size) {
    const uint8_t* bytes = Now.OwnLevel ? Now.OwnLevelBytes : Now.LevelBuffer;
    char code[gen::LEVEL_CODE_SIZE], error[gen::LEVEL_CODE_ERROR_SIZE];
    if (!gen::EncodeLevel(bytes, code, error, sizeof error)) return false;
    const size_t length = std::strlen(code);
    if (static_cast<int32_t>(length) >= size) return false;
    std::memcpy(buf, code, length + 1);
    return true;
}

bool CopyLevelCode(char* code, int32_t size) {
    if (!LevelCode(code, size)) {
        PlatformShowMessage("This board has no level code: it holds more than a level can.");
        return false;
    }
    PlatformCopyText(code);
    return true;
}

bool ShareLevel(char* text, int32_t size) {
    char code[gen::LEVEL_CODE_SIZE];
    if (!LevelCode(code, sizeof code)) {
        PlatformShowMessage("This board has no level code: it holds more than a level can.");
        return false;
    }
    if (PlatformShareLevel(code)) return false;
    std::snprintf(text, static_cast<size_t>(size), "tarno --code %s", code);
    PlatformCopyText(text);
    return true;
}

void AskLevelCode() {
    char code[256] = {};
    if (PlatformAskText("Level code:", code, sizeof code)) StartCodeLevel(code);
}

const char* MakingLevelNote() { return Maker.Making ? Maker.MakingNote : nullptr; }

void UpdateMaking() { TakeMade(); }

void PumpMaking(uint32_t sliceMs) {
#ifdef TARNO_SLICED_MAKING
    if (!Maker.Making || Maker.Done) return;
    const cellsolver::Micros end = SteadyMicros() + static_cast<uint64_t>(sliceMs) * 1000;
    if (gen::ContinueGeneration(Maker.Making, end, &Maker.Cancel)) Maker.Done = true;
#else
    (void)sliceMs;
#endif
}

void WaitForMaking() {
    if (!Maker.Making) return;
#ifdef TARNO_SLICED_MAKING
    while (!Maker.Done) PumpMaking(1000);
#else
    JoinWorker();
#endif
    TakeMade();
}

void StopMaking() { StopWorker(); }

namespace {

bool ParseSeed(const char* text, uint64_t* seed) {
    if (!text || !std::isdigit(static_cast<unsigned char>(*text))) return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (*end || errno) return false;
    *seed = value;
    return true;
}

int32_t GradeNumber(const char* name) {
    gen::Grade g = gen::EASY;
    return name && gen::GradeOfName(name, &g) ? static_cast<int32_t>(g) : -1;
}

}  // namespace

bool CommandLineFits(int argc, char** argv) {
    if (argc < 2) return true;
    const char* first = argv[1];
    uint64_t seed = 0;
    if (std::strcmp(first, "--new") == 0)
        return argc > 2 && GradeNumber(argv[2]) >= 0 &&
               (argc == 3 || (argc == 5 && std::strcmp(argv[3], "--seed") == 0 && ParseSeed(argv[4], &seed)));
    if (std::strcmp(first, "--daily") == 0) return argc <= 3;
    if (std::strcmp(first, "--code") == 0) return argc == 3;
    // A file whose name starts with '-' is ./-name, as for any program.
    return argc == 2 && (first[0] != '-' || first[1] == '\0');
}

bool StartFromCommandLine(int argc, char** argv) {
    if (argc < 2) return true;
    const char* first = argv[1];
    if (std::strcmp(first, "--new") == 0) {
        const int32_t grade = argc > 2 ? GradeNumber(argv[2]) : -1;
        uint64_t seed = 0;
        if (grade >= 0 && argc == 3) StartNewLevel(grade);
        else if (grade >= 0 && argc == 5 && std::strcmp(argv[3], "--seed") == 0 && ParseSeed(argv[4], &seed))
            StartNewLevel(grade, seed);
        else return false;
        return true;
    }
    if (std::strcmp(first, "--daily") == 0) {
        if (argc > 3) return false;
        StartDailyLevel(argc == 3 ? argv[2] : nullptr);
        return true;
    }
    if (std::strcmp(first, "--code") == 0) {
        if (argc != 3) return false;
        StartCodeLevel(argv[2]);
        return true;
    }
    if (argc != 2 || std::strncmp(first, "--", 2) == 0) return false;
    PlayLevelFile(argv[1]);
    return true;
}

bool StartFromLink(const char* fragment) {
    // What a link carries is anyone's: it is only ever read here, within bounds.
    if (!fragment) return false;
    if (*fragment == '#') ++fragment;
    const size_t length = strnlen(fragment, 512);
    if (length == 0) return false;
    if (length >= 512) {
        PlatformShowMessage("That link is too long to name a level.");
        return false;
    }
    char text[512];
    std::memcpy(text, fragment, length);
    text[length] = '\0';
    if (std::strncmp(text, "code=", 5) == 0) return StartCodeLevel(text + 5);
    if (std::strcmp(text, "daily") == 0) return StartDailyLevel(nullptr);
    if (std::strncmp(text, "daily=", 6) == 0) return StartDailyLevel(text + 6);
    if (std::strncmp(text, "new=", 4) == 0) {
        char* colon = std::strchr(text, ':');
        if (colon) *colon = '\0';  // the grade's name ends there
        const int32_t grade = GradeNumber(text + 4);
        uint64_t seed = 0;
        if (grade < 0 || (colon && !ParseSeed(colon + 1, &seed))) {
            PlatformShowMessage("That link names no level: #new=easy, medium or hard, then :SEED");
            return false;
        }
        if (!colon) StartNewLevel(grade);
        else StartNewLevel(grade, seed);
        return true;
    }
    PlatformShowMessage("That link names no level: #code=CODE, #daily, #daily=YYYY-MM-DD or #new=GRADE[:SEED]");
    return false;
}
