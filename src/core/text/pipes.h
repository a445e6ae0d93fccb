// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

namespace tw {

// A pipe between two programs holds 64 KB by default, so a big text crosses
// it in many small turns, each a switch between the writer and the reader.
// A pipe of 1 MB (the most an ordinary user may ask for) takes a fifth off a
// pipeline of two runs. Anything that is not a pipe, or a refusal, leaves
// things as they are.
inline void widenPipe(int fd)
{
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISFIFO(info.st_mode))
        (void)::fcntl(fd, F_SETPIPE_SZ, 1 << 20);
}

} // namespace tw
