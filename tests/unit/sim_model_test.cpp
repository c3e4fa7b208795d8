#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "board_model.h"
#include "sim_library.h"

TEST(SimConfigParsing, NumbersAreDecimalOrHexAndNothingElse)
{
    struct Row { const char *text; bool ok; long long value; };
    const Row rows[] = {{"42", true, 42}, {"0xff", true, 255}, {"-7", true, -7}, {"", false, -1},
                        {"0x", false, -1}, {"12a", false, -1}, {"9999999999999", false, -1}};
    for (const Row &r : rows) {
        long long value = -1;  // kept when the text is refused
        const bool ok = parseNumber(r.text, value);
        EXPECT_EQ(std::make_pair(ok, value), std::make_pair(r.ok, r.value)) << r.text;
    }
}

TEST(SimConfigParsing, BoardsCarryTheirSettingsAndBadLinesAreSkipped)
{
    const std::vector<BoardConfig> boards = parseSimConfig(
        "channel 0 sine amplitude=5   # before any board: ignored\n"
        "board 3 status=2 packet=23\n"
        "channel 1 square amplitude=100 offset=1000 period=250\n"
        "channel 3 wobble\n"
        "inputs p9=0x15 pb=3\n"
        "loop pa pb\n"
        "board 0x10 descriptor=big-packet\n"
        "board 70000\n"
        "board 6 packet=65\n"
        "fly me to the moon\n");
    ASSERT_EQ(boards.size(), 2u);
    const BoardConfig &b = boards[0];
    EXPECT_EQ(std::make_tuple(b.id, b.status, effectivePacketLength(b), b.channels[0].wave, b.channels[3].wave),
              std::make_tuple(3, 2, 23, Wave::Constant, Wave::Constant)) << "an unknown wave leaves the channel alone";
    EXPECT_EQ(std::make_tuple(b.channels[1].wave, b.channels[1].offset, b.channels[1].periodMs),
              std::make_tuple(Wave::Square, 1000.0, 250u));
    ASSERT_EQ(b.loops.size(), 1u);
    EXPECT_EQ(std::make_tuple(b.inputs[0], b.inputs[1], b.inputs[2], b.loops[0].from, b.loops[0].to),
              std::make_tuple(0x15, 0, 3, int{kPA}, int{kPB}));
    EXPECT_EQ(std::make_tuple(boards[1].id, boards[1].maxPacket, effectivePacketLength(boards[1])),
              std::make_tuple(0x10, 512, 64)) << "big-packet defaults to 512";
}

TEST(SimBoardModel, PacketsCarryIdChannelsAndInputsWithLoopbackApplied)
{
    BoardModel board;
    board.config =
        parseSimConfig("board 0x0105 packet=23\nchannel 7 raw 0xABCD\ninputs p9=0x11 pa=0xF0 pb=0x0F\nloop pa pb\n")[0];
    const uint8_t directions[64] = {0x00, 0x0C, 0x00};
    const uint8_t outputs[64] = {0x01, 0x00, 0x04, 0x00};
    applyWrittenPacket(board, 1, directions, 64);
    applyWrittenPacket(board, 3, outputs, 64);
    uint8_t packet[64];
    ASSERT_EQ(makeDataPacket(board, 0, packet), 23);
    // Sequence 1, the ID, CH7; PB bits 2 and 3 follow PA's outputs (bit 2 driven 1, bit 3 driven 0).
    std::vector<uint8_t> expected = {1, 0, 0x05, 0x01, 0, 0, 0, 0, 0, 0, 0, 0,
                                     0, 0, 0, 0, 0, 0, 0xCD, 0xAB, 0x11, 0xF0, 0x07};
    expected.resize(64, 0);  // nothing after the 23 bytes
    EXPECT_EQ(std::vector<uint8_t>(packet, packet + 64), expected);
}

TEST(SimLibrary, CommandsAreCheckedAndAcknowledged)
{
    SimLibrary library(parseSimConfig("board 1\nboard 2\n"));
    const std::pair<const char *, bool> rows[] = {
        {"channel 1 0 sine amplitude=10 period=20", true}, {"inputs 0 pa=0x80", true}, {"loop 0 off", true},
        {"fail-read 1", true}, {"fail-write 0 3", true}, {"status 0 2", true}, {"remove 2", false},
        {"fail-write 0 2", false}, {"inputs 0 pa=256", false}, {"dance 0", false}, {"channel 0 8 sine", false},
    };
    for (const auto &[line, ok] : rows) {
        EXPECT_EQ(library.applyCommand(line), ok) << line;
        EXPECT_EQ(library.calls().back(), std::string(ok ? "command " : "bad-command ") + line);
    }
    const SimBoard &b = library.board(0);
    EXPECT_EQ(std::make_tuple(b.model.config.status, b.model.config.inputs[1], b.failNextWrite[3]),
              std::make_tuple(2, 0x80, true));
}
