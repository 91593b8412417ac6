#pragma once
// The temporary files that are being written right now, so that an interrupt or a
// termination request can remove them before the program ends. Without this a Ctrl+C
// during a long export leaves a half-written hidden file beside the target.
//
// Everything the signal handler touches lives in fixed static buffers guarded by atomic
// flags; the handler itself calls nothing but unlink(), signal() and raise().

#include <string>

// Records path as a temporary file to remove if the program is interrupted. Returns a
// slot number for kForgetTempFile, or -1 when the path is too long or every slot is in
// use (the file is then simply not removed on a signal).
int kRememberTempFile(const std::string& path);
// The file of the slot was renamed into place or removed: forget it. -1 is ignored.
void kForgetTempFile(int slot);

// Installs handlers for SIGINT and SIGTERM that remove every remembered temporary file
// and then end the program through the signal's default action, so the exit status is
// still the signal's. A signal the program was started with ignored stays ignored.
// Call once, early in main().
void kInstallTempFileCleanup();

// What the handler does, callable directly for tests: removes every remembered file.
// Async-signal-safe.
void kRemoveTempFilesNow();
