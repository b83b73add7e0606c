// The one way the tests and the benchmarks run a child process: a program, or
// a piece of this one, with its input, its working folder, its environment
// and its time limit, handing back how it ended and what it wrote.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <sys/types.h>
#include <utility>
#include <vector>

// Where one of the child's standard streams comes from or goes to.
enum ChildStream {
    STREAM_TEXT,         // input: ChildOptions::input; output: handed back in ChildRun
    STREAM_FILE,         // input only: the file ChildOptions::inputFile names
    STREAM_SHARED,       // this process's own
    STREAM_NOWHERE,      // /dev/null
    STREAM_PIPE,         // a pipe this process writes to or reads from as the child runs
    STREAM_WITH_OUTPUT,  // standard error only: wherever standard output goes
};

struct ChildOptions {
    ChildStream in = STREAM_TEXT;
    std::string input;
    std::string inputFile;
    ChildStream out = STREAM_TEXT;
    ChildStream err = STREAM_SHARED;
    std::string folder;  // the working folder, when not empty
    std::vector<std::pair<std::string, std::string>> environment;  // set in the child
    std::vector<std::string> unsetEnvironment;                     // taken out of it
    unsigned timeoutSeconds = 0;  // then SIGALRM ends it; 0 for no limit
    long longestFile = 0;         // no file it writes grows past this (its captured output aside); 0 for no limit
};

struct ChildRun {
    pid_t pid;
    int status;          // exit status, or 128 + the signal that ended it
    int signal;          // the signal that ended it, 0 when it exited
    std::string out;     // standard output, with STREAM_TEXT
    std::string err;     // standard error, with STREAM_TEXT
    long peakKibibytes;  // the most memory it ever held
};

// A child still running.
struct Child {
    pid_t pid;
    int input;   // the writing end of its standard input with STREAM_PIPE, else -1
    int output;  // the reading end of its standard output with STREAM_PIPE, else -1
    std::FILE* outFile;
    std::FILE* errFile;
    // Under a file size limit the text it writes comes through pipes, which
    // the limit does not cut, and these threads copy it into the files.
    std::thread* outCopier;
    std::thread* errCopier;
};

// Starts the program (arguments[0], looked for on PATH when it has no
// slash). It ends with status 127 when it cannot be started, 126 when its
// folder or its input file cannot be opened.
Child startProgram(const std::vector<std::string>& arguments, const ChildOptions& options = {});

// Runs body in a copy of this process, which then ends with status 0, unless
// body ends it first.
Child startChild(const std::function<void()>& body, const ChildOptions& options = {});

// Closes the child's input pipe, waits for the child to end, and collects it.
ChildRun finishChild(Child& child);

// Waits for whichever of the running children ends first and takes it out of
// running; pid -1 when nothing was running.
ChildRun finishFirstChild(std::vector<Child>& running);

ChildRun runProgram(const std::vector<std::string>& arguments, const ChildOptions& options = {});
ChildRun runChild(const std::function<void()>& body, const ChildOptions& options = {});
