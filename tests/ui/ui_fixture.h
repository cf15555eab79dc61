// A fresh application on the headless backend per test, and a small dialog to drive.
#pragma once
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/headless/headless_backend.h"
#include "ui/ui.h"

namespace tovin::ui::test {

class UiTest : public ::testing::Test {
 protected:
  THeadlessBackend backend;
  TApplication app{backend};

  // Answers the boxes in order with the given answers; nothing scripted after them.
  void AnswerInOrder(std::vector<std::optional<THeadlessAnswer>> answers) {
    auto queue = std::make_shared<std::vector<std::optional<THeadlessAnswer>>>(std::move(answers));
    backend.Script = [queue](const TMessageRequest&) -> std::optional<THeadlessAnswer> {
      if (queue->empty()) return std::nullopt;
      auto next = queue->front();
      queue->erase(queue->begin());
      return next;
    };
  }
};

// A dialog with an OK button that ends its modal run and a button of its own.
class TDialog : public TForm {
 public:
  TDialog(TApplication& application, const std::string& caption) : TForm(application, caption) {
    SetCaption(caption);
    ok.SetModalResult(mrOk);
  }
  TButton ok{*this, "ok"};
  TButton action{*this, "action"};
};

}  // namespace tovin::ui::test
