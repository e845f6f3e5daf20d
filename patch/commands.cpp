#include "patch/commands.h"

namespace {

struct WriteCommand {
  const SettingsImage& image;
  Message done;
  Message failed;
};

const WriteCommand kApplyPatch{
    PatchImage, {PatchDoneText, PlainStyle}, {PatchFailedText, ErrorStyle}};
const WriteCommand kRestorePatch{
    RestoreImage, {RestoreDoneText, PlainStyle}, {RestoreFailedText, ErrorStyle}};

const Message kDirectoryOk{DirectoryOkText, InformationStyle};
const Message kDirectoryWrong{DirectoryWrongText, ErrorStyle};

void Show(PatchPlatform& platform, const Message& message) {
  ShowMessage(platform, message.text, message.style);
}

void RunWriteCommand(const WriteCommand& command, DirectoryText& box, PatchPlatform& platform) {
  bool written;
  {
    const FreshText directory = box.Read();
    // An empty box would name System.dat in the root of the current drive.
    if (IsEmptyText(directory.get())) return Show(platform, kDirectoryWrong);
    const FreshText path = BuildSettingsPath(directory.get());
    written = platform.WriteBytesToFile(path.get(), command.image);
  }
  Show(platform, written ? command.done : command.failed);
}

}  // namespace

void ChooseDirectory(DirectoryText& box, PatchPlatform& platform) {
  bool exists;
  {
    const FolderChoice choice = platform.ChooseFolder(FolderPrompt);
    // A cancel keeps what the box held; so does an item that is no folder on disk.
    if (!choice.accepted) return;
    if (IsEmptyText(choice.path.get())) return Show(platform, kDirectoryWrong);
    box.Replace(choice.path.get());
  }
  {
    const FreshText directory = box.Read();
    const FreshText path = BuildSettingsPath(directory.get());
    exists = platform.FileExists(path.get());
  }
  Show(platform, exists ? kDirectoryOk : kDirectoryWrong);
}

void ApplyPatch(DirectoryText& box, PatchPlatform& platform) {
  RunWriteCommand(kApplyPatch, box, platform);
}

void RestorePatch(DirectoryText& box, PatchPlatform& platform) {
  RunWriteCommand(kRestorePatch, box, platform);
}
