// The CSV data log's Windows side: the daily file, blocks and records.
#pragma once

void openDailyLog();
void toggleSaving();        // acts on the SaveStart button's check state
void writeRecord();         // one record of the current sample
void closeDataLogAtExit();  // flushes and closes the file at program end
