#include "device/device_session.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "device/descriptor_walk.h"
#include "device/packets.h"

DeviceSession deviceSession;
DriverLibrary *driverLibrary = nullptr;

namespace {

constexpr int kOpenAttempts = 32;
constexpr uint32_t kConfigHeaderLength = 9;
constexpr uint32_t kRetryWaitMs = 1000;
constexpr uint32_t kProbeMinimumLength = 4;  // up to and including boardId

// The open search's own probe buffer; the DataPacket buffer is left alone.
uint8_t probeBuffer[kPacketBufferSize];

// "Unexpected error", in code page 932.
const char kUnexpectedErrorText[] = "\x97\x5c\x8a\xfa\x82\xb5\x82\xc8\x82\xa2\x83\x47\x83\x89\x81\x5b\x82\xc5\x82\xb7";

struct OpenPipes {
    DeviceHandle control = kInvalidDeviceHandle;  // pipe 3
    DeviceHandle initial = kInvalidDeviceHandle;  // pipe 1
    DeviceHandle read = kInvalidDeviceHandle;     // pipe 2
};

void closeAllPipes(DriverLibrary &library, const OpenPipes &pipes)
{
    library.closePipe(pipes.control);
    library.closePipe(pipes.initial);
    library.closePipe(pipes.read);
}

// Opens pipe 3, 1 and 2; on a failure closes the ones already open.
bool openPipes(DriverLibrary &library, DeviceHandle board, OpenPipes &pipes)
{
    pipes.control = library.openPipe(board, 3);
    if (pipes.control == kInvalidDeviceHandle)
        return false;
    pipes.initial = library.openPipe(board, 1);
    if (pipes.initial == kInvalidDeviceHandle) {
        library.closePipe(pipes.control);
        return false;
    }
    pipes.read = library.openPipe(board, 2);
    if (pipes.read == kInvalidDeviceHandle) {
        library.closePipe(pipes.control);
        library.closePipe(pipes.initial);
        return false;
    }
    return true;
}

// Writes a whole 64-byte packet to a pipe and resets the pipe after a
// successful write; the count of bytes written is not examined.  Only a
// packet written goes into its buffer `lastSent`: the live readout shows the
// port bits from it, so it must hold only what the board received.
ErrorCode writePacket(DeviceHandle pipe, const uint8_t *packet, uint8_t *lastSent, ErrorCode failure)
{
    if (driverLibrary == nullptr || pipe == kNoDeviceHandle)  // the pipe closed by a Close that failed part-way
        return failure;
    if (!driverLibrary->writePipe(pipe, packet, kPacketBufferSize))
        return failure;
    driverLibrary->resetPipe(pipe);
    std::memcpy(lastSent, packet, kPacketBufferSize);
    return kSuccess;
}

}  // namespace

const char *errorCodeText(ErrorCode code)
{
    switch (code) {
    case kSuccess: return nullptr;
    case kErrNotOpen: return "Selected Device is Not Open";
    case kErrRemoved: return "Selected Device was Removed";
    case kErrAlreadyOpened: return "Selected Device is already Opened";
    case kErrInitialWrite: return "<Initial Data Write> Failed";
    case kErrControlWrite: return "<Control Data Write> Failed";
    case kErrDataRead: return "<Data Read> Failed";
    case kErrOpenFailed: return "Device Open Failed";
    case kErrIllegalArgument: return "Illegal argument";
    default: return kUnexpectedErrorText;
    }
}

uint16_t findMaxPacketSize(DeviceHandle board, int interfaceNumber, int endpointIndex)
{
    if (driverLibrary == nullptr)
        return 0;
    uint8_t header[kConfigHeaderLength] = {};
    if (!driverLibrary->readConfigDescriptor(board, header, kConfigHeaderLength))
        return 0;
    const uint16_t totalLength = readU16(header, 2);
    if (totalLength == 0)
        return 0;  // nothing to read or walk
    std::vector<uint8_t> descriptors(totalLength);
    if (!driverLibrary->readConfigDescriptor(board, descriptors.data(), totalLength))
        return 0;
    return findEndpointPacketSize(descriptors.data(), descriptors.size(), interfaceNumber, endpointIndex);
}

