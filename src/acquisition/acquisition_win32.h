// The sample tick as the Graph window runs it.
#pragma once

void onSampleTick();
