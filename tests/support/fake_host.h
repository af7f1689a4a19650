// Scripted stand-in for the main window: records every call and answers from a script.
#pragma once

#include "core/host.h"

#include <deque>
#include <string>
#include <vector>

namespace vorn::test {

class FakeHost : public core::Host {
  public:
    // Everything that happened, in order, as "kind: text" lines.
    std::vector<std::string> calls;
    std::vector<std::string> report; // report lines only
    std::vector<std::string> boxes;  // message box texts only
    std::vector<std::string> questions;
    std::string status, hint;

    // Answers to questions, consumed in order; when empty, `defaultAnswer`.
    std::deque<core::Answer> answers;
    core::Answer defaultAnswer = core::Answer::No;

    // Selective load: when `selectAccept` is false the dialog is cancelled.
    bool selectAccept = true;
    std::vector<bool> selectChecks; // replaces the check marks when not empty
    bool selectOsiInfo = true, selectAdd = false;
    core::LoadSelection lastSelection;

    // Abort is requested once `abortAfterSteps` progress steps have been seen (-1: never).
    int abortAfterSteps = -1;
    int progressSteps = 0;
    int progressShown = 0;

    void addReportLine(const std::string& line) override;
    void setStatus(const std::string& text) override;
    void setHint(const std::string& text) override;
    void showMessage(core::BoxKind kind, const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    core::Answer askYesNoCancel(const std::string& text) override;
    bool selectObjects(core::LoadSelection& selection) override;
    void progressBegin(const std::string& text, int maximum) override;
    void progressStep(int position) override;
    void progressEnd() override;
    bool abortRequested() override;
    void processEvents() override {}

  private:
    core::Answer nextAnswer();
};

} // namespace vorn::test
