#pragma once

// Real keyboard and mouse input through SendInput, and a message pump for shell windows.

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <utility>

// Presses the modifiers, taps the key, releases the modifiers.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});
// Key events in one batch, each {key, up}: what a modal loop opened by one of them reads.
void SendKeyEvents(std::initializer_list<std::pair<WORD, bool>> events);
// Moves the mouse to a point of the screen, pressing or releasing buttons there (flags).
void MouseAt(POINT screen, DWORD flags = 0);
// A left click at a point of the screen.
void ClickAt(POINT screen);
// A click whose press and release come apart, as from a hand, for windows of other
// processes: the frame's own tracking loops (the close box, the title bar) then read the
// release after they have started. In the calling thread such a loop would wait forever.
void ClickApartAt(POINT screen);
// A left click at a point of a window's client area.
void ClickIn(HWND window, int x, int y);

// Dispatches this thread's messages as the program's loop does, for a while or until done.
void PumpFor(DWORD milliseconds);
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMilliseconds = 3000);
