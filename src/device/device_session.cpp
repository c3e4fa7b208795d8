// Placeholder until this module is built.
#include "device/device_session.h"

DeviceSession deviceSession;
DriverLibrary *driverLibrary = nullptr;

const char *errorCodeText(ErrorCode) { return nullptr; }
uint16_t findMaxPacketSize(DeviceHandle, int, int) { return 0; }
ErrorCode openBoardById(int) { return kErrOpenFailed; }
ErrorCode readDataPacket() { return kErrRemoved; }
ErrorCode writeInitialData(uint8_t, uint8_t, uint8_t) { return kErrInitialWrite; }
ErrorCode writeControlData(uint8_t, uint8_t, uint8_t) { return kErrControlWrite; }
ErrorCode closeSession() { return 0; }
