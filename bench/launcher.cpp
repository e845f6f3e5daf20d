// Starts hdpatch.exe and the baseline in turn and measures what a user waits for and what
// the machine pays: the time until the window is up and painted (for hdpatch: skinned), until the
// program first waits for input, from a click on the patch button to the message box, and
// the peak working set. Prints one table.
//   launcher.exe HDPATCH BASELINE RUNS [OTHER_HDPATCH...]

#include "ui/main_window.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Program {
  const char* label;
  std::string path;
  const char* windowClass;
  // The colour of the patch button's left edge once the window is painted: the skin's
  // olive for hdpatch, learned from the first start for the baseline.
  COLORREF edge;
};

struct Sample {
  double upMs = 0, idleMs = 0, clickMs = 0;
  SIZE_T peakWorkingSet = 0;
};

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

[[noreturn]] void Fail(const char* what, const Program& program) {
  std::fprintf(stderr, "bench: %s (%s)\n", what, program.path.c_str());
  std::exit(1);
}

struct Search {
  DWORD process;
  const char* windowClass;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner == search->process && IsWindowVisible(window) &&
      lstrcmpA(name, search->windowClass) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleWindow(DWORD process, const char* windowClass) {
  Search search{process, windowClass, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The launcher's own window must keep answering for Wine to pass its input on.
void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Polls every millisecond; the poll is far cheaper than what it waits for.
template <typename Ready>
bool WaitFor(Ready ready, double timeoutMs) {
  const double start = Now();
  while (!ready()) {
    if (Now() - start > timeoutMs) return false;
    Pump();
    Sleep(1);
  }
  return true;
}

void PumpFor(double ms) {
  WaitFor([] { return false; }, ms);
}

void SendMouse(DWORD flags, POINT at) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

// The left edge of a button at mid-height, as the screen shows it.
COLORREF EdgeOf(HWND button) {
  RECT rect;
  if (!GetWindowRect(button, &rect)) return CLR_INVALID;
  HDC screen = GetDC(nullptr);
  const COLORREF edge = GetPixel(screen, rect.left, (rect.top + rect.bottom) / 2);
  ReleaseDC(nullptr, screen);
  return edge;
}

Sample Measure(Program& program, const std::string& directory) {
  Sample sample;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string command = "\"" + program.path + "\"";
  const double start = Now();
  if (!CreateProcessA(program.path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    Fail("cannot start", program);
  }
  HWND window = nullptr;
  if (!WaitFor(
          [&] {
            window = VisibleWindow(process.dwProcessId, program.windowClass);
            return window && (program.edge == CLR_INVALID ||
                              EdgeOf(GetDlgItem(window, PatchButtonId)) == program.edge);
          },
          20000)) {
    Fail("no window came up", program);
  }
  sample.upMs = Now() - start;
  WaitForInputIdle(process.hProcess, 20000);
  sample.idleMs = Now() - start;
  if (program.edge == CLR_INVALID) {
    PumpFor(500);
    program.edge = EdgeOf(GetDlgItem(window, PatchButtonId));
  }

  SetDlgItemTextA(window, DirectoryBoxId, directory.c_str());
  RECT button;
  GetWindowRect(GetDlgItem(window, PatchButtonId), &button);
  const POINT centre = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
  // Now and then Wine drops a click that comes right after a window is shown: the time runs
  // from the click that opened the box.
  HWND box = nullptr;
  for (int attempt = 0; attempt < 3 && !box; ++attempt) {
    SendMouse(MOUSEEVENTF_MOVE, centre);
    PumpFor(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN, centre);
    PumpFor(50);
    const double click = Now();
    SendMouse(MOUSEEVENTF_LEFTUP, centre);
    if (WaitFor([&] { return (box = VisibleWindow(process.dwProcessId, "#32770")) != nullptr; },
                3000)) {
      sample.clickMs = Now() - click;
    }
  }
  if (!box) Fail("no message box after three clicks", program);

  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitFor([&] { return !IsWindow(box); }, 5000);
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
    sample.peakWorkingSet = memory.PeakWorkingSetSize;
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    Fail("did not close", program);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  const std::string settings = directory + "\\System.dat";
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(settings.c_str(), GetFileExInfoStandard, &data) ||
      data.nFileSizeLow != 91) {
    Fail("the click wrote no 91-byte System.dat", program);
  }
  DeleteFileA(settings.c_str());
  return sample;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <typename Field>
double MedianOf(const std::vector<Sample>& samples, Field field) {
  std::vector<double> values;
  for (const Sample& sample : samples) values.push_back(static_cast<double>(sample.*field));
  return Median(values);
}

double FileKiB(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return 0;
  return data.nFileSizeLow / 1024.0;
}

// The processor a program file is for, from its PE header.
const char* MachineOf(const char* path) {
  HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "?";
  IMAGE_DOS_HEADER dos = {};
  IMAGE_FILE_HEADER header = {};
  DWORD read = 0, signature = 0;
  ReadFile(file, &dos, sizeof dos, &read, nullptr);
  SetFilePointer(file, dos.e_lfanew, nullptr, FILE_BEGIN);
  ReadFile(file, &signature, sizeof signature, &read, nullptr);
  ReadFile(file, &header, sizeof header, &read, nullptr);
  CloseHandle(file);
  switch (header.Machine) {
    case IMAGE_FILE_MACHINE_AMD64:
      return "x86-64";
    case IMAGE_FILE_MACHINE_I386:
      return "x86";
  }
  return "?";
}

// SendInput reaches other programs only from a process that has a window of its own.
HWND OwnWindow() {
  return CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1,
                         nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: launcher HDPATCH BASELINE RUNS [OTHER_HDPATCH...]\n");
    return 2;
  }
  Program hdpatch{"hdpatch", argv[1], "hdpatch.ShellWindow", RGB(55, 98, 6)};
  Program baseline{"baseline", argv[2], "hdpatch.Baseline", CLR_INVALID};
  const int runs = std::max(1, std::atoi(argv[3]));
  OwnWindow();

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string directory = std::string(temp) + "hdpatch-bench";
  CreateDirectoryA(directory.c_str(), nullptr);

  // One start of each first, so neither pays for a cold cache in the figures; it also shows
  // what the baseline's button looks like painted.
  Measure(hdpatch, directory);
  Measure(baseline, directory);
  std::fprintf(stderr, "bench: the baseline's painted button edge is #%06lX\n",
               static_cast<unsigned long>(baseline.edge));
  std::vector<Sample> ours, theirs;
  for (int run = 0; run < runs; ++run) {
    // Alternated, and which goes first alternates too.
    if (run % 2 == 0) {
      ours.push_back(Measure(hdpatch, directory));
      theirs.push_back(Measure(baseline, directory));
    } else {
      theirs.push_back(Measure(baseline, directory));
      ours.push_back(Measure(hdpatch, directory));
    }
  }
  RemoveDirectoryA(directory.c_str());

  struct Row {
    const char* name;
    double ours, theirs, target;
  };
  const Row rows[] = {
      {"start-up: window up (ms)", MedianOf(ours, &Sample::upMs), MedianOf(theirs, &Sample::upMs),
       1.15},
      {"start-up: first idle (ms)", MedianOf(ours, &Sample::idleMs),
       MedianOf(theirs, &Sample::idleMs), 0},
      {"click to message box (ms)", MedianOf(ours, &Sample::clickMs),
       MedianOf(theirs, &Sample::clickMs), 1.2},
      {"peak working set (KiB)", MedianOf(ours, &Sample::peakWorkingSet) / 1024,
       MedianOf(theirs, &Sample::peakWorkingSet) / 1024, 1.3},
  };
  std::printf("| measure, median of %d runs | hdpatch | baseline | ratio | target |\n", runs);
  std::printf("|---|---:|---:|---:|---|\n");
  bool met = true;
  for (const Row& row : rows) {
    const double ratio = row.theirs > 0 ? row.ours / row.theirs : 0;
    const bool ok = row.target == 0 || ratio <= row.target;
    met = met && ok;
    char target[32] = "-";
    if (row.target > 0)
      std::snprintf(target, sizeof target, "<= %.2f%s", row.target, ok ? "" : " MISSED");
    std::printf("| %s | %.1f | %.1f | %.2f | %s |\n", row.name, row.ours, row.theirs, ratio,
                target);
  }
  for (int i = 1; i < argc; ++i) {
    if (i == 2 || i == 3) continue;
    const double size = FileKiB(argv[i]);
    const bool ok = size > 0 && size < 300;
    met = met && ok;
    std::printf("| hdpatch.exe %s, file size (KiB) | %.1f | | | < 300%s |\n", MachineOf(argv[i]),
                size, ok ? "" : " MISSED");
  }
  return met ? 0 : 3;
}
