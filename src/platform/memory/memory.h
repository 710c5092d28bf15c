// Hands memory the game has freed back to the system where the C library
// keeps it (after the solver's large searches); elsewhere it does nothing.
// One implementation for every platform.
#pragma once

void ReleaseFreeMemory();
