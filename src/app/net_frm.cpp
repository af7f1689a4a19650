// TNetFrm: the net of the current solid: cutting and joining edges, glue tabs and marks,
// folding back, export and printing on paper at true scale.
#include "app/net_frm.h"

#include "app/export_frm.h"
#include "app/file_dialog_text.h"
#include "app/language_walk.h"
#include "app/user_dialogs.h"
#include "core/format.h"
#include "core/vertex_labels.h"
#include "lang/message_ids.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vorn::app {

namespace {

namespace msg = lang::msg;

// Free pixels around the net in the window, and how near a click must come to an edge.
constexpr double kViewMargin = 16;
constexpr double kPickReach = 6;
// Overlapping pairs named in the state line; the rest are counted in "…".
constexpr std::size_t kNamedOverlaps = 6;
// The preview tips by these (radians) as the net folds, so that the closed solid shows its
// sides; its letters stand this many pixels off their corner.
constexpr double kFoldYaw = 0.45, kFoldPitch = -0.55, kFoldLetterOffset = 9;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

double SegmentDistance(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t =
        length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

} // namespace

// ---- NetView -------------------------------------------------------------------------------

NetView::NetView(QWidget* parent) : QWidget(parent) {
    setObjectName("NetView");
    setMouseTracking(true);
    setMinimumSize(360, 300);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void NetView::setSheet(const nets::Sheet* sheet, std::vector<bool> loose, bool clickable,
                       bool keepPlace) {
    m_sheet = sheet;
    m_loose = std::move(loose);
    m_clickable = clickable;
    m_hot = -1;
    if (!keepPlace || !fitsInView()) fit();
    update();
}

void NetView::setFill(bool fill) {
    m_fill = fill;
    update();
}

void NetView::fit() {
    if (!m_sheet) return;
    const double w = std::max(m_sheet->high.x - m_sheet->low.x, 1e-9);
    const double h = std::max(m_sheet->high.y - m_sheet->low.y, 1e-9);
    m_scale =
        std::max(1e-9, std::min((width() - 2 * kViewMargin) / w, (height() - 2 * kViewMargin) / h));
    // Centred in the widget.
    const QPointF topLeft((width() - m_scale * w) / 2, (height() - m_scale * h) / 2);
    m_origin = pic::SheetToDevice(*m_sheet, m_scale, topLeft).map(QPointF(0, 0));
}

bool NetView::fitsInView() const {
    if (!m_sheet) return true;
    const QTransform t = transform();
    const QRectF drawn = QRectF(t.map(QPointF(m_sheet->low.x, m_sheet->high.y)),
                                t.map(QPointF(m_sheet->high.x, m_sheet->low.y)))
                             .normalized();
    return QRectF(rect())
        .adjusted(kViewMargin / 2, kViewMargin / 2, -kViewMargin / 2, -kViewMargin / 2)
        .contains(drawn);
}

QTransform NetView::transform() const {
    return QTransform(m_scale, 0, 0, -m_scale, m_origin.x(), m_origin.y());
}

pic::SheetLook NetView::look() const {
    pic::SheetLook look;
    if (!m_sheet) return look;
    look.toDevice = transform();
    look.lineWidth = 1.5;
    double typical = 0;
    for (const auto& face : m_sheet->faces) {
        double lo = 1e300, hi = -1e300;
        for (const nets::Point2& p : face) {
            lo = std::min(lo, p.x);
            hi = std::max(hi, p.x);
        }
        typical += face.empty() ? 0 : hi - lo;
    }
    if (!m_sheet->faces.empty()) typical /= static_cast<double>(m_sheet->faces.size());
    look.fontSize = std::clamp(0.22 * typical * m_scale, 8.0, 18.0);
    look.loose = m_loose;
    look.hotEdge = m_hot;
    look.fill = m_fill;
    return look;
}

int NetView::edgeAt(QPointF p) const {
    if (!m_sheet || !m_clickable) return -1;
    const QTransform t = transform();
    int best = -1;
    double bestDistance = kPickReach;
    for (const nets::Sheet::Line& line : m_sheet->lines) {
        if (line.edge < 0 || line.kind == nets::Sheet::LineKind::Tab) continue;
        const double d = SegmentDistance(p, t.map(QPointF(line.a.x, line.a.y)),
                                         t.map(QPointF(line.b.x, line.b.y)));
        if (d <= bestDistance) {
            bestDistance = d;
            best = line.edge;
        }
    }
    return best;
}

std::optional<QPointF> NetView::edgePoint(int edge) const {
    if (!m_sheet) return std::nullopt;
    const QTransform t = transform();
    for (const nets::Sheet::Line& line : m_sheet->lines)
        if (line.edge == edge && line.kind != nets::Sheet::LineKind::Tab)
            return t.map(QPointF((line.a.x + line.b.x) / 2, (line.a.y + line.b.y) / 2));
    return std::nullopt;
}

void NetView::paintEvent(QPaintEvent*) {
    if (!m_sheet) return;
    QPainter painter(this);
    pic::PaintSheet(painter, *m_sheet, look());
}

void NetView::resizeEvent(QResizeEvent*) {
    fit();
}

void NetView::mouseMoveEvent(QMouseEvent* event) {
    const int hot = edgeAt(event->position());
    if (hot == m_hot) return;
    m_hot = hot;
    setCursor(hot >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    update();
}

void NetView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int edge = edgeAt(event->position());
    if (edge >= 0 && edgeClicked) edgeClicked(edge);
}

void NetView::leaveEvent(QEvent*) {
    if (m_hot < 0) return;
    m_hot = -1;
    update();
}

// ---- FoldView ------------------------------------------------------------------------------

FoldView::FoldView(QWidget* parent) : QWidget(parent) {
    setObjectName("FoldView");
    setMinimumSize(220, 200);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setCursor(Qt::OpenHandCursor);
}

void FoldView::setFaces(std::vector<std::vector<geo::Vec3>> faces,
                        std::vector<std::vector<std::string>> names, geo::Vec3 centre,
                        double radius) {
    m_faces = std::move(faces);
    m_names = std::move(names);
    m_centre = centre;
    m_radius = radius > 0 ? radius : 1;
    update();
}

void FoldView::setFrame(geo::Vec3 right, geo::Vec3 up, geo::Vec3 toward) {
    m_right = right;
    m_up = up;
    m_toward = toward;
    m_yaw = m_pitch = 0;
    update();
}

void FoldView::setFold(double t) {
    m_fold = std::clamp(t, 0.0, 1.0);
    update();
}

geo::Vec3 FoldView::toView(const geo::Vec3& v) const {
    const geo::Vec3 d = v - m_centre;
    const double x0 = geo::dot(d, m_right), y0 = geo::dot(d, m_up), z0 = geo::dot(d, m_toward);
    // The user's turn and the tip of folding: about the screen's vertical, then its horizontal.
    const double yaw = m_yaw + kFoldYaw * m_fold, pitch = m_pitch + kFoldPitch * m_fold;
    const double cy = std::cos(yaw), sy = std::sin(yaw), cp = std::cos(pitch), sp = std::sin(pitch);
    const double x1 = cy * x0 + sy * z0, z1 = -sy * x0 + cy * z0;
    return {x1, cp * y0 - sp * z1, sp * y0 + cp * z1};
}

QPointF FoldView::project(const geo::Vec3& v) const {
    const double scale = 0.48 * std::min(width(), height()) / m_radius;
    const geo::Vec3 p = toView(v);
    return {width() / 2.0 + scale * p.x, height() / 2.0 - scale * p.y};
}

std::vector<std::pair<QPointF, QString>> FoldView::letters() const {
    struct Point {
        geo::Vec3 at;
        std::string name;
        QPointF away; // sum of unit directions from the faces' middles on the screen
    };
    std::vector<Point> points;
    const double same = 1e-6 * m_radius;
    for (std::size_t f = 0; f < m_faces.size() && f < m_names.size(); ++f) {
        const std::vector<geo::Vec3>& face = m_faces[f];
        QPointF middle;
        for (const geo::Vec3& v : face)
            middle += project(v) / static_cast<double>(face.size());
        for (std::size_t k = 0; k < face.size() && k < m_names[f].size(); ++k) {
            if (m_names[f][k].empty()) continue;
            QPointF away = project(face[k]) - middle;
            const double len = std::hypot(away.x(), away.y());
            away = len > 0 ? away / len : QPointF();
            const auto it = std::find_if(points.begin(), points.end(), [&](const Point& p) {
                const geo::Vec3 d = p.at - face[k];
                return p.name == m_names[f][k] && geo::dot(d, d) <= same * same;
            });
            if (it == points.end())
                points.push_back({face[k], m_names[f][k], away});
            else
                it->away += away;
        }
    }
    std::vector<std::pair<QPointF, QString>> out;
    for (const Point& p : points) {
        const double len = std::hypot(p.away.x(), p.away.y());
        const QPointF away = len > 1e-9 ? p.away / len : QPointF();
        out.emplace_back(project(p.at) + kFoldLetterOffset * away, qs(p.name));
    }
    return out;
}

void FoldView::paintEvent(QPaintEvent*) {
    if (m_faces.empty()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 60, 160), 1.2));
    painter.setBrush(QColor(120, 150, 230, 40));
    for (const auto& face : m_faces) {
        QPolygonF polygon;
        for (const geo::Vec3& v : face)
            polygon << project(v);
        painter.drawPolygon(polygon);
    }
    QFont font = painter.font();
    font.setItalic(true);
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(QColor(40, 40, 120));
    const QFontMetricsF metrics(font);
    for (const auto& [at, text] : letters())
        painter.drawText(at + QPointF(-metrics.horizontalAdvance(text) / 2,
                                      (metrics.ascent() - metrics.descent()) / 2),
                         text);
}

