#include "wizard/status_page_model.h"

#include <gtest/gtest.h>

#include <thread>

#include "app/install_config.h"
#include "unit/run/run_test_machine.h"
#include "wizard/run_event_queue.h"

namespace tarn::wizard {
namespace {

class FlagEvent : public platform::Event {
 public:
  explicit FlagEvent(bool set) : set_(set) {}
  void Set() override { set_ = true; }
  void Reset() override { set_ = false; }
  bool Wait(uint32_t) override { return set_; }
  [[nodiscard]] bool isSet() const { return set_; }

 private:
  bool set_;
};

struct Signals {
  std::shared_ptr<run::RunSignals> shared = std::make_shared<run::RunSignals>();
  FlagEvent* resume;
  FlagEvent* abort;

  Signals() {
    auto r = std::make_unique<FlagEvent>(true);
    auto a = std::make_unique<FlagEvent>(false);
    resume = r.get();
    abort = a.get();
    shared->resume = std::move(r);
    shared->abort = std::move(a);
  }
  [[nodiscard]] RunEvent Attach() const {
    RunEvent event = MakeRunEvent(RunEventKind::kSignals);
    event.signals = shared;
    return event;
  }
};

RunEvent CommandStarts() {
  return MakeRunEvent(RunEventKind::kAbortButton, 0);
}

struct AbortRow {
  const char* name;
  bool noAbort;
  bool commandStarted;
  uint32_t ticks;
  std::optional<RunEventKind> afterwards;
  bool shown;
};

TEST(StatusPageModel, AbortIsOfferedOnlyAtTheSixtiethSecondOfOneCommand) {
  const AbortRow rows[] = {
      {"59 seconds", false, true, 59, std::nullopt, false},
      {"60 seconds", false, true, 60, std::nullopt, true},
      {"NoAbort", true, true, 600, std::nullopt, false},
      {"account phase, no command yet", false, false, 600, std::nullopt, false},
      {"the command ended, the next step began", false, true, 60, RunEventKind::kPosition, false},
      {"the run reached its end", false, true, 60, RunEventKind::kFinish, false},
  };
  for (const AbortRow& row : rows) {
    app::InstallConfig config;
    config.NoAbort = row.noAbort;
    StatusPageModel model(config);
    Signals signals;
    (void)model.Apply(signals.Attach());
    if (row.commandStarted) (void)model.Apply(CommandStarts());
    for (uint32_t i = 0; i < row.ticks; ++i) model.Tick();
    if (row.afterwards) (void)model.Apply(MakeRunEvent(*row.afterwards));
    EXPECT_EQ(model.view().abortShown, row.shown) << row.name;
    EXPECT_EQ(model.view().ticking, !row.noAbort && row.afterwards != RunEventKind::kFinish)
        << row.name;
  }
}

TEST(StatusPageModel, CancelHoldsTheRunAndClosesOnlyAfterTheRunHasEnded) {
  app::InstallConfig config;
  StatusPageModel model(config);
  Signals signals;
  (void)model.Apply(signals.Attach());

  EXPECT_EQ(model.QueryCancel(), CancelStep::kAsk);
  EXPECT_FALSE(signals.resume->isSet()) << "the run is held while the question is open";
  EXPECT_EQ(model.AnswerCancel(false), CancelStep::kRefuse);
  EXPECT_TRUE(signals.resume->isSet());
  EXPECT_FALSE(signals.shared->cancelled);

  EXPECT_EQ(model.QueryCancel(), CancelStep::kAsk);
  EXPECT_EQ(model.AnswerCancel(true), CancelStep::kRefuse) << "the worker still uses the lists";
  EXPECT_TRUE(signals.shared->cancelled);
  EXPECT_TRUE(signals.abort->isSet());
  EXPECT_TRUE(signals.resume->isSet()) << "a held run goes on to its clean-up";
  EXPECT_EQ(model.QueryCancel(), CancelStep::kRefuse) << "asked again while the run ends";
  EXPECT_TRUE(model.Apply(MakeRunEvent(RunEventKind::kEnded))) << "the page ends the wizard now";
  EXPECT_EQ(model.QueryCancel(), CancelStep::kAllow);
}

TEST(StatusPageModel, NoCancelRefusesWithoutAskingAndAnEarlyYesReachesLaterSignals) {
  app::InstallConfig config;
  config.NoCancel = true;
  EXPECT_EQ(StatusPageModel(config).QueryCancel(), CancelStep::kRefuse);
  config.NoCancel = false;
  StatusPageModel early(config);
  EXPECT_EQ(early.QueryCancel(), CancelStep::kAsk);
  EXPECT_EQ(early.AnswerCancel(true), CancelStep::kRefuse);
  Signals late;
  (void)early.Apply(late.Attach());
  EXPECT_TRUE(late.shared->cancelled);
}

TEST(StatusPageModel, RestartBoxFollowsTheSettings) {
  struct Row {
    bool skipRestart, noRestartChange, clickTo;
    bool checked, enabled, skipAfterClick;
  };
  const Row rows[] = {
      {false, false, false, true, true, true},
      {true, false, true, false, true, false},
      {true, true, true, false, false, true},  // disabled: a click changes nothing
  };
  for (const Row& row : rows) {
    app::InstallConfig config;
    config.SkipRestart = row.skipRestart;
    config.NoRestartChange = row.noRestartChange;
    StatusPageModel model(config);
    EXPECT_EQ(model.view().restartChecked, row.checked) << row.skipRestart << row.noRestartChange;
    EXPECT_EQ(model.view().restartEnabled, row.enabled);
    model.RestartClicked(row.clickTo);
    EXPECT_EQ(config.SkipRestart, row.skipAfterClick) << row.skipRestart << row.noRestartChange;
  }
}

TEST(StatusPageModel, AutomaticFinishWaitsForAnOpenQuestion) {
  app::InstallConfig config;
  StatusPageModel model(config);
  Signals signals;
  (void)model.Apply(signals.Attach());
  RunEvent finish = MakeRunEvent(RunEventKind::kFinish);
  finish.autoFinishMs = 10000u;
  (void)model.Apply(std::move(finish));
  EXPECT_TRUE(model.view().finishOffered);
  EXPECT_EQ(model.view().autoFinishMs, 10000u);
  EXPECT_EQ(model.QueryCancel(), CancelStep::kAsk);
  EXPECT_EQ(model.AutoFinishFired(), AutoFinishStep::kWait);
  EXPECT_EQ(model.AnswerCancel(false), CancelStep::kRefuse);
  EXPECT_EQ(model.AutoFinishFired(), AutoFinishStep::kPress);
  EXPECT_EQ(model.AutoFinishFired(), AutoFinishStep::kNothing);
}

TEST(StatusPageModel, TheRestartBoxStandsAtTheBottomAndTheListEndsAboveIt) {
  StatusLayout current;
  current.progress = {0, 30, 500, 15};
  current.spare = {0, 30, 500, 15};
  current.abort = {420, 0, 80, 23};
  current.list = {0, 55, 500, 200};
  current.restart = {0, 265, 200, 20};
  const StatusLayout next = LayOutStatusPage(current, 640, 400, 96);
  EXPECT_EQ(next.restart.y, 380);
  EXPECT_EQ(next.list.y + next.list.height, 370);
  EXPECT_EQ(next.list.width, 640);
  EXPECT_EQ(next.abort.x, 560);
  EXPECT_EQ(next.abort.y, 0);
  EXPECT_EQ(next.progress.height, 15);
  EXPECT_EQ(next.spare.height, 10);
  EXPECT_EQ(next.spare.width, 640);
  // At 150 % the gap above the restart box and the spare bar are 15 pixels.
  const StatusLayout scaled = LayOutStatusPage(current, 960, 600, 144);
  EXPECT_EQ(scaled.restart.y - (scaled.list.y + scaled.list.height), 15);
  EXPECT_EQ(scaled.spare.height, 15);
}

// A real run on the simulated machine through the queue, taken in batches on
// another thread as the page would: the model ends with what the headless
// runner saw, and a page that has gone drops later events.
TEST(QueuedRunStatus, TheModelSeesTheRunAsTheHeadlessRunnerDoes) {
  run::testing::RunTestMachine m;
  m.AddProgram(u"a.exe");
  m.Add(0, true, u"Tools");
  m.Add(1, true, u"A", u"a.exe");
  m.Add(1, true, u"B", u"missing.exe");
  const auto expected = m.Run();

  QueuedRunStatus queue;
  int wakes = 0;
  queue.Connect([&wakes] { ++wakes; });
  m.app->log.SetListener(
      [&queue](Text message, int32_t level) { queue.PushLine(std::move(message), level); });
  run::RunContext context{*m.app, m.accounts.list, m.catalogue.FirstEntry(),
                          queue,  m.worker,        m.variables};
  std::thread worker([&] {
    (void)run::RunInstallation(context);
    queue.PushEnded();
  });
  worker.join();
  m.app->log.SetListener({});

  app::InstallConfig config;
  StatusPageModel model(config);
  for (RunEvent& event : queue.Take()) (void)model.Apply(std::move(event));
  EXPECT_EQ(wakes, 1) << "one notice for the whole batch";
  ASSERT_EQ(model.rows().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(model.rows()[i].message, expected[i].message) << i;
    EXPECT_EQ(model.rows()[i].level, expected[i].level) << i;
  }
  EXPECT_TRUE(model.runEnded());
  EXPECT_TRUE(model.view().finishOffered);
  EXPECT_TRUE(model.view().progressHidden);
  EXPECT_EQ(model.view().progressMaximum, 2u);
  EXPECT_EQ(model.view().currentText, u"Installation finished.");

  queue.Disconnect();
  queue.PushLine(u"late", 2);
  EXPECT_TRUE(queue.Take().empty());
}

}  // namespace
}  // namespace tarn::wizard
