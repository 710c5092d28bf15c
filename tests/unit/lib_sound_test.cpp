// Sound slots and the WAV reader: files written by sox, spliced and damaged
// ones, ids and free slots, and what reaches the platform.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "lib/sound.h"
#include "platform/headless/headless.h"
#include "scratch.h"

namespace {

using Bytes = std::vector<uint8_t>;
struct Chunk {
    std::string id;
    Bytes body;
};

void WriteBytes(const char* name, const Bytes& b) { WriteFileBytes(name, b.data(), b.size()); }

// The chunks of a well-formed RIFF form, taken apart and put together again.
std::vector<Chunk> SplitChunks(const Bytes& file) {
    std::vector<Chunk> out;
    size_t pos = 12;
    while (pos + 8 <= file.size()) {
        const uint32_t size = GetLe(file, pos + 4);
        out.push_back({std::string(file.begin() + pos, file.begin() + pos + 4),
                       Bytes(file.begin() + pos + 8, file.begin() + pos + 8 + size)});
        pos += 8 + size + (size & 1);
    }
    return out;
}

Bytes JoinChunks(const std::vector<Chunk>& chunks) {
    Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& c : chunks) {
        const size_t at = b.size();
        b.insert(b.end(), c.id.begin(), c.id.end());
        b.resize(b.size() + 4);
        PutLe(b, at + 4, static_cast<uint32_t>(c.body.size()));
        b.insert(b.end(), c.body.begin(), c.body.end());
        if (c.body.size() & 1) b.push_back(0);
    }
    PutLe(b, 4, static_cast<uint32_t>(b.size() - 8));
    return b;
}

const Chunk* Find(const std::vector<Chunk>& chunks, const char* id) {
    for (const Chunk& c : chunks)
        if (c.id == id) return &c;
    return nullptr;
}

// A small PCM file made by hand: the given format tag and rate, 16-byte fmt.
Bytes HandWav(uint16_t tag, uint32_t rate, const Bytes& samples) {
    Bytes fmt(16, 0);
    PutLe(fmt, 0, tag, 2);
    fmt[2] = 1;
    PutLe(fmt, 4, rate);
    PutLe(fmt, 8, rate);
    fmt[12] = 1;
    fmt[14] = 8;
    return JoinChunks({{"fmt ", fmt}, {"data", samples}});
}

bool HaveSox() { return std::system("sox --version >/dev/null 2>&1") == 0; }

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ShutdownSound();
        HeadlessReset();
        ASSERT_EQ(InitSound(), 1);
        WriteBytes("a.wav", HandWav(1, 11025, {10, 20, 30}));
    }
    void TearDown() override {
        ShutdownSound();
        EXPECT_EQ(HeadlessLiveSoundBuffers(), 0);
    }
    ScratchDir dir;
};

// What the log says happened to one buffer, as letters: P play, S stop, R rewind.
std::string Events(const SoundBuffer* buffer) {
    std::string s;
    for (const HeadlessSoundEvent& e : HeadlessSoundLog())
        if (e.buffer == buffer) s += "PSR"[e.kind];
    return s;
}

}  // namespace

