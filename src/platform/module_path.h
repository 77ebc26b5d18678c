// Where the program lies: the folder of the running executable, without a trailing separator.
// The program keeps all its files beside itself.
#pragma once

#include <QString>

namespace platform {

// From /proc/self/exe; empty when it cannot be read.
QString ExecutableDir();

}  // namespace platform
