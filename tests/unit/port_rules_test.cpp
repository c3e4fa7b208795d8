#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "device/packets.h"
#include "ports/live_values.h"
#include "ports/port_rules.h"

namespace {

TEST(PortControls, EveryIdentifierMapsToItsSlotAndBackAndNoOtherDoes)
{
    struct Row { int id, port, kind, bit; };
    const Row rows[] = {
        {1027, kPortP9, kKindDirection, 0}, {1031, kPortP9, kKindDirection, 4}, {1035, kPortP9, kKindOutput, 0},
        {1044, kPortP9, kKindOutput, 1},    {1047, kPortP9, kKindOutput, 4},    {1040, kPortP9, kKindValue, 4},
        {1058, kPortPA, kKindDirection, 7}, {1059, kPortPA, kKindValue, 0},     {1074, kPortPA, kKindOutput, 7},
        {1075, kPortPB, kKindDirection, 0}, {1083, kPortPB, kKindValue, 0},     {1098, kPortPB, kKindOutput, 7},
    };
    for (const Row &r : rows) {
        const PortControlPlace place = locatePortControl(r.id);
        EXPECT_EQ(std::make_tuple(place.found, place.port, place.kind, place.bit),
                  std::make_tuple(true, r.port, r.kind, r.bit)) << r.id;
        EXPECT_EQ(portControlId(r.port, r.kind, r.bit), r.id);
    }
    for (int id : {1026, 1032, 1041, 1048, 1050, 1099})
        EXPECT_FALSE(locatePortControl(id).found) << id;
    for (int bit = 5; bit < kBitSlots; ++bit)
        for (int kind = 0; kind < kKindCount; ++kind)
            EXPECT_EQ(portControlId(kPortP9, kind, bit), 0) << "P9 bit " << bit << " kind " << kind;
    EXPECT_EQ(portControlId(3, kKindDirection, 0), 0);
    EXPECT_EQ(portControlId(kPortPA, 3, 0), 0);
}

// Each row: the masks before (direction and output of P9, PA, PB), the change,
// whether it is accepted and the masks after.
TEST(PortRules, DirectionAndOutputChanges)
{
    using Masks = std::array<int, 6>;
    enum Change { kDirOut, kDirIn, kOutOn, kOutOff };
    struct Row { const char *what; Masks before; Change change; int port, bit; bool accepted; Masks after; };
    const Row rows[] = {
        {"PA bit 3 turned OUT sets its direction bit", {0, 0, 0, 0, 0, 0}, kDirOut, kPortPA, 3, true,
         {0, 0, 0x08, 0, 0, 0}},
        {"an output on an OUT bit is set", {0, 0, 0x08, 0, 0, 0}, kOutOn, kPortPA, 3, true, {0, 0, 0x08, 0x08, 0, 0}},
        {"an output on an IN bit is refused and nothing changes", {0, 0, 0x08, 0x08, 0, 0}, kOutOn, kPortPA, 4, false,
         {0, 0, 0x08, 0x08, 0, 0}},
        {"turning a bit IN clears its output too", {0, 0, 0x18, 0x18, 0, 0}, kDirIn, kPortPA, 3, true,
         {0, 0, 0x10, 0x10, 0, 0}},
        {"turning an output off clears only that bit", {0, 0, 0, 0, 0xC0, 0xC0}, kOutOff, kPortPB, 7, true,
         {0, 0, 0, 0, 0xC0, 0x40}},
        {"P9 bit 4 can be made OUT and driven", {0x10, 0, 0, 0, 0, 0}, kOutOn, kPortP9, 4, true,
         {0x10, 0x10, 0, 0, 0, 0}},
        {"P9 bit 1 (hidden) cannot become OUT", {0, 0, 0, 0, 0, 0}, kDirOut, kPortP9, 1, false, {0, 0, 0, 0, 0, 0}},
        {"P9 bit 3 (hidden) cannot be driven, not even with its direction bit set", {0x08, 0, 0, 0, 0, 0}, kOutOn,
         kPortP9, 3, false, {0x08, 0, 0, 0, 0, 0}},
        {"P9 bit 5 does not exist", {0, 0, 0, 0, 0, 0}, kDirOut, kPortP9, 5, false, {0, 0, 0, 0, 0, 0}},
        {"an unknown port changes nothing", {0, 0, 0, 0, 0, 0}, kDirOut, 3, 0, false, {0, 0, 0, 0, 0, 0}},
    };
    for (const Row &r : rows) {
        PortState state{};
        for (int port = 0; port < kPortCount; ++port)
            state.ports[port] = {uint8_t(r.before[2 * port]), uint8_t(r.before[2 * port + 1])};
        const bool on = r.change == kDirOut || r.change == kOutOn;
        const bool accepted = r.change == kDirOut || r.change == kDirIn ? applyDirectionChange(state, r.port, r.bit, on)
                                                                        : applyOutputChange(state, r.port, r.bit, on);
        EXPECT_EQ(accepted, r.accepted) << r.what;
        Masks after;
        for (int port = 0; port < kPortCount; ++port) {
            after[2 * port] = state.ports[port].directionMask;
            after[2 * port + 1] = state.ports[port].outputMask;
        }
        EXPECT_EQ(after, r.after) << r.what;
    }
}

// A port bit shows the sent output while it was last sent as OUT, else the
// board's input bit.
TEST(PortDisplay, SentDirectionChoosesBetweenSentOutputAndBoardInput)
{
    struct Row { const char *what; int port, bit; uint8_t sentDirection, sentOutput, boardInput, shown; };
    const Row rows[] = {
        {"PA bit 5 sent OUT with 1, board reports 0", kPortPA, 5, 0x20, 0x20, 0x00, 1},
        {"PA bit 5 sent IN, board reports 1", kPortPA, 5, 0x00, 0x00, 0x20, 1},
        {"PA bit 5 sent OUT with 0, board reports 1", kPortPA, 5, 0x20, 0x00, 0x20, 0},
        {"P9 bit 4 sent IN, board reports 1", kPortP9, 4, 0x00, 0x10, 0x10, 1},
        {"other bits of the port do not matter", kPortPB, 0, 0xFE, 0xFE, 0x00, 0},
    };
    for (const Row &r : rows) {
        uint8_t initial[kPacketBufferSize] = {}, control[kPacketBufferSize] = {}, data[kPacketBufferSize] = {};
        uint8_t directions[kPortCount] = {}, outputs[kPortCount] = {};
        directions[r.port] = r.sentDirection;
        outputs[r.port] = r.sentOutput;
        fillInitialDataPacket(initial, directions[0], directions[1], directions[2]);
        fillControlDataPacket(control, outputs[0], outputs[1], outputs[2]);
        data[kPortInputsOffset + r.port] = r.boardInput;
        EXPECT_EQ(displayedPortBit(initial, control, data, r.port, r.bit), r.shown) << r.what;
    }
}

}  // namespace
