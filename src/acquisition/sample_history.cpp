#include "acquisition/sample_history.h"

SampleHistory sampleHistory;
