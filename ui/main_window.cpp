#include "ui/main_window.h"

#include "patch/commands.h"

#include <iterator>

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kEditStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD kButtonStyle =
    WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER;

template <void (*Command)(DirectoryText&, PatchPlatform&)>
void RunCommand(ShellWindow& window) {
  DirectoryBoxText box(window.Control(DirectoryBoxId));
  Command(box, SystemPlatform());
}

// Texts in code page 936, each beside its UTF-8 form.
constexpr char kTitle[] =  // "岚柚高清补丁，不卡屏"
    "\xE1\xB0\xE8\xD6\xB8\xDF\xC7\xE5\xB2\xB9\xB6\xA1\xA3\xAC\xB2\xBB\xBF\xA8\xC6\xC1";
constexpr char kChooseText[] = "\xD1\xA1\xD4\xF1\xC4\xBF\xC2\xBC";   // "选择目录"
constexpr char kRestoreText[] = "\xBB\xB9\xD4\xAD\xB2\xB9\xB6\xA1";  // "还原补丁"
constexpr char kPatchText[] = "\xBC\xD3\xD4\xD8\xB2\xB9\xB6\xA1";    // "加载补丁"

// Template order is stacking order, top first.
const ControlTemplate kControls[] = {
    // role, stored name, id, class, left, top, width, height, text, style, exStyle,
    // visible, focus order, click
    {"DirectoryBox",
     "\xB1\xE0\xBC\xAD\xBF\xF2"
     "1" /* 编辑框1 */,
     DirectoryBoxId, "EDIT", 16, 16, 128, 24, "", kEditStyle, WS_EX_CLIENTEDGE, true, 0, nullptr},
    {"ChooseButton",
     "\xB0\xB4\xC5\xA5"
     "2" /* 按钮2 */,
     ChooseButtonId, "BUTTON", 152, 16, 88, 24, kChooseText, kButtonStyle, 0, true, 0,
     RunCommand<ChooseDirectory>},
    {"FrameButton",
     "\xB0\xB4\xC5\xA5"
     "4" /* 按钮4 */,
     FrameButtonId, "BUTTON", 8, 8, 240, 40, "", kButtonStyle | WS_DISABLED, 0, true, 0, nullptr},
    {"RestoreButton",
     "\xB0\xB4\xC5\xA5"
     "3" /* 按钮3 */,
     RestoreButtonId, "BUTTON", 136, 64, 112, 32, kRestoreText, kButtonStyle, 0, true, 0,
     RunCommand<RestorePatch>},
    {"PatchButton",
     "\xB0\xB4\xC5\xA5"
     "1" /* 按钮1 */,
     PatchButtonId, "BUTTON", 8, 64, 120, 32, kPatchText, kButtonStyle, 0, true, 0,
     RunCommand<ApplyPatch>},
};

}  // namespace

const WindowTemplate MainWindowTemplate = {
    "MainWindow",
    MainWindowTemplateId,
    261,
    141,
    kTitle,
    kWindowStyle,
    0,
    kControls,
    std::size(kControls),
    "MAIN_WINDOW_ICON",
    "DEFAULT_ICON",
    OnMainWindowCreated,
};

FreshText DirectoryBoxText::Read() {
  const int length = GetWindowTextLengthA(box_);
  FreshText text = AllocateText(static_cast<std::size_t>(length) + 1);
  const int copied = GetWindowTextA(box_, text.get(), length + 1);
  text[copied < 0 ? 0 : copied] = '\0';
  return text;
}

void DirectoryBoxText::Replace(const char* text) {
  SetWindowTextA(box_, text ? text : "");
}