void FoldView::mousePressEvent(QMouseEvent* event) {
    m_last = event->position().toPoint();
}

void FoldView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint p = event->position().toPoint();
    m_yaw += 0.01 * (p.x() - m_last.x());
    m_pitch = std::clamp(m_pitch + 0.01 * (p.y() - m_last.y()), -1.55, 1.55);
    m_last = p;
    update();
}

// ---- TNetFrm -------------------------------------------------------------------------------

TNetFrm::TNetFrm(core::Env& env, std::function<UserDialogs&()> dialogs, QWidget* parent)
    : QDialog(parent), m_env(env), m_dialogs(std::move(dialogs)) {
    setObjectName("NetFrm");
    setLanguageCaption(QStringLiteral("Розгортка многогранника"));
    setModal(false);
    m_netView = new NetView(this);
    m_netView->edgeClicked = [this](int edge) { toggleEdge(edge); };

    m_hint = new QLabel(QStringLiteral("Клацніть ребро, щоб розрізати або з'єднати його."), this);
    m_hint->setObjectName("HintLabel");
    m_hint->setWordWrap(true);
    m_state = new QLabel(this);
    m_state->setObjectName("StateLabel");
    m_state->setWordWrap(true);
    m_state->setMinimumHeight(3 * m_state->fontMetrics().height());
    m_state->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ExcludeFromLanguage(m_state);
    m_tabs = new QCheckBox(QStringLiteral("Клапани для &склеювання"), this);
    m_tabs->setObjectName("Tabs");
    m_marks = new QCheckBox(QStringLiteral("&Позначки склеювання"), this);
    m_marks->setObjectName("GlueMarks");
    m_marks->setChecked(true);
    m_unfilled = new QCheckBox(QStringLiteral("Грані &без заливки"), this);
    m_unfilled->setObjectName("Unfilled");
    auto* scaleLabel = new QLabel(QStringLiteral("&Мм на одиницю:"), this);
    scaleLabel->setObjectName("ScaleLabel");
    m_mmPerUnit = new QDoubleSpinBox(this);
    m_mmPerUnit->setObjectName("MmPerUnit");
    m_mmPerUnit->setRange(pic::kMinMmPerUnit, pic::kMaxMmPerUnit);
    m_mmPerUnit->setDecimals(1);
    m_mmPerUnit->setValue(pic::kDefaultMmPerUnit);
    scaleLabel->setBuddy(m_mmPerUnit);
    m_fit = new QCheckBox(QStringLiteral("&Вмістити на аркуш"), this);
    m_fit->setObjectName("FitToPaper");
    auto* paperLabel = new QLabel(QStringLiteral("&Аркуш:"), this);
    paperLabel->setObjectName("PaperLabel");
    m_paper = new QComboBox(this);
    m_paper->setObjectName("PaperBox");
    m_paper->addItems({QStringLiteral("A4"), QStringLiteral("A3")});
    paperLabel->setBuddy(m_paper);
    m_orientation = new QComboBox(this);
    m_orientation->setObjectName("OrientationBox");
    m_orientation->addItems({QStringLiteral("книжковий"), QStringLiteral("альбомний")});
    auto* sizeLabel = new QLabel(QStringLiteral("Розмір на папері, мм:"), this);
    sizeLabel->setObjectName("PaperSizeLabel");
    m_paperSize = new QLabel(this);
    m_paperSize->setObjectName("PaperSize");
    ExcludeFromLanguage(m_paperSize);
    auto* pagesLabel = new QLabel(QStringLiteral("аркушів:"), this);
    pagesLabel->setObjectName("PagesLabel");
    m_pageCount = new QLabel(this);
    m_pageCount->setObjectName("PageCount");
    ExcludeFromLanguage(m_pageCount);
    m_svg = new QPushButton(QStringLiteral("Зберегти SV&G…"), this);
    m_svg->setObjectName("SvgBtn");
    m_pdf = new QPushButton(QStringLiteral("Зберегти P&DF…"), this);
    m_pdf->setObjectName("PdfBtn");
    m_print = new QPushButton(QStringLiteral("&Друк…"), this);
    m_print->setObjectName("PrintBtn");
    auto* foldLabel = new QLabel(QStringLiteral("З&гортання:"), this);
    foldLabel->setObjectName("FoldLabel");
    m_fold = new QSlider(Qt::Horizontal, this);
    m_fold->setObjectName("FoldSlider");
    m_fold->setRange(0, 100);
    foldLabel->setBuddy(m_fold);
    m_foldValue = new QLabel(QStringLiteral("0 %"), this);
    m_foldValue->setObjectName("FoldValue");
    m_foldValue->setMinimumWidth(
        m_foldValue->fontMetrics().horizontalAdvance(QStringLiteral("100 %")));
    m_foldValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ExcludeFromLanguage(m_foldValue);
    m_foldView = new FoldView(this);
    auto* close = new QPushButton(QStringLiteral("&Закрити"), this);
    close->setObjectName("CloseBtn");
    m_svgDialog = new FileDialogText("SaveNetSvg", QStringLiteral("Збереження розгортки"),
                                     QStringLiteral("Креслення SVG|*.svg"), this);
    m_pdfDialog = new FileDialogText("SaveNetPdf", QStringLiteral("Збереження розгортки"),
                                     QStringLiteral("Документ PDF|*.pdf"), this);

    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(scaleLabel);
    scaleRow->addWidget(m_mmPerUnit);
    scaleRow->addWidget(m_fit, 1);
    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(paperLabel);
    paperRow->addWidget(m_paper);
    paperRow->addWidget(m_orientation, 1);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(sizeLabel);
    sizeRow->addWidget(m_paperSize, 1);
    sizeRow->addWidget(pagesLabel);
    sizeRow->addWidget(m_pageCount);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_svg);
    fileRow->addWidget(m_pdf);
    fileRow->addWidget(m_print);
    auto* foldRow = new QHBoxLayout;
    foldRow->addWidget(foldLabel);
    foldRow->addWidget(m_fold, 1);
    foldRow->addWidget(m_foldValue);
    auto* side = new QVBoxLayout;
    side->addWidget(m_hint);
    side->addWidget(m_state);
    side->addWidget(m_tabs);
    side->addWidget(m_marks);
    side->addWidget(m_unfilled);
    side->addLayout(scaleRow);
    side->addLayout(paperRow);
    side->addLayout(sizeRow);
    side->addLayout(fileRow);
    side->addSpacing(8);
    side->addLayout(foldRow);
    side->addWidget(m_foldView, 1);
    side->addWidget(close, 0, Qt::AlignRight);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_netView, 3);
    layout->addLayout(side, 2);
    resize(1040, 680);

    const auto options = [this] { rebuildSheet(true); };
    connect(m_tabs, &QCheckBox::toggled, this, options);
    connect(m_marks, &QCheckBox::toggled, this, options);
    connect(m_fit, &QCheckBox::toggled, this, [this](bool on) {
        m_mmPerUnit->setEnabled(!on);
        rebuildSheet(true);
    });
    connect(m_mmPerUnit, &QDoubleSpinBox::valueChanged, this, [this] {
        if (!m_fit->isChecked()) rebuildSheet(true);
    });
    connect(m_paper, &QComboBox::currentIndexChanged, this, options);
    connect(m_orientation, &QComboBox::currentIndexChanged, this, options);
    connect(m_unfilled, &QCheckBox::toggled, this, [this](bool on) { m_netView->setFill(!on); });
    connect(m_fold, &QSlider::valueChanged, this, [this] { refold(); });
    connect(m_svg, &QPushButton::clicked, this, [this] { exportNet(false); });
    connect(m_pdf, &QPushButton::clicked, this, [this] { exportNet(true); });
    connect(m_print, &QPushButton::clicked, this, [this] { printNet(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void TNetFrm::setLanguageCaption(const QString& caption) {
    m_baseCaption = caption;
    setWindowTitle(m_objectName.isEmpty() ? caption
                                          : caption + QStringLiteral(" — ") + m_objectName);
}

bool TNetFrm::CanUnfold(const core::SceneObject& o) {
    return nets::DevelopmentOf(o).has_value() || nets::FacesOf(o).has_value();
}

nets::Sheet TNetFrm::sheetAt(double mmPerUnit) const {
    nets::SheetOptions options;
    options.tabs = m_tabs->isChecked();
    options.glueMarks = m_marks->isChecked();
    options.vertexNames = m_vertexNames;
    options.mmPerUnit = mmPerUnit;
    return m_development ? nets::SheetOf(*m_development, options)
                         : nets::SheetOf(m_solid, m_net, options);
}

nets::Paper TNetFrm::chosenPaper() const {
    return nets::PaperOf(m_paper->currentIndex() == 1 ? nets::PaperFormat::A3
                                                      : nets::PaperFormat::A4,
                         m_orientation->currentIndex() == 1);
}

nets::PrintPlan TNetFrm::planFor(const nets::Paper& paper) const {
    const auto at = [this](double mm) { return sheetAt(mm); };
    if (m_fit->isChecked())
        return nets::FitToPaper(at, paper, pic::kMinMmPerUnit, pic::kMaxMmPerUnit);
    return nets::PlanPages(at, m_mmPerUnit->value(), paper);
}

bool TNetFrm::open(int slot) {
    if (!m_env.scene.isUserSlot(slot)) return false;
    const core::SceneObject& o = m_env.scene.object(slot);
    std::optional<nets::Development> development = nets::DevelopmentOf(o);
    std::optional<nets::Solid> solid;
    if (!development) solid = nets::FacesOf(o);
    if (!development && !solid) return false;

    m_slot = slot;
    m_development = development;
    m_solid = solid ? std::move(*solid) : nets::Solid{};
    m_net = solid ? nets::Unfold(m_solid) : nets::Net{};
    // Vertices are named as the scene names their places: a point object's name where one
    // stands, else the letter the picture gives (letters even where it shows none).
    m_vertexNames.clear();
    const core::Settings& settings = m_env.settings;
    if (!development && ((settings.PutLetters && o.vertexCount <= 26) || settings.PutVerNum)) {
        const core::SceneLabels labels(m_env.scene, settings);
        for (int v = 1; v <= o.vertexCount; ++v)
            m_vertexNames.push_back(labels.nameOf(slot, v));
    }
    // A development has no edges to click.
    m_hint->setVisible(!development);
    m_fold->blockSignals(true);
    m_fold->setValue(0);
    m_fold->blockSignals(false);

    const std::string name = core::DisplayName(m_env.scene, slot);
    m_objectName = qs(name);
    setLanguageCaption(m_baseCaption);
    rebuildSheet(false);
    placeFold();

    const int digits = settings.answerDigits;
    const auto number = [digits](double v) { return core::FormatNumber(false, v, digits); };
    if (development) {
        m_env.host.addReportLine(
            m_env.messages.format(msg::kNetDevelopmentReport,
                                  {name, number(development->lateralArea),
                                   number(development->baseArea), number(development->area)}));
    } else {
        m_env.host.addReportLine(m_env.messages.format(
            msg::kNetReport,
            {name, core::FormatNumber(true, static_cast<double>(m_solid.faces.size())),
             number(m_net.area)}));
    }
    m_env.host.addReportLine(stateText().toStdString());
    show();
    raise();
    activateWindow();
    return true;
}

void TNetFrm::placeFold() {
    // Flat, the preview looks square onto the net as the net view shows it: the root face's
    // frame of the unfolding, or the paper's plane of a development.
    if (m_development) {
        m_foldView->setFrame({1, 0, 0}, {0, 1, 0}, {0, 0, 1});
    } else if (!m_solid.faces.empty()) {
        const nets::SolidFace& root = m_solid.faces[static_cast<std::size_t>(m_net.root)];
        geo::Vec3 right = root.corners[1] - root.corners[0];
        right = right * (1 / std::sqrt(geo::dot(right, right)));
        m_foldView->setFrame(right, geo::cross(root.normal, right), root.normal);
    }
    // Fitted once for the whole fold, so that it does not jump while folding.
    m_foldCentre = {};
    m_foldRadius = 1;
    const auto flat = folded(0);
    const auto closed = folded(1);
    int count = 0;
    for (const auto& face : closed)
        for (const geo::Vec3& v : face) {
            m_foldCentre = m_foldCentre + v;
            ++count;
        }
    if (count > 0) m_foldCentre = m_foldCentre * (1.0 / count);
    double radius = 0;
    for (const auto* faces : {&flat, &closed})
        for (const auto& face : *faces)
            for (const geo::Vec3& v : face)
                radius = std::max(radius, std::sqrt(geo::dot(v - m_foldCentre, v - m_foldCentre)));
    m_foldRadius = radius;
    refold();
}

std::string TNetFrm::overlapText() const {
    std::string pairs;
    for (std::size_t i = 0; i < m_net.overlaps.size() && i < kNamedOverlaps; ++i) {
        if (i > 0) pairs += ", ";
        pairs += std::to_string(m_net.overlaps[i].first + 1) + "–" +
                 std::to_string(m_net.overlaps[i].second + 1);
    }
    if (m_net.overlaps.size() > kNamedOverlaps) pairs += ", …";
    return m_env.messages.format(msg::kNetOverlaps, {pairs});
}

QString TNetFrm::stateText() const {
    if (round()) return qs(m_env.msg(msg::kNetRoundFixed));
    if (!m_net.whole()) return qs(m_env.msg(msg::kNetTwoPieces));
    if (!m_net.overlaps.empty()) return qs(overlapText());
    return qs(m_env.msg(msg::kNetGood));
}

void TNetFrm::showState() {
    m_state->setText(stateText());
    // A net in two pieces is not written or printed: it would not fold into the solid.
    const bool whole = round() || m_net.whole();
    m_svg->setEnabled(whole);
    m_pdf->setEnabled(whole);
    m_print->setEnabled(whole);
}

void TNetFrm::rebuildSheet(bool keepPlace) {
    if (m_slot < 0) return;
    m_plan = planFor(chosenPaper());
    if (m_fit->isChecked()) {
        // The fitted scale shows in the box it replaces.
        const QSignalBlocker quiet(m_mmPerUnit);
        m_mmPerUnit->setValue(m_plan.mmPerUnit);
    }
    m_sheet = m_plan.angle == 0 ? m_plan.sheet : sheetAt(m_plan.mmPerUnit);
    m_paperSize->setText(
        QStringLiteral("%1 × %2").arg(m_plan.width, 0, 'f', 1).arg(m_plan.height, 0, 'f', 1));
    m_pageCount->setText(QString::number(m_plan.pages.size()));
    std::vector<bool> loose;
    if (!round())
        for (int piece : m_net.piece)
            loose.push_back(piece == 1);
    m_netView->setSheet(&m_sheet, std::move(loose), !round(), keepPlace);
    showState();
}

void TNetFrm::refold() {
    const int percent = m_fold->value();
    m_foldValue->setText(QString::number(percent) + QStringLiteral(" %"));
    if (m_slot < 0) {
        m_foldView->setFaces({}, {}, {}, 1);
        return;
    }
    std::vector<std::vector<std::string>> names;
    if (!m_development)
        for (const nets::SolidFace& face : m_solid.faces) {
            names.emplace_back();
            for (int v : face.vertices)
                names.back().push_back(v >= 1 && static_cast<std::size_t>(v) <= m_vertexNames.size()
                                           ? m_vertexNames[static_cast<std::size_t>(v) - 1]
                                           : std::string());
        }
    m_foldView->setFold(percent / 100.0);
    m_foldView->setFaces(folded(percent / 100.0), std::move(names), m_foldCentre, m_foldRadius);
}

std::vector<std::vector<geo::Vec3>> TNetFrm::folded(double t) const {
    return m_development ? nets::RollUp(*m_development, t) : nets::Fold(m_solid, m_net, t);
}

nets::EdgeToggle TNetFrm::toggleEdge(int edge) {
    // A development of a round solid has no edges to click.
    if (round()) return nets::EdgeToggle::NoSuchEdge;
    const nets::EdgeToggle result = nets::ToggleEdge(m_solid, m_net, edge);
    switch (result) {
    case nets::EdgeToggle::Cut:
    case nets::EdgeToggle::Joined:
        rebuildSheet(true);
        if (result == nets::EdgeToggle::Joined) placeFold();
        refold();
        break;
    case nets::EdgeToggle::WouldDisconnect:
        m_state->setText(qs(m_env.msg(msg::kNetWouldDisconnect)));
        break;
    case nets::EdgeToggle::WouldCloseCycle:
        m_state->setText(qs(m_env.msg(msg::kNetWouldCloseCycle)));
        break;
    case nets::EdgeToggle::NoSuchEdge: // a click beside the edges: the state line stays
        break;
    }
    return result;
}

bool TNetFrm::exportNet(bool pdf) {
    if (m_slot < 0 || (!round() && !m_net.whole())) return false;
    const FileDialogText* dialog = pdf ? m_pdfDialog : m_svgDialog;
    const QString suffix = pdf ? QStringLiteral("pdf") : QStringLiteral("svg");
    const QString name = m_dialogs().saveFileName(dialog->title, dialog->qtFilter(), suffix,
                                                  QStringLiteral("net.") + suffix);
    if (name.isEmpty()) return false;
    const bool fill = !m_unfilled->isChecked();
    if (pdf ? pic::WriteSheetPdf(name, m_plan, fill) : pic::WriteSheetSvg(name, m_plan, fill))
        return true;
    m_env.host.showMessage(core::BoxKind::Error,
                           m_env.messages.format(msg::kWriteFailed, {name.toStdString()}));
    return false;
}

bool TNetFrm::printNet() {
    if (m_slot < 0 || (!round() && !m_net.whole())) return false;
    QPrinter printer(QPrinter::HighResolution);
    // The dialog starts on the paper chosen here; the plan follows what it ends on.
    const nets::Paper chosen = chosenPaper();
    printer.setPageSize(QPageSize(m_paper->currentIndex() == 1 ? QPageSize::A3 : QPageSize::A4));
    printer.setPageOrientation(chosen.width > chosen.height ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
    PrintOptions options;
    options.report = false;
    if (!m_dialogs().printSetup(printer, options)) return false;
    const nets::PrintPlan plan = planFor(pic::PaperOfDevice(printer));
    if (pic::PaintSheetPages(printer, plan, !m_unfilled->isChecked())) return true;
    m_env.host.showMessage(
        core::BoxKind::Error,
        m_env.messages.format(msg::kWriteFailed, {printer.outputFileName().toStdString()}));
    return false;
}

} // namespace vorn::app
