// AppState: the flags and handles that the whole program shares.  Window and
// module handles are kept opaque here so that platform-free code can read the
// flags; the Windows layer casts them back.
#pragma once
#include <cstdint>

constexpr int kChannelCount = 8;

struct AppState {
    int32_t selectedId;             // ID box entry, 0..31, or -1 for none
    int32_t connected;              // a device session is open
    int32_t graphRunning;           // the sample tick is running
    int32_t saving;                 // a CSV block is open
    int32_t plotted[kChannelCount]; // channel plotted in the Graph window
    int32_t mode;                   // 0 Normal, 1 Diff Amp
    void *mainWindow;
    void *graphWindow;
    void *instance;
    void *icon;
};

enum DisplayMode : int32_t { kModeNormal = 0, kModeDiffAmp = 1 };

extern AppState appState;

// Clears the flags (not the mode), the device session fields and the port
// masks, as at the start of the main dialog.
void resetAppState();
