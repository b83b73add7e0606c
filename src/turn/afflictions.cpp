#include "turn.h"

// TODO(danger issue): the quicksand, hunger, nightfall, venom, rabies and
// the bread sickness do not run yet.
void quicksandTrap() {}
void hungerStep() {}
void duskStep() {}
void venomStep() {}
void rabiesStep() {}
void breadStep() {}
