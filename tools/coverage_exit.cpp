// Linked into every program of a build that counts its lines
// (QUORRELL_COVERAGE): the counts are written when a program ends, and
// must be written however it ends.
#include <csignal>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

extern char** environ;

extern "C" void __gcov_dump();
extern "C" void __gcov_reset();

// The tests play the game with a file size limit, as on a full disk; the
// counts are written past it, so the limit is lifted as far as it may be
// first.
static void liftTheFileSizeLimit()
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
}

// Writing the counts takes memory and locks each file: a signal whose
// handler writes them too (see raise below) must not break in, or the
// program waits on itself for ever, holding the lock of a file of counts
// that every later program of the run then waits for.
static void holdEverySignal(sigset_t* before)
{
    sigset_t all;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, before);
}

// The counts are written at the end after every destructor but this one
// runs; by then the program is only ending, and holds its signals.
__attribute__((destructor)) static void beforeTheCountsAreWritten()
{
    sigset_t before;
    holdEverySignal(&before);
    liftTheFileSizeLimit();
}

// The counts so far, written at once; counting goes on from zero, to be
// added to them at the next writing. For a forked child that ends with
// _exit, which writes nothing (tests/child_process.cpp).
extern "C" void quorrellWriteCounts()
{
    sigset_t before;
    holdEverySignal(&before);
    liftTheFileSizeLimit();
    __gcov_dump();
    __gcov_reset();
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

// A program that dies of a signal it raises (the terminal put back, then
// SIGTERM or SIGHUP taken as it would have been) writes its counts first,
// and goes on in case it lives on (Ctrl-Z, then fg).
extern "C" int raise(int signalNumber)
{
    quorrellWriteCounts();
    return static_cast<int>(syscall(SYS_tgkill, getpid(), syscall(SYS_gettid), signalNumber));
}

// Undo starts the game again in the same process (execv): what it has
// counted so far is written first, as GCC does for the exec calls it knows,
// since the fresh image begins from nothing.
extern "C" int execv(const char* path, char* const arguments[])
{
    quorrellWriteCounts();
    return static_cast<int>(syscall(SYS_execve, path, arguments, environ));
}
