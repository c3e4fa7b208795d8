// The walk over a USB configuration descriptor set that finds an endpoint's
// wMaxPacketSize.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint8_t kInterfaceDescriptorType = 4;
constexpr uint8_t kEndpointDescriptorType = 5;

// Walks `length` bytes of descriptors (bLength, bDescriptorType, ...).  Every
// interface descriptor tells whether the walk is inside `interfaceNumber`
// (alternate settings included) and restarts the endpoint count; the
// `endpointIndex`-th endpoint inside it gives the result.  A bLength of 0 or
// below 2, or a descriptor that runs past `length` or is too short for the
// fields read (interface 3 bytes, endpoint 6 bytes), ends the walk.  0 when
// nothing matched.
uint16_t findEndpointPacketSize(const uint8_t *descriptors, size_t length, int interfaceNumber, int endpointIndex);
