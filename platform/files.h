// The file system as the archive needs it: what is at a path (with the Italian reason when the
// path cannot even be examined), syncing a file and a folder to disk, renaming without
// replacing, and whether a process that left files behind is still running.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>

namespace tillbook::platform {

enum class PathKind { Missing, File, Directory, Other };

// What `path` names; a symbolic link counts as what it points to. Throws Error with an Italian
// message when the path cannot be examined (too long, a circular link, no permission on a
// folder on the way, a file where a folder is expected).
PathKind Examine(const std::string& path);

// The Italian sentence for a failure `error` on `path` (any file operation), e.g.
// "Il percorso X è troppo lungo." Never empty.
std::string PathProblem(const std::string& path, std::error_code error);
// Throws Error with PathProblem's sentence and the system's text as detail.
[[noreturn]] void ThrowPathError(const std::string& path, std::error_code error);

// Creates the folder and its parents when missing. Throws Error when it cannot.
void MakeDirectories(const std::string& path);

// Size of a regular file in bytes. Throws Error when it cannot be read.
uint64_t FileSize(const std::string& path);
// Up to `count` bytes from the start of the file. Throws Error when it cannot be read.
std::string ReadHead(const std::string& path, size_t count);

// Writes the file's data to disk; the folder's entry of a renamed file needs SyncDirectory.
// Throws Error on failure.
void SyncFile(const std::string& path);
void SyncDirectory(const std::string& path);

// Gives `from` the name `to` in one step; false (and nothing renamed) when `to` exists.
// Throws Error on any other failure.
bool RenameNoReplace(const std::string& from, const std::string& to);
// Removes a file; a missing file is not a failure. Throws Error on any other failure.
void RemoveFile(const std::string& path);

// True while a process with that id exists (it may belong to another user).
bool ProcessIsRunning(long pid);
long CurrentProcessId();

// True when the current user may create files in `folder`.
bool CanWriteIn(const std::string& folder);

}  // namespace tillbook::platform
