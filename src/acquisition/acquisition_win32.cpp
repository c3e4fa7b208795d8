// Placeholder until this module is built.
#include "acquisition/acquisition_win32.h"

void onSampleTick() {}
