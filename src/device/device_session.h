// The device session: finding the board by ID, reading and writing its
// packets, closing it, and the error codes with their messages.
#pragma once
#include <cstdint>

#include "device/driver_library.h"

// A handle field is kNoDeviceHandle (0) while the session does not hold that
// handle: before the first open, and from the moment closeSession closes it,
// so that no value is ever closed, read or written twice (the system hands
// out closed values again).
constexpr DeviceHandle kNoDeviceHandle = 0;

struct DeviceSession {
    DeviceHandle boardHandle;
    DeviceHandle readPipe;     // pipe 2
    DeviceHandle controlPipe;  // pipe 3
    DeviceHandle initialPipe;  // pipe 1
    uint16_t readSize;         // wMaxPacketSize of endpoint 0 of interface 0
};

extern DeviceSession deviceSession;

using ErrorCode = int32_t;
constexpr ErrorCode kSuccess = 0;
constexpr ErrorCode kErrNotOpen = -100;
constexpr ErrorCode kErrRemoved = -105;
constexpr ErrorCode kErrAlreadyOpened = -110;
constexpr ErrorCode kErrInitialWrite = -150;
constexpr ErrorCode kErrControlWrite = -160;
constexpr ErrorCode kErrDataRead = -170;
constexpr ErrorCode kErrOpenFailed = -180;
constexpr ErrorCode kErrIllegalArgument = -200;

// The message of a code, as code-page-932 bytes; null for 0.
const char *errorCodeText(ErrorCode code);

uint16_t findMaxPacketSize(DeviceHandle board, int interfaceNumber, int endpointIndex);
ErrorCode openBoardById(int wantedId);
// -100 (nothing read) once the read pipe was closed.
ErrorCode readDataPacket();
ErrorCode writeInitialData(uint8_t p9Direction, uint8_t paDirection, uint8_t pbDirection);
ErrorCode writeControlData(uint8_t p9Output, uint8_t paOutput, uint8_t pbOutput);
// Closes the read, control and initial pipes, then the board, forgetting each
// handle as it is closed; stops at a pipe that fails to close (-1), leaving
// the ones after it and the board to the next call.  Closes nothing, and
// succeeds, when nothing is open.
ErrorCode closeSession();
// For the callers that leave the session behind whatever happens (a failed
// Connect, a board that has gone): closes all it still holds, going on past
// pipes that fail to close, so that the board itself is always released.
void closeWholeSession();
