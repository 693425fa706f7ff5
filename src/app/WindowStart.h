// Starting the window: one instance per user and root, the launch sequence, reopen and quit.
#pragma once

namespace qz {

class FileManager;

// Runs the window until the program quits and returns the exit code. When another instance
// runs on the same root and user, hands it a reopen and returns 0 at once. In the background
// the window stays hidden until the tray or a later start opens it, and a running instance is
// left alone.
// QUENZEL_SCREENSHOT=<file> saves the window once every panel shows a size, then quits.
// QUENZEL_REPORT_FIRST_FRAME prints "first-frame VmHWM=<kB> VmRSS=<kB> CPU=<ms>" once the
// window's first frame is painted, then quits.
int runWindow(FileManager& files, bool background = false);

}  // namespace qz
