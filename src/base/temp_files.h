#pragma once

#include <string>

namespace pelmora {

// The program's temporary files, kept where a signal handler can reach them without taking a
// lock or allocating: an interrupted save must not leave a copy of the user's file (up to its
// full size) behind. Thread-safe. The list has room for 64 paths of up to 4,095 bytes; a path
// that does not fit is still removed on every ordinary exit path, just not on a signal.
void RegisterTempFile(const std::string& path);
void UnregisterTempFile(const std::string& path);
// Unregisters and deletes a temporary file; a missing file is not an error.
void RemoveTempFile(const std::string& path);

// Makes a new, empty file readable and writable by the user alone (mode 0600) with a unique
// name "PREFIX......SUFFIX" in the user's own runtime folder ($XDG_RUNTIME_DIR, when it is an
// absolute path to a folder that the user owns and no one else may enter) or else the
// temporary-files folder, and registers it. Being made by mkstemp, it can never be a link that
// someone else planted. Its path, or "" with errno set.
std::string MakePrivateTempFile(const std::string& prefix, const std::string& suffix);

// From now on SIGINT, SIGTERM and SIGHUP delete the registered files and end the program with
// 128 + the signal's number, as a shell reports a program that a signal ended. A signal that
// was ignored when the program started (nohup, a background job) stays ignored. Call it after
// InitImageLibrary: the image library installs handlers of its own for these signals, which
// exit without this clean-up.
void CleanUpTempFilesOnSignals();

}  // namespace pelmora
