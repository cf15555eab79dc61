// What the package commands share: safe extraction paths, the terminal's answers to the segment
// reader, a temporary folder.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "segment/seg_dialogs.h"

namespace tovin::cli {

// A member or template path made relative and checked: the drive and leading backslashes
// are dropped; nullopt when a ".." or a drive inside would leave the folder.
std::optional<std::string> SafeRelative(const std::string& path);

// The member that a container target path stands for, below the folder prefix it was formed
// with (the component's TargetPath); nullopt when it is absolute, names a drive or climbs out.
std::optional<std::string> MemberBelow(const std::string& prefix, const std::string& path);

// Why the Windows build would refuse to write a member of this name (a device name, a name
// Windows trims, a character it does not allow in any folder of it); empty when it writes it.
// Other hosts write such names as they are, so the commands report them.
std::string WindowsMemberNote(const std::string& member);

// Asks on the terminal when standard input is one. Without one nobody can answer: an error box
// becomes the error it reports, and an input query is cancelled.
class TerminalDialogs final : public TSegDialogs {
 public:
  bool ErrorBoxOkCancel(const std::string& text, TSegQuestion question, const std::string& segmentName) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                  const std::string& segmentName) override;
  // The segment reader pauses here between blocks: where a stop asked for takes effect.
  void ProcessMessages() override;
};

// For the error of a member that failed, with failed files deleted: what became of the file at
// target (existed: whether a file was there before the member). Empty when the file is there.
std::string FailedFileNote(const std::string& target, bool existed);

// A fresh temporary folder of the platform layer, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& Path() const { return path_; }

 private:
  std::string path_, host_;
};

}  // namespace tovin::cli
