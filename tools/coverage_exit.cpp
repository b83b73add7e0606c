// Linked into every program of a build that counts its lines
// (QUORRELL_COVERAGE): the counts are written when a program ends, and
// must be written however it ends.
#include <csignal>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

extern "C" void __gcov_dump();
extern "C" void __gcov_reset();

// The tests play the game with a file size limit, as on a full disk; the
// counts are written past it, so the limit is lifted as far as it may be
// first. The counts are written after every destructor but this one runs.
__attribute__((destructor)) static void liftTheFileSizeLimit()
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
}

// The counts so far, written at once; counting goes on from zero, to be
// added to them at the next writing. For a forked child that ends with
// _exit, which writes nothing (tests/child_process.cpp).
extern "C" void quorrellWriteCounts()
{
    liftTheFileSizeLimit();
    __gcov_dump();
    __gcov_reset();
}

// A program that dies of a signal it raises (the terminal put back, then
// SIGTERM or SIGHUP taken as it would have been) writes its counts first,
// and goes on in case it lives on (Ctrl-Z, then fg).
extern "C" int raise(int signalNumber)
{
    quorrellWriteCounts();
    return static_cast<int>(syscall(SYS_tgkill, getpid(), syscall(SYS_gettid), signalNumber));
}
