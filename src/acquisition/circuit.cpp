#include "acquisition/circuit.h"

CircuitResult circuits[kCircuitCount];
