#include <gtest/gtest.h>

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

void expectMasks(const PortState &actual, const PortState &expected)
{
    for (int port = 0; port < kPortCount; ++port) {
        EXPECT_EQ(actual.ports[port].directionMask, expected.ports[port].directionMask) << "direction of port " << port;
        EXPECT_EQ(actual.ports[port].outputMask, expected.ports[port].outputMask) << "output of port " << port;
    }
}

}  // namespace

TEST(PortControls, EveryIdentifierMapsToItsSlotAndBack)
{
    struct Case { int id; int port; int kind; int bit; };
    const Case cases[] = {
        {1027, kPortP9, kKindDirection, 0}, {1031, kPortP9, kKindDirection, 4},
        {1035, kPortP9, kKindOutput, 0},    {1044, kPortP9, kKindOutput, 1},
        {1047, kPortP9, kKindOutput, 4},    {1036, kPortP9, kKindValue, 0},
        {1040, kPortP9, kKindValue, 4},     {1051, kPortPA, kKindDirection, 0},
        {1058, kPortPA, kKindDirection, 7}, {1059, kPortPA, kKindValue, 0},
        {1066, kPortPA, kKindValue, 7},     {1067, kPortPA, kKindOutput, 0},
        {1074, kPortPA, kKindOutput, 7},    {1075, kPortPB, kKindDirection, 0},
        {1083, kPortPB, kKindValue, 0},     {1091, kPortPB, kKindOutput, 0},
        {1098, kPortPB, kKindOutput, 7},
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
    for (int id : {1001, 1011, 1026, 1032, 1041, 1043, 1048, 1050, 1099, 1100, 1119})
        EXPECT_FALSE(locatePortControl(id).found) << id;
    for (int bit = 5; bit < kBitSlots; ++bit)
        for (int kind = 0; kind < kKindCount; ++kind)
            EXPECT_EQ(portControlId(kPortP9, kind, bit), 0) << "P9 bit " << bit << " kind " << kind;
    EXPECT_EQ(portControlId(3, kKindDirection, 0), 0);
    EXPECT_EQ(portControlId(kPortPA, 3, 0), 0);
}

TEST(PortControls, PortCodesOfTheDispatch)
{
    struct Case { int code; int port; };
    const Case cases[] = {{1, kPortP9}, {2, kPortPA}, {4, kPortPB}, {0, -1}, {3, -1}, {8, -1}};
    for (const Case &c : cases)
        EXPECT_EQ(portIndexOfCode(c.code), c.port) << c.code;
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
        {"turning an output off on an IN bit is harmless",
         masks(0, 0, 0, 0, 0, 0), kOutOff, kPortPB, 2, true, masks(0, 0, 0, 0, 0, 0)},
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
        expectMasks(state, c.after);
    }
}

TEST(PortRules, OnlyBitsZeroTwoAndFourOfP9ReachTheMasks)
{
    PortState state{};
    for (int bit = 0; bit < kBitSlots; ++bit) {
        applyDirectionChange(state, kPortP9, bit, true);
        applyOutputChange(state, kPortP9, bit, true);
    }
    EXPECT_EQ(state.ports[kPortP9].directionMask, 0x15);
    EXPECT_EQ(state.ports[kPortP9].outputMask, 0x15);
    for (int bit = 0; bit < kBitSlots; ++bit)
        EXPECT_EQ(isOperatorPortBit(kPortP9, bit), bit == 0 || bit == 2 || bit == 4) << bit;
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
        {"PA bit 5 sent IN, board reports 0", kPortPA, 5, 0x00, 0x20, 0x00, 0},
        {"PA bit 5 sent IN, board reports 1", kPortPA, 5, 0x00, 0x00, 0x20, 1},
        {"PA bit 5 sent OUT with 0, board reports 1", kPortPA, 5, 0x20, 0x00, 0x20, 0},
        {"PB bit 7 sent OUT with 1", kPortPB, 7, 0x80, 0x80, 0x00, 1},
        {"P9 bit 4 sent IN, board reports 1", kPortP9, 4, 0x00, 0x10, 0x10, 1},
        {"other bits of the port do not matter", kPortPB, 0, 0xFE, 0xFE, 0x00, 0},
        {"nothing sent yet: the input bit shows", kPortPA, 0, 0x00, 0x00, 0x01, 1},
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

TEST(LiveValues, ChannelWordsBecomeValuesInReadoutUnits)
{
    uint8_t data[kPacketBufferSize] = {};
    const uint16_t words[kChannelCount] = {0xFFFF, 0x001F, 0x0020, 0x8000, 0x0000, 0x7FE0, 0x1234, 0xFFE0};
    const int16_t values[kChannelCount] = {2047, 0, 1, 1024, 0, 1023, 0x1234 >> 5, 2047};
    for (int ch = 0; ch < kChannelCount; ++ch) {
        data[kChannelWordsOffset + 2 * ch] = static_cast<uint8_t>(words[ch] & 0xFF);
        data[kChannelWordsOffset + 2 * ch + 1] = static_cast<uint8_t>(words[ch] >> 8);
    }
    int16_t live[kChannelCount] = {};
    updateLiveValues(data, live);
    for (int ch = 0; ch < kChannelCount; ++ch)
        EXPECT_EQ(live[ch], values[ch]) << "CH" << ch;
}
