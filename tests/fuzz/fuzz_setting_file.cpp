// Any bytes as a value's file on the desktop: it is written whole, read back
// as it is (or refused when longer than asked for), and set aside with every
// byte, never over an earlier set-aside.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../../src/platform/gtk/setting_file.cpp"

namespace {

constexpr int32_t LIMIT = 4096;

void Fail(const char* what) {
    std::fprintf(stderr, "setting file: %s\n", what);
    std::abort();
}

// A folder of its own in memory where there is one: the writes sync.
const std::string& Folder() {
    static std::string dir;
    if (dir.empty()) {
        char name[] = "/dev/shm/tarno-fuzz-XXXXXX";
        char other[] = "/tmp/tarno-fuzz-XXXXXX";
        const char* made = mkdtemp(name);
        if (!made) made = mkdtemp(other);
        if (!made) Fail("no folder to work in");
        dir = made;
        std::atexit([] {
            for (const char* name : {"/records", "/records.bad", "/records.bad.1"}) unlink((dir + name).c_str());
            rmdir(dir.c_str());
        });
    }
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = Folder();
    const std::string path = dir + "/records";
    if (!WriteSettingFile(dir.c_str(), "records", data, static_cast<int32_t>(size))) Fail("a write failed");
    static uint8_t buf[LIMIT];
    int32_t length = -1;
    const int got = ReadSettingFile(path.c_str(), buf, LIMIT, &length);
    if (size > static_cast<size_t>(LIMIT)
            ? got != -1
            : got != 1 || length != static_cast<int32_t>(size) || (size && std::memcmp(buf, data, size) != 0))
        Fail("what was written does not read back");
    // An earlier set-aside stays where it is; this one goes beside it.
    const std::string earlier = path + ".bad", bad = path + ".bad.1";
    static const bool made = WriteSettingFile(dir.c_str(), "records.bad", "earlier", 7);
    if (!made || !WriteSettingFile(dir.c_str(), "records", nullptr, 0)) Fail("a set-aside failed");
    FileBytes kept;
    if (ReadFileByName(bad.c_str(), size + 1, &kept).error || kept.size != size ||
        (size && std::memcmp(kept.data, data, size) != 0))
        Fail("the set-aside lost the original");
    if (access(path.c_str(), F_OK) == 0) Fail("the set-aside left the file");
    if (ReadFileByName(earlier.c_str(), 8, &kept).error || kept.size != 7 || std::memcmp(kept.data, "earlier", 7) != 0)
        Fail("an earlier set-aside was lost");
    unlink(bad.c_str());
    return 0;
}
