#include <gtest/gtest.h>

#include <vector>

#include "app/enable_rules.h"

// The command column, the smoothing fields and the Setting item, state by
// state; the output boxes are enabled exactly on the OUT bits, and only while
// connected.
TEST(EnableRules, ControlsFollowTheDialogStateAndOutputBoxesTheDirectionMasks)
{
    using E = EnableState;
    const E on = E::kEnabled, off = E::kDisabled, keep = E::kUnchanged;
    // Controls: ID, Connect, Go, Stop, Save, I/O Update, Directions, Smoothing; then the direction masks.
    struct Row { const char *state; int32_t connected, graphRunning; std::vector<E> controls; bool setting;
                 uint8_t p9, pa, pb; };
    const Row rows[] = {
        {"disconnected, with OUT bits left from a lost board", 0, 0, {on, on, off, off, off, off, off, keep}, true,
         0x15, 0xFF, 0xFF},
        {"connected, idle: P9 bits 0 and 4, PA bit 5, PB bits 0 and 7 OUT", 1, 0, {off, on, on, off, off, on, on, on},
         true, 0x11, 0x20, 0x81},
        {"sampling: P9 bit 2, PB alternate bits OUT", 1, 1, {off, off, off, on, on, on, on, off}, false, 0x04, 0x00,
         0x55},
        {"lost while sampling: connected is cleared first, so the disconnected rules apply", 0, 1,
         {on, on, off, off, off, off, off, keep}, true, 0x04, 0x00, 0x55},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.state);
        AppState app{};
        app.connected = r.connected;
        app.graphRunning = r.graphRunning;
        PortState ports{};
        const uint8_t masks[kPortCount] = {r.p9, r.pa, r.pb};
        for (int port = 0; port < kPortCount; ++port)
            ports.ports[port].directionMask = masks[port];
        const EnableResult e = computeEnableRules(app, ports);
        EXPECT_EQ(std::vector<E>({e.idBox, e.connectButton, e.goButton, e.stopButton, e.saveButton,
                                  e.ioUpdateButton, e.directionBoxes, e.smoothingFields}),
                  r.controls);
        EXPECT_EQ(e.settingMenuEnabled, r.setting);
        for (int port = 0; port < kPortCount; ++port)
            for (int bit = 0; bit < kPortBitSlots; ++bit)
                EXPECT_EQ(e.outputBoxes[port][bit], r.connected && ((masks[port] >> bit) & 1) ? on : off)
                    << "port " << port << " bit " << bit;
    }
}
