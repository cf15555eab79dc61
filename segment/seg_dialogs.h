// The two questions the segment reader asks its host, and the pause in which the host's
// windows catch up. The preparing window, the command line and the tests answer them their
// own way.
#pragma once
#include <string>

namespace tovin {

// What an error box asks about, so that a host tells the questions apart without their texts.
enum TSegQuestion {
  sqSegmentMissing,  // no file of the segment's name where the reader looks
  sqWrongSegment,    // the file there is another segment
};

class TSegDialogs {
 public:
  virtual ~TSegDialogs() = default;
  // An error box with OK and Cancel about the segment file segmentName; true for OK.
  virtual bool ErrorBoxOkCancel(const std::string& text, TSegQuestion question, const std::string& segmentName) = 0;
  // An input box for the folder of the segment file segmentName; false for Cancel, else value
  // holds the text as typed.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                          const std::string& segmentName) = 0;
  virtual void ProcessMessages() {}
  virtual void Repaint() {}
};

}  // namespace tovin
