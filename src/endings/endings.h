// The end of the game: the quit confirmation, the ending screens and the
// closing screen. Every ending ends the process; only a declined quit
// returns.
#pragma once

// The goodbye screen of a game left before its end: Escape at a start-up
// question, or the end of input.
[[noreturn]] void farewell();

void confirmQuit();

[[noreturn]] void endDefeated();
[[noreturn]] void endVictory();
[[noreturn]] void endPoisoned();
[[noreturn]] void endStarved();
[[noreturn]] void endNightfall();
[[noreturn]] void endBread();
[[noreturn]] void endQuicksand();
[[noreturn]] void endMurder();
[[noreturn]] void endHorses();
[[noreturn]] void endStairs();
[[noreturn]] void endBadFall();
[[noreturn]] void endDrunk();

[[noreturn]] void closingScreen();
