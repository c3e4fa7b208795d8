// Placeholder until this module is built.
#include "datalog/data_log_win32.h"

void openDailyLog() {}
void toggleSaving() {}
void writeRecord() {}
