// The descriptor walk and findMaxPacketSize over arbitrary descriptor bytes:
// the first two bytes choose the interface and endpoint, the rest is the set
// the board reports (shorter than its wTotalLength, longer, or anything).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "device/descriptor_walk.h"
#include "device/device_session.h"

namespace {

// A library whose only board reports the fuzz input as its descriptor set.
class DescriptorOnlyLibrary : public DriverLibrary {
public:
    std::vector<uint8_t> set;

    DeviceHandle openBoard() override { return 1; }
    void closeBoard(DeviceHandle) override {}
    DeviceHandle openPipe(DeviceHandle, int) override { return kInvalidDeviceHandle; }
    int boardStatus(DeviceHandle) override { return 0; }
    void resetPipe(DeviceHandle) override {}
    bool readConfigDescriptor(DeviceHandle, uint8_t *buffer, uint32_t length) override
    {
        if (length > set.size())
            return false;
        std::memcpy(buffer, set.data(), length);
        return true;
    }
    bool readPipe(DeviceHandle, uint8_t *, uint32_t, uint32_t *) override { return false; }
    bool writePipe(DeviceHandle, const uint8_t *, uint32_t) override { return false; }
    bool closePipe(DeviceHandle) override { return false; }
    void sleepMs(uint32_t) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const int interfaceNumber = data[0] & 0x03;
    const int endpointIndex = data[1] & 0x03;
    // An exact-size heap copy, so any read past the end is caught.
    std::vector<uint8_t> descriptors(data + 2, data + size);
    volatile uint16_t sink = findEndpointPacketSize(descriptors.data(), descriptors.size(), interfaceNumber, endpointIndex);

    DescriptorOnlyLibrary library;
    library.set = descriptors;
    driverLibrary = &library;
    sink = static_cast<uint16_t>(sink + findMaxPacketSize(1, interfaceNumber, endpointIndex));
    driverLibrary = nullptr;
    (void)sink;
    return 0;
}
