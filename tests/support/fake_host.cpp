// FakeHost: records calls, answers from its script.
#include "fake_host.h"

namespace vorn::test {

namespace {
const char* kindName(core::BoxKind k) {
    switch (k) {
    case core::BoxKind::Warning:
        return "warning";
    case core::BoxKind::Error:
        return "error";
    case core::BoxKind::Information:
        return "info";
    case core::BoxKind::Confirmation:
        return "confirm";
    }
    return "?";
}
} // namespace

void FakeHost::addReportLine(const std::string& line) {
    report.push_back(line);
    calls.push_back("report: " + line);
}
void FakeHost::setStatus(const std::string& text) {
    status = text;
    calls.push_back("status: " + text);
}
void FakeHost::setHint(const std::string& text) {
    hint = text;
    calls.push_back("hint: " + text);
}
void FakeHost::showMessage(core::BoxKind kind, const std::string& text) {
    boxes.push_back(text);
    calls.push_back(std::string(kindName(kind)) + ": " + text);
}
core::Answer FakeHost::nextAnswer() {
    if (answers.empty()) return defaultAnswer;
    const auto a = answers.front();
    answers.pop_front();
    return a;
}
bool FakeHost::askYesNo(const std::string& text) {
    questions.push_back(text);
    calls.push_back("ask: " + text);
    return nextAnswer() == core::Answer::Yes;
}
core::Answer FakeHost::askYesNoCancel(const std::string& text) {
    questions.push_back(text);
    calls.push_back("ask3: " + text);
    return nextAnswer();
}
bool FakeHost::selectObjects(core::LoadSelection& selection) {
    calls.push_back("select: " + selection.caption);
    if (!selectChecks.empty()) selection.checked = selectChecks;
    selection.osiInfo = selectOsiInfo;
    selection.add = selectAdd;
    lastSelection = selection;
    return selectAccept;
}
void FakeHost::progressBegin(const std::string& text, int maximum) {
    ++progressShown;
    calls.push_back("progress: " + text + " /" + std::to_string(maximum));
}
void FakeHost::progressStep(int) {
    ++progressSteps;
}
void FakeHost::progressEnd() {
    calls.push_back("progress end");
}
bool FakeHost::abortRequested() {
    return abortAfterSteps >= 0 && progressSteps >= abortAfterSteps;
}

} // namespace vorn::test
