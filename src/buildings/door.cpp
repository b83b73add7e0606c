// The locked doors: the jail cell and the saloon's trap door share one set
// of answers. The caller owns the door's state and routes here every
// command aimed at the door, the key or the lock.
#include "buildings/buildings.h"

#include "console/sound.h"
#include "endings/endings.h"
#include "buildings/rooms.h"
#include "world/random.h"

#include <iostream>

// A door that has not been found yet (the trap door under the crate) has
// nothing to unlock.
static void unlockDoor(int& doorState)
{
    bool keyCarried = itemLocation[KEY] == CARRIED;
    if (keyCarried && doorState == DOOR_LOCKED) {
        if (soundOn == 'y')
            cueDoor();
        std::cout << "Okay, the door is open\n";
        doorState = DOOR_OPEN;
    } else if (doorState == DOOR_OPEN) {
        std::cout << "The door is already open\n";
    } else if (doorState == DOOR_LOCKED) {
        std::cout << "The door is locked\n";
    } else {
        std::cout << "You cannot do that\n";
    }
}

static void strikeDoor()
{
    if (soundOn == 'y')
        playSound("chop", SOUND_SYNC);
    std::cout << "Ouch that hurt!\n";
}

static void deflectShot()
{
    if (soundOn == 'y')
        cueRicochet();
    std::cout << "The bullet deflected off the lock\n";
}

// One shot in four opens a locked door and one in four comes back off the
// lock and kills; an open door only ever deflects the bullet.
static void shootLock(int& doorState)
{
    if (itemLocation[GUN] != CARRIED) {
        std::cout << "You do not have a gun wise guy!\n";
        return;
    }
    if (gunRounds < 1) {
        if (soundOn == 'y')
            cueClick();
        std::cout << "Your gun is empty\n";
        return;
    }
    --gunRounds;
    if (soundOn == 'y')
        cueGunshot();
    int roll = drawRandom() % 4;
    if (roll == 1 && doorState == DOOR_LOCKED) {
        if (soundOn == 'y')
            cueDoor();
        std::cout << "Good shot!  You shot open the door\n";
        doorState = DOOR_OPEN;
    } else if (roll == 0 && doorState != DOOR_OPEN) {
        if (soundOn == 'y') {
            cueRicochet();
            cuePlug();
        }
        std::cout << "Plunk!\n"
                  << "Your shot deflected off the lock and\n"
                  << "heavens to Betsy \x1E it shattered your skull!\n";
        endDefeated();
    } else {
        deflectShot();
    }
}

static void chopDoor()
{
    if (itemLocation[AX] != CARRIED) {
        std::cout << "You are unable to do that\n";
        return;
    }
    playOrSay(cueChop, "Chop chop chop chop chop\n");
    std::cout << "No good, it is too solid\n";
}

void doorCommand(const char* command, int& doorState)
{
    if (commandIs(command, {"unlock door", "use key", "open door", "insert key"}))
        unlockDoor(doorState);
    else if (commandIs(command, {"kick door", "hit door", "punch door"}))
        strikeDoor();
    else if (commandIs(command, {"shoot door", "shoot lock"}))
        shootLock(doorState);
    else if (commandIs(command, {"chop door", "break door", "smash door"}))
        chopDoor();
    else
        std::cout << "You cannot do that\n";
}
