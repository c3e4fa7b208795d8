#include "ports/port_rules.h"

#include "device/packets.h"

namespace {

// Identifiers of bit 0 for each port and kind; the others follow in bit
// order, except P9's output boxes, listed in full.
constexpr int kFirstId[kPortCount][kKindCount] = {
    {1027, 1035, 1036},  // P9
    {1051, 1067, 1059},  // PA
    {1075, 1091, 1083},  // PB
};
constexpr int kP9OutputIds[5] = {1035, 1044, 1045, 1046, 1047};

bool validSlot(int port, int bit)
{
    return port >= 0 && port < kPortCount && bit >= 0 && bit < portBitCount(port);
}

uint8_t bitOf(int bit) { return static_cast<uint8_t>(1u << bit); }

}  // namespace

int portIndexOfCode(int portCode)
{
    switch (portCode) {
    case 1: return kPortP9;
    case 2: return kPortPA;
    case 4: return kPortPB;
    default: return -1;
    }
}

int portBitCount(int port)
{
    switch (port) {
    case kPortP9: return 5;
    case kPortPA:
    case kPortPB: return 8;
    default: return 0;
    }
}

int portControlId(int port, int kind, int bit)
{
    if (!validSlot(port, bit) || kind < 0 || kind >= kKindCount)
        return 0;
    if (port == kPortP9 && kind == kKindOutput)
        return kP9OutputIds[bit];
    return kFirstId[port][kind] + bit;
}

PortControlPlace locatePortControl(int controlId)
{
    for (int port = 0; port < kPortCount; ++port)
        for (int kind = 0; kind < kKindCount; ++kind)
            for (int bit = 0; bit < portBitCount(port); ++bit)
                if (portControlId(port, kind, bit) == controlId)
                    return {true, port, kind, bit};
    return {false, -1, -1, -1};
}

bool isOperatorPortBit(int port, int bit)
{
    if (!validSlot(port, bit))
        return false;
    return port != kPortP9 || bit == 0 || bit == 2 || bit == 4;
}

bool applyDirectionChange(PortState &state, int port, int bit, bool isOut)
{
    if (!isOperatorPortBit(port, bit))
        return false;
    PortMasks &masks = state.ports[port];
    if (isOut) {
        masks.directionMask = static_cast<uint8_t>(masks.directionMask | bitOf(bit));
    } else {
        masks.directionMask = static_cast<uint8_t>(masks.directionMask & ~bitOf(bit));
        masks.outputMask = static_cast<uint8_t>(masks.outputMask & ~bitOf(bit));
    }
    return true;
}

bool applyOutputChange(PortState &state, int port, int bit, bool on)
{
    if (!isOperatorPortBit(port, bit))
        return false;
    PortMasks &masks = state.ports[port];
    if (!on) {
        masks.outputMask = static_cast<uint8_t>(masks.outputMask & ~bitOf(bit));
        return true;
    }
    if ((masks.directionMask & bitOf(bit)) == 0)
        return false;
    masks.outputMask = static_cast<uint8_t>(masks.outputMask | bitOf(bit));
    return true;
}

uint8_t displayedPortBit(const uint8_t *initialPacket, const uint8_t *controlPacket,
                         const uint8_t *dataPacket, int port, int bit)
{
    if (!validSlot(port, bit))
        return 0;
    const bool sentOut = ((sentDirectionOf(initialPacket, port) >> bit) & 1u) != 0;
    const uint8_t source = sentOut ? sentOutputOf(controlPacket, port) : portInputsOf(dataPacket, port);
    return static_cast<uint8_t>((source >> bit) & 1u);
}
