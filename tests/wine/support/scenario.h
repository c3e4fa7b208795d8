// Base of the scenario tests: the simulated boards, the program started on
// them in a fresh data folder, and the operator's common steps.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "controls.h"
#include "message_box.h"
#include "program.h"
#include "sim_control.h"
#include "top_windows.h"
#include "wait.h"

// Board configurations of the simulator.
extern const char kNoBoards[];
extern const char kOneBoardId0[];

class ScenarioTest : public ::testing::Test {
protected:
    // Starts the program on the boards of `boardConfig` and waits for its
    // main dialog; `dialog` is null (with a failure) when it did not appear.
    void startProgram(const std::string &boardConfig, const StartOptions &options = {});
    // Starts the program with a settings file, leaving the main dialog
    // possibly hidden behind start-up messages.
    void launchProgram(const std::string &boardConfig, const StartOptions &options);

    // Chooses `id` in the ID box and presses Connect; true once the button
    // reads "Close".
    bool connectTo(int id);
    // Presses Close; true once the button reads "Connect".
    bool closeSession();

    // Waits for the control's text to become `expected`.
    bool waitForText(int id, const std::string &expected);
    // Waits until the program has handled everything posted to it so far.
    bool settle();

    // No message box may be left open at the end of a test.
    void TearDown() override;

    SimControl sim;
    Program program;
    HWND dialog = nullptr;
};
