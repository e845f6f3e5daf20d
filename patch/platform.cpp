#include "patch/platform.h"

#include "base/list.h"
#include "base/unique_any.h"

#include <shlobj.h>

namespace {

void FreeIdList(PIDLIST_ABSOLUTE list) {
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(SHGetMalloc(&allocator))) {
    allocator->Free(list);
    allocator->Release();
  }
}

using unique_idlist = unique_any<PIDLIST_ABSOLUTE, FreeIdList>;

struct EnabledState {
  HWND window;
  bool enabled;
};

// The chooser is modal to its owner only; the program's other top-level windows must not
// take input while it is open either.
BOOL CALLBACK CollectVisibleTop(HWND window, LPARAM context) {
  if (IsWindowVisible(window) && GetParent(window) == nullptr) {
    auto* found = reinterpret_cast<List<EnabledState>*>(context);
    found->Add({window, IsWindowEnabled(window) != FALSE});
  }
  return TRUE;
}

List<EnabledState> DisableThreadWindows() {
  List<EnabledState> states;
  EnumThreadWindows(GetCurrentThreadId(), CollectVisibleTop, reinterpret_cast<LPARAM>(&states));
  for (const EnabledState& state : states) EnableWindow(state.window, FALSE);
  return states;
}

void RestoreThreadWindows(const List<EnabledState>& states) {
  for (const EnabledState& state : states) {
    if (IsWindow(state.window)) EnableWindow(state.window, state.enabled ? TRUE : FALSE);
  }
}

}  // namespace

FolderChoice ChooseFolder(const char* prompt) {
  HWND owner = GetActiveWindow();
  if (!IsWindow(owner)) owner = nullptr;
  const HWND foreground = GetForegroundWindow();
  const List<EnabledState> states = DisableThreadWindows();

  char displayName[MAX_PATH] = {};
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pszDisplayName = displayName;
  info.lpszTitle = prompt;
  info.ulFlags = BIF_EDITBOX;
  const unique_idlist chosen(SHBrowseForFolderA(&info));

  RestoreThreadWindows(states);
  if (foreground && IsWindow(foreground)) SetForegroundWindow(foreground);
  if (owner && IsWindow(owner)) SetActiveWindow(owner);

  if (!chosen) return {false, JoinTexts({nullptr})};
  char path[MAX_PATH] = {};
  if (!SHGetPathFromIDListA(chosen.get(), path)) path[0] = '\0';
  return {true, JoinTexts({path})};
}

bool FileExists(const char* path) {
  WIN32_FIND_DATAA found;
  const unique_hfind search(FindFirstFileA(path, &found));
  return search && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

UINT MessageBoxType(UINT style) {
  return (style & MB_SYSTEMMODAL) ? style : style | MB_TASKMODAL;
}

PatchPlatform& SystemPlatform() {
  static PatchPlatform platform;
  return platform;
}

int ShowMessage(PatchPlatform& platform, const char* text, UINT style) {
  return platform.ShowMessageBox(text, MessageTitle, MessageBoxType(style));
}
