// Nets on paper: page sizes, a sheet turned to suit the page, the largest scale that fits one
// page, and a net spread over overlapping pages with alignment crosses.
#include "nets/net.h"
#include "nets/nets_detail.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorn::nets {

Sheet Turned(const Sheet& sheet, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    const auto turn = [c, s](Point2& p) { p = {c * p.x - s * p.y, s * p.x + c * p.y}; };
    Sheet out = sheet;
    for (std::vector<Point2>& f : out.faces)
        std::for_each(f.begin(), f.end(), turn);
    for (Sheet::Line& l : out.lines) {
        turn(l.a);
        turn(l.b);
    }
    for (Sheet::Tab& t : out.tabs)
        std::for_each(t.outline.begin(), t.outline.end(), turn);
    for (Sheet::Label& l : out.labels)
        turn(l.at);
    detail::Bound(out);
    return out;
}

Paper PaperOf(PaperFormat format, bool landscape) {
    Paper p;
    if (format == PaperFormat::A3) p.width = 297, p.height = 420;
    if (landscape) std::swap(p.width, p.height);
    return p;
}

Point2 PrintPlan::toMm(Point2 p) const {
    return {(p.x - sheet.low.x) * mmPerUnit, (sheet.high.y - p.y) * mmPerUnit};
}

Point2 PrintPlan::fromMm(Point2 mm) const {
    return {sheet.low.x + mm.x / mmPerUnit, sheet.high.y - mm.y / mmPerUnit};
}

namespace {

constexpr double kPi = std::numbers::pi;
// Crosses along a seam at most this far apart, and no closer than the second figure.
constexpr double kMarkSpacingMm = 50, kMarkNearMm = 8;
// A seam closer than this to a side of a piece it runs through leaves a sliver hard to glue.
constexpr double kSliverMm = 30;

// Where the line u = at runs through the polygon (u the x coordinate, or y when `!alongY`):
// the intervals of the other coordinate, by the even-odd rule.
std::vector<std::pair<double, double>> Crossing(const std::vector<Point2>& p, double at,
                                                bool alongY) {
    std::vector<double> v;
    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
        const Point2 a = p[i], b = p[(i + 1) % n];
        const double ua = alongY ? a.x : a.y, ub = alongY ? b.x : b.y;
        const double va = alongY ? a.y : a.x, vb = alongY ? b.y : b.x;
        if ((ua > at) != (ub > at)) v.push_back(va + (at - ua) * (vb - va) / (ub - ua));
    }
    std::sort(v.begin(), v.end());
    std::vector<std::pair<double, double>> out;
    for (std::size_t i = 0; i + 1 < v.size(); i += 2)
        out.emplace_back(v[i], v[i + 1]);
    return out;
}

// The pages along one direction: how many, and where the first one's printable area starts so
// that the seams' middle lines run through as few pieces as the slack allows, and through their
// middles rather than near a side (the net in the middle when it fits one page).
struct Strip {
    int count = 1;
    double start = 0;
    std::vector<double> seams; // middle lines of the overlaps
};
Strip Spread(double length, double area, bool alongY,
             const std::vector<std::vector<Point2>>& pieces) {
    constexpr double o = kTileOverlapMm;
    Strip s;
    if (length <= area + 1e-9 || !(area > 0)) {
        s.start = (length - area) / 2;
        return s;
    }
    const double step = area > o + 1 ? area - o : area;
    s.count = static_cast<int>(std::ceil((length - (area - step)) / step - 1e-9));
    const double slack = s.count * step + (area - step) - length;
    const auto seamsAt = [&](double start) {
        std::vector<double> seams;
        for (int k = 1; k < s.count; ++k)
            seams.push_back(start + k * step + (area - step) / 2);
        return seams;
    };
    // Each piece a seam runs through costs one, more when one side of it is a sliver.
    const auto cost = [&](double start) {
        double c = 0;
        for (double seam : seamsAt(start))
            for (const std::vector<Point2>& p : pieces) {
                double lo = 1e300, hi = -1e300;
                for (const Point2& q : p) {
                    const double u = alongY ? q.x : q.y;
                    lo = std::min(lo, u), hi = std::max(hi, u);
                }
                if (!(lo < seam && seam < hi)) continue;
                c += 1 + 2 * std::max(0.0, 1 - std::min(seam - lo, hi - seam) / kSliverMm);
            }
        return c;
    };
    const int samples = std::clamp(static_cast<int>(std::ceil(slack)), 0, 400);
    double best = -slack / 2, bestCost = cost(best);
    for (int i = 0; i <= samples; ++i) {
        const double start = samples > 0 ? -slack * i / samples : 0;
        const double c = cost(start);
        if (c < bestCost - 1e-6 ||
            (c <= bestCost + 1e-6 && std::fabs(start + slack / 2) < std::fabs(best + slack / 2))) {
            best = start;
            bestCost = c;
        }
    }
    s.start = best;
    s.seams = seamsAt(best);
    return s;
}