// Files from an independent encoder: PCM loads as its data bytes, whatever
// chunks surround it; compressed formats are refused.
TEST_F(SoundTest, SoxFilesLoadAsTheirDataBytes) {
#ifdef _WIN32
    if (!HaveSox()) GTEST_SKIP() << "sox is not a tool of this system";
#endif
    ASSERT_TRUE(HaveSox()) << "sox is not installed (make deps-test installs it)";
    ASSERT_EQ(std::system("sox -n -r 8000 -c 1 -e a-law al.wav synth 0.01 sine 440"), 0);
    ASSERT_EQ(std::system("sox -n -r 8000 -c 1 -e ima-adpcm ima.wav synth 0.05 sine 440"), 0);
    EXPECT_EQ(LoadWav("al.wav", 0), -1);
    EXPECT_EQ(LoadWav("ima.wav", 0), -1);
    EXPECT_EQ(HeadlessLiveSoundBuffers(), 0);

    ASSERT_EQ(std::system("sox -n -r 11025 -b 8 -c 1 -e unsigned-integer m8.wav synth 0.01 sine 440"), 0);
    ASSERT_EQ(std::system("sox -n -r 22050 -b 16 -c 2 s16.wav synth 0.01 sine 440"), 0);
    const std::vector<Chunk> m8File = SplitChunks(ReadFileBytes("m8.wav"));
    const std::vector<Chunk> s16File = SplitChunks(ReadFileBytes("s16.wav"));
    const Chunk *m8 = Find(m8File, "data"), *s16 = Find(s16File, "data");
    ASSERT_TRUE(m8 && s16);
    ASSERT_EQ(LoadWav("m8.wav", 0), 0);
    EXPECT_EQ(SoundTable[0].rate, 11025u);
    EXPECT_EQ(SoundTable[0].size, m8->body.size());
    EXPECT_EQ(HeadlessSoundSamples(SoundTable[0].buffer), m8->body);
    // 16-bit stereo: its bytes go to the platform as they are; the rate is
    // only recorded.
    ASSERT_EQ(LoadWav("s16.wav", 0), 1);
    EXPECT_EQ(SoundTable[1].rate, 22050u);
    EXPECT_EQ(HeadlessSoundSamples(SoundTable[1].buffer), s16->body);

    // Other chunks are skipped: an odd-sized one (with its pad byte) before
    // the format, two between the format and the data, and one after.
    const Chunk list{"LIST", Bytes{'I', 'N', 'F', 'O', 'x'}};
    const Chunk fact{"fact", Bytes{1, 0, 0, 0}};
    const Chunk odd{"junk", Bytes{'d', 'a', 't'}};
    const Chunk fmt = *Find(m8File, "fmt ");
    WriteBytes("spliced.wav", JoinChunks({list, fmt, fact, odd, *m8, list}));
    ASSERT_EQ(LoadWav("spliced.wav", 0), 2);
    EXPECT_EQ(HeadlessSoundSamples(SoundTable[2].buffer), m8->body);
    // A data chunk before the format is not looked for.
    WriteBytes("early.wav", JoinChunks({*m8, fmt}));
    EXPECT_EQ(LoadWav("early.wav", 0), -1);
}

TEST(WavParse, DamagedFilesNeverReadPastTheirEnd) {
    const Bytes samples = {1, 2, 3, 4, 5, 6, 7, 8};
    const Bytes good = HandWav(1, 8000, samples);
    WavData w{};
    ASSERT_EQ(ParseWav(good.data(), static_cast<uint32_t>(good.size()), &w), 1);
    EXPECT_EQ(w.formatTag, 1);
    EXPECT_EQ(w.rate, 8000u);
    EXPECT_EQ(w.size, 8u);
    EXPECT_EQ(std::memcmp(w.samples, samples.data(), 8), 0);

    // Cut inside the data: the bytes that are there. Each cut is copied to a
    // buffer of exactly its size so a sanitizer sees any read past it.
    for (size_t cut = good.size(); cut-- > 0;) {
        Bytes part(good.begin(), good.begin() + static_cast<long>(cut));
        WavData v{};
        const int r = ParseWav(part.data(), static_cast<uint32_t>(part.size()), &v);
        if (cut >= good.size() - samples.size()) {
            ASSERT_EQ(r, 1) << cut;
            EXPECT_EQ(v.size, cut - (good.size() - samples.size()));
        } else if (r) {
            EXPECT_EQ(v.size, 0u) << cut;
        }
    }
    // A 16-byte format right at the end of the file: fewer than 18 bytes.
    Bytes f = JoinChunks({{"data", samples}, {"fmt ", Bytes(16, 0)}});
    f[f.size() - 16] = 1;
    EXPECT_EQ(ParseWav(f.data(), static_cast<uint32_t>(f.size()), &w), 0);
    // Not a RIFF form, not a WAVE, or no data at all.
    for (size_t at : {0, 8}) {
        f = good;
        f[at] = 'X';
        EXPECT_EQ(ParseWav(f.data(), static_cast<uint32_t>(f.size()), &w), 0);
    }
    f = JoinChunks({{"fmt ", Bytes(18, 0)}});
    f[20] = 1;
    EXPECT_EQ(ParseWav(f.data(), static_cast<uint32_t>(f.size()), &w), 0);
    // A chunk size that would skip far past the file.
    f = JoinChunks({{"junk", Bytes(4, 0)}, {"fmt ", Bytes(16, 0)}});
    PutLe(f, 16, 0xFFFFFFF0u);
    EXPECT_EQ(ParseWav(f.data(), static_cast<uint32_t>(f.size()), &w), 0);
    // A data chunk claiming 4 GB gives what is there.
    f = good;
    PutLe(f, f.size() - samples.size() - 4, 0xFFFFFFFFu);
    ASSERT_EQ(ParseWav(f.data(), static_cast<uint32_t>(f.size()), &w), 1);
    EXPECT_EQ(w.size, samples.size());
    // A RIFF size larger than the file is bounded by the file.
    f = good;
    PutLe(f, 4, 0xFFFFFFFFu);
    EXPECT_EQ(ParseWav(f.data(), static_cast<uint32_t>(f.size()), &w), 1);
    EXPECT_EQ(ParseWav(nullptr, 100, &w), 0);
    EXPECT_EQ(ParseWav(good.data(), static_cast<uint32_t>(good.size()), nullptr), 0);
}

