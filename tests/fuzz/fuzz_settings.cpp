// Any bytes as the player's stored values (the records text, the saved
// level, the sound switch), read at the game's start: whatever is stored is
// either read and kept as it was, or set aside whole; a records text that is
// read is written back in a form that reads the same.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/headless/headless.h"
#include "shell/shell.h"

extern "C" void __sanitizer_set_report_fd(void* fd);

namespace {

void Fail(const char* what) {
    std::fprintf(stderr, "settings: %s\n", what);
    std::abort();
}

// The game tells each set-aside on standard error: millions of runs would
// drown the fuzzer's own report. The sanitizers report on a copy of it.
int Quiet = -1, Loud = -1;

void Hush(bool hush) {
    if (Loud < 0) {
        Loud = dup(2);
        Quiet = open("/dev/null", O_WRONLY);
        __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<intptr_t>(Loud)));
    }
    std::fflush(stderr);
    dup2(hush ? Quiet : Loud, 2);
}

std::string Stored(const char* name) {
    std::string bytes;
    return HeadlessSetting(name, &bytes) ? bytes : "(absent)";
}

}  // namespace

// The first byte says which value the rest is stored as.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const NAMES[] = {"records", SAVED_LEVEL_SETTING, "sound"};
    const char* name = NAMES[data[0] % 3];
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    Hush(true);
    HeadlessReset();
    HeadlessSetSetting(name, bytes);
    LoadPlayerSettings();
    (void)ReadSavedLevel();
    Hush(false);
    const bool setAside = Stored(name) == "(absent)";
    if (setAside && Stored((std::string(name) + ".bad").c_str()) != bytes) Fail("a set-aside lost the original");
    if (!setAside && Stored(name) != bytes) Fail("reading changed what is stored");
    if (name == NAMES[0] && !setAside) {
        // A win writes the records back; the next start reads them alike.
        Hush(true);
        RecordDailyWin("2026-12-07", 1, 5);
        const std::string written = Stored("records");
        const std::string panel = RecordsText();
        HeadlessMessages().clear();
        LoadPlayerSettings();
        Hush(false);
        if (!HeadlessMessages().empty() || Stored("records") != written || panel != RecordsText())
            Fail("written records do not read back the same");
    }
    return 0;
}
