// Replacing a file so that nothing is lost: the new content goes whole into a temporary copy
// beside the file, every write checked and the copy synced, and only then is the copy renamed
// over the file. A full disk, a write error or a kill leaves the old file exactly as it was. The
// copy gets the old file's owner (where the program may give it, as root), group and mode, so a
// run as root never takes a user's file.
// Temporary copies are named "<file>.zelbo-tmp-" and six random letters or digits: a name no user
// gives a file, so start-up may remove them (ini_leftovers.h) without touching anything else.
// Several files replaced together (the macro file with config.ini, whose buttons name its macros
// by place) are all prepared before any is renamed; a commit mark beside the last file, written
// and synced once every copy is complete, lets the next start finish renames a kill cut short.
// No state but the test seams; any thread (callers serialise writes to one file).
#pragma once

#include <sys/types.h>
#include <QByteArray>
#include <QString>
#include <span>

namespace platform {

// The fixed part of a temporary copy's name, after the file's own name.
inline constexpr char TemporaryCopyMark[] = ".zelbo-tmp-";
// The commit mark of files replaced together, after the last file's name.
inline constexpr char PairMarkSuffix[] = ".zelbo-pair";

// What a write did: ok, or why the file could not be written ("Permission denied", "No space
// left on device", ...), for the log and the user. written: the file was replaced. otherFailed:
// it was not written because a file to be written with it could not be.
struct WriteResult {
    bool ok = true;
    QString reason;
    bool written = false;
    bool otherFailed = false;
};

// Replaces path (a link's target, resolved by the caller) with bytes.
WriteResult ReplaceFileSafely(const QString& path, const QByteArray& bytes);

// One file of a replace together: target is the file to replace (a link's target), bytes its
// new content.
struct FileReplace {
    QString target;
    QByteArray bytes;
};

// Replaces every file or none: each copy is prepared first; any failure removes them all and
// leaves every file as it was. markBeside names the file beside which the commit mark stands
// (FinishInterruptedReplace takes the same name). Returns, when it fails, which file (index into
// files) failed in failedIndex.
WriteResult ReplaceFilesTogether(std::span<const FileReplace> files, const QString& markBeside,
                                 int* failedIndex);

// At start-up, before the leftover copies are removed: a commit mark beside markBeside means a
// replace together was cut short after every copy was complete; its remaining renames are made.
// A mark that is not complete is removed (its copies go with the leftovers). Returns how many
// files it finished.
int FinishInterruptedReplace(const QString& markBeside);

// Test seams: the call that writes the copies' bytes (nullptr: ::write), and work run between
// the renames of a replace together (nullptr: none).
using WriteCall = ssize_t (*)(int fd, const void* data, size_t size);
void SetWriteCallForTests(WriteCall call);
using BetweenRenames = void (*)();
void SetBetweenRenamesForTests(BetweenRenames hook);

}  // namespace platform
