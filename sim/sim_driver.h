// The simulated library in-process, as the device session sees a driver
// library: fake pipe handles over SimLibrary, plus a log of the kernel calls.
#pragma once
#include <map>

#include "device/driver_library.h"
#include "sim_library.h"

class SimDriver : public DriverLibrary {
public:
    explicit SimDriver(SimLibrary &library) : library_(library) {}

    DeviceHandle openBoard() override;
    void closeBoard(DeviceHandle board) override;
    DeviceHandle openPipe(DeviceHandle board, int pipeNumber) override;
    int boardStatus(DeviceHandle board) override;
    void resetPipe(DeviceHandle pipe) override;
    bool readConfigDescriptor(DeviceHandle board, uint8_t *buffer, uint32_t length) override;
    bool readPipe(DeviceHandle pipe, uint8_t *buffer, uint32_t length, uint32_t *bytesRead) override;
    bool writePipe(DeviceHandle pipe, const uint8_t *buffer, uint32_t length) override;
    bool closePipe(DeviceHandle pipe) override;
    void sleepMs(uint32_t milliseconds) override;

    // Pipe handles handed out and not closed yet.
    int openPipeCount() const;

    uint64_t nowMs = 0;               // the board's clock; sleeps advance it
    bool failNextReadFile = false;    // the next ReadFile itself fails
    int failCloseOfPipe = 0;          // CloseHandle fails on this pipe number

private:
    struct Pipe {
        int board;
        int pipe;
        bool open;
    };
    int boardOf(DeviceHandle board) const;
    Pipe *pipeOf(DeviceHandle handle);
    std::string pipeText(const Pipe *pipe) const;

    SimLibrary &library_;
    std::map<DeviceHandle, Pipe> pipes_;
    DeviceHandle nextPipe_ = 0x7000;
};
