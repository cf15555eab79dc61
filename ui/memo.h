// TMemo: a multi-line text box. Its content is Lines (one string per line, without line
// breaks); Caption/Text are not used by it.
#pragma once
#include <string>
#include <vector>

#include "ui/control.h"

namespace tovin::ui {

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// Splits text into lines as a Windows memo does: a line ends at CR LF, at a lone CR or at a
// lone LF (so LF CR is two breaks); a break at the very end adds no empty line; a NUL byte ends
// the text. Empty text has no lines.
std::vector<std::string> SplitMemoLines(const std::string& text);

class TMemo : public TControl {
 public:
  TMemo(TControl& parent, std::string name);

  const std::vector<std::string>& Lines() const { return lines_; }
  void SetLines(std::vector<std::string> lines);
  void Clear();
  // Appends one line, stored as given.
  void Add(const std::string& line);
  // Replaces the lines with the file's text (SplitMemoLines). A file that cannot be opened
  // raises EFOpenError "Cannot open file %s" and leaves the lines as they were.
  void LoadFromFile(const std::string& path);

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool WordWrap() const { return wordWrap_; }  // on by default
  void SetWordWrap(bool value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  TBorderStyle BorderStyle() const { return borderStyle_; }  // bsSingle by default
  void SetBorderStyle(TBorderStyle value);
  bool Focusable() const override { return true; }

 private:
  std::vector<std::string> lines_;
  bool readOnly_ = false;
  bool wordWrap_ = true;
  TScrollStyle scrollBars_ = ssNone;
  TBorderStyle borderStyle_ = bsSingle;
};

}  // namespace tovin::ui
