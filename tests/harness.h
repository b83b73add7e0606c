// Plays the game as a player would, on the script platform, and returns what
// the player would have seen: the text with the screen and sound markers.
#pragma once

#include "child_process.h"

#include <functional>
#include <string>

struct Transcript {
    std::string output;
    int exitStatus;  // -1 when the game was killed for hanging
};

// Runs quorrell-script --seed seed with the input on standard input.
Transcript playGame(const std::string& input, unsigned seed = 1);

// Runs game code in a fresh child process, so every scenario starts from the
// world's starting values: scene sets up the world and calls into the game
// (a building handler, the main loop, a verb), and input is what the player
// types. The child ends with the game's own exit, or with status 0 when the
// scene returns.
Transcript playScene(const std::string& input, const std::function<void()>& scene);

// A scene's usual start: sound off, the Marshal named Bob, the drawn seed,
// and no brother anywhere unless the test puts one there.
void quietStart(unsigned seed = 1);

// quietStart, with the clock already past turn 5, so the rat never comes
// into play and cannot wander into a scene that is about something else.
void calmStart(unsigned seed = 1);

// The farewell screen that ends a game whose input has run out.
extern const char* const FAREWELL_SCREEN;

// Inside a scene: hands each line of the input to the interpreter, as a
// room does with every line that is not one of its own, and prints
// afterEach after each reply.
void interpretEachLine(const char* afterEach = "");

// The text after the greeting: what the game printed once the Marshal was in
// play.
std::string afterGreeting(const std::string& output);

// The number of times text occurs in output.
int countOf(const std::string& output, const std::string& text);

// The input that answers the start-up questions: no instructions, sound as
// given, the name Bob.
std::string startUp(char sound = 'n');
