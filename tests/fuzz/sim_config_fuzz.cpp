// The simulator's configuration text and command lines, arbitrary: parsed,
// then every line also applied as a command, descriptors built and packets
// made for every board.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "board_model.h"
#include "sim_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::vector<BoardConfig> boards = parseSimConfig(text);
    SimLibrary library(boards);

    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        library.applyCommand(line);

    for (size_t i = 0; i < library.boardCount(); ++i) {
        const int board = library.openBoard();
        if (board < 0)
            break;
        library.openPipe(board, 2);
        uint8_t packet[64];
        int length = 0;
        library.readPacket(board, 1234567, packet, length);
        uint8_t descriptor[80];
        library.readDescriptor(board, descriptor, sizeof descriptor);
        const std::vector<uint8_t> set = buildDescriptorSet(library.board(board).model.config);
        if (set.size() < 9 || length < 0 || length > 64)
            __builtin_trap();
    }
    return 0;
}
