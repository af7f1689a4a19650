// The host of the command-line tool: report lines and boxes go to streams, questions get a
// fixed answer.
#pragma once

#include "core/host.h"

#include <ostream>

namespace vorn::tool {

class CliHost : public core::Host {
  public:
    CliHost(std::ostream& report, std::ostream& boxes) : m_report(report), m_boxes(boxes) {}

    bool answerYes = false;
    // Prefix questions with "? " and boxes with "! " (section and measure print them).
    bool markBoxes = false;

    void addReportLine(const std::string& line) override { m_report << line << '\n'; }
    void setStatus(const std::string&) override {}
    void setHint(const std::string&) override {}
    void showMessage(core::BoxKind, const std::string& text) override {
        m_boxes << (markBoxes ? "! " : "") << text << '\n';
    }
    bool askYesNo(const std::string& text) override {
        m_boxes << (markBoxes ? "? " : "") << text << '\n';
        return answerYes;
    }
    core::Answer askYesNoCancel(const std::string& text) override {
        return askYesNo(text) ? core::Answer::Yes : core::Answer::No;
    }
    bool selectObjects(core::LoadSelection&) override { return true; }
    void progressBegin(const std::string&, int) override {}
    void progressStep(int) override {}
    void progressEnd() override {}
    bool abortRequested() override { return false; }
    void processEvents() override {}

  private:
    std::ostream& m_report;
    std::ostream& m_boxes;
};

} // namespace vorn::tool
