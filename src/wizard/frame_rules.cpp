#include "wizard/frame_rules.h"

namespace tarn::wizard {

namespace {

bool CountdownRunning(const Countdown& countdown) {
  return countdown.autoStartArmed() || countdown.autoEndArmed() || countdown.beeping();
}

}  // namespace

std::optional<size_t> WizardIndexOfDialog(int dialogId) {
  for (size_t index = 0; index < app::kWizardPageCount; ++index) {
    if (kPageDialogs[index] == dialogId) return index;
  }
  return std::nullopt;
}

size_t StartPagePosition(app::WizardPage startPage, std::span<const int> pageDialogs) {
  const size_t wanted = static_cast<size_t>(startPage);
  std::optional<size_t> best;
  size_t bestIndex = app::kWizardPageCount;
  for (size_t position = 0; position < pageDialogs.size(); ++position) {
    const std::optional<size_t> index = WizardIndexOfDialog(pageDialogs[position]);
    if (!index || *index < wanted || *index >= bestIndex) continue;
    best = position;
    bestIndex = *index;
  }
  return best.value_or(0);
}

FrameReaction ReactToInput(FrameInput input, bool noCancel, const Countdown& countdown) {
  FrameReaction reaction;
  switch (input) {
    case FrameInput::kEscapeKey:
      reaction.refuse = noCancel;
      [[fallthrough]];
    case FrameInput::kKeyDown:
      reaction.stopCountdown = CountdownRunning(countdown);
      break;
    case FrameInput::kCloseCommand:
    case FrameInput::kCancelCommand:
      reaction.refuse = noCancel;
      // A cancel let through is somebody at the wizard, and its question
      // must not be overtaken by the automatic start or end.
      reaction.stopCountdown = !noCancel && CountdownRunning(countdown);
      break;
    case FrameInput::kBeepTimer:
      reaction.beep = countdown.beeping();
      reaction.killTimer = !reaction.beep;
      break;
    case FrameInput::kDisplayTimer:
      reaction.displayTick = countdown.displayed();
      reaction.killTimer = !reaction.displayTick;
      break;
  }
  return reaction;
}

startup::WizardOutcome OutcomeOfSheet(intptr_t sheetResult) {
  return sheetResult == 1 ? startup::WizardOutcome::kFinished : startup::WizardOutcome::kCancelled;
}

}  // namespace tarn::wizard
