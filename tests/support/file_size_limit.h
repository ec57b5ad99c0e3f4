// Writes that fail part-way, as on a full disk, without privileges: a piece
// of a test runs in a forked child whose files cannot grow beyond a limit
// (RLIMIT_FSIZE). SIGXFSZ is ignored there, so a write past the limit fails
// with EFBIG instead of ending the process.
#pragma once

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>

namespace lumetra::testing {

// Runs body in the child. Its gtest failures are printed there as they
// happen; true when the child ran to the end without one.
inline bool with_file_size_limit(rlim_t limit, const std::function<void()>& body)
{
    std::fflush(nullptr);
    pid_t child = ::fork();
    if (child < 0) {
        ADD_FAILURE() << "fork failed";
        return false;
    }
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit cap{limit, limit};
        bool limited = ::setrlimit(RLIMIT_FSIZE, &cap) == 0;
        if (limited) body();
        else std::printf("setrlimit(RLIMIT_FSIZE) failed\n");
        std::fflush(nullptr);
        ::_exit(limited && !::testing::Test::HasFailure() ? 0 : 1);
    }
    int status = 0;
    pid_t waited;
    do waited = ::waitpid(child, &status, 0);
    while (waited < 0 && errno == EINTR);
    return waited == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace lumetra::testing
