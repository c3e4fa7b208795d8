#include <gtest/gtest.h>

#include <vector>

#include "device/descriptor_walk.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kConfig = {9, 2, 0, 0, 1, 1, 0, 0x80, 50};
Bytes interfaceDescriptor(uint8_t number, uint8_t alternate = 0) { return {9, 4, number, alternate, 1, 0xFF, 0, 0, 0}; }
Bytes endpointDescriptor(uint16_t size) { return {7, 5, 0x82, 2, uint8_t(size & 0xFF), uint8_t(size >> 8), 0}; }

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct WalkCase {
    const char *sentence;
    Bytes descriptors;
    int interfaceNumber;
    int endpointIndex;
    uint16_t expected;
};

TEST(DescriptorWalk, FindsTheWantedEndpointOrNothing)
{
    const WalkCase cases[] = {
        {"the first endpoint of interface 0 gives its size",
         join({kConfig, interfaceDescriptor(0), endpointDescriptor(64), endpointDescriptor(32)}), 0, 0, 64},
        {"an index past the last endpoint finds nothing",
         join({kConfig, interfaceDescriptor(0), endpointDescriptor(64)}), 0, 1, 0},
        {"the whole 16-bit wMaxPacketSize is returned",
         join({kConfig, interfaceDescriptor(0), endpointDescriptor(0x1A40)}), 0, 0, 0x1A40},
        {"endpoints of another interface are not counted",
         join({kConfig, interfaceDescriptor(1), endpointDescriptor(16), interfaceDescriptor(0), endpointDescriptor(48)}), 0, 0, 48},
        {"an interface without endpoints gives 0",
         join({kConfig, interfaceDescriptor(0), interfaceDescriptor(1), endpointDescriptor(16)}), 0, 0, 0},
        {"an alternate setting restarts the endpoint count",
         join({kConfig, interfaceDescriptor(0, 0), endpointDescriptor(8), interfaceDescriptor(0, 1), endpointDescriptor(64)}), 0, 1, 0},
        {"an alternate setting of the interface is inside it",
         join({kConfig, interfaceDescriptor(0, 0), interfaceDescriptor(0, 1), endpointDescriptor(64)}), 0, 0, 64},
        {"other descriptor types are stepped over",
         join({kConfig, interfaceDescriptor(0), Bytes{5, 0x24, 1, 2, 3}, endpointDescriptor(64)}), 0, 0, 64},
        {"bLength 0 ends the walk",
         join({kConfig, Bytes{0, 4, 0, 0}, interfaceDescriptor(0), endpointDescriptor(64)}), 0, 0, 0},
        {"an endpoint running past the end ends the walk",
         join({kConfig, interfaceDescriptor(0), Bytes{7, 5, 0x82, 2, 64}}), 0, 0, 0},
        {"an endpoint too short for wMaxPacketSize ends the walk",
         join({kConfig, interfaceDescriptor(0), Bytes{5, 5, 0x82, 2, 64}, endpointDescriptor(64)}), 0, 0, 0},
        {"a lone trailing byte is ignored",
         join({kConfig, interfaceDescriptor(0), Bytes{9}}), 0, 0, 0},
        {"an empty set finds nothing", Bytes{}, 0, 0, 0},
    };
    for (const WalkCase &c : cases)
        EXPECT_EQ(findEndpointPacketSize(c.descriptors.data(), c.descriptors.size(), c.interfaceNumber, c.endpointIndex),
                  c.expected)
            << c.sentence;
}

TEST(DescriptorWalk, NeverReadsPastTheGivenLength)
{
    // The endpoint lies wholly beyond the length given: heap-allocated copies
    // of every prefix let the address sanitizer catch any read past the end.
    const Bytes full = join({kConfig, interfaceDescriptor(0), endpointDescriptor(64)});
    for (size_t length = 0; length < full.size(); ++length) {
        const Bytes prefix(full.begin(), full.begin() + static_cast<long>(length));
        auto *copy = new uint8_t[length ? length : 1];
        std::copy(prefix.begin(), prefix.end(), copy);
        EXPECT_EQ(findEndpointPacketSize(copy, length, 0, 0), 0) << "length " << length;
        delete[] copy;
    }
    EXPECT_EQ(findEndpointPacketSize(nullptr, 100, 0, 0), 0);
}


}  // namespace
