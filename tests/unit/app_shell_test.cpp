#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/help_path.h"
#include "app/mode_rules.h"
#include "device/device_session.h"
#include "ports/port_state.h"

TEST(AppStateReset, ClearsFlagsSessionAndMasksButKeepsTheMode)
{
    for (int32_t mode : {kModeNormal, kModeDiffAmp}) {
        appState.selectedId = 17;
        appState.connected = 1;
        appState.graphRunning = 1;
        appState.saving = 1;
        for (int32_t &flag : appState.plotted)
            flag = 1;
        appState.mode = mode;
        deviceSession = {11, 22, 33, 44, 64};
        for (PortMasks &masks : portState.ports)
            masks = {0xFF, 0xFF};

        resetAppState();

        EXPECT_EQ(appState.selectedId, 0);
        EXPECT_EQ(appState.connected, 0);
        EXPECT_EQ(appState.graphRunning, 0);
        EXPECT_EQ(appState.saving, 0);
        for (int32_t flag : appState.plotted)
            EXPECT_EQ(flag, 0);
        EXPECT_EQ(appState.mode, mode) << "the mode survives the reset";
        EXPECT_EQ(deviceSession.boardHandle, 0u);
        EXPECT_EQ(deviceSession.readPipe, 0u);
        EXPECT_EQ(deviceSession.controlPipe, 0u);
        EXPECT_EQ(deviceSession.initialPipe, 0u);
        EXPECT_EQ(deviceSession.readSize, 0u);
        for (const PortMasks &masks : portState.ports) {
            EXPECT_EQ(masks.directionMask, 0);
            EXPECT_EQ(masks.outputMask, 0);
        }
    }
}

TEST(ModeMenu, GraphCheckBoxesPerMode)
{
    struct Case { int32_t mode; int channel; bool checked; bool enabled; };
    const Case cases[] = {
        {kModeNormal, 0, false, true},  {kModeNormal, 3, false, true},  {kModeNormal, 4, false, true},
        {kModeNormal, 7, false, true},  {kModeDiffAmp, 0, true, true},  {kModeDiffAmp, 4, true, true},
        {kModeDiffAmp, 1, false, false}, {kModeDiffAmp, 2, false, false}, {kModeDiffAmp, 3, false, false},
        {kModeDiffAmp, 5, false, false}, {kModeDiffAmp, 6, false, false}, {kModeDiffAmp, 7, false, false},
    };
    for (const Case &c : cases) {
        const GraphCheckState state = graphCheckForMode(c.mode, c.channel);
        EXPECT_EQ(state.checked, c.checked) << "mode " << c.mode << " CH" << c.channel;
        EXPECT_EQ(state.enabled, c.enabled) << "mode " << c.mode << " CH" << c.channel;
    }
}

TEST(HelpManual, LiesBesideTheProgramNeverInTheCurrentDirectory)
{
    struct Case { const wchar_t *program; const wchar_t *manual; };
    const Case cases[] = {
        {L"C:\\Tools\\Pendra\\Pendra_Visualizer.exe", L"C:\\Tools\\Pendra\\PENDRA_VISUALIZER_HELP.html"},
        {L"Z:\\work\\build\\bin\\Pendra_Visualizer.exe", L"Z:\\work\\build\\bin\\PENDRA_VISUALIZER_HELP.html"},
        {L"\\\\server\\share\\p.exe", L"\\\\server\\share\\PENDRA_VISUALIZER_HELP.html"},
        {L"C:/mixed/slashes/p.exe", L"C:/mixed/slashes/PENDRA_VISUALIZER_HELP.html"},
        {L"Pendra_Visualizer.exe", L""},  // no folder: nothing is opened
        {L"", L""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(manualPathBeside(c.program), std::wstring(c.manual));
}
