// Tests of refused access need a user whom file permissions bind, and root reads and writes
// every file. RunAsOrdinaryUser runs a piece of a test as such a user, so that these tests run
// (and can fail) wherever the suite runs, CI's root included: directly when the test is not
// root; as root, in a forked child that has become the user "nobody", after the given paths
// were handed to that user. A failure inside the child fails the calling test. The child has
// only the calling thread: the piece must not need the test program's other threads.
#pragma once

#include <sys/types.h>
#include <QStringList>
#include <functional>

namespace testing_support {

void RunAsOrdinaryUser(const std::function<void()>& body, const QStringList& handOver = {});

// The user and group the pieces run as under root: those of "nobody".
uid_t OrdinaryUserId();
gid_t OrdinaryGroupId();

// Hands a folder (and everything in it) or a file to that user; a no-op unless root.
bool HandOverToOrdinaryUser(const QString& path);

}  // namespace testing_support
