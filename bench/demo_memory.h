// The memory figures the benchmarks print: this process's own from
// /proc/self/status, and the demo player's own high-water mark, read at its
// exit. (wait4's figure for a child counts what its forking parent held,
// since the high-water mark survives fork and exec.)
#pragma once
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace bench {

// A figure in KiB from a /proc status file ("VmHWM:", "VmRSS:"), or -1.
inline long StatusKiB(const std::string& file, const char* field) {
    FILE* f = std::fopen(file.c_str(), "r");
    if (!f) return -1;
    char line[256];
    long kib = -1;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, n) == 0) kib = std::atol(line + n);
    std::fclose(f);
    return kib;
}
inline long OwnStatusKiB(const char* field) { return StatusKiB("/proc/self/status", field); }

struct Run {
    long peakKiB = -1;
    int exitCode = -1;
    std::string note;
};

// Runs tarno-demo (beside the benchmark's folder: ../tools/tarno-demo) on a
// script in the run folder, output thrown away, and reads its VmHWM when it
// stops on its way out.
inline Run RunDemo(const std::string& benchPath, const char* script) {
    Run run;
    const std::string demo = benchPath.substr(0, benchPath.rfind('/') + 1) + "../tools/tarno-demo";
    if (access(demo.c_str(), X_OK) != 0) {
        run.note = "not found next to the benchmark; skipping its memory";
        return run;
    }
    std::fflush(stdout);  // or the child would print it again
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(TARNO_RUN_DIR) != 0) _exit(127);
        if (!freopen("/dev/null", "w", stdout)) _exit(127);
        if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(126);
        execl(demo.c_str(), demo.c_str(), script, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status)) {
        run.note = "could not be traced to read its memory";
        return run;
    }
    ptrace(PTRACE_SETOPTIONS, pid, nullptr, reinterpret_cast<void*>(PTRACE_O_TRACEEXIT));
    ptrace(PTRACE_CONT, pid, nullptr, nullptr);
    const std::string file = "/proc/" + std::to_string(pid) + "/status";
    while (waitpid(pid, &status, 0) == pid) {
        if (WIFEXITED(status)) {
            run.exitCode = WEXITSTATUS(status);
            break;
        }
        if (WIFSIGNALED(status)) break;
        int pass = WSTOPSIG(status);
        if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
            run.peakKiB = StatusKiB(file, "VmHWM:");
            pass = 0;
        }
        ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void*>(static_cast<long>(pass)));
    }
    return run;
}

}  // namespace bench
