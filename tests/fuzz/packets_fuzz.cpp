// Reads every field of an arbitrary packet, and runs the open search and a
// read over a board that sends the same bytes (any length, short ones too).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "device/device_session.h"
#include "device/packets.h"

namespace {

// One board with a normal descriptor set whose pipe 2 yields the fuzz bytes.
class FuzzBoardLibrary : public DriverLibrary {
public:
    const uint8_t *bytes = nullptr;
    size_t size = 0;
    bool opened = false;

    DeviceHandle openBoard() override
    {
        if (opened)
            return kInvalidDeviceHandle;
        opened = true;
        return 1;
    }
    void closeBoard(DeviceHandle) override {}
    DeviceHandle openPipe(DeviceHandle, int pipeNumber) override { return 100 + static_cast<DeviceHandle>(pipeNumber); }
    int boardStatus(DeviceHandle) override { return 0; }
    void resetPipe(DeviceHandle) override {}
    bool readConfigDescriptor(DeviceHandle, uint8_t *buffer, uint32_t length) override
    {
        static const uint8_t set[] = {9, 2, 25, 0, 1, 1, 0, 0x80, 50, 9, 4, 0, 0, 1, 0xFF, 0, 0, 0,
                                      7, 5, 0x82, 2, 64, 0, 0};
        if (length > sizeof set)
            return false;
        std::memcpy(buffer, set, length);
        return true;
    }
    bool readPipe(DeviceHandle, uint8_t *buffer, uint32_t length, uint32_t *bytesRead) override
    {
        *bytesRead = static_cast<uint32_t>(std::min<size_t>(length, size));
        std::memcpy(buffer, bytes, *bytesRead);
        return true;
    }
    bool writePipe(DeviceHandle, const uint8_t *, uint32_t) override { return true; }
    bool closePipe(DeviceHandle) override { return true; }
    void sleepMs(uint32_t) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t packet[kPacketBufferSize] = {};
    std::memcpy(packet, data, size < kPacketBufferSize ? size : kPacketBufferSize);
    volatile int32_t sink = boardIdOf(packet);
    for (int ch = 0; ch < 8; ++ch)
        sink = sink + channelValue(channelWordOf(packet, ch));
    for (int port = 0; port < 3; ++port)
        sink = sink + portInputsOf(packet, port);

    FuzzBoardLibrary library;
    library.bytes = data;
    library.size = size;
    driverLibrary = &library;
    const int wantedId = size >= 4 ? boardIdOf(packet) : 0;
    if (openBoardById(wantedId) == kSuccess) {
        readDataPacket();
        closeSession();
    }
    driverLibrary = nullptr;
    return 0;
}
