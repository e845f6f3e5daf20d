#pragma once

// The life of the process: prepare it, build MainWindow, run the loop.

// Yields the exit code that the quit message carries, 0 once MainWindow has been closed.
int ProgramMain();
