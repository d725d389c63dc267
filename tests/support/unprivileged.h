#pragma once
// Runs a piece of a test in a child process that is subject to file
// permissions. Tests run as root on CI, and root writes into read-only
// folders; to test what a user meets there, the child drops to the user and
// group "nobody" (65534) when the test process is root, and runs as it is
// otherwise. Anything the child must reach has to be readable by others.

#include <functional>

namespace parvion::test {

// Runs fn in a forked child and returns its result (0..255), or -1 when the
// child could not be started, could not drop its rights, or died. The child
// has only the calling thread: while other threads run (a pseudo-terminal
// server, say), fn may only make plain system calls, since a lock another
// thread held at the fork (the sanitizer's allocator, for one) stays held.
int runUnprivileged(const std::function<int()>& fn);

}  // namespace parvion::test
