#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The descriptors the child's three streams are taken from, made ready in
// this process before the fork.
struct Plumbing {
    int in = -1;
    int out = -1;
    int err = -1;
    int inputPipe[2] = {-1, -1};
    int outputPipe[2] = {-1, -1};
    std::FILE* inputText = nullptr;
    // The reading ends of the text streams when they go through pipes.
    int outText = -1;
    int errText = -1;
};

int nowhere()
{
    return open("/dev/null", O_RDWR);
}

std::FILE* scratchFile()
{
    std::FILE* file = std::tmpfile();
    if (!file)
        std::abort();
    return file;
}

// Neither end outlives an exec: a child started while another's pipe is open
// must not hold it open. The child's own end is duplicated onto its stream,
// which clears the flag there.
void makePipe(int ends[2])
{
    if (pipe(ends) != 0)
        std::abort();
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    fcntl(ends[1], F_SETFD, FD_CLOEXEC);
}

// Where a text stream is written: its file, or under a file size limit a
// pipe whose reading end goes in readingEnd.
int textStream(const ChildOptions& options, std::FILE* file, int& readingEnd)
{
    if (options.longestFile == 0)
        return fileno(file);
    int ends[2];
    makePipe(ends);
    readingEnd = ends[0];
    return ends[1];
}

