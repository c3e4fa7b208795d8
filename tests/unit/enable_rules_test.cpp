#include <gtest/gtest.h>

#include <vector>

#include "app/enable_rules.h"

namespace {

using E = EnableState;

AppState appIn(int32_t connected, int32_t graphRunning)
{
    AppState app{};
    app.connected = connected;
    app.graphRunning = graphRunning;
    return app;
}

}  // namespace

// The command column, the smoothing fields and the Setting item, state by state.
TEST(EnableRules, CommandGroupsFollowTheDialogState)
{
    struct Case {
        const char *state;
        int32_t connected, graphRunning;
        E idBox, connect, go, stop, save, ioUpdate, directions, smoothing;
        bool setting;
    };
    const Case cases[] = {
        // state              conn run  ID            Connect       Go            Stop          Save          I/O Update    Directions    Smoothing      Setting
        {"disconnected",       0,  0,  E::kEnabled,  E::kEnabled,  E::kDisabled, E::kDisabled, E::kDisabled, E::kDisabled, E::kDisabled, E::kUnchanged, true},
        {"connected, idle",    1,  0,  E::kDisabled, E::kEnabled,  E::kEnabled,  E::kDisabled, E::kDisabled, E::kEnabled,  E::kEnabled,  E::kEnabled,   true},
        {"sampling",           1,  1,  E::kDisabled, E::kDisabled, E::kDisabled, E::kEnabled,  E::kEnabled,  E::kEnabled,  E::kEnabled,  E::kDisabled,  false},
        // a lost board clears connected first: the disconnected rules apply
        {"lost while sampling", 0, 1,  E::kEnabled,  E::kEnabled,  E::kDisabled, E::kDisabled, E::kDisabled, E::kDisabled, E::kDisabled, E::kUnchanged, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.state);
        const EnableResult r = computeEnableRules(appIn(c.connected, c.graphRunning), PortState{});
        // In column order: ID, Connect, Go, Stop, Save, I/O Update, Directions, Smoothing.
        EXPECT_EQ(std::vector<E>({r.idBox, r.connectButton, r.goButton, r.stopButton, r.saveButton,
                                  r.ioUpdateButton, r.directionBoxes, r.smoothingFields}),
                  std::vector<E>({c.idBox, c.connect, c.go, c.stop, c.save, c.ioUpdate, c.directions, c.smoothing}));
        EXPECT_EQ(r.settingMenuEnabled, c.setting);
    }
}

// Output boxes: enabled exactly on the OUT bits, and only while connected.
TEST(EnableRules, OutputBoxesFollowTheDirectionMasksWhileConnected)
{
    struct Case {
        const char *what;
        int32_t connected, graphRunning;
        uint8_t p9, pa, pb;  // direction masks
    };
    const Case cases[] = {
        {"connected idle, P9 bits 0 and 4, PA bit 5, PB bits 0 and 7", 1, 0, 0x11, 0x20, 0x81},
        {"sampling, P9 bit 2, PB alternate bits", 1, 1, 0x04, 0x00, 0x55},
        {"disconnected with OUT bits left from a lost board", 0, 0, 0x15, 0xFF, 0xFF},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        PortState ports{};
        ports.ports[kPortP9].directionMask = c.p9;
        ports.ports[kPortPA].directionMask = c.pa;
        ports.ports[kPortPB].directionMask = c.pb;
        const EnableResult r = computeEnableRules(appIn(c.connected, c.graphRunning), ports);
        const uint8_t masks[kPortCount] = {c.p9, c.pa, c.pb};
        for (int port = 0; port < kPortCount; ++port)
            for (int bit = 0; bit < kPortBitSlots; ++bit) {
                const bool expected = c.connected == 1 && ((masks[port] >> bit) & 1) != 0;
                EXPECT_EQ(r.outputBoxes[port][bit], expected ? E::kEnabled : E::kDisabled)
                    << "port " << port << " bit " << bit;
            }
    }
}

