// The desktop front end's display-free parts: key mapping, frame pacing and
// the files of the player's small named values. The unit binary does not link the GTK front end, so
// these sources are compiled in here directly.
#include <dirent.h>
#include <sys/stat.h>

#include <string>
#include <utility>

#include "../../src/platform/gtk/keymap.cpp"
#include "../../src/platform/gtk/setting_file.cpp"
#include "platform/pacing/pacing.h"
#include "scratch.h"

namespace {

// X keycodes as a PC keyboard sends them (kernel input code + 8).
constexpr uint32_t X_ESC = 9, X_R = 27, X_ENTER = 36, X_S = 39, X_D = 40, X_L = 46;
constexpr uint32_t X_KP_ENTER = 104, X_UP = 111, X_LEFT = 113, X_RIGHT = 114, X_DOWN = 116;

TEST(GtkKeys, PositionWinsOverLayoutAndKeysymIsTheFallback) {
    const std::pair<uint32_t, int> keys[] = {
        {X_LEFT, 0xCB}, {X_UP, 0xC8},  {X_RIGHT, 0xCD}, {X_DOWN, 0xD0},     {X_R, 0x13}, {X_D, 0x20}, {X_S, 0x1F},
        {X_L, 0x26},    {X_ESC, 0x01}, {X_ENTER, 0x1C}, {X_KP_ENTER, 0x9C}, {8, 0},      {8 + 89, 0}};
    for (const auto& k : keys) EXPECT_EQ(ScanCodeFromKeycode(k.first), k.second) << k.first;
    // The key where R sits on a PC keyboard is R to the game, whatever the
    // layout prints on it.
    EXPECT_EQ(ScanCodeForKey(X_R, 'p'), 0x13);
    // No usable keycode: the keysym decides, in either case.
    EXPECT_EQ(ScanCodeForKey(0, 'R'), 0x13);
    EXPECT_EQ(ScanCodeForKey(0, 'd'), 0x20);
    EXPECT_EQ(ScanCodeForKey(255, 0xFF51), 0xCB);  // Left
    EXPECT_EQ(ScanCodeForKey(255, 0xFF1B), 0x01);  // Escape
    // Neither known: no key, rather than a wrong one.
    EXPECT_EQ(ScanCodeForKey(255, 0x1008FF11), 0);
}

TEST(GtkKeys, VirtualKeysAskForEveryKeyThatMeansThem) {
    uint8_t codes[2];
    ScanCodesForVirtualKey(0x1B, codes);
    EXPECT_EQ(codes[0], 0x01);
    EXPECT_EQ(codes[1], 0);
    ScanCodesForVirtualKey(0x0D, codes);
    EXPECT_EQ(codes[0], 0x1C);
    EXPECT_EQ(codes[1], 0x9C);
    ScanCodesForVirtualKey('A', codes);
    EXPECT_EQ(codes[0] | codes[1], 0);
}

// Ticks of a display at the given rate for a number of seconds, with a tick
// pattern offset; returns the frames run and the most in one tick.
struct PaceResult {
    int frames;
    int mostInOneTick;
};

PaceResult Pace(double hz, double seconds, int64_t jitterUs = 0) {
    FramePacer pacer{};
    PaceResult r{0, 0};
    const int ticks = static_cast<int>(hz * seconds);
    for (int i = 0; i < ticks; ++i) {
        const int64_t jitter = (i % 2) ? jitterUs : -jitterUs;
        const int64_t now = 5000000 + static_cast<int64_t>(i * 1e6 / hz) + jitter;
        const int due = FramesDue(&pacer, now);
        r.frames += due;
        if (due > r.mostInOneTick) r.mostInOneTick = due;
    }
    return r;
}

TEST(GtkPacing, SixtyFramesASecondOnAnyDisplay) {
    // A slower display runs two frames on some ticks to keep the speed; one a
    // hair slower than 60 Hz still gives 60 frames a second.
    const struct {
        double hz, seconds;
        int64_t jitterUs;
        int frames, slack, most;
    } cases[] = {{60, 10, 1500, 600, 0, 1}, {144, 10, 0, 600, 1, 1}, {120, 10, 0, 600, 1, 1},
                 {50, 10, 0, 600, 1, 2},    {30, 10, 0, 600, 1, 2},  {59.94, 60, 0, 3600, 2, 2}};
    for (const auto& c : cases) {
        const PaceResult r = Pace(c.hz, c.seconds, c.jitterUs);
        EXPECT_NEAR(r.frames, c.frames, c.slack) << c.hz;
        EXPECT_LE(r.mostInOneTick, c.most) << c.hz;
    }
}

// Windows waits for its own frames: after the vertical blank (0: it
// returns at once, as under Wine) it waits out the slot. Frames shown in ten
// simulated seconds, each taking `work` microseconds to draw.
int WaitedFramesInTenSeconds(int64_t vblank, int64_t work) {
    FramePacer pacer{};
    int64_t now = 0;
    int frames = 0;
    while (now < 10000000) {
        now += work;
        if (vblank) now = (now / vblank + 1) * vblank;
        for (int64_t wait; (wait = WaitBeforeFrame(&pacer, now)) > 0;) now += wait;
        ++frames;
    }
    return frames;
}

TEST(WaitedPacing, SixtyFramesASecondWhateverTheDisplayDoes) {
    EXPECT_NEAR(WaitedFramesInTenSeconds(0, 500), 600, 2);      // the blank does not block
    EXPECT_NEAR(WaitedFramesInTenSeconds(16667, 500), 600, 2);  // a 60 Hz display paces it
    EXPECT_NEAR(WaitedFramesInTenSeconds(16683, 500), 599, 2);  // 59.94 Hz
    EXPECT_NEAR(WaitedFramesInTenSeconds(8333, 500), 600, 2);   // 120 Hz: our own wait
    EXPECT_NEAR(WaitedFramesInTenSeconds(6944, 500), 600, 2);   // 144 Hz
    EXPECT_NEAR(WaitedFramesInTenSeconds(0, 20000), 500, 2);    // frames slower than a slot run flat out
}

TEST(GtkPacing, AStallDoesNotRaceThroughTheBacklog) {
    FramePacer pacer{};
    int64_t now = 1000000;
    for (int i = 0; i < 60; ++i, now += 16667) FramesDue(&pacer, now);
    now += 2000000;  // two seconds without a tick
    EXPECT_LE(FramesDue(&pacer, now), 2);
    // Then back to one frame per 60 Hz tick.
    int frames = 0;
    for (int i = 0; i < 60; ++i) {
        now += 16667;
        const int due = FramesDue(&pacer, now);
        EXPECT_LE(due, 1);
        frames += due;
    }
    EXPECT_NEAR(frames, 60, 1);
}

TEST(GtkPacing, AfterAPauseTheNextTickRunsAFrame) {
    FramePacer pacer{};
    EXPECT_EQ(FramesDue(&pacer, 1000000), 1);
    EXPECT_EQ(FramesDue(&pacer, 1001000), 0);  // a fast display's next tick
    ResetPacer(&pacer);
    EXPECT_EQ(FramesDue(&pacer, 1002000), 1);
}

int FilesIn(const std::string& dir) {
    int count = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") ++count;
        }
        closedir(d);
    }
    return count;
}