// Crosses along a seam at u = `seam` from 0 to `length`: one in the middle of every stretch of
// paper the seam runs through, and more so that none is further than kMarkSpacingMm from the
// next.
void SeamMarks(double seam, double length, bool alongY,
               const std::vector<std::vector<Point2>>& pieces, const std::vector<Point2>& labels,
               std::vector<Point2>& marks) {
    // Inside each stretch, a third of the way along from whichever end leaves it further from
    // the labels (a face's number often sits where the seam crosses its middle).
    const auto clearance = [&](double v) {
        double d = 1e300;
        for (const Point2& l : labels)
            d = std::min(d, std::hypot((alongY ? l.x : l.y) - seam, (alongY ? l.y : l.x) - v));
        return d;
    };
    std::vector<double> at;
    for (const std::vector<Point2>& p : pieces)
        for (const auto& [v0, v1] : Crossing(p, seam, alongY)) {
            const double a = v0 + (v1 - v0) / 3, b = v1 - (v1 - v0) / 3;
            at.push_back(clearance(a) >= clearance(b) ? a : b);
        }
    std::sort(at.begin(), at.end());
    std::vector<double> kept;
    for (double v : at)
        if (kept.empty() || v - kept.back() >= kMarkNearMm) kept.push_back(v);
    const int regular = std::max(1, static_cast<int>(std::ceil(length / kMarkSpacingMm)));
    for (int i = 0; i <= regular; ++i) {
        const double v = length * i / regular;
        if (std::none_of(kept.begin(), kept.end(),
                         [v](double k) { return std::fabs(k - v) < kMarkSpacingMm / 2; }))
            kept.push_back(v);
    }
    for (double v : kept)
        marks.push_back(alongY ? Point2{seam, v} : Point2{v, seam});
}

PrintPlan Plan(Sheet sheet, double mmPerUnit, double angle, const Paper& paper) {
    PrintPlan plan;
    plan.paper = paper;
    plan.mmPerUnit = mmPerUnit;
    plan.angle = angle;
    plan.sheet = std::move(sheet);
    plan.width = (plan.sheet.high.x - plan.sheet.low.x) * mmPerUnit;
    plan.height = (plan.sheet.high.y - plan.sheet.low.y) * mmPerUnit;
    std::vector<std::vector<Point2>> pieces = plan.sheet.faces;
    for (const Sheet::Tab& t : plan.sheet.tabs)
        pieces.push_back(t.outline);
    for (std::vector<Point2>& p : pieces)
        for (Point2& q : p)
            q = plan.toMm(q);
    const Strip across = Spread(plan.width, paper.printableWidth(), true, pieces);
    const Strip down = Spread(plan.height, paper.printableHeight(), false, pieces);
    plan.columns = across.count;
    plan.rows = down.count;
    const double stepX = paper.printableWidth() > kTileOverlapMm + 1
                             ? paper.printableWidth() - kTileOverlapMm
                             : paper.printableWidth();
    const double stepY = paper.printableHeight() > kTileOverlapMm + 1
                             ? paper.printableHeight() - kTileOverlapMm
                             : paper.printableHeight();
    for (int r = 0; r < plan.rows; ++r)
        for (int c = 0; c < plan.columns; ++c)
            plan.pages.push_back({r, c, {across.start + c * stepX, down.start + r * stepY}});
    std::vector<Point2> labels;
    for (const Sheet::Label& l : plan.sheet.labels)
        labels.push_back(plan.toMm(l.at));
    for (double seam : across.seams)
        SeamMarks(seam, plan.height, true, pieces, labels, plan.marks);
    for (double seam : down.seams)
        SeamMarks(seam, plan.width, false, pieces, labels, plan.marks);
    return plan;
}

