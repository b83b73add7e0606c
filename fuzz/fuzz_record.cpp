// A record file, as --replay, --resume and the saved games read it. A
// record's header read, written again and read again says the same; its
// file is read whole; and its replay, run twice, shows the same bytes.
#include "fuzz_target.h"

#include "game/game.h"
#include "platform/platform.h"
#include "platform/records/record.h"
#include "platform/records/record_file.h"
#include "world/random.h"

#include <sys/wait.h>

// What quorrell-script --replay shows of the record at path, ending with its
// exit status, played in a child of its own.
static std::string replayed(const std::string& path)
{
    int shown = memfd_create("fuzz-replay", 0);
    fuzzCheck(shown != -1, "a file in memory can be made");
    std::fflush(nullptr);
    pid_t child = fork();
    fuzzCheck(child != -1, "a replay can be started");
    if (child == 0) {
        dup2(shown, STDOUT_FILENO);
        dup2(shown, STDERR_FILENO);
        std::string replay = "--replay", program = "quorrell-script", file = path;
        char* argv[] = {&program[0], &replay[0], &file[0], nullptr};
        seedRandom(platformStart(3, argv));
        titleScreen();
        placeDesperados();
        runGame();
    }
    int status = 0;
    while (waitpid(child, &status, 0) == -1) {
    }
    std::string bytes = fuzzFileContents(shown) + "\n[status " + std::to_string(status) + "]";
    close(shown);
    return bytes;
}

static void checkTheHeader(const std::string& record, const RecordHeader& header)
{
    fuzzCheck(header.format == 1 || header.format == 2, "a record is of format 1 or 2");
    fuzzCheck(header.stateAt + 5 < header.inputAt && header.inputAt <= record.size(), "the header lies in the record");
    fuzzCheck(record.compare(header.stateAt, 5, recordStateWord(header.ended)) == 0, "the state is where it is said to be");
    if (header.format == 2) {
        // Its ten places, as written in place, or with leading zeros.
        std::string places = record.substr(header.turnAt, 10);
        std::size_t digits = places.find_first_not_of("0123456789");
        fuzzCheck(header.turn >= 0 && digits > 0 && digits != std::string::npos &&
                      places.find_first_not_of(' ', digits) == std::string::npos &&
                      std::stoll(places.substr(0, digits)) == header.turn,
                  "the turn is where it is said to be");
    }
    fuzzCheck(recordHasInput(record, header) == (header.inputAt < record.size()), "input is what follows the header");
}

// The record as the game writes one: a new header, its state and turn
// rewritten in place, then the input.
static std::string writtenAgain(const RecordHeader& header, int turns, const std::string& input)
{
    std::string record = recordNewHeader(header.seed);
    RecordHeader fresh = {};
    fuzzCheck(recordReadHeader(record, &fresh) && fresh.format == 2 && fresh.seed == header.seed && !fresh.ended &&
                  fresh.turn == 0 && fresh.inputAt == record.size(),
              "a new record's header reads as written");
    record.replace(fresh.stateAt, 5, recordStateWord(header.ended));
    record.replace(fresh.turnAt, 10, recordTurnWord(turns));
    return record + input;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string given(reinterpret_cast<const char*>(data), size);
    std::string path = fuzzFileHolding(data, size);
    std::string read;
    fuzzCheck(recordFileRead(path, read), "the file can be read");
    fuzzCheck(given.compare(0, read.size(), read) == 0, "what is read of a file is how it begins");
    RecordHeader header = {};
    if (!recordReadHeader(given, &header))
        return 0;
    fuzzCheck(read == given, "a record's file is read whole");
    checkTheHeader(given, header);

    std::string input = given.substr(header.inputAt);
    int turns = recordTurns(given, header);
    fuzzCheck(turns >= 0, "a record has taken no fewer than no turns");
    std::string again = writtenAgain(header, turns, input);
    RecordHeader reread = {};
    fuzzCheck(recordReadHeader(again, &reread), "a record written again is a record");
    checkTheHeader(again, reread);
    fuzzCheck(reread.seed == header.seed && reread.ended == header.ended && recordTurns(again, reread) == turns &&
                  again.compare(reread.inputAt, std::string::npos, input) == 0,
              "a record written again says what it said");

    fuzzCheck(replayed(path) == replayed(path), "a replay run twice shows the same bytes");
    return 0;
}
