// The program's entry: make the window, start the game and its first level,
// run the loop, and take everything down in order.
#include <cstdlib>

#include "platform/platform.h"
#include "platform/win32/win32.h"
#include "shell/shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HWND window = CreateGameWindow(instance);
    if (!window) return 0;
    int exitCode = 0;
    // Nothing can be drawn without the display: the reason has been shown.
    if (StartGame()) {
        // `tarno FILE` and the options of a level made on the spot, as on the other desktops.
        if (!StartFromCommandLine(__argc, __argv))
            PlatformShowMessage("usage: tarno [FILE | --new GRADE [--seed N] | --daily [YYYY-MM-DD] | --code CODE]");
        exitCode = RunMessageLoop();
    }
    ShutdownGame();
    if (IsWindow(window)) DestroyWindow(window);
    return exitCode;
}