ErrorCode openBoardById(int wantedId)
{
    DeviceHandle toClose[kOpenAttempts];
    int toCloseCount = 0;
    int unmatched = 0;

    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (driverLibrary == nullptr) {
            ++unmatched;
            continue;
        }
        DriverLibrary &library = *driverLibrary;
        const DeviceHandle board = library.openBoard();
        if (board == kInvalidDeviceHandle) {
            ++unmatched;
            continue;
        }
        const int status = library.boardStatus(board);
        if (status == 1 || status == 2) {
            library.closeBoard(board);
            ++unmatched;
            continue;
        }
        const uint16_t packetSize = findMaxPacketSize(board, 0, 0);
        if (packetSize == 0) {
            library.closeBoard(board);
            ++unmatched;
            continue;
        }
        // Larger endpoints are read 64 bytes at a time: the buffers hold 64.
        const uint16_t readSize = std::min<uint16_t>(packetSize, kPacketBufferSize);

        OpenPipes pipes;
        if (!openPipes(library, board, pipes)) {
            toClose[toCloseCount++] = board;
            ++unmatched;
            continue;
        }
        uint32_t bytesRead = 0;
        const bool readOk = library.readPipe(pipes.read, probeBuffer, readSize, &bytesRead);
        if (!readOk || bytesRead == 0) {
            closeAllPipes(library, pipes);
            toClose[toCloseCount++] = board;
            ++unmatched;
            continue;
        }
        library.resetPipe(pipes.read);
        // A probe too short to carry boardId matches nothing.
        if (bytesRead >= kProbeMinimumLength && boardIdOf(probeBuffer) == wantedId) {
            deviceSession.boardHandle = board;
            deviceSession.readPipe = pipes.read;
            deviceSession.controlPipe = pipes.control;
            deviceSession.initialPipe = pipes.initial;
            deviceSession.readSize = readSize;
            break;
        }
        toClose[toCloseCount++] = board;
        closeAllPipes(library, pipes);
        ++unmatched;
    }

    for (int i = 0; i < toCloseCount; ++i)
        driverLibrary->closeBoard(toClose[i]);
    return unmatched == kOpenAttempts ? kErrOpenFailed : kSuccess;
}

ErrorCode readDataPacket()
{
    if (driverLibrary == nullptr)
        return kErrRemoved;
    if (deviceSession.readPipe == kNoDeviceHandle)
        return kErrNotOpen;
    const uint32_t readSize = std::min<uint32_t>(deviceSession.readSize, kPacketBufferSize);
    uint32_t bytesRead = 0;
    if (driverLibrary->readPipe(deviceSession.readPipe, packetBuffers.data, readSize, &bytesRead) && bytesRead > 0)
        return kSuccess;
    if (driverLibrary->boardStatus(deviceSession.boardHandle) != 0)
        return kErrRemoved;
    driverLibrary->resetPipe(deviceSession.readPipe);
    driverLibrary->sleepMs(kRetryWaitMs);
    return kSuccess;
}

ErrorCode writeInitialData(uint8_t p9Direction, uint8_t paDirection, uint8_t pbDirection)
{
    uint8_t packet[kPacketBufferSize] = {};
    fillInitialDataPacket(packet, p9Direction, paDirection, pbDirection);
    return writePacket(deviceSession.initialPipe, packet, packetBuffers.initial, kErrInitialWrite);
}

ErrorCode writeControlData(uint8_t p9Output, uint8_t paOutput, uint8_t pbOutput)
{
    uint8_t packet[kPacketBufferSize] = {};
    fillControlDataPacket(packet, p9Output, paOutput, pbOutput);
    return writePacket(deviceSession.controlPipe, packet, packetBuffers.control, kErrControlWrite);
}

ErrorCode closeSession()
{
    if (driverLibrary == nullptr)
        return kSuccess;  // nothing can have been opened
    for (DeviceHandle *pipe : {&deviceSession.readPipe, &deviceSession.controlPipe, &deviceSession.initialPipe}) {
        if (*pipe == kNoDeviceHandle)
            continue;
        const DeviceHandle handle = std::exchange(*pipe, kNoDeviceHandle);
        if (!driverLibrary->closePipe(handle))
            return -1;  // a failed CloseHandle is not tried again on the same value
    }
    if (deviceSession.boardHandle != kNoDeviceHandle)
        driverLibrary->closeBoard(std::exchange(deviceSession.boardHandle, kNoDeviceHandle));
    return kSuccess;
}

void closeWholeSession()
{
    // Each failure forgets one pipe, so this ends after at most three.
    while (closeSession() != kSuccess) {
    }
}
