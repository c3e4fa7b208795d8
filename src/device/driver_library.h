// The driver library as the device session sees it: the six ordinals of
// uusbd.dll plus the kernel calls made on the pipes it hands out.  The
// Windows adapter loads the real (or simulated) DLL; native tests use the
// board simulator in-process.
#pragma once
#include <cstdint>

using DeviceHandle = std::uintptr_t;
constexpr DeviceHandle kInvalidDeviceHandle = ~static_cast<DeviceHandle>(0);  // INVALID_HANDLE_VALUE

class DriverLibrary {
public:
    virtual ~DriverLibrary() = default;

    // Ordinal 1, always called with 12, 0, 0, 0x0FF8, 0x20, 0.
    virtual DeviceHandle openBoard() = 0;
    // Ordinal 3.
    virtual void closeBoard(DeviceHandle board) = 0;
    // Ordinal 4 with (board, 0, pipeNumber); kInvalidDeviceHandle on failure.
    virtual DeviceHandle openPipe(DeviceHandle board, int pipeNumber) = 0;
    // Ordinal 7.
    virtual int boardStatus(DeviceHandle board) = 0;
    // Ordinal 8.
    virtual void resetPipe(DeviceHandle pipe) = 0;
    // Ordinal 11: the first `length` bytes of the configuration descriptor set.
    virtual bool readConfigDescriptor(DeviceHandle board, uint8_t *buffer, uint32_t length) = 0;

    // ReadFile / WriteFile / CloseHandle on a pipe handle, and Sleep.
    virtual bool readPipe(DeviceHandle pipe, uint8_t *buffer, uint32_t length, uint32_t *bytesRead) = 0;
    virtual bool writePipe(DeviceHandle pipe, const uint8_t *buffer, uint32_t length) = 0;
    virtual bool closePipe(DeviceHandle pipe) = 0;
    virtual void sleepMs(uint32_t milliseconds) = 0;
};

// The library the program uses; set once at start-up by the Windows layer
// (null while no library could be loaded: every open then fails).
extern DriverLibrary *driverLibrary;
