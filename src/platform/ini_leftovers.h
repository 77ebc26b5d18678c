// The copies an interrupted save leaves behind. Every write goes to a temporary copy beside the
// file, which is then renamed over it (file_replace.h): the copy is named after the file, the
// program's own mark and six random letters or digits ("config.ini.zelbo-tmp-tJEP4m"), a name no
// user gives a file ("config.ini.backup" is never one). A process killed between the two steps
// leaves that copy for good. No state; meant for start-up, when no save of
// this program runs (one copy runs per user); any thread.
#pragma once

#include <QString>

namespace platform {

// Whether name is the name of such a copy of the file named fileName (both without folder).
bool IsLeftoverCopyName(const QString& name, const QString& fileName);

// Removes the leftover copies of fileName in its folder (and, for a link, beside the file it
// leads to, where the save wrote): regular files of this user with exactly such a name. Nothing
// else is touched: no other name, no link, folder or other user's file. Returns how many went.
int RemoveLeftoverCopies(const QString& fileName);

}  // namespace platform
