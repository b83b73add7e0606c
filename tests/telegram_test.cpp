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

TEST(Telegram, EachHintDrawnAtTheFirstReadingIsKept)
{
    struct SeededHint {
        unsigned seed;
        const char* hint;
        const char* nextDraw;
    };
    // Each seed's first draw, modulo 17, picks the hint: seed 1 draws 41,
    // which gives 7. The game's next draw is the seed's second.
    const SeededHint games[] = {
        {4, "There are times you must get down to get yourself around the town\"\n", "{next draw 17945}"},
        {20, "You may hate to watch your diet but you just might have to try it.\"\n", "{next draw 26079}"},
        {15, "Get yourself in the spirit and you may find that you are near it.\"\n", "{next draw 5105}"},
        {5, "You will start to reach your peak when you look and search and seek.\"\n", "{next draw 28693}"},
        {26, "Even magicians and crazy fools approach a job with the proper tools.\"\n", "{next draw 25034}"},
        {16, "Here is a word from a wise old chap do not run from every trap.\"\n", "{next draw 15854}"},
        {11, "You may be bold or you may be scared but just make sure that you are prepared.\"\n", "{next draw 27648}"},
        {1, "As you know you have to try to get to more than meets the eye.\"\n", "{next draw 18467}"},
        {22, "You will need the proper load to brave the dangers on the road.\"\n", "{next draw 14808}"},
        {12, "Roses are red and money is green and not all things are easily seen.\"\n", "{next draw 5628}"},
        {7, "Take the high road all the time and your neck will be on the line.\"\n", "{next draw 17422}"},
        {2, "If you tend to waste and squander you will wind up over yonder.\"\n", "{next draw 29216}"},
        {18, "If you waste time in your travel it will all start to unravel.\"\n", "{next draw 4582}"},
        {8, "Frustration will cause you stress but just keep pushing to achieve success.\"\n", "{next draw 28170}"},
        {3, "Not just beer and pairs of socks come packaged in a can or box.\"\n", "{next draw 7196}"},
        {19, "Here is a very useful tip take a moment to plan your trip.\"\n", "{next draw 15331}"},
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