// The saved level: a file holding one byte, in the config folder.
int WriteLevel(const std::string& dir, uint8_t level, char* why = nullptr, size_t whySize = 0) {
    return WriteSettingFile(dir.c_str(), "level", &level, 1, why, whySize);
}

TEST(GtkProgress, OneByteRoundTripsThroughMissingFolders) {
    ScratchDir scratch;
    const std::string dir = scratch.path() + "/config/tarno";
    const std::string file = dir + "/level";
    uint8_t level = 99;
    int32_t length = -1;
    EXPECT_EQ(ReadSettingFile(file.c_str(), &level, 1, &length), 0);
    EXPECT_EQ(level, 99);

    ASSERT_EQ(WriteLevel(dir, 2), 1);
    ASSERT_EQ(WriteLevel(dir, 7), 1);
    EXPECT_EQ(ReadSettingFile(file.c_str(), &level, 1, &length), 1);
    EXPECT_EQ(level, 7);
    EXPECT_EQ(length, 1);
    struct stat info;
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 1);
    EXPECT_EQ(FilesIn(dir), 1);  // no temporary file left beside it
}

TEST(GtkProgress, FilesThatAreNotOneByteAreNoLevel) {
    ScratchDir scratch;
    uint8_t level = 0;
    int32_t length = -1;
    const uint8_t four[4] = {5, 0, 0, 0};
    WriteFileBytes("level", four, sizeof four);
    EXPECT_EQ(ReadSettingFile("level", &level, 1, &length), -1);
    WriteFileBytes("level", four, 0);
    EXPECT_EQ(ReadSettingFile("level", &level, 1, &length), 1);
    EXPECT_EQ(length, 0);
    WriteFileBytes("level", four, 1);
    EXPECT_EQ(ReadSettingFile("level", &level, 1, &length), 1);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(level, 5);
}