TEST_F(SoundTest, PlayRewindsFirstStopRewindsAfterAndUnknownIdsDoNothing) {
    const int32_t id = LoadWav("a.wav", 0);
    ASSERT_EQ(id, 0);
    const SoundBuffer* buffer = SoundTable[id].buffer;
    EXPECT_EQ(PlaySoundEffect(id, 0), 1);
    EXPECT_EQ(PlaySoundEffect(id, 0), 1);
    EXPECT_EQ(StopSoundEffect(id), 1);
    EXPECT_EQ(Events(buffer), "RPRPSR");
    HeadlessSoundLog().clear();
    EXPECT_EQ(StopAllSounds(), 1);
    EXPECT_EQ(Events(buffer), "SR");
    // Ids without a sound do nothing.
    HeadlessSoundLog().clear();
    for (int32_t other : {-1, 1, 63, 64, 1000, INT32_MIN}) {
        EXPECT_EQ(PlaySoundEffect(other, 0), 1) << other;
        EXPECT_EQ(StopSoundEffect(other), 1) << other;
        EXPECT_EQ(DeleteSoundEffect(other), 1) << other;
    }
    EXPECT_TRUE(HeadlessSoundLog().empty());
    EXPECT_EQ(HeadlessLiveSoundBuffers(), 1);
}

TEST_F(SoundTest, FailedLoadsLeaveTheirSlotFreeAndFreedSlotsAreTakenAgain) {
    WriteBytes("alaw.wav", HandWav(6, 8000, {1, 2}));
    WriteBytes("empty.wav", HandWav(1, 11025, {}));
    EXPECT_EQ(LoadWav("missing.wav", 0), -1);
    EXPECT_EQ(LoadWav("alaw.wav", 0), -1);
    EXPECT_EQ(LoadWav("empty.wav", 0), -1);
    EXPECT_EQ(LoadWav(nullptr, 0), -1);
    EXPECT_EQ(LoadWav("a.wav", 0), 0);
    EXPECT_EQ(LoadWav("alaw.wav", 0), -1);
    EXPECT_EQ(LoadWav("a.wav", 0), 1);
    // Sixty-four slots, then none.
    for (int32_t i = 2; i < MAX_SOUNDS; ++i) ASSERT_EQ(LoadWav("a.wav", 0), i);
    EXPECT_EQ(LoadWav("a.wav", 0), -1);
    EXPECT_EQ(HeadlessLiveSoundBuffers(), MAX_SOUNDS);
    // Deleting frees the slot for the next load.
    EXPECT_EQ(DeleteSoundEffect(17), 1);
    EXPECT_EQ(HeadlessLiveSoundBuffers(), MAX_SOUNDS - 1);
    EXPECT_EQ(LoadWav("a.wav", 0), 17);
    // InitSound empties the table and releases every buffer.
    ASSERT_EQ(InitSound(), 1);
    EXPECT_EQ(HeadlessLiveSoundBuffers(), 0);
    EXPECT_EQ(LoadWav("a.wav", 0), 0);
}

TEST_F(SoundTest, WithoutADeviceNothingLoads) {
    ShutdownSound();
    HeadlessSetSoundAvailable(false);
    EXPECT_EQ(InitSound(), 0);
    EXPECT_EQ(LoadWav("a.wav", 0), -1);
    EXPECT_EQ(ShutdownSound(), 1);
    // The device comes back: the next InitSound opens it.
    HeadlessSetSoundAvailable(true);
    EXPECT_EQ(InitSound(), 1);
    EXPECT_EQ(LoadWav("a.wav", 0), 0);
    EXPECT_EQ(ShutdownSound(), 1);
    EXPECT_EQ(LoadWav("a.wav", 0), -1);
}
