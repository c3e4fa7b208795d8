#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "device/descriptor_walk.h"
#include "device/packets.h"
#include "ports/live_values.h"
#include "ports/port_rules.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A configuration header followed by the given descriptors.
Bytes cfg(std::initializer_list<Bytes> parts)
{
    Bytes all = {9, 2, 0, 0, 1, 1, 0, 0x80, 50};
    for (const Bytes &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
Bytes iface(uint8_t number, uint8_t alternate = 0) { return {9, 4, number, alternate, 1, 0xFF, 0, 0, 0}; }
Bytes ep(uint16_t size) { return {7, 5, 0x82, 2, uint8_t(size & 0xFF), uint8_t(size >> 8), 0}; }

}  // namespace

// Each set is walked from a copy of exactly its length, so that the address
// sanitizer catches any read past the end.
TEST(DescriptorWalk, FindsTheWantedEndpointOrNothingAndNeverReadsPastTheLength)
{
    struct Row { const char *what; Bytes descriptors; int interfaceNumber, endpointIndex; uint16_t size; };
    const Row rows[] = {
        {"the first endpoint of interface 0 gives all 16 bits", cfg({iface(0), ep(0x1A40), ep(32)}), 0, 0, 0x1A40},
        {"the second endpoint of interface 0", cfg({iface(0), ep(64), ep(32)}), 0, 1, 32},
        {"endpoints of another interface are not counted", cfg({iface(1), ep(16), iface(0), ep(48)}), 0, 0, 48},
        {"the endpoints of interface 1 when it is asked for", cfg({iface(1), ep(16), iface(0), ep(48)}), 1, 0, 16},
        {"an interface without endpoints gives 0", cfg({iface(0), iface(1), ep(16)}), 0, 0, 0},
        {"an alternate setting restarts the endpoint count", cfg({iface(0, 0), ep(8), iface(0, 1), ep(64)}), 0, 1, 0},
        {"an alternate setting of the interface is inside it", cfg({iface(0, 0), iface(0, 1), ep(64)}), 0, 0, 64},
        {"other types, even of 2 bytes, are skipped", cfg({iface(0), {5, 36, 1, 2, 3}, {2, 36}, ep(64)}), 0, 0, 64},
        {"bLength 0 ends the walk", cfg({{0, 4, 0, 0}, iface(0), ep(64)}), 0, 0, 0},
        {"an endpoint of 6 bytes holds wMaxPacketSize", cfg({iface(0), {6, 5, 0x82, 2, 64, 0}}), 0, 0, 64},
        {"an endpoint of 5 bytes ends the walk", cfg({iface(0), {5, 5, 0x82, 2, 64}, ep(64)}), 0, 0, 0},
        {"an interface of 3 bytes holds its number", cfg({{3, 4, 0}, ep(64)}), 0, 0, 64},
        {"an interface of 2 bytes ends the walk", cfg({{2, 4}, iface(0), ep(64)}), 0, 0, 0},
    };
    for (const Row &r : rows) {
        const Bytes d = r.descriptors;  // a copy holds exactly its elements
        EXPECT_EQ(findEndpointPacketSize(d.data(), d.size(), r.interfaceNumber, r.endpointIndex), r.size) << r.what;
    }
    const Bytes full = cfg({iface(0), ep(64)});  // every shorter prefix cuts a descriptor
    for (size_t length = 0; length < full.size(); ++length) {
        const Bytes prefix(full.begin(), full.begin() + static_cast<long>(length));
        EXPECT_EQ(findEndpointPacketSize(prefix.data(), length, 0, 0), 0) << "the first " << length << " bytes";
    }
    EXPECT_EQ(findEndpointPacketSize(nullptr, 100, 0, 0), 0);
}

// Bytes 0..1 are never interpreted; the channel words lie little-endian from
// byte 4 and each value drops the word's five low bits, without sign.
TEST(DataPacket, BoardIdChannelValuesAndPortInputsAtTheirOffsets)
{
    const uint8_t packet[kPacketBufferSize] = {0xEE, 0xEE, 0x05, 0x01,              // boardId 0x0105
                                               0x1F, 0x00, 0x20, 0x00, 0xE0, 0x7F,  // CH0..CH2
                                               0x00, 0x80, 0xFF, 0xFF, 0x34, 0x12,  // CH3..CH5
                                               0xCD, 0xAB, 0x21, 0x43,              // CH6, CH7
                                               0x15, 0xA5, 0x5A};                   // P9, PA, PB
    int16_t values[kChannelCount];
    updateLiveValues(packet, values);
    EXPECT_EQ(boardIdOf(packet), 0x0105);
    EXPECT_EQ(std::vector<int16_t>(values, values + kChannelCount),
              std::vector<int16_t>({0, 1, 1023, 1024, 2047, 0x91, 0x55E, 0x219}));
    EXPECT_EQ(std::make_tuple(portInputsOf(packet, 0), portInputsOf(packet, 1), portInputsOf(packet, 2)),
              std::make_tuple(0x15, 0xA5, 0x5A));
}

// The identifiers of bits 0 and 1 of each kind of control of each port (the
// higher bits follow bit 1); no other identifier, and no other slot, has a
// control.
TEST(PortControls, EveryIdentifierMapsToItsSlotAndBackAndNoOtherDoes)
{
    struct Row { int port, kind, bit0, bit1; };
    const Row rows[] = {
        {kPortP9, kKindDirection, 1027, 1028}, {kPortP9, kKindOutput, 1035, 1044}, {kPortP9, kKindValue, 1036, 1037},
        {kPortPA, kKindDirection, 1051, 1052}, {kPortPA, kKindOutput, 1067, 1068}, {kPortPA, kKindValue, 1059, 1060},
        {kPortPB, kKindDirection, 1075, 1076}, {kPortPB, kKindOutput, 1091, 1092}, {kPortPB, kKindValue, 1083, 1084},
    };
    std::vector<bool> known(1200, false);
    for (const Row &r : rows)
        for (int bit = 0; bit <= kBitSlots; ++bit) {
            const int bits = r.port == kPortP9 ? 5 : 8;
            const int id = bit == 0 ? r.bit0 : bit < bits ? r.bit1 + bit - 1 : 0;
            EXPECT_EQ(portControlId(r.port, r.kind, bit), id) << "slot " << r.port << '/' << r.kind << '/' << bit;
            const PortControlPlace place = locatePortControl(id);
            EXPECT_EQ(std::make_tuple(place.found, place.port, place.kind, place.bit),
                      id ? std::make_tuple(true, r.port, r.kind, bit) : std::make_tuple(false, -1, -1, -1)) << id;
            known[id] = true;
        }
    for (int id = 1; id < static_cast<int>(known.size()); ++id)
        EXPECT_EQ(locatePortControl(id).found, known[id]) << id;
    EXPECT_EQ(std::vector<int>({portIndexOfCode(1), portIndexOfCode(2), portIndexOfCode(4), portIndexOfCode(3)}),
              std::vector<int>({kPortP9, kPortPA, kPortPB, -1})) << "the ports' dispatch codes are 1, 2 and 4";
    for (const auto &[port, kind, bit] : {std::tuple{3, 0, 0}, {-1, 0, 0}, {kPortPA, 3, 0}, {kPortPA, -1, 0},
                                          {kPortPA, 0, -1}})
        EXPECT_EQ(portControlId(port, kind, bit), 0) << port << " " << kind << " " << bit;
}

// Each row: the change, the port's masks before it, whether it is accepted and
// the port's masks after it.  The other two ports hold direction 0xA5 and
// output 0x5A, and keep them.
TEST(PortRules, DirectionAndOutputChanges)
{
    enum Change { kDirOut, kDirIn, kOutOn, kOutOff };
    struct Row { const char *what; Change change; int port, bit; uint8_t direction, output; bool accepted;
                 uint8_t directionAfter, outputAfter; };
    const Row rows[] = {
        {"PA bit 3 turned OUT sets its direction bit", kDirOut, kPortPA, 3, 0, 0, true, 0x08, 0},
        {"an output on an IN bit is refused and nothing changes", kOutOn, kPortPA, 4, 0x08, 0x08, false, 0x08, 0x08},
        {"turning a bit IN clears its output too", kDirIn, kPortPA, 3, 0x18, 0x18, true, 0x10, 0x10},
        {"turning an output off clears only that bit", kOutOff, kPortPB, 7, 0xC0, 0xC0, true, 0xC0, 0x40},
        {"P9 bit 4 can be driven", kOutOn, kPortP9, 4, 0x10, 0, true, 0x10, 0x10},
        {"P9 bit 1 (hidden) cannot become OUT", kDirOut, kPortP9, 1, 0, 0, false, 0, 0},
        {"P9 bit 3 (hidden) cannot be driven, even when OUT", kOutOn, kPortP9, 3, 0x08, 0, false, 0x08, 0},
        {"P9 bit 5 does not exist", kDirOut, kPortP9, 5, 0, 0, false, 0, 0},
        {"an unknown port changes nothing", kDirOut, 3, 0, 0, 0, false, 0, 0},
    };
    for (const Row &r : rows) {
        PortState state{{{0xA5, 0x5A}, {0xA5, 0x5A}, {0xA5, 0x5A}}}, expected = state;
        if (r.port < kPortCount) {
            state.ports[r.port] = {r.direction, r.output};
            expected.ports[r.port] = {r.directionAfter, r.outputAfter};
        }
        const bool on = r.change == kDirOut || r.change == kOutOn;
        const bool accepted = r.change == kDirOut || r.change == kDirIn ? applyDirectionChange(state, r.port, r.bit, on)
                                                                        : applyOutputChange(state, r.port, r.bit, on);
        EXPECT_EQ(accepted, r.accepted) << r.what;
        EXPECT_EQ(0, std::memcmp(&state, &expected, sizeof state)) << r.what;
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
        {"PB bit 7 sent OUT with 1, board reports 0", kPortPB, 7, 0x80, 0x80, 0x00, 1},
        {"other bits of the port do not matter", kPortPB, 0, 0xFE, 0xFE, 0x00, 0},
        {"P9 bit 5 does not exist", kPortP9, 5, 0x00, 0x00, 0x20, 0},
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
