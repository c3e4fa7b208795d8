// The CSV data log's Windows side: the daily file, blocks and records, and
// the SaveError boxes that report what could not be saved.
#pragma once

void openDailyLog();
void toggleSaving();        // acts on the SaveStart button's check state
void writeRecord();         // one record of the current sample; a failure ends the block
void closeDataLogAtExit();  // writes, flushes and closes the file at program end
