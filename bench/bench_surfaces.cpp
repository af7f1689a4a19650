// Double integral of the default surface over its own region: the baseline for speed work.
#include "core/scene.h"
#include "surfaces/integrals.h"

#include <benchmark/benchmark.h>

namespace {

// A host that never stops and shows nothing.
class QuietHost : public vorn::core::Host {
  public:
    void addReportLine(const std::string&) override {}
    void setStatus(const std::string&) override {}
    void setHint(const std::string&) override {}
    void showMessage(vorn::core::BoxKind, const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
    vorn::core::Answer askYesNoCancel(const std::string&) override {
        return vorn::core::Answer::No;
    }
    bool selectObjects(vorn::core::LoadSelection&) override { return false; }
    void progressBegin(const std::string&, int) override {}
    void progressStep(int) override {}
    void progressEnd() override {}
    bool abortRequested() override { return false; }
    void processEvents() override {}
};

// sin(x*y) over x^2+y^2<pi^2, integrated over the same disc in -3..3 x -3..3.
void BM_DoubleIntegralDefaultSurface(benchmark::State& state) {
    using namespace vorn;
    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;
    QuietHost host;
    core::Env env{scene, settings, messages, host};
    core::InitObject(scene, core::ObjectType::Surface, 2);
    surf::CalcRegion region;
    region.region.system = "x^2+y^2<pi^2";
    const int n = static_cast<int>(state.range(0));
    // One evaluation per node in the ownership pass and one per triangle centroid, at most.
    const double evaluations = double(n) * n + 2.0 * (n - 1) * (n - 1);
    for (auto _ : state) {
        expr::ExpressionEngine engine;
        const surf::DoubleIntegralResult r =
            surf::DoubleIntegral(env, engine, scene.object(2), region, n);
        benchmark::DoNotOptimize(r.integral);
    }
    state.counters["evaluations_per_second"] =
        benchmark::Counter(evaluations, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_DoubleIntegralDefaultSurface)
    ->Arg(200)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