std::vector<Point2> Hull(std::vector<Point2> p) {
    std::sort(p.begin(), p.end(),
              [](Point2 a, Point2 b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    if (p.size() < 3) return p;
    std::vector<Point2> h(2 * p.size());
    std::size_t k = 0;
    const auto turn = [](Point2 o, Point2 a, Point2 b) {
        return detail::Cross2(detail::Sub(a, o), detail::Sub(b, o));
    };
    for (std::size_t i = 0; i < p.size(); ++i) {
        while (k >= 2 && turn(h[k - 2], h[k - 1], p[i]) <= 0)
            --k;
        h[k++] = p[i];
    }
    for (std::size_t i = p.size() - 1, t = k + 1; i > 0; --i) {
        while (k >= t && turn(h[k - 2], h[k - 1], p[i - 1]) <= 0)
            --k;
        h[k++] = p[i - 1];
    }
    h.resize(k - 1);
    return h;
}

// The scale at which the sheet turned by `angle` just fits the printable area.
double FitScale(const std::vector<Point2>& hull, double angle, const Paper& paper) {
    const double c = std::cos(angle), s = std::sin(angle);
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    for (const Point2& p : hull) {
        const double x = c * p.x - s * p.y, y = s * p.x + c * p.y;
        x0 = std::min(x0, x), x1 = std::max(x1, x);
        y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
    const double w = std::max(x1 - x0, 1e-300), h = std::max(y1 - y0, 1e-300);
    return std::min(paper.printableWidth() / w, paper.printableHeight() / h);
}

// The turn of the sheet that lets it be largest on the page: every half degree, then refined;
// no turn, or a quarter turn, when they do as well.
double BestAngle(const Sheet& sheet, const Paper& paper) {
    std::vector<Point2> points;
    for (const std::vector<Point2>& f : sheet.faces)
        points.insert(points.end(), f.begin(), f.end());
    for (const Sheet::Tab& t : sheet.tabs)
        points.insert(points.end(), t.outline.begin(), t.outline.end());
    for (const Sheet::Line& l : sheet.lines) {
        points.push_back(l.a);
        points.push_back(l.b);
    }
    for (const Sheet::Label& l : sheet.labels)
        points.push_back(l.at);
    const std::vector<Point2> hull = Hull(points);
    if (hull.empty()) return 0;
    constexpr int kSteps = 360;
    double best = 0, bestScale = FitScale(hull, 0, paper);
    for (int i = 1; i < kSteps; ++i) {
        const double a = kPi * i / kSteps, scale = FitScale(hull, a, paper);
        if (scale > bestScale) best = a, bestScale = scale;
    }
    // Golden-section search around the best step.
    double lo = best - kPi / kSteps, hi = best + kPi / kSteps;
    const double g = (std::sqrt(5.0) - 1) / 2;
    for (int i = 0; i < 60; ++i) {
        const double m1 = hi - g * (hi - lo), m2 = lo + g * (hi - lo);
        if (FitScale(hull, m1, paper) > FitScale(hull, m2, paper))
            hi = m2;
        else
            lo = m1;
    }
    const double refined = (lo + hi) / 2;
    if (FitScale(hull, refined, paper) > bestScale) best = refined;
    bestScale = FitScale(hull, best, paper);
    for (const double plain : {0.0, kPi / 2})
        if (FitScale(hull, plain, paper) >= bestScale * (1 - 1e-9)) return plain;
    return best;
}

bool Fits(const Sheet& sheet, double mmPerUnit, const Paper& paper) {
    return (sheet.high.x - sheet.low.x) * mmPerUnit <= paper.printableWidth() + 1e-9 &&
           (sheet.high.y - sheet.low.y) * mmPerUnit <= paper.printableHeight() + 1e-9;
}

} // namespace

PrintPlan PlanPages(const std::function<Sheet(double mmPerUnit)>& sheetAt, double mmPerUnit,
                    const Paper& paper) {
    return Plan(sheetAt(mmPerUnit), mmPerUnit, 0, paper);
}

PrintPlan FitToPaper(const std::function<Sheet(double mmPerUnit)>& sheetAt, const Paper& paper,
                     double minMm, double maxMm) {
    // The tabs are sized in millimetres, so the sheet's shape depends a little on the scale:
    // the scale and the sheet are worked out in turn until they agree.
    double mm = std::clamp(10.0, minMm, maxMm);
    for (int i = 0; i < 8; ++i) {
        const Sheet sheet = sheetAt(mm);
        const double angle = BestAngle(sheet, paper);
        const Sheet turned = Turned(sheet, angle);
        const double w = turned.high.x - turned.low.x, h = turned.high.y - turned.low.y;
        const double next = std::clamp(std::min(paper.printableWidth() / std::max(w, 1e-300),
                                                paper.printableHeight() / std::max(h, 1e-300)),
                                       minMm, maxMm);
        const bool settled = std::fabs(next - mm) < 1e-6 * mm;
        mm = next;
        if (settled) break;
    }
    // On the tenths of a millimetre per unit, as the scale is shown and typed. The tabs may take
    // other places at another scale, so each scale tried gets its own sheet and turn: up from
    // the estimate while the sheet fits, or down until it does.
    struct Trial {
        double mm, angle;
        Sheet turned;
        bool fits;
    };
    const auto trial = [&](double at) {
        const Sheet sheet = sheetAt(at);
        const double a = BestAngle(sheet, paper);
        Sheet t = Turned(sheet, a);
        const bool fits = Fits(t, at, paper);
        return Trial{at, a, std::move(t), fits};
    };
    const auto tenth = [](double v) { return std::round(v * 10) / 10; };
    Trial best = trial(std::clamp(std::floor(mm * 10 + 1e-6) / 10, minMm, maxMm));
    if (best.fits) {
        for (int i = 0; i < 30 && tenth(best.mm + 0.1) <= maxMm; ++i) {
            Trial next = trial(tenth(best.mm + 0.1));
            if (!next.fits) break;
            best = std::move(next);
        }
    } else {
        for (int i = 0; i < 200 && !best.fits && tenth(best.mm - 0.1) >= minMm; ++i)
            best = trial(tenth(best.mm - 0.1));
    }
    return Plan(std::move(best.turned), best.mm, best.angle, paper);
}

} // namespace vorn::nets
