// Silences standard output while it lives: the game's progress lines
// ("Create background sphere - OK." and the like) would break up the
// benchmark's table.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

class QUIET_STDOUT {
public:
    QUIET_STDOUT()
    {
        fflush(stdout);
        saved = dup(STDOUT_FILENO);
        int null_fd = open("/dev/null", O_WRONLY);
        if (null_fd >= 0) {
            dup2(null_fd, STDOUT_FILENO);
            close(null_fd);
        }
    }
    ~QUIET_STDOUT()
    {
        fflush(stdout);
        if (saved >= 0) {
            dup2(saved, STDOUT_FILENO);
            close(saved);
        }
    }
    QUIET_STDOUT(const QUIET_STDOUT&) = delete;
    QUIET_STDOUT& operator=(const QUIET_STDOUT&) = delete;

private:
    int saved = -1;
};
