#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "device/descriptor_walk.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A configuration header followed by the given descriptors.
Bytes config(std::initializer_list<Bytes> parts)
{
    Bytes all = {9, 2, 0, 0, 1, 1, 0, 0x80, 50};
    for (const Bytes &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
Bytes iface(uint8_t number, uint8_t alternate = 0) { return {9, 4, number, alternate, 1, 0xFF, 0, 0, 0}; }
Bytes endpoint(uint16_t size) { return {7, 5, 0x82, 2, uint8_t(size & 0xFF), uint8_t(size >> 8), 0}; }

TEST(DescriptorWalk, FindsTheWantedEndpointOrNothing)
{
    struct Row { const char *what; Bytes descriptors; int interfaceNumber, endpointIndex; uint16_t size; };
    const Row rows[] = {
        {"the first endpoint of interface 0 gives its size", config({iface(0), endpoint(64), endpoint(32)}), 0, 0, 64},
        {"an index past the last endpoint finds nothing", config({iface(0), endpoint(64)}), 0, 1, 0},
        {"the whole 16-bit wMaxPacketSize is returned", config({iface(0), endpoint(0x1A40)}), 0, 0, 0x1A40},
        {"endpoints of another interface are not counted",
         config({iface(1), endpoint(16), iface(0), endpoint(48)}), 0, 0, 48},
        {"the endpoints of interface 1 when it is asked for",
         config({iface(1), endpoint(16), iface(0), endpoint(48)}), 1, 0, 16},
        {"an interface without endpoints gives 0", config({iface(0), iface(1), endpoint(16)}), 0, 0, 0},
        {"an alternate setting restarts the endpoint count",
         config({iface(0, 0), endpoint(8), iface(0, 1), endpoint(64)}), 0, 1, 0},
        {"an alternate setting of the interface is inside it",
         config({iface(0, 0), iface(0, 1), endpoint(64)}), 0, 0, 64},
        {"other descriptor types are stepped over", config({iface(0), {5, 0x24, 1, 2, 3}, endpoint(64)}), 0, 0, 64},
        {"bLength 0 ends the walk", config({{0, 4, 0, 0}, iface(0), endpoint(64)}), 0, 0, 0},
        {"an endpoint running past the end ends the walk", config({iface(0), {7, 5, 0x82, 2, 64}}), 0, 0, 0},
        {"an endpoint too short for wMaxPacketSize ends the walk",
         config({iface(0), {5, 5, 0x82, 2, 64}, endpoint(64)}), 0, 0, 0},
        {"a lone trailing byte is ignored", config({iface(0), {9}}), 0, 0, 0},
        {"an empty set finds nothing", Bytes{}, 0, 0, 0},
    };
    for (const Row &r : rows) {
        const Bytes &d = r.descriptors;
        EXPECT_EQ(findEndpointPacketSize(d.data(), d.size(), r.interfaceNumber, r.endpointIndex), r.size) << r.what;
    }
}

TEST(DescriptorWalk, NeverReadsPastTheGivenLength)
{
    // The endpoint lies wholly beyond the length given: heap-allocated copies
    // of every prefix let the address sanitizer catch any read past the end.
    const Bytes full = config({iface(0), endpoint(64)});
    for (size_t length = 0; length < full.size(); ++length) {
        std::unique_ptr<uint8_t[]> copy(new uint8_t[length ? length : 1]);
        std::copy(full.begin(), full.begin() + static_cast<long>(length), copy.get());
        EXPECT_EQ(findEndpointPacketSize(copy.get(), length, 0, 0), 0) << "length " << length;
    }
    EXPECT_EQ(findEndpointPacketSize(nullptr, 100, 0, 0), 0);
}

}  // namespace
