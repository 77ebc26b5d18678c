// A writer killed at any moment: a child process runs the writes over and over and is killed
// after a delay that grows round by round, so the kill lands at ever other points of a write.
#pragma once

#include <functional>

namespace testing_support {

// rounds times: fork a child that calls write(i) for i = 0, 1, 2, ... (at most 100000 times),
// kill it with SIGKILL, wait for it, then call check(round) on what it left behind.
void KillWriterRepeatedly(int rounds, const std::function<void(int i)>& write,
                          const std::function<void(int round)>& check);

}  // namespace testing_support
