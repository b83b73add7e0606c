// The telegram's hint: drawn at the first reading, kept for the game.
#include "harness.h"

#include "commands/commands.h"
#include "platform/platform.h"
#include "world/random.h"
#include "world/town_map.h"

#include <gtest/gtest.h>
#include <iostream>

// In the telegraph office, the typed lines go straight to the interpreter;
// the game's next draw is shown at the end.
static Transcript inTheTelegraphOffice(const std::string& input, unsigned seed)
{
    return playScene(input, [seed] {
        calmStart(seed);
        playerLocation = TELEGRAPH_OFFICE;
        char command[COMMAND_SIZE];
        int lastDescribedRoom = NOWHERE;
        while (platformReadLine(command, COMMAND_SIZE)) {
            interpretCommand(command, lastDescribedRoom);
            // Away from the office the telegram can still be read in hand.
            if (itemLocation[TELEGRAM] == CARRIED)
                playerLocation = OFFICE;
        }
        std::cout << "{next draw " << drawRandom() << "}";
    });
}

const std::string HEADING = "It says: Attention Marshal Bob\n";

TEST(Telegram, TheHintDrawnAtTheFirstReadingIsKept)
{
    struct SeededHint {
        unsigned seed;
        const char* hint;
        const char* nextDraw;
    };
    // Each seed's first draw, modulo 17, picks the hint: 41 gives 7, 51 gives
    // 0 and 84 gives 16. The game's next draw is the seed's second.
    const SeededHint games[] = {
        {1, "As you know you have to try to get to more than meets the eye.\"\n", "{next draw 18467}"},
        {4, "There are times you must get down to get yourself around the town\"\n", "{next draw 17945}"},
        {14, "You may find things happen oddly but the toughest one is Rodney.\"\n", "{next draw 27125}"},
    };
    for (const SeededHint& game : games) {
        Transcript scene = inTheTelegraphOffice("read telegram\ntake telegram\nread telegram\n", game.seed);
        EXPECT_EQ(scene.output, HEADING + game.hint + "You now have the wrinkled telegram Marshal Bob\n" + HEADING +
                                    game.hint + game.nextDraw);
    }
}

TEST(Telegram, AGameThatNeverReadsItDrawsNothing)
{
    Transcript scene = inTheTelegraphOffice("read desk\ntake telegram\nread desk\n", 1);
    EXPECT_EQ(scene.output, "There is no desk here Marshal Bob\nYou now have the wrinkled telegram Marshal Bob\n"
                            "Stop being silly!\n{next draw 41}");
}
