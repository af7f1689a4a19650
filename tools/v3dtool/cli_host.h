// The host of the command-line tool: report lines and boxes go to streams, questions get a
// fixed answer.
#pragma once

#include "core/quiet_host.h"

#include <ostream>

namespace vorn::tool {

class CliHost : public core::QuietHost {
  public:
    CliHost(std::ostream& report, std::ostream& boxes) : m_report(report), m_boxes(boxes) {}

    bool answerYes = false;
    // Prefix questions with "? " and boxes with "! " (section and measure print them).
    bool markBoxes = false;

    void addReportLine(const std::string& line) override { m_report << line << '\n'; }
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

  private:
    std::ostream& m_report;
    std::ostream& m_boxes;
};

} // namespace vorn::tool
