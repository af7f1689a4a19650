// TNetFrm: the net of the current solid: cutting and joining edges, glue tabs, folding back,
// export and printing at true scale.
#include "app/net_frm.h"

#include "app/export_frm.h"
#include "app/file_dialog_text.h"
#include "app/language_walk.h"
#include "app/user_dialogs.h"
#include "core/format.h"
#include "lang/message_ids.h"
#include "picture/wire_frame.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
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

void NetView::setSheet(const nets::Sheet* sheet, std::vector<bool> loose, bool clickable) {
    m_sheet = sheet;
    m_loose = std::move(loose);
    m_clickable = clickable;
    m_hot = -1;
    update();
}

pic::SheetLook NetView::look() const {
    pic::SheetLook look;
    if (!m_sheet) return look;
    const double w = std::max(m_sheet->high.x - m_sheet->low.x, 1e-9);
    const double h = std::max(m_sheet->high.y - m_sheet->low.y, 1e-9);
    const double scale =
        std::max(1e-9, std::min((width() - 2 * kViewMargin) / w, (height() - 2 * kViewMargin) / h));
    // Centred in the widget.
    const QPointF topLeft((width() - scale * w) / 2, (height() - scale * h) / 2);
    look.toDevice = pic::SheetToDevice(*m_sheet, scale, topLeft);
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
    look.fontSize = std::clamp(0.22 * typical * scale, 8.0, 18.0);
    look.loose = m_loose;
    look.hotEdge = m_hot;
    return look;
}

