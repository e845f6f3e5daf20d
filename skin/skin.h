#pragma once

// An XP-style look for the push buttons and framed edit boxes of every window of the calling
// thread, present and future (message boxes and the folder chooser included). It subclasses
// and paints; it never changes a control's style, and keyboard and mouse work as before.

// 1, 2 and 3 switch the skin on in one of three colour schemes (2 is olive green); any other
// value switches it off and gives every restyled control its platform look back.
// Yields 1 when the skin is on afterwards, 0 when it is off.
int SetSkinStyle(int style);
