#pragma once

#include <unistd.h>

// Runs what follows as an unprivileged user (65534) while it lives, when the
// tests run as root and `when` holds: root reads and writes regardless of
// permissions. The folder the step works in must be open to that user.
struct Unprivileged
{
    bool switched = false;
    explicit Unprivileged(bool when = true)
    {
        if (when && geteuid() == 0)
            switched = setegid(65534) == 0 && seteuid(65534) == 0;
    }
    ~Unprivileged()
    {
        if (switched && seteuid(0) == 0)
            (void)setegid(0);
    }
};
