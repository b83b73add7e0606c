#include "random_player.h"

#include "world/world.h"

#include <vector>

namespace {

// SplitMix64: small, and the same everywhere, unlike the standard library's
// distributions.
struct Draws {
    std::uint64_t state;
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned below(unsigned count) { return static_cast<unsigned>(next() % count); }
    bool oneIn(unsigned count) { return below(count) == 0; }
    template <typename T>
    const T& pick(const std::vector<T>& from) { return from[below(static_cast<unsigned>(from.size()))]; }
};

const std::vector<std::string> MOVES = {
    "n", "s", "e", "w", "u", "d",
    "go north", "go south", "go east", "go west", "go up", "go down",
    "walk north", "walk south", "walk east", "walk west", "walk up", "walk down",
};

const std::vector<std::string> WORDS = {
    "i", "inventory", "inven", "l", "look", "sound", "effects", "quit", "exit", "shoot",
    "y", "n", "r", "", "help", "north", "Look", "I",
};

// What the buildings, the doors and the fights understand beyond verb and noun.
const std::vector<std::string> ROOM_WORDS = {
    "open drawer", "pull drawer", "open desk", "open dresser", "open cabinet", "open cupboard",
    "go room", "enter room", "go door", "enter door", "walk door", "open door",
    "go jail", "enter jail", "open jail", "open cell", "walk jail",
    "unlock door", "use key", "insert key", "kick door", "hit door", "punch door",
    "shoot door", "shoot lock", "chop door", "break door", "smash door",
    "lift crate", "take crate", "raise crate", "hit crate", "bang crate", "slam crate",
    "move crate", "slide crate", "push crate", "chop crate", "ax crate", "break crate",
    "move rock", "use crowbar", "push rock", "slide rock",
    "chop stalactites", "ax stalactites", "smash stalactites", "break stalactites",
    "kill rat", "shoot rat", "shoot snake", "throw rope", "shoot Dexter", "shoot Clarence",
    "shoot Rodney", "eat beans", "eat bread", "drink medicine", "drink whiskey", "load gun",
    "cut box", "read telegram", "take gun", "take bullets", "take key", "take ax",
};

const std::vector<std::string> OTHER_NOUNS = {"bottle", "can", "box", "bag", "door", "lock", "drawer", "room"};
const std::vector<std::string> OTHER_VERBS = {"use", "go", "move", "push", "kill", "unlock", "walk"};
const std::vector<std::string> NAMES = {"Bob", "Wyatt", "Doc", "Calamity", "Al", "Annie-Oakley", "X"};

std::string randomBytes(Draws& draws, unsigned length)
{
    std::string bytes;
    for (unsigned i = 0; i < length; ++i)
        bytes += static_cast<char>(draws.below(256));
    return bytes;
}

std::string verbAndNoun(Draws& draws)
{
    std::string verb = draws.oneIn(5) ? draws.pick(OTHER_VERBS) : verbWords[draws.below(VERB_COUNT)];
    std::string noun = draws.oneIn(6) ? draws.pick(OTHER_NOUNS) : nounWords[draws.below(NOUN_COUNT)];
    return verb + " " + noun;
}

std::string command(Draws& draws)
{
    unsigned roll = draws.below(100);
    if (roll < 35)
        return draws.pick(MOVES) + "\n";
    if (roll < 45)
        return draws.pick(WORDS) + "\n";
    if (roll < 70)
        return draws.pick(ROOM_WORDS) + "\n";
    if (roll < 93)
        return verbAndNoun(draws) + "\n";
    if (roll < 95)
        // The quit question takes the next key at once.
        return draws.oneIn(10) ? "quit\ny" : "quit\nn";
    return randomBytes(draws, draws.below(40)) + (draws.oneIn(2) ? "\n" : "");
}

std::string startUp(Draws& draws)
{
    std::string answers;
    if (draws.oneIn(5))
        answers += "y" + std::string(draws.oneIn(3) ? "x" : "") + "r";
    else
        answers += "n";
    answers += draws.oneIn(3) ? "y" : "n";
    answers += draws.oneIn(10) ? randomBytes(draws, 1 + draws.below(30)) : draws.pick(NAMES);
    return answers + "\n";
}

} // namespace

RandomGame randomGame(std::uint64_t masterSeed, unsigned index)
{
    Draws draws{masterSeed ^ (0xD1B54A32D192ED03ull * (index + 1ull))};
    RandomGame game;
    game.seed = static_cast<unsigned>(draws.next());
    game.input = startUp(draws);
    unsigned commands = 20 + draws.below(400);
    for (unsigned i = 0; i < commands; ++i)
        game.input += command(draws);
    // Most games end at the closing screen or when the input runs out; some
    // press Escape at the end.
    if (draws.oneIn(3))
        game.input += "\x1b";
    return game;
}
