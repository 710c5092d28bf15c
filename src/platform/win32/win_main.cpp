// The program's entry: make the window, start the game and its first level,
// run the loop, and take everything down in order.
#include <cstdlib>

#include "platform/platform.h"
#include "platform/win32/win32.h"
#include "shell/shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Arguments the game does not take are refused before its window opens.
    if (!CommandLineFits(__argc, __argv)) {
        MessageBoxA(nullptr, COMMAND_LINE_USAGE, "Tarno", MB_OK);
        return 2;
    }
    HWND window = CreateGameWindow(instance);
    if (!window) return 0;
    int exitCode = 0;
    // Nothing can be drawn without the display: the reason has been shown.
    if (StartGame()) {
        // `tarno FILE` and the options of a level made on the spot, as on the other desktops.
        StartFromCommandLine(__argc, __argv);
        exitCode = RunMessageLoop();
    }
    ShutdownGame();
    if (IsWindow(window)) DestroyWindow(window);
    return exitCode;
}
