// Rules of the digital I/O panel: where each port control sits, how a
// direction or output change alters the masks, and what a port bit displays.
#pragma once
#include <cstdint>

#include "ports/port_state.h"

enum PortControlKindIndex { kKindDirection = 0, kKindOutput = 1, kKindValue = 2, kKindCount = 3 };

constexpr int kBitSlots = 8;

struct PortControlPlace {
    bool found;
    int port;  // kPortP9, kPortPA, kPortPB
    int kind;  // kKindDirection, kKindOutput, kKindValue
    int bit;
};

// Port index of a dispatch code (1 P9, 2 PA, 4 PB); -1 for any other code.
int portIndexOfCode(int portCode);

// Number of bits a port has: 5 for P9, 8 for PA and PB, 0 otherwise.
int portBitCount(int port);

// Control identifier of a port slot; 0 where no control exists (P9 bits 5..7).
int portControlId(int port, int kind, int bit);

// The slot of a control identifier; found is false for any other identifier.
PortControlPlace locatePortControl(int controlId);

// A bit the operator can see and change: every bit of PA and PB, and bits
// 0, 2 and 4 of P9.  Bits 1 and 3 of P9 have hidden controls.
bool isOperatorPortBit(int port, int bit);

// Direction box turned OUT (true) or IN (false).  IN also clears the output
// bit.  Returns false, changing nothing, for a bit the operator cannot use.
bool applyDirectionChange(PortState &state, int port, int bit, bool isOut);

// Output box turned on or off.  Turning it on is refused (false, nothing
// changes) unless the bit is OUT; turning it off always clears the bit.
// Bits the operator cannot use are refused either way.
bool applyOutputChange(PortState &state, int port, int bit, bool on);

// The level shown for a port bit: the output bit last sent when the bit was
// last sent as OUT, otherwise the input bit of the latest DataPacket.
uint8_t displayedPortBit(const uint8_t *initialPacket, const uint8_t *controlPacket,
                         const uint8_t *dataPacket, int port, int bit);