void copyInto(int readingEnd, std::FILE* file)
{
    char buffer[65536];
    ssize_t count;
    while ((count = read(readingEnd, buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR)) {
        if (count > 0)
            std::fwrite(buffer, 1, static_cast<std::size_t>(count), file);
    }
    close(readingEnd);
}

Plumbing prepare(const ChildOptions& options, Child& child)
{
    Plumbing plumbing;
    switch (options.in) {
    case STREAM_TEXT:
        plumbing.inputText = scratchFile();
        std::fwrite(options.input.data(), 1, options.input.size(), plumbing.inputText);
        std::fflush(plumbing.inputText);
        std::rewind(plumbing.inputText);
        plumbing.in = fileno(plumbing.inputText);
        break;
    case STREAM_FILE:
        plumbing.in = open(options.inputFile.c_str(), O_RDONLY);
        break;
    case STREAM_NOWHERE:
        plumbing.in = nowhere();
        break;
    case STREAM_PIPE:
        makePipe(plumbing.inputPipe);
        plumbing.in = plumbing.inputPipe[0];
        child.input = plumbing.inputPipe[1];
        break;
    default:
        break;
    }
    switch (options.out) {
    case STREAM_TEXT:
        child.outFile = scratchFile();
        plumbing.out = textStream(options, child.outFile, plumbing.outText);
        break;
    case STREAM_NOWHERE:
        plumbing.out = nowhere();
        break;
    case STREAM_PIPE:
        makePipe(plumbing.outputPipe);
        plumbing.out = plumbing.outputPipe[1];
        child.output = plumbing.outputPipe[0];
        break;
    default:
        break;
    }
    if (options.err == STREAM_TEXT) {
        child.errFile = scratchFile();
        plumbing.err = textStream(options, child.errFile, plumbing.errText);
    } else if (options.err == STREAM_NOWHERE) {
        plumbing.err = nowhere();
    }
    return plumbing;
}

// In the child, before it runs what it is for.
void enter(const ChildOptions& options, const Plumbing& plumbing, const Child& child)
{
    if (options.timeoutSeconds > 0)
        alarm(options.timeoutSeconds);
    if (!options.folder.empty() && chdir(options.folder.c_str()) != 0)
        _exit(126);
    if (options.in == STREAM_FILE && plumbing.in == -1)
        _exit(126);
    for (const auto& variable : options.environment)
        setenv(variable.first.c_str(), variable.second.c_str(), 1);
    for (const std::string& name : options.unsetEnvironment)
        unsetenv(name.c_str());
    if (plumbing.in != -1)
        dup2(plumbing.in, STDIN_FILENO);
    if (plumbing.out != -1)
        dup2(plumbing.out, STDOUT_FILENO);
    if (plumbing.err != -1)
        dup2(plumbing.err, STDERR_FILENO);
    else if (options.err == STREAM_WITH_OUTPUT)
        dup2(STDOUT_FILENO, STDERR_FILENO);
    // This process's ends of the child's own pipes, for a child that runs on
    // without an exec.
    for (int end : {child.input, child.output})
        if (end != -1)
            close(end);
    if (options.longestFile > 0) {
        // As a shell's ulimit -f sets it: a write past the limit sends
        // SIGXFSZ, which ends a program that does not see to it.
        struct rlimit limit = {static_cast<rlim_t>(options.longestFile), static_cast<rlim_t>(options.longestFile)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
}

// In this process, once the child has its own copies.
void leave(const ChildOptions& options, Plumbing& plumbing, Child& child)
{
    if (plumbing.inputText)
        std::fclose(plumbing.inputText);
    else if (options.in == STREAM_FILE || options.in == STREAM_NOWHERE || options.in == STREAM_PIPE)
        close(plumbing.in);
    if (options.out == STREAM_NOWHERE || options.out == STREAM_PIPE)
        close(plumbing.out);
    if (options.err == STREAM_NOWHERE)
        close(plumbing.err);
    if (plumbing.outText != -1) {
        close(plumbing.out);
        child.outCopier = new std::thread(copyInto, plumbing.outText, child.outFile);
    }
    if (plumbing.errText != -1) {
        close(plumbing.err);
        child.errCopier = new std::thread(copyInto, plumbing.errText, child.errFile);
    }
}

Child start(const std::function<void()>& run, const ChildOptions& options)
{
    Child child = {-1, -1, -1, nullptr, nullptr, nullptr, nullptr};
    Plumbing plumbing = prepare(options, child);
    // Nothing this process has yet to write may be written twice.
    std::fflush(nullptr);
    std::cout.flush();
    child.pid = fork();
    if (child.pid == -1)
        std::abort();
    if (child.pid == 0) {
        enter(options, plumbing, child);
        run();
    }
    leave(options, plumbing, child);
    return child;
}

std::string contents(std::FILE* file)
{
    std::string text;
    if (!file)
        return text;
    std::rewind(file);
    char buffer[65536];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, count);
    std::fclose(file);
    return text;
}

ChildRun collect(Child& child, int status, const struct rusage& usage)
{
    for (std::thread** copier : {&child.outCopier, &child.errCopier}) {
        if (!*copier)
            continue;
        (*copier)->join();
        delete *copier;
        *copier = nullptr;
    }
    if (child.output != -1)
        close(child.output);
    ChildRun run;
    run.pid = child.pid;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + run.signal;
    run.out = contents(child.outFile);
    run.err = contents(child.errFile);
    run.peakKibibytes = usage.ru_maxrss;
    return run;
}

void closeInput(Child& child)
{
    if (child.input != -1)
        close(child.input);
    child.input = -1;
}

} // namespace

Child startProgram(const std::vector<std::string>& arguments, const ChildOptions& options)
{
    // Made before the fork: the child only executes.
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return start(
        [&argv] {
            execvp(argv[0], argv.data());
            _exit(127);
        },
        options);
}

Child startChild(const std::function<void()>& body, const ChildOptions& options)
{
    return start(
        [&body] {
            body();
            std::cout.flush();
            _exit(0);
        },
        options);
}

ChildRun finishChild(Child& child)
{
    closeInput(child);
    int status = 0;
    struct rusage usage = {};
    while (wait4(child.pid, &status, 0, &usage) == -1 && errno == EINTR) {
    }
    return collect(child, status, usage);
}

ChildRun finishFirstChild(std::vector<Child>& running)
{
    for (;;) {
        int status = 0;
        struct rusage usage = {};
        pid_t pid = wait4(-1, &status, 0, &usage);
        if (pid == -1 && errno == EINTR)
            continue;
        if (pid == -1)
            return {-1, -1, 0, "", "", 0};
        for (std::size_t place = 0; place < running.size(); ++place) {
            if (running[place].pid != pid)
                continue;
            Child child = running[place];
            running.erase(running.begin() + static_cast<long>(place));
            closeInput(child);
            return collect(child, status, usage);
        }
    }
}

ChildRun runProgram(const std::vector<std::string>& arguments, const ChildOptions& options)
{
    Child child = startProgram(arguments, options);
    return finishChild(child);
}

ChildRun runChild(const std::function<void()>& body, const ChildOptions& options)
{
    Child child = startChild(body, options);
    return finishChild(child);
}
