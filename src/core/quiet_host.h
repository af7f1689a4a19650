// A host that shows nothing, answers every question No, selects nothing and never stops: the
// base of batch runs (benchmarks, fuzz targets, the command-line tool), which override only what
// they want to see or answer.
#pragma once

#include "core/host.h"

#include <string>

namespace vorn::core {

class QuietHost : public Host {
  public:
    void addReportLine(const std::string&) override {}
    void setStatus(const std::string&) override {}
    void setHint(const std::string&) override {}
    void showMessage(BoxKind, const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
    Answer askYesNoCancel(const std::string&) override { return Answer::No; }
    bool selectObjects(LoadSelection&) override { return false; }
    void progressBegin(const std::string&, int) override {}
    void progressStep(int) override {}
    void progressEnd() override {}
    bool abortRequested() override { return false; }
    void processEvents() override {}
};

} // namespace vorn::core
