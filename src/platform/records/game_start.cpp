// The start of a game on the terminal and on Windows: the command line
// read, the record it names opened (or game N of the saved games), and
// before the title the offer of a game put down, with its answer kept out of
// the record.
#include "platform/records/game_input.h"

#include "platform/command_line/options.h"
#include "platform/records/record.h"
#include "platform/records/record_file.h"
#include "platform/records/saved_games.h"

#include <cctype>
#include <cstdlib>
#include <iostream>
#include <utility>

static CommandLine options = {};
static unsigned seed = 0;
// The record an option names, read before anything is drawn.
static std::string namedRecord;
static RecordStore namedStore = {};

const CommandLine& inputOptions()
{
    return options;
}

const std::string& inputNamedRecord()
{
    return namedRecord;
}

// The record an option names by the number --games gives it, as its file.
static std::string numberedRecord;

static void findNumberedRecord(const char*& path, const char* option)
{
    if (!path)
        return;
    numberedRecord = savedGameOrFile(option, path);
    path = numberedRecord.c_str();
}

// The record that --watch, --share or --asciicast names, or null.
static const char* watchedRecord(const CommandLine& commandLine)
{
    return commandLine.watchPath ? commandLine.watchPath
         : commandLine.sharePath ? commandLine.sharePath : commandLine.asciicastPath;
}

// A set-aside game taken up again is offered again, like any other, once
// it is put down.
static RecordStore resumeNamedRecord(const char* path)
{
    RecordStore recordStore = recordFileOpenForResume(path, &namedRecord);
    std::string back = savedGameOutOfAside(path);
    if (!back.empty())
        recordFileMoveTo(back);
    return recordStore;
}

void inputStart(int argc, char** argv, unsigned clockSeed)
{
    options = readProgramOptions(argc, argv, true);
    if (options.listGames)
        answerCommandLine(savedGamesListing(savedGamesFolder()), "list of games");
    // The options take one record at a time.
    findNumberedRecord(options.replayPath, "--replay");
    findNumberedRecord(options.resumePath, "--resume");
    findNumberedRecord(options.transcriptPath, "--transcript");
    findNumberedRecord(options.watchPath, "--watch");
    findNumberedRecord(options.sharePath, "--share");
    findNumberedRecord(options.asciicastPath, "--asciicast");
    seed = options.seedGiven ? options.seed : clockSeed;
    if (options.recordPath)
        inputSaveNewGame(seed, recordFileCreate(options.recordPath, seed), true);
    else if (options.replayPath)
        namedRecord = recordFileLoad(options.replayPath);
    else if (options.resumePath)
        namedStore = resumeNamedRecord(options.resumePath);
    else if (options.transcriptPath)
        namedRecord = recordFileLoad(options.transcriptPath);
    else if (const char* watched = watchedRecord(options))
        namedRecord = recordFileLoad(watched);
}

// A key at the lines before the title: Escape, Ctrl-C or the end of input
// leaves, as at the title.
static int keyBeforeTheTitle()
{
    int key = inputPlayersOwnKey();
    if (key == 27 || key == 3 || key == -1)
        std::exit(0);
    return key;
}

// Where the game put down went when the player starts afresh, told before
// the title clears the screen, and read before it does.
static void setTheGameAside(const std::string& path)
{
    std::string aside;
    std::string reason;
    if (recordFileInUse(path))
        std::cout << "Another game has just picked it up, and it is left to that game.\n";
    else if (setAsideGame(path, &aside, &reason))
        std::cout << "It is set aside: " << recordFileResumeHint(aside) << " plays it on.\n";
    else if (reason.empty())
        std::cout << "Another game has just picked it up or set it aside.\n";
    else
        std::cout << "It cannot be set aside (" << reason << "), and will be offered again.\n";
    std::cout << "Press a key for a new game ";
    keyBeforeTheTitle();
    std::cout << '\n';
}

// The one line before the title that offers back the game put down last.
// Its answer is the player's, never the record's, and is kept out of it.
static bool offerThePutDownGame(const std::string& folder)
{
    PutDownGame game = {};
    if (options.seedGiven || folder.empty() || !findPutDownGame(folder, &game))
        return false;
    std::cout << "You put down a game on " << dayOf(game.putDownAt) << ", at turn " << game.turn
              << ". Pick it up?  Y or N";
    int key = 0;
    while (key != 'y' && key != 'n')
        key = std::tolower(keyBeforeTheTitle());
    std::cout << "  " << static_cast<char>(key) << '\n';
    if (key == 'n') {
        setTheGameAside(game.path);
        return false;
    }
    std::string bytes;
    RecordStore gameStore = recordFileOpenForResume(game.path.c_str(), &bytes);
    seed = inputResumeRecord(std::move(bytes), gameStore);
    return true;
}

unsigned inputBeginGame(bool playersKeyboard)
{
    // A game that is not saved still has its record, for the player to
    // take back what he typed.
    inputPlayUnsaved(seed);
    // The record named is handed on, not copied: it may be a big one.
    if (options.replayPath) {
        seed = inputReplayRecord(std::move(namedRecord), recordFileResumeHint(options.replayPath));
    } else if (options.transcriptPath) {
        seed = inputTranscribeRecord(std::move(namedRecord));
    } else if (options.watchPath || options.asciicastPath) {
        seed = inputWatchRecord(std::move(namedRecord), recordFileResumeHint(watchedRecord(options)), 0);
    } else if (options.resumePath) {
        seed = inputResumeRecord(std::move(namedRecord), namedStore);
    } else if (playersKeyboard && !options.noSave) {
        std::string folder = savedGamesFolder();
        if (!offerThePutDownGame(folder))
            inputSaveNewGame(seed, recordFileInFolder(folder), false);
    }
    return seed;
}
