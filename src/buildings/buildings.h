// One handler per building. Each keeps control while the Marshal is in one
// of its rooms and returns when he steps out onto the street.
#pragma once

#include "world/world.h"

void runGeneralStore();
void runTelegraphOffice();
void runOffice();
void runSaloon();
void runRestaurant();
void runBarberShop();
void runHotel();
void runStable();

// Answers a command aimed at a locked door (the jail cell, the trap door):
// the key, kicks, shots at the lock and the ax.
void doorCommand(const char* command, int& doorState);
