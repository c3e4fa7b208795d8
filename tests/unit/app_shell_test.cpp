#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/help_path.h"
#include "app/mode_rules.h"
#include "device/device_session.h"
#include "ports/port_state.h"

TEST(AppStateReset, ClearsFlagsSessionAndMasksButKeepsTheMode)
{
    for (int32_t mode : {kModeNormal, kModeDiffAmp}) {
        appState = AppState{17, 1, 1, 1, {1, 1, 1, 1, 1, 1, 1, 1}, mode, nullptr, nullptr, nullptr, nullptr};
        deviceSession = {11, 22, 33, 44, 64};
        std::memset(&portState, 0xFF, sizeof portState);

        resetAppState();

        const AppState &a = appState;
        std::vector<int32_t> flags = {a.selectedId, a.connected, a.graphRunning, a.saving, a.mode};
        flags.insert(flags.end(), std::begin(a.plotted), std::end(a.plotted));
        std::vector<int32_t> cleared(13, 0);
        cleared[4] = mode;  // the mode survives the reset
        EXPECT_EQ(flags, cleared);
        const DeviceSession &d = deviceSession;
        EXPECT_EQ(std::vector<uintptr_t>({d.boardHandle, d.readPipe, d.controlPipe, d.initialPipe, d.readSize}),
                  std::vector<uintptr_t>(5, 0));
        const PortState noMasks{};
        EXPECT_EQ(0, std::memcmp(&portState, &noMasks, sizeof noMasks));
    }
}

TEST(ModeMenu, GraphCheckBoxesPerMode)
{
    // Normal: all enabled, none checked. Diff Amp: CH0 and CH4 checked, the rest disabled.
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const bool output = ch == 0 || ch == 4;
        const GraphCheckState normal = graphCheckForMode(kModeNormal, ch);
        const GraphCheckState diffAmp = graphCheckForMode(kModeDiffAmp, ch);
        EXPECT_EQ(std::make_pair(normal.checked, normal.enabled), std::make_pair(false, true)) << "CH" << ch;
        EXPECT_EQ(std::make_pair(diffAmp.checked, diffAmp.enabled), std::make_pair(output, output)) << "CH" << ch;
    }
}

TEST(HelpManual, LiesBesideTheProgramNeverInTheCurrentDirectory)
{
    const std::pair<const wchar_t *, const wchar_t *> rows[] = {
        {L"C:\\Tools\\Pendra\\Pendra_Visualizer.exe", L"C:\\Tools\\Pendra\\PENDRA_VISUALIZER_HELP.html"},
        {L"\\\\server\\share\\p.exe", L"\\\\server\\share\\PENDRA_VISUALIZER_HELP.html"},
        {L"C:/mixed/slashes/p.exe", L"C:/mixed/slashes/PENDRA_VISUALIZER_HELP.html"},
        {L"Pendra_Visualizer.exe", L""},  // no folder: nothing is opened
        {L"", L""},
    };
    for (const auto &[program, manual] : rows)
        EXPECT_EQ(manualPathBeside(program), std::wstring(manual));
}
