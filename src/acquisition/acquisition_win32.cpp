#include "acquisition/acquisition_win32.h"

#include <windows.h>

#include "acquisition/circuit.h"
#include "acquisition/sample_history.h"
#include "acquisition/save_trigger.h"
#include "app/app_state.h"
#include "app/main_dialog_win32.h"
#include "datalog/data_log_win32.h"
#include "device/packets.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "timing/timers_win32.h"

namespace {

void pressSaveStart()
{
    SendMessageA(mainControls.saveButton, BM_SETCHECK, BST_CHECKED, 0);
    toggleSaving();
}

}  // namespace

// A tick posted before Stop may arrive after it: it stores nothing, fires no
// trigger and writes no record.  Either way the timer may post its next tick
// once this one is done, also while a SaveError box of this tick is open.
void onSampleTick()
{
    onTickTaken(TIMER_SAMPLE_TICK);
    if (appState.graphRunning) {
        holdSaveErrors();
        storeSample(sampleHistory, packetBuffers.data);
        if (triggerFires(sampleHistory, settings, appState.saving != 0))
            pressSaveStart();
        if (appState.saving)
            writeRecord();
        for (int c = 0; c < kCircuitCount; ++c)
            updateCircuit(sampleHistory, circuits[c], c, circuits[c].smoothingCount);
        advanceHistory(sampleHistory);
    }
    showHeldSaveErrors();
}
