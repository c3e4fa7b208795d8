#include "sim_driver.h"

#include <algorithm>
#include <cstring>

int SimDriver::boardOf(DeviceHandle board) const
{
    return boardIndexOf(board, library_.boardCount());
}

SimDriver::Pipe *SimDriver::pipeOf(DeviceHandle handle)
{
    const auto found = pipes_.find(handle);
    return found == pipes_.end() ? nullptr : &found->second;
}

std::string SimDriver::pipeText(const Pipe *pipe) const
{
    return pipe ? std::to_string(pipe->board) + " " + std::to_string(pipe->pipe) : std::string("-1 -1");
}

DeviceHandle SimDriver::openBoard()
{
    const int board = library_.openBoard();
    return board < 0 ? kInvalidDeviceHandle : boardHandleOf(board);
}

void SimDriver::closeBoard(DeviceHandle board)
{
    library_.closeBoard(boardOf(board));
}

DeviceHandle SimDriver::openPipe(DeviceHandle board, int pipeNumber)
{
    const int index = boardOf(board);
    if (!library_.openPipe(index, pipeNumber))
        return kInvalidDeviceHandle;
    nextPipe_ += 8;
    pipes_[nextPipe_] = Pipe{index, pipeNumber, true};
    return nextPipe_;
}

int SimDriver::boardStatus(DeviceHandle board)
{
    return library_.status(boardOf(board));
}

void SimDriver::resetPipe(DeviceHandle pipe)
{
    const Pipe *p = pipeOf(pipe);
    library_.resetPipe(p ? p->board : -1, p ? p->pipe : -1);
}

bool SimDriver::readConfigDescriptor(DeviceHandle board, uint8_t *buffer, uint32_t length)
{
    return library_.readDescriptor(boardOf(board), buffer, length);
}

bool SimDriver::readPipe(DeviceHandle pipe, uint8_t *buffer, uint32_t length, uint32_t *bytesRead)
{
    *bytesRead = 0;
    Pipe *p = pipeOf(pipe);
    bool ok = false;
    if (p && p->open && p->pipe == 2 && !failNextReadFile) {
        uint8_t packet[64];
        int packetLength = 0;
        const ReadOutcome outcome = library_.readPacket(p->board, nowMs, packet, packetLength);
        ok = outcome != ReadOutcome::Broken;
        if (outcome == ReadOutcome::Packet) {
            *bytesRead = std::min<uint32_t>(length, static_cast<uint32_t>(packetLength));
            std::memcpy(buffer, packet, *bytesRead);
        }
    }
    failNextReadFile = false;
    library_.note("readfile " + pipeText(p) + (ok ? " " + std::to_string(*bytesRead) : std::string(" fail")));
    return ok;
}

bool SimDriver::writePipe(DeviceHandle pipe, const uint8_t *buffer, uint32_t length)
{
    Pipe *p = pipeOf(pipe);
    const bool ok = p && p->open && library_.writePacket(p->board, p->pipe, buffer, length);
    library_.note("writefile " + pipeText(p) + " " + std::to_string(length) + (ok ? " ok" : " fail"));
    return ok;
}

bool SimDriver::closePipe(DeviceHandle pipe)
{
    Pipe *p = pipeOf(pipe);
    const bool ok = p && p->open && p->pipe != failCloseOfPipe;
    if (ok)
        p->open = false;
    library_.note("closehandle " + pipeText(p) + (ok ? " ok" : " fail"));
    return ok;
}

void SimDriver::sleepMs(uint32_t milliseconds)
{
    nowMs += milliseconds;
    library_.note("sleep " + std::to_string(milliseconds));
}

int SimDriver::openPipeCount() const
{
    return static_cast<int>(std::count_if(pipes_.begin(), pipes_.end(), [](const auto &entry) { return entry.second.open; }));
}
