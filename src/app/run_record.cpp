#include "app/run_record.h"

namespace tarn::app {

TextView OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::kSuccess:
      return u"success";
    case Outcome::kSuccessRestart:
      return u"success-restart";
    case Outcome::kWarning:
      return u"warning";
    case Outcome::kError:
      return u"error";
    case Outcome::kSkipped:
      return u"skipped";
    case Outcome::kAborted:
      return u"aborted";
  }
  return u"error";
}

}  // namespace tarn::app
