// A fresh working folder per test: tests write files by bare name and CTest
// may run them side by side.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

class ScratchDir {
public:
    ScratchDir() {
        namespace fs = std::filesystem;
        std::error_code ec;
        old_ = fs::current_path(ec).string();
        // Beside the current folder on Windows: under Wine that keeps every
        // path on the drive that also reaches the build's absolute paths.
#ifdef _WIN32
        fs::path base = fs::current_path(ec);
#else
        fs::path base = "/tmp";
#endif
        std::random_device random;
        for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
            fs::path candidate = base / ("tarno-test-" + std::to_string(random()));
            if (fs::create_directory(candidate, ec)) dir_ = candidate.string();
        }
        EXPECT_FALSE(dir_.empty());
        if (dir_.empty()) dir_ = base.string();
        fs::current_path(dir_, ec);
        EXPECT_FALSE(ec) << ec.message();
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::current_path(old_, ec);
        if (ec) std::perror("chdir");
        std::filesystem::remove_all(dir_, ec);
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

// The whole of a file, or nothing when it cannot be read.
inline std::vector<uint8_t> ReadFileBytes(const char* name) {
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(name, "rb")) {
        for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    return bytes;
}

// Little-endian fields of the file formats, in a byte buffer.
inline void PutLe(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t GetLe(const std::vector<uint8_t>& b, size_t at, int bytes = 4) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
    return v;
}
