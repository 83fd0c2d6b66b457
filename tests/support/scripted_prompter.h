// A prompter that gives prepared answers in order and records each question;
// once the answers run out it answers Cancel, as an expired countdown does.
#pragma once

#include <deque>
#include <vector>

#include "app/prompter.h"

namespace tarn::testing {

class ScriptedPrompter final : public app::Prompter {
 public:
  void Answer(app::VolumeReply reply) { replies_.push_back(std::move(reply)); }

  [[nodiscard]] app::VolumeReply AskVolume(const app::VolumeQuestion& question) override {
    questions.push_back(question);
    if (replies_.empty()) return {};
    app::VolumeReply reply = std::move(replies_.front());
    replies_.pop_front();
    return reply;
  }

  std::vector<app::VolumeQuestion> questions;

 private:
  std::deque<app::VolumeReply> replies_;
};

}  // namespace tarn::testing