int NetView::edgeAt(QPointF p) const {
    if (!m_sheet || !m_clickable) return -1;
    const QTransform t = look().toDevice;
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
    const QTransform t = look().toDevice;
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

void FoldView::setFaces(std::vector<std::vector<geo::Vec3>> faces, geo::Vec3 centre,
                        double radius) {
    m_faces = std::move(faces);
    m_centre = centre;
    m_radius = radius > 0 ? radius : 1;
    update();
}

void FoldView::paintEvent(QPaintEvent*) {
    if (m_faces.empty()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = 0.48 * std::min(width(), height()) / m_radius;
    const double cy = std::cos(m_yaw), sy = std::sin(m_yaw);
    const double cp = std::cos(m_pitch), sp = std::sin(m_pitch);
    // Turned about the vertical axis (z), then tipped towards the viewer; y of the screen down.
    const auto project = [&](const geo::Vec3& v) {
        const geo::Vec3 d = v - m_centre;
        const double x = cy * d.x - sy * d.y;
        const double depth = sy * d.x + cy * d.y;
        const double up = cp * d.z - sp * depth;
        return QPointF(width() / 2.0 + scale * x, height() / 2.0 - scale * up);
    };
    painter.setPen(QPen(QColor(30, 60, 160), 1.2));
    painter.setBrush(QColor(120, 150, 230, 40));
    for (const auto& face : m_faces) {
        QPolygonF polygon;
        for (const geo::Vec3& v : face)
            polygon << project(v);
        painter.drawPolygon(polygon);
    }
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
    auto* scaleLabel = new QLabel(QStringLiteral("&Мм на одиницю:"), this);
    scaleLabel->setObjectName("ScaleLabel");
    m_mmPerUnit = new QDoubleSpinBox(this);
    m_mmPerUnit->setObjectName("MmPerUnit");
    m_mmPerUnit->setRange(pic::kMinMmPerUnit, pic::kMaxMmPerUnit);
    m_mmPerUnit->setDecimals(1);
    m_mmPerUnit->setValue(pic::kDefaultMmPerUnit);
    scaleLabel->setBuddy(m_mmPerUnit);
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
    side->addLayout(scaleRow);
    side->addLayout(fileRow);
    side->addSpacing(8);
    side->addLayout(foldRow);
    side->addWidget(m_foldView, 1);
    side->addWidget(close, 0, Qt::AlignRight);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_netView, 3);
    layout->addLayout(side, 2);
    resize(980, 640);

    connect(m_tabs, &QCheckBox::toggled, this, [this] { rebuildSheet(); });
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

nets::SheetOptions TNetFrm::sheetOptions() const {
    nets::SheetOptions options;
    options.tabs = m_tabs->isChecked();
    options.vertexNames = m_vertexNames;
    return options;
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
    // Vertices are named as the picture names them: letters when it letters them.
    m_vertexNames.clear();
    const core::Settings& settings = m_env.settings;
    if (!development && ((settings.PutLetters && o.vertexCount <= 26) || settings.PutVerNum))
        for (int v = 1; v <= o.vertexCount; ++v)
            m_vertexNames.push_back(core::VertexLabel(o, v, settings));

    // The preview is fitted once for the whole fold, so that it does not jump while folding.
    m_foldCentre = {};
    m_foldRadius = 1;
    {
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
                    radius =
                        std::max(radius, std::sqrt(geo::dot(v - m_foldCentre, v - m_foldCentre)));
        m_foldRadius = radius;
    }
    // A development has no edges to click.
    m_hint->setVisible(!development);
    m_fold->blockSignals(true);
    m_fold->setValue(0);
    m_fold->blockSignals(false);

    const std::string name = core::DisplayName(m_env.scene, slot);
    m_objectName = qs(name);
    setLanguageCaption(m_baseCaption);
    rebuildSheet();
    refold();

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

void TNetFrm::rebuildSheet() {
    if (m_slot < 0) return;
    m_sheet = m_development ? nets::SheetOf(*m_development, sheetOptions())
                            : nets::SheetOf(m_solid, m_net, sheetOptions());
    std::vector<bool> loose;
    if (!round())
        for (int piece : m_net.piece)
            loose.push_back(piece == 1);
    m_netView->setSheet(&m_sheet, std::move(loose), !round());
    showState();
}

void TNetFrm::refold() {
    const int percent = m_fold->value();
    m_foldValue->setText(QString::number(percent) + QStringLiteral(" %"));
    if (m_slot < 0) {
        m_foldView->setFaces({}, {}, 1);
        return;
    }
    m_foldView->setFaces(folded(percent / 100.0), m_foldCentre, m_foldRadius);
}

std::vector<std::vector<geo::Vec3>> TNetFrm::folded(double t) const {
    return m_development ? nets::RollUp(*m_development, t) : nets::Fold(m_solid, m_net, t);
}

nets::EdgeToggle TNetFrm::toggleEdge(int edge) {
    if (round() || edge < 0 || edge >= static_cast<int>(m_solid.edges.size()))
        return nets::EdgeToggle::WouldCloseCycle;
    const nets::EdgeToggle result = nets::ToggleEdge(m_solid, m_net, edge);
    switch (result) {
    case nets::EdgeToggle::Cut:
    case nets::EdgeToggle::Joined:
        rebuildSheet();
        refold();
        break;
    case nets::EdgeToggle::WouldDisconnect:
        m_state->setText(qs(m_env.msg(msg::kNetWouldDisconnect)));
        break;
    case nets::EdgeToggle::WouldCloseCycle:
        m_state->setText(qs(m_env.msg(msg::kNetWouldCloseCycle)));
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
    const double mm = m_mmPerUnit->value();
    if (pdf ? pic::WriteSheetPdf(name, m_sheet, mm) : pic::WriteSheetSvg(name, m_sheet, mm))
        return true;
    m_env.host.showMessage(core::BoxKind::Error,
                           m_env.messages.format(msg::kWriteFailed, {name.toStdString()}));
    return false;
}

bool TNetFrm::printNet() {
    if (m_slot < 0 || (!round() && !m_net.whole())) return false;
    QPrinter printer(QPrinter::HighResolution);
    PrintOptions options;
    options.report = false;
    if (!m_dialogs().printSetup(printer, options)) return false;
    if (pic::PaintSheetPages(printer, m_sheet, m_mmPerUnit->value())) return true;
    m_env.host.showMessage(
        core::BoxKind::Error,
        m_env.messages.format(msg::kWriteFailed, {printer.outputFileName().toStdString()}));
    return false;
}

} // namespace vorn::app
