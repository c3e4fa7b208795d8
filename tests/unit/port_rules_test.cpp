#include <gtest/gtest.h>

#include <vector>

#include "device/packets.h"
#include "ports/live_values.h"
#include "ports/port_rules.h"

namespace {

PortState masks(uint8_t p9Dir, uint8_t p9Out, uint8_t paDir, uint8_t paOut, uint8_t pbDir, uint8_t pbOut)
{
    PortState state{};
    state.ports[kPortP9] = {p9Dir, p9Out};
    state.ports[kPortPA] = {paDir, paOut};
    state.ports[kPortPB] = {pbDir, pbOut};
    return state;
}

// The six masks in one vector, for comparing in one assertion.
std::vector<int> flat(const PortState &s)
{
    std::vector<int> all;
    for (const PortMasks &m : s.ports)
        all.insert(all.end(), {m.directionMask, m.outputMask});
    return all;
}

}  // namespace

TEST(PortControls, EveryIdentifierMapsToItsSlotAndBack)
{
    struct Case { int id; int port; int kind; int bit; };
    const Case cases[] = {
        {1027, kPortP9, kKindDirection, 0}, {1031, kPortP9, kKindDirection, 4}, {1035, kPortP9, kKindOutput, 0},
        {1044, kPortP9, kKindOutput, 1},    {1047, kPortP9, kKindOutput, 4},    {1040, kPortP9, kKindValue, 4},
        {1058, kPortPA, kKindDirection, 7}, {1059, kPortPA, kKindValue, 0},     {1074, kPortPA, kKindOutput, 7},
        {1075, kPortPB, kKindDirection, 0}, {1083, kPortPB, kKindValue, 0},     {1098, kPortPB, kKindOutput, 7},
    };
    for (const Case &c : cases) {
        const PortControlPlace place = locatePortControl(c.id);
        ASSERT_TRUE(place.found) << c.id;
        EXPECT_EQ(place.port, c.port) << c.id;
        EXPECT_EQ(place.kind, c.kind) << c.id;
        EXPECT_EQ(place.bit, c.bit) << c.id;
        EXPECT_EQ(portControlId(c.port, c.kind, c.bit), c.id);
    }
}

TEST(PortControls, NeighbouringIdentifiersAndMissingSlotsAreNotPortControls)
{
    for (int id : {1026, 1032, 1041, 1048, 1050, 1099})
        EXPECT_FALSE(locatePortControl(id).found) << id;
    for (int bit = 5; bit < kBitSlots; ++bit)
        for (int kind = 0; kind < kKindCount; ++kind)
            EXPECT_EQ(portControlId(kPortP9, kind, bit), 0) << "P9 bit " << bit << " kind " << kind;
    EXPECT_EQ(portControlId(3, kKindDirection, 0), 0);
    EXPECT_EQ(portControlId(kPortPA, 3, 0), 0);
}

// Each row: masks before, the change, whether it is accepted, masks after.
TEST(PortRules, DirectionAndOutputChanges)
{
    enum Change { kDirOut, kDirIn, kOutOn, kOutOff };
    struct Case {
        const char *what;
        PortState before;
        Change change;
        int port, bit;
        bool accepted;
        PortState after;
    };
    const Case cases[] = {
        {"PA bit 3 turned OUT sets its direction bit",
         masks(0, 0, 0x00, 0, 0, 0), kDirOut, kPortPA, 3, true, masks(0, 0, 0x08, 0, 0, 0)},
        {"an output on an OUT bit is set",
         masks(0, 0, 0x08, 0, 0, 0), kOutOn, kPortPA, 3, true, masks(0, 0, 0x08, 0x08, 0, 0)},
        {"an output on an IN bit is refused and nothing changes",
         masks(0, 0, 0x08, 0x08, 0, 0), kOutOn, kPortPA, 4, false, masks(0, 0, 0x08, 0x08, 0, 0)},
        {"turning a bit IN clears its output too",
         masks(0, 0, 0x18, 0x18, 0, 0), kDirIn, kPortPA, 3, true, masks(0, 0, 0x10, 0x10, 0, 0)},
        {"turning an output off clears only that bit",
         masks(0, 0, 0, 0, 0xC0, 0xC0), kOutOff, kPortPB, 7, true, masks(0, 0, 0, 0, 0xC0, 0x40)},
        {"P9 bit 4 can be made OUT and driven",
         masks(0x10, 0, 0, 0, 0, 0), kOutOn, kPortP9, 4, true, masks(0x10, 0x10, 0, 0, 0, 0)},
        {"P9 bit 1 (hidden) cannot become OUT",
         masks(0, 0, 0, 0, 0, 0), kDirOut, kPortP9, 1, false, masks(0, 0, 0, 0, 0, 0)},
        {"P9 bit 3 (hidden) cannot be driven",
         masks(0x15, 0, 0, 0, 0, 0), kOutOn, kPortP9, 3, false, masks(0x15, 0, 0, 0, 0, 0)},
        {"P9 bit 5 does not exist",
         masks(0, 0, 0, 0, 0, 0), kDirOut, kPortP9, 5, false, masks(0, 0, 0, 0, 0, 0)},
        {"an unknown port changes nothing",
         masks(0, 0, 0, 0, 0, 0), kDirOut, 3, 0, false, masks(0, 0, 0, 0, 0, 0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        PortState state = c.before;
        bool accepted = false;
        switch (c.change) {
        case kDirOut: accepted = applyDirectionChange(state, c.port, c.bit, true); break;
        case kDirIn: accepted = applyDirectionChange(state, c.port, c.bit, false); break;
        case kOutOn: accepted = applyOutputChange(state, c.port, c.bit, true); break;
        case kOutOff: accepted = applyOutputChange(state, c.port, c.bit, false); break;
        }
        EXPECT_EQ(accepted, c.accepted);
        EXPECT_EQ(flat(state), flat(c.after));
    }
}

// A port bit shows the sent output while it was last sent as OUT, else the
// board's input bit.
TEST(PortDisplay, SentDirectionChoosesBetweenSentOutputAndBoardInput)
{
    struct Case {
        const char *what;
        int port, bit;
        uint8_t sentDirection, sentOutput, boardInput;
        uint8_t shown;
    };
    const Case cases[] = {
        {"PA bit 5 sent OUT with 1, board reports 0", kPortPA, 5, 0x20, 0x20, 0x00, 1},
        {"PA bit 5 sent IN, board reports 1", kPortPA, 5, 0x00, 0x00, 0x20, 1},
        {"PA bit 5 sent OUT with 0, board reports 1", kPortPA, 5, 0x20, 0x00, 0x20, 0},
        {"P9 bit 4 sent IN, board reports 1", kPortP9, 4, 0x00, 0x10, 0x10, 1},
        {"other bits of the port do not matter", kPortPB, 0, 0xFE, 0xFE, 0x00, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        uint8_t initial[kPacketBufferSize] = {};
        uint8_t control[kPacketBufferSize] = {};
        uint8_t data[kPacketBufferSize] = {};
        uint8_t directions[kPortCount] = {};
        uint8_t outputs[kPortCount] = {};
        directions[c.port] = c.sentDirection;
        outputs[c.port] = c.sentOutput;
        fillInitialDataPacket(initial, directions[0], directions[1], directions[2]);
        fillControlDataPacket(control, outputs[0], outputs[1], outputs[2]);
        data[kPortInputsOffset + c.port] = c.boardInput;
        EXPECT_EQ(displayedPortBit(initial, control, data, c.port, c.bit), c.shown);
    }
}

