#include "device/descriptor_walk.h"

uint16_t findEndpointPacketSize(const uint8_t *descriptors, size_t length, int interfaceNumber, int endpointIndex)
{
    if (descriptors == nullptr)
        return 0;
    bool inInterface = false;
    int endpointCount = 0;
    size_t offset = 0;
    while (offset + 2 <= length) {
        const size_t descriptorLength = descriptors[offset];
        const uint8_t type = descriptors[offset + 1];
        if (descriptorLength < 2 || descriptorLength > length - offset)
            break;
        const uint8_t *descriptor = descriptors + offset;
        if (type == kInterfaceDescriptorType) {
            if (descriptorLength < 3)
                break;
            inInterface = (descriptor[2] == interfaceNumber);
            endpointCount = 0;
        } else if (type == kEndpointDescriptorType && inInterface) {
            if (descriptorLength < 6)
                break;
            if (endpointCount == endpointIndex)
                return static_cast<uint16_t>(descriptor[4] | (descriptor[5] << 8));
            ++endpointCount;
        }
        offset += descriptorLength;
    }
    return 0;
}
