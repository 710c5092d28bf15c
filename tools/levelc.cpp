// tarno-levelc SRC.txt OUT.dat       compiles a level source into the game's level file
// tarno-levelc --text IN.dat [OUT.txt] turns a level file (say the editor's
//                                      "level.dat") back into a source
// tarno-levelc --code FILE            prints a level's (source or file) level code
// tarno-levelc --from-code CODE OUT    writes the level file a level code holds
// tarno-levelc --cells                 prints the grid characters, each with
//                                      its cell code: "CHAR CODE" a line
// The source format is described in game/leveltext.h.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/leveltext_strings.h"
#include "gen/gen_strings.h"
#include "platform/files/files.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: tarno-levelc SRC.txt OUT.dat\n"
                 "       tarno-levelc --text IN.dat [OUT.txt]\n"
                 "       tarno-levelc --cells\n"
                 "       tarno-levelc --code FILE\n"
                 "       tarno-levelc --from-code CODE OUT\n"
                 "       tarno-levelc --index OUT levelN.txt...\n");
    return 2;
}

// Writes the whole file or leaves the old one exactly as it was: the bytes go
// to a temporary file beside it, renamed over it only once they are all there.
bool WriteFile(const std::string& path, const void* data, size_t size) {
    const int error = ReplaceFileWhole(path.c_str(), data, size);
    if (error) std::fprintf(stderr, "tarno-levelc: %s: cannot write: %s\n", path.c_str(), std::strerror(error));
    return error == 0;
}

int Compile(const std::string& src, const std::string& out) {
    std::string text, why;
    bool refused = false;
    if (!leveltext::ReadWholeFile(src, &text, &why, &refused)) {
        std::fprintf(stderr, "tarno-levelc: %s\n", why.c_str());
        return refused ? 2 : 1;
    }
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string name, error;
    if (!leveltext::ParseLevelText(src, text, bytes, &name, &error)) {
        std::fprintf(stderr, "tarno-levelc: %s\n", error.c_str());
        return 1;
    }
    if (!WriteFile(out, bytes, sizeof bytes)) return 1;
    return 0;
}

int Decompile(const std::string& in, const char* out) {
    std::string data, why;
    bool refused = false;
    if (!leveltext::ReadWholeFile(in, &data, &why, &refused)) {
        std::fprintf(stderr, "tarno-levelc: %s\n", why.c_str());
        return refused ? 2 : 1;
    }
    if (data.size() < static_cast<size_t>(LEVEL_FILE_SIZE)) {
        std::fprintf(stderr, "tarno-levelc: %s: %zu bytes; a level file has %d\n", in.c_str(), data.size(),
                     LEVEL_FILE_SIZE);
        return 1;
    }
    if (data.size() > static_cast<size_t>(LEVEL_FILE_SIZE))
        std::fprintf(stderr, "tarno-levelc: warning: %s: bytes past %d ignored\n", in.c_str(), LEVEL_FILE_SIZE);
    uint8_t bytes[LEVEL_FILE_SIZE];
    for (int i = 0; i < LEVEL_FILE_SIZE; ++i) bytes[i] = static_cast<uint8_t>(data[static_cast<size_t>(i)]);

    std::string name = in;
    const size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);

    std::vector<std::string> warnings;
    const std::string text = leveltext::LevelToText(bytes, name, &warnings);
    for (const std::string& w : warnings)
        std::fprintf(stderr, "tarno-levelc: warning: %s: %s\n", in.c_str(), w.c_str());
    // The source is still written: the editor can draw more than a level
    // may hold, and the compiler will say so when it is compiled.
    uint8_t canonical[LEVEL_FILE_SIZE];
    leveltext::Canonical(bytes, canonical);
    std::string error;
    if (!leveltext::CheckPieces(canonical, in, &error))
        std::fprintf(stderr, "tarno-levelc: warning: %s\n", error.c_str());

    if (!out) {
        std::fputs(text.c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (!WriteFile(out, text.data(), text.size())) return 1;
    return 0;
}

// The level index: "N PAR NAME" a line, N from the source's file name
// (levelN.txt) and PAR from its "# least shots:" line.
int WriteIndex(const std::string& out, int count, char** sources) {
    std::string index;
    for (int i = 0; i < count; ++i) {
        const std::string src = sources[i];
        std::string text, name, error;
        bool refused = false;
        if (!leveltext::ReadWholeFile(src, &text, &error, &refused)) {
            std::fprintf(stderr, "tarno-levelc: %s\n", error.c_str());
            return refused ? 2 : 1;
        }
        uint8_t bytes[LEVEL_FILE_SIZE];
        if (!leveltext::ParseLevelText(src, text, bytes, &name, &error)) {
            std::fprintf(stderr, "tarno-levelc: %s\n", error.c_str());
            return 1;
        }
        const size_t slash = src.find_last_of('/');
        const std::string base = slash == std::string::npos ? src : src.substr(slash + 1);
        const int n = std::atoi(base.c_str() + (base.compare(0, 5, "level") == 0 ? 5 : 0));
        const size_t at = text.find("# least shots:");
        const int par = at == std::string::npos ? 0 : std::atoi(text.c_str() + at + 14);
        if (n < 1 || n > LAST_LEVEL) {
            std::fprintf(stderr, "tarno-levelc: %s: the name does not say which level\n", src.c_str());
            return 1;
        }
        index += std::to_string(n) + " " + std::to_string(par) + " " + name + "\n";
    }
    if (!WriteFile(out, index.data(), index.size())) return 1;
    return 0;
}

int PrintCells() {
    for (const PieceKind& p : PIECES)
        if (p.text) std::printf("%c %d\n", p.text, static_cast<int>(p.code));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int PrintCode(const std::string& path) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string name, why, code;
    std::vector<std::string> warnings;
    const bool loaded = leveltext::LoadAnyLevel(path, bytes, &name, &why, &warnings);
    for (const std::string& w : warnings) std::fprintf(stderr, "tarno-levelc: warning: %s\n", w.c_str());
    if (!loaded || !gen::EncodeLevel(bytes, &code, &why)) {
        std::fprintf(stderr, "tarno-levelc: %s\n", why.c_str());
        return 1;
    }
    std::printf("%s\n", code.c_str());
    return 0;
}

int FromCode(const std::string& code, const std::string& out) {
    uint8_t bytes[LEVEL_FILE_SIZE];
    std::string why;
    if (!gen::DecodeLevel(code, bytes, &why)) {
        std::fprintf(stderr, "tarno-levelc: %s\n", why.c_str());
        return 1;
    }
    if (!WriteFile(out, bytes, sizeof bytes)) return 1;
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--code") return PrintCode(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "--from-code") return FromCode(argv[2], argv[3]);
    if (argc == 2 && std::string(argv[1]) == "--cells") return PrintCells();
    if (argc >= 3 && std::string(argv[1]) == "--index") return WriteIndex(argv[2], argc - 3, argv + 3);
    if (argc >= 2 && std::string(argv[1]) == "--text") {
        if (argc != 3 && argc != 4) return Usage();
        return Decompile(argv[2], argc == 4 ? argv[3] : nullptr);
    }
    if (argc != 3 || argv[1][0] == '-') return Usage();
    return Compile(argv[1], argv[2]);
}
