// A host that shows nothing, asks nothing and never stops: what the benchmarks run under.
#pragma once

#include "core/host.h"

#include <string>

namespace vorn::bench {

class QuietHost : public core::Host {
  public:
    void addReportLine(const std::string&) override {}
    void setStatus(const std::string&) override {}
    void setHint(const std::string&) override {}
    void showMessage(core::BoxKind, const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
    core::Answer askYesNoCancel(const std::string&) override { return core::Answer::No; }
    bool selectObjects(core::LoadSelection&) override { return false; }
    void progressBegin(const std::string&, int) override {}
    void progressStep(int) override {}
    void progressEnd() override {}
    bool abortRequested() override { return false; }
    void processEvents() override {}
};

} // namespace vorn::bench
