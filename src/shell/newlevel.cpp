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
#include <memory>
#include <string>

#include "game/board.h"
#include "game/win.h"
#include "gen/generate.h"
#include "gen/grade.h"
#include "gen/levelcode.h"
#include "platform/platform.h"
#include "platform/worker/worker.h"
#include "shell/comforts.h"
#include "shell/shell.h"

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define TARNO_SLICED_MAKING 1
#endif

char OwnSource[64];

namespace {

// What the level being made will be called and where it comes from.
struct Order {
    gen::Grade grade = gen::EASY;
    uint64_t seed = 0;
    char name[48] = {};
    char source[64] = {};
};

std::unique_ptr<gen::Generation> Making;
Order Ordered;
std::atomic<bool> Cancel{false}, Done{false};
char MakingNote[48];
#ifndef TARNO_SLICED_MAKING
WorkerThread* Worker;

void Make(void* generation) {
    gen::ContinueGeneration(static_cast<gen::Generation*>(generation), cellsolver::NO_DEADLINE, &Cancel);
    Done = true;
}

void JoinWorker() {
    if (Worker) JoinThread(Worker);
    Worker = nullptr;
}
#endif

void StopWorker() {
    Cancel = true;
#ifndef TARNO_SLICED_MAKING
    JoinWorker();
#endif
    Making.reset();
    Done = false;
    MakingNote[0] = '\0';
}

// The made level comes into play once its maker has finished.
void TakeMade() {
    if (!Making || !Done) return;
#ifndef TARNO_SLICED_MAKING
    JoinWorker();
#endif
    const bool made = Making->status == gen::MADE;
    if (made) {
        PlayOwnBoard(Making->level.bytes, Ordered.name);
        OwnPar = Making->level.figures.par;
        OwnTabled = true;
        CopyName(OwnSource, sizeof OwnSource, Ordered.source);
    }
    Making.reset();
    Done = false;
    MakingNote[0] = '\0';
}

void Order(gen::Grade grade, uint64_t seed, const std::string& name, const std::string& source) {
    StopWorker();
    Ordered.grade = grade;
    Ordered.seed = seed;
    CopyName(Ordered.name, sizeof Ordered.name, name.c_str());
    CopyName(Ordered.source, sizeof Ordered.source, source.c_str());
    std::snprintf(MakingNote, sizeof MakingNote, "Making %s %s level\xE2\x80\xA6", grade == gen::EASY ? "an" : "a",
                  gen::GradeName(grade));
    Making = std::make_unique<gen::Generation>();
    gen::StartGeneration(Making.get(), grade, seed);
    Cancel = false;
    Done = false;
#ifndef TARNO_SLICED_MAKING
    // Without a thread, the level is made here and now.
    Worker = StartThread(Make, Making.get());
    if (!Worker) Make(Making.get());
#endif
}

}  // namespace

void StartNewLevel(int32_t grade, uint64_t seed) {
    const gen::Grade g = static_cast<gen::Grade>(grade < 0 ? 0 : grade >= gen::GRADES ? gen::GRADES - 1 : grade);
    Order(g, seed, gen::LevelName(g, seed), std::string("new ") + gen::GradeName(g) + " " + std::to_string(seed));
}

void StartNewLevel(int32_t grade) {
    // Any seed will do; the time and the tick count differ from start to start.
    const uint64_t seed = (static_cast<uint64_t>(std::time(nullptr)) * 2654435761u + PlatformTicks()) % 100000;
    StartNewLevel(grade, seed);
}

