#pragma once

// The life of the process: prepare it, build MainWindow, run the loop.

// Yields the exit code that the quit message carries, 0 once MainWindow has been closed.
int ProgramMain();

// Cuts a program file's path to its directory before the last backslash, by the double-byte
// rules of the ANSI code page (a trail byte 0x5C is no backslash); a drive root keeps its
// backslash.
void CutToProgramDirectory(char* path);
