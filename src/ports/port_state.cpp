#include "ports/port_state.h"

PortState portState;
