#pragma once

// What the three working buttons do. Each reads the directory box afresh and keeps nothing.

#include "patch/platform.h"

void ChooseDirectory(DirectoryText& box, PatchPlatform& platform);
void ApplyPatch(DirectoryText& box, PatchPlatform& platform);
void RestorePatch(DirectoryText& box, PatchPlatform& platform);
