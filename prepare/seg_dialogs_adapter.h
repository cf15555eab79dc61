// The segment reader's questions and pauses, answered through the application's boxes and
// message loop.
#pragma once
#include "common/box_ids.h"
#include "segment/seg_dialogs.h"
#include "ui/application.h"
#include "ui/form.h"

namespace tovin {

class TApplicationSegDialogs final : public TSegDialogs {
 public:
  TApplicationSegDialogs(ui::TApplication& app, ui::TForm& owner) : app_(app), owner_(owner) {}
  bool ErrorBoxOkCancel(const std::string& text, TSegQuestion question, const std::string& segmentName) override {
    return app_.ErrorBoxOkCancel(text, question == sqWrongSegment ? box::kWrongSegment : box::kSegmentMissing,
                                 segmentName);
  }
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                  const std::string& segmentName) override {
    return app_.InputQuery(caption, prompt, value, box::kMountSegment, segmentName);
  }
  void ProcessMessages() override { app_.ProcessMessages(); }
  void Repaint() override { owner_.Repaint(); }

 private:
  ui::TApplication& app_;
  ui::TForm& owner_;
};

}  // namespace tovin
