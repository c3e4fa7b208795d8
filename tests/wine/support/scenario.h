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

extern const char kNoBoards[];
extern const char kOneBoardId0[];

class ScenarioTest : public ::testing::Test {
protected:
    // Starts the program and waits for its main dialog (null with a failure).
    void startProgram(const std::string &boardConfig, const StartOptions &options = {});
    // Starts it without waiting: start-up messages may hide the main dialog.
    void launchProgram(const std::string &boardConfig, const StartOptions &options);

    bool connectTo(int id);  // chooses the ID, Connect; true once it reads "Close"
    bool closeSession();     // Close; true once it reads "Connect"
    bool waitForText(int id, const std::string &expected);
    // Waits for a message box, expects its "caption: text" (and its owner,
    // when given) and presses the button; false when no box was answered.
    bool answerBox(const std::string &message, int button = IDOK, HWND owner = nullptr);
    bool settle();  // everything posted to the main dialog so far was handled
    // Waits for the program's visible dialog with this caption ("Graph",
    // "Config", ...); null when it did not appear.
    HWND waitForDialog(const char *caption);

    // The enable rules of the main dialog's controls: disconnected,
    // connected (sampling stopped or not started) or sampling.
    enum Phase { kDisconnected, kConnected, kSampling };
    void expectEnableRules(Phase phase, const std::string &when);

    void TearDown() override;  // no message box may be left open

    SimControl sim;
    Program program;
    HWND dialog = nullptr;
};