bool StartDailyLevel(const char* date) {
    gen::Date day;
    std::string error;
    if (date) {
        if (!gen::ParseDate(date, &day, &error)) {
            PlatformShowMessage(error.c_str());
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
    const std::string text = gen::DateText(day);
    Order(grade, seed, "Daily " + text + ", " + gen::GradeName(grade), "daily " + text + " " + gen::GradeName(grade));
    return true;
}

bool StartCodeLevel(const char* code) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string error;
    if (!code || !gen::DecodeLevel(code, bytes, &error)) {
        std::string text = error.empty() ? std::string("That is no level code.") : error;
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        PlatformShowMessage(text.c_str());
        return false;
    }
    StopWorker();
    std::string canonical;
    gen::EncodeLevel(bytes, &canonical, &error);
    // The name shows the code's start: enough to tell two codes apart.
    const std::string name = "Code " + canonical.substr(0, 8) + (canonical.size() > 8 ? "\xE2\x80\xA6" : "");
    PlayOwnBoard(bytes, name.c_str());
    OwnTabled = true;
    CopyName(OwnSource, sizeof OwnSource, ("code " + canonical).c_str());
    return true;
}

bool LevelCode(char* buf, int32_t size) {
    const uint8_t* bytes = OwnLevel ? OwnLevelBytes : LevelBuffer;
    std::string code, error;
    if (!gen::EncodeLevel(bytes, &code, &error) || static_cast<int32_t>(code.size()) >= size) return false;
    std::memcpy(buf, code.c_str(), code.size() + 1);
    return true;
}

void CopyLevelCode() {
    char code[128];
    if (!LevelCode(code, sizeof code)) {
        PlatformShowMessage("This board has no level code: it holds more than a level can.");
        return;
    }
    PlatformCopyText(code);
}

void AskLevelCode() {
    char code[256] = {};
    if (PlatformAskText("Level code:", code, sizeof code)) StartCodeLevel(code);
}

const char* MakingLevelNote() { return Making ? MakingNote : nullptr; }

void UpdateMaking() { TakeMade(); }

void PumpMaking(uint32_t sliceMs) {
#ifdef TARNO_SLICED_MAKING
    if (!Making || Done) return;
    const cellsolver::Micros end = SteadyMicros() + static_cast<uint64_t>(sliceMs) * 1000;
    if (gen::ContinueGeneration(Making.get(), end, &Cancel)) Done = true;
#else
    (void)sliceMs;
#endif
}

void WaitForMaking() {
    if (!Making) return;
#ifdef TARNO_SLICED_MAKING
    while (!Done) PumpMaking(1000);
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

bool StartFromCommandLine(int argc, char** argv) {
    if (argc < 2) return true;
    const std::string first = argv[1];
    if (first == "--new") {
        const int32_t grade = argc > 2 ? GradeNumber(argv[2]) : -1;
        uint64_t seed = 0;
        if (grade >= 0 && argc == 3) StartNewLevel(grade);
        else if (grade >= 0 && argc == 5 && std::string(argv[3]) == "--seed" && ParseSeed(argv[4], &seed))
            StartNewLevel(grade, seed);
        else return false;
        return true;
    }
    if (first == "--daily") {
        if (argc > 3) return false;
        StartDailyLevel(argc == 3 ? argv[2] : nullptr);
        return true;
    }
    if (first == "--code") {
        if (argc != 3) return false;
        StartCodeLevel(argv[2]);
        return true;
    }
    if (argc != 2 || first.compare(0, 2, "--") == 0) return false;
    PlayLevelFile(argv[1]);
    return true;
}

bool StartFromLink(const char* fragment) {
    // What a link carries is anyone's: it is only ever read here, within bounds.
    if (!fragment) return false;
    if (*fragment == '#') ++fragment;
    const size_t length = strnlen(fragment, 512);
    if (length == 0 || length >= 512) return false;
    const std::string text(fragment, length);
    if (text.compare(0, 5, "code=") == 0) return StartCodeLevel(text.c_str() + 5);
    if (text == "daily") return StartDailyLevel(nullptr);
    if (text.compare(0, 6, "daily=") == 0) return StartDailyLevel(text.c_str() + 6);
    if (text.compare(0, 4, "new=") == 0) {
        const size_t colon = text.find(':');
        const int32_t grade =
            GradeNumber(text.substr(4, colon == std::string::npos ? std::string::npos : colon - 4).c_str());
        uint64_t seed = 0;
        if (grade < 0 || (colon != std::string::npos && !ParseSeed(text.c_str() + colon + 1, &seed))) {
            PlatformShowMessage("That link names no level: #new=easy, medium or hard, then :SEED");
            return false;
        }
        if (colon == std::string::npos) StartNewLevel(grade);
        else StartNewLevel(grade, seed);
        return true;
    }
    return false;
}
