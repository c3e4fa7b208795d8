// The CSV data log's Windows side: the daily file, blocks and records, and
// the SaveError boxes that report what could not be saved.
#pragma once

void openDailyLog();
void toggleSaving();        // acts on the SaveStart button's check state
void writeRecord();         // one record of the current sample; a failure ends the block
void closeDataLogAtExit();  // writes, flushes and closes the file at program end
// Around a sample tick: its SaveError box is shown at the tick's end, so that
// the ticks handled while the box is open never meet a half-done tick.
void holdSaveErrors();
void showHeldSaveErrors();