TEST(GtkProgress, AFailedWriteReportsItAndLeavesNothingBehind) {
    ScratchDir scratch;
    // The name is taken by a folder: the rename cannot replace it.
    ASSERT_EQ(mkdir("tarno", 0700), 0);
    ASSERT_EQ(mkdir("tarno/level", 0700), 0);
    ASSERT_EQ(mkdir("tarno/level/keep", 0700), 0);
    char why[600] = "";
    EXPECT_EQ(WriteLevel(scratch.path() + "/tarno", 3, why, sizeof why), 0);
    EXPECT_EQ(FilesIn(scratch.path() + "/tarno"), 1);
    // Which file and the system's reason, for the player's message.
    EXPECT_EQ(std::string(why), scratch.path() + "/tarno/level: " + std::strerror(EISDIR));

    // A folder that cannot be made, because a file stands in its way.
    WriteFileBytes("plain", "x", 1);
    EXPECT_EQ(WriteLevel(scratch.path() + "/plain/tarno", 3), 0);
    // And no folder at all.
    EXPECT_EQ(WriteLevel("", 3, why, sizeof why), 0);
    EXPECT_EQ(std::string(why), std::string("/level: ") + std::strerror(ENOENT));
    const std::string tooLong(5000, 'a');
    EXPECT_EQ(WriteLevel(tooLong, 3), 0);
}

// The records file: read as text, set aside by a rename, and the saved
// level beside it never touched.
TEST(GtkSettings, ARecordsFileSetAsideKeepsItsBytesAndTheSavedLevel) {
    ScratchDir scratch;
    const std::string data = scratch.path() + "/share/tarno";
    const std::string records = data + "/records";
    char buf[64] = "";
    int32_t length = -1;
    EXPECT_EQ(ReadSettingFile(records.c_str(), buf, sizeof buf, &length), 0);
    const std::string text = "tarno records 1\n";
    ASSERT_EQ(WriteSettingFile(data.c_str(), "records", text.data(), static_cast<int32_t>(text.size())), 1);
    EXPECT_EQ(ReadSettingFile(records.c_str(), buf, sizeof buf, &length), 1);
    EXPECT_EQ(std::string(buf, length), text);
    ASSERT_EQ(WriteLevel(data, 6), 1);

    const std::string big(100, 'x');
    WriteFileBytes((data + "/sound").c_str(), big.data(), big.size());
    EXPECT_EQ(ReadSettingFile((data + "/sound").c_str(), buf, sizeof buf, &length), -1);

    const uint8_t odd[3] = {'a', 0, 'b'};
    WriteFileBytes(records.c_str(), odd, sizeof odd);
    ASSERT_EQ(WriteSettingFile(data.c_str(), "records", nullptr, 0), 1);
    EXPECT_EQ(ReadSettingFile(records.c_str(), buf, sizeof buf, &length), 0);
    struct stat info;
    ASSERT_EQ(stat((data + "/records.bad").c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 3);
    uint8_t level = 0;
    EXPECT_EQ(ReadSettingFile((data + "/level").c_str(), &level, 1, &length), 1);
    EXPECT_EQ(level, 6);
    // Nothing to set aside is nothing to do; a failure says where and why.
    EXPECT_EQ(WriteSettingFile(data.c_str(), "records", nullptr, 0), 1);
    char why[600] = "";
    EXPECT_EQ(WriteSettingFile((data + "/level").c_str(), "sound", "off", 3, why, sizeof why), 0);
    EXPECT_EQ(std::string(why), data + "/level/sound: " + std::strerror(ENOTDIR));
}

// A second unreadable records file never takes the first one's place: each
// goes under a name of its own, and past the bound the oldest makes room.
TEST(GtkSettings, EverySetAsideKeepsItsOwnNameUpToTheBound) {
    ScratchDir scratch;
    const std::string data = scratch.path() + "/share/tarno";
    for (int n = 0; n <= MAX_SET_ASIDES; ++n) {
        const std::string text = "bad " + std::to_string(n);
        ASSERT_EQ(WriteSettingFile(data.c_str(), "records", text.data(), static_cast<int32_t>(text.size())), 1);
        ASSERT_EQ(WriteSettingFile(data.c_str(), "records", nullptr, 0), 1);
    }
    auto held = [&data](const char* name) {
        char buf[32] = "";
        int32_t length = 0;
        return ReadSettingFile((data + "/" + name).c_str(), buf, sizeof buf, &length) == 1 ? std::string(buf, length)
                                                                                           : "(absent)";
    };
    EXPECT_EQ(held("records"), "(absent)");
    EXPECT_EQ(held("records.bad"), "bad 1");
    EXPECT_EQ(held("records.bad.1"), "bad 2");
    EXPECT_EQ(held("records.bad.9"), "bad 10");
    EXPECT_EQ(held("records.bad.10"), "(absent)");
    // The folder lock is had, and had again once let go.
    const int lock = LockSettingFolder(data.c_str());
    EXPECT_GE(lock, 0);
    UnlockSettingFolder(lock);
    const int again = LockSettingFolder((scratch.path() + "/new/tarno").c_str());
    EXPECT_GE(again, 0);
    UnlockSettingFolder(again);
}

}  // namespace
