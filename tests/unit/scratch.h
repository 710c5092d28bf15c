// A fresh working folder per test: tests write files by bare name and CTest
// may run them side by side.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/tarno-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        dir_ = made ? made : "/tmp";
        char old[4096];
        old_ = getcwd(old, sizeof old) ? old : "/tmp";
        EXPECT_EQ(chdir(dir_.c_str()), 0);
    }
    ~ScratchDir() {
        if (chdir(old_.c_str()) != 0) std::perror("chdir");
        std::string cmd = "rm -rf '" + dir_ + "'";
        if (std::system(cmd.c_str()) != 0) std::perror("rm");
    }
    const std::string& path() const { return dir_; }

private:
    std::string dir_, old_;
};

// Writes bytes to a file in the current folder.
inline void WriteFileBytes(const char* name, const void* data, size_t size) {
    FILE* f = std::fopen(name, "wb");
    ASSERT_NE(f, nullptr);
    if (size) {
        ASSERT_EQ(std::fwrite(data, 1, size, f), size);
    }
    std::fclose(f);
}
