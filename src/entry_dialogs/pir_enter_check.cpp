// The entry dialog's live checks, its reading of each page into the entry buffer, page commands.
#include "core/object_view.h"
#include "entry/generatrix.h"
#include "entry_dialogs/entry_widgets.h"
#include "entry_dialogs/pir_enter.h"
#include "entry_dialogs/qpoly_frm.h"
#include "entry_dialogs/revolution_preview.h"
#include "expr/region.h"
#include "geometry/primitives.h"
#include "lang/message_ids.h"
#include "polyhedra/formation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <cmath>
#include <cstring>

namespace vorn::entry {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

void setVertex(core::SceneObject& o, int i, const double* p) {
    o.vertex(i) = core::Narrow({p[0], p[1], p[2]});
}

// Empty: the parameter is missing; otherwise it must be a plain number.
int numberCode(const EntryCombo* f, double& v) {
    if (f->text().trimmed().isEmpty()) return entry_error::Missing;
    const std::optional<double> d = ReadPlainNumber(f->text());
    if (!d) return entry_error::BadExpression;
    v = *d;
    return entry_error::None;
}

std::vector<PolyPoint> partPoints(const core::ObjectPart& p) {
    std::vector<PolyPoint> points;
    const int n = std::min<int>(p.area.polygon.pointCount, core::kMaxPartPoints);
    for (int i = 0; i < n; ++i)
        points.push_back({p.area.polygon.points[i].x, p.area.polygon.points[i].y});
    return points;
}

void setPartPoints(core::ObjectPart& p, const std::vector<PolyPoint>& points) {
    const int n = std::min<int>(static_cast<int>(points.size()), core::kMaxPartPoints);
    std::memset(static_cast<void*>(&p.area), 0, sizeof p.area);
    p.area.polygon.pointCount = static_cast<std::uint8_t>(n);
    for (int i = 0; i < n; ++i)
        p.area.polygon.points[i] = {static_cast<float>(points[static_cast<std::size_t>(i)].x),
                                    static_cast<float>(points[static_cast<std::size_t>(i)].y)};
}

} // namespace

// ---- fields --------------------------------------------------------------------------------

int TPirEnter::checkFieldText(const EntryCombo* f) {
    const std::string text = f->text().toStdString();
    switch (f->tag()) {
    case field::PartFormula:
        if (!expr::acceptsTypedExpression(m_engine, text, "YX")) return entry_error::BadExpression;
        entry().part(m_part).text.setUtf8(text);
        refreshPartList();
        return entry_error::None;
    case field::PartSystem:
        if (!expr::acceptsTypedSystem(m_engine, text)) return entry_error::BadRegion;
        entry().part(m_part).area.domainText.setUtf8(text);
        refreshPartList();
        return entry_error::None;
    case field::Generatrix:
        return expr::acceptsTypedExpression(m_engine, text,
                                            m_rotType->currentIndex() == 1 ? "T" : "X")
                   ? entry_error::None
                   : entry_error::BadExpression;
    case field::Generatrix2:
        return expr::acceptsTypedExpression(m_engine, text, "T") ? entry_error::None
                                                                 : entry_error::BadExpression;
    default:
        if (f->text().trimmed().isEmpty()) return entry_error::Missing;
        m_engine.EvaluateExpression(text);
        return m_engine.CalcError > 0 ? entry_error::BadExpression : entry_error::None;
    }
}

void TPirEnter::fieldEdited(EntryCombo* f) {
    if (m_filling) return;
    m_entryError = checkFieldText(f);
    f->setRed(m_entryError > 0);
    CheckEntry();
}

void TPirEnter::fieldLeft(EntryCombo* f) {
    if (m_filling || !isVisible()) return;
    const QString text = f->text();
    if (text.isEmpty() || f->isRed()) return;
    f->addHistory(text);
    if (f->tag() >= 70) return;
    // Only a value the expression really has replaces it; a text without one stays to be fixed.
    const long double v = m_engine.EvaluateExpression(text.toStdString());
    if (m_engine.CalcError != expr::kCalcOk) return;
    f->setText(FullNumber(v));
    changed();
}

void TPirEnter::changed() {
    if (m_filling) return;
    m_entryError = 0;
    CheckEntry();
}

bool TPirEnter::readField(const EntryCombo* f, double& v) const {
    return numberCode(f, v) == entry_error::None;
}

void TPirEnter::keypadPressed(const QString& key) {
    // The focus sits on the field or on its line edit.
    EntryCombo* f = nullptr;
    for (QWidget* w = focusWidget(); w && w != this && !f; w = w->parentWidget())
        f = qobject_cast<EntryCombo*>(w);
    if (!f) f = m_lastField;
    if (!f || f->tag() < 0 || !f->isVisibleTo(this)) return;
    QLineEdit* edit = f->lineEdit();
    QString text = edit->text();
    const int caret = ApplyKeypad(text, edit->cursorPosition(), edit->selectionStart(),
                                  static_cast<int>(edit->selectedText().size()), key, kKeypadLimit);
    f->setText(text);
    edit->setCursorPosition(caret);
    fieldEdited(f);
}

// ---- the whole-dialog check ----------------------------------------------------------------

void TPirEnter::CheckEntry() {
    // A field left red by an earlier edit still holds the first problem.
    QWidget* page = m_pages->widget(m_pageIndex[static_cast<std::size_t>(m_type)]);
    for (EntryCombo* f : page->findChildren<EntryCombo*>()) {
        if (m_entryError != 0) break;
        if (!f->isRed() || !f->isVisibleTo(page)) continue;
        m_entryError = checkFieldText(f);
        f->setRed(m_entryError > 0);
    }
    if (m_entryError == 0) {
        switch (m_type) {
        case core::ObjectType::Point:
            readPoint();
            break;
        case core::ObjectType::Polyline:
            readPolyline();
            break;
        case core::ObjectType::Plane:
            readPlane();
            break;
        case core::ObjectType::Polyhedron:
            readPolyhedron();
            break;
        case core::ObjectType::Surface:
            readSurface();
            break;
        case core::ObjectType::RevolutionSurface:
            readRevolution();
            break;
        case core::ObjectType::Axes:
            break;
        }
    } else if (m_type == core::ObjectType::RevolutionSurface) {
        previewStep();
    }
    m_errorMsg->setText(q(msg(lang::msg::kNoEntryError + m_entryError)));
    m_ok->setEnabled(m_entryError == 0);
}

void TPirEnter::readPoint() {
    double p[3] = {0, 0, 0};
    const EntryCombo* fields[3] = {m_psX, m_psY, m_psZ};
    for (int k = 0; k < 3 && m_entryError == 0; ++k)
        if (numberCode(fields[k], p[k]) != 0) m_entryError = entry_error::BadExpression;
    if (m_entryError == 0) setVertex(entry(), 1, p);
}

void TPirEnter::readPolyline() {
    core::SceneObject& o = entry();
    const int n = std::min(m_lineGrid->rowCount(), core::kMaxVertices);
    const bool vectors = m_lineCheck->currentIndex() == 1;
    double prev[3] = {0, 0, 0};
    for (int i = 0; i < n; ++i) {
        double p[3];
        if (!m_lineGrid->readRow(i, p)) {
            m_entryError = entry_error::BadSymbol;
            return;
        }
        if (vectors && i > 0)
            for (int c = 0; c < 3; ++c)
                p[c] += prev[c];
        setVertex(o, i + 1, p);
        std::copy(p, p + 3, prev);
    }
    o.vertexCount = static_cast<std::int16_t>(n);
    core::SetPolylineSegments(o, n, m_locked->isChecked());
}

void TPirEnter::readPlane() {
    double v[9];
    for (int k = 0; k < 9; ++k)
        if (numberCode(m_pl[k], v[k]) != 0) {
            m_entryError = entry_error::BadExpression;
            return;
        }
    for (int i = 0; i < 3; ++i)
        setVertex(entry(), i + 1, v + 3 * i);
    auto zero = [](const double* n) {
        return std::fabs(n[0]) < kZeroNormal && std::fabs(n[1]) < kZeroNormal &&
               std::fabs(n[2]) < kZeroNormal;
    };
    switch (m_ploskCheck->currentIndex()) {
    case 0:
        if (geo::PlaneThroughPoints({v[0], v[1], v[2]}, {v[3], v[4], v[5]}, {v[6], v[7], v[8]})
                .degenerate)
            m_entryError = entry_error::BadData;
        break;
    case 1:
        if (zero(v + 3)) m_entryError = entry_error::BadData;
        break;
    default: {
        double d = 0;
        if (numberCode(m_plD, d) != 0)
            m_entryError = entry_error::BadExpression;
        else if (zero(v))
            m_entryError = entry_error::BadData;
        break;
    }
    }
}

void TPirEnter::readPolyhedron() {
    core::SceneObject& o = entry();
    const int n = std::min(m_objectGrid->rowCount(), core::kMaxVertices);
    for (int i = 0; i < n && m_entryError == 0; ++i) {
        double p[3];
        if (m_objectGrid->readRow(i, p))
            setVertex(o, i + 1, p);
        else
            m_entryError = entry_error::BadSymbol;
    }
    o.vertexCount = static_cast<std::int16_t>(n);
    m_toMakeObj->setEnabled(m_entryError == 0);
    if (m_entryError == 0 && poly::RecomputeFacePlanes(o) != 0)
        m_entryError = entry_error::BadFaces;
}

void TPirEnter::readSurface() {
    core::SceneObject& o = entry();
    core::ObjectPart& part = o.part(m_part);
    if (part.domainKind == 0) {
        std::vector<PolyPoint> points;
        for (int i = 0; i < m_qGrid->rowCount() && i < kMaxRegionPoints; ++i) {
            double p[2];
            if (!m_qGrid->readRow(i, p)) {
                m_entryError = entry_error::BadSymbol;
                break;
            }
            points.push_back({p[0], p[1]});
        }
        if (m_entryError == 0) setPartPoints(part, points);
    }
    for (int k = 1; k <= m_partCount && m_entryError == 0; ++k) {
        const core::ObjectPart& p = o.part(k);
        if (!expr::acceptsTypedExpression(m_engine, p.text.utf8(), "YX"))
            m_entryError = entry_error::BadExpression;
        else if (p.domainKind == 1 && !expr::acceptsTypedSystem(m_engine, p.area.domainText.utf8()))
            m_entryError = entry_error::BadRegion;
    }
    // The rectangle is read as numbers too, so "Виконати" never takes a text for a bound.
    double v;
    for (const EntryCombo* f : {m_funcX1, m_funcX2, m_funcY1, m_funcY2})
        if (m_entryError == 0) m_entryError = numberCode(f, v);
    QPalette pal = m_qList->palette();
    pal.setColor(QPalette::Text,
                 m_entryError != 0 ? Qt::red : palette().color(QPalette::WindowText));
    m_qList->setPalette(pal);
}

void TPirEnter::readRevolution() {
    core::SceneObject& o = entry();
    const int type = m_rotType->currentIndex();
    if (type == static_cast<int>(GeneratrixType::Polyline)) {
        core::ObjectPart& curve = o.part(3);
        if (curve.area.polygon.pointCount > 1) {
            std::vector<PolyPoint> points;
            for (int i = 0; i < m_curveGrid->rowCount() && i < core::kMaxPartPoints; ++i) {
                double p[2];
                if (!m_curveGrid->readRow(i, p)) {
                    m_entryError = entry_error::BadSymbol;
                    break;
                }
                points.push_back({p[0], p[1]});
            }
            if (m_entryError == 0) setPartPoints(curve, points);
        } else {
            m_entryError = entry_error::FewVertices;
        }
    } else {
        // A malformed function found by another field's edit still blocks "Виконати".
        if (checkFieldText(m_func1) != 0 ||
            (type == static_cast<int>(GeneratrixType::Parametric) && checkFieldText(m_func2) != 0))
            m_entryError = entry_error::BadExpression;
    }
    double v;
    for (const EntryCombo* f : {m_leftA, m_rightA, m_nX, m_nY, m_nZ})
        if (m_entryError == 0) m_entryError = numberCode(f, v);
    previewStep();
}

void TPirEnter::previewStep() {
    if (m_entryError != 0) {
        m_preview->setPoints({});
        return;
    }
    double from = 0, to = 0;
    readField(m_leftA, from);
    readField(m_rightA, to);
    SampleGeneratrix(m_engine, entry(), m_env.settings.Quality(),
                     static_cast<GeneratrixType>(m_rotType->currentIndex()),
                     m_func1->text().toStdString(), m_func2->text().toStdString(), from, to);
    m_preview->setPoints(partPoints(entry().part(1)));
}

// ---- values for the builder ----------------------------------------------------------------

EntryValues TPirEnter::values() const {
    EntryValues v;
    v.name = m_name->text().toStdString();
    v.colorIndex = m_color->index();
    readField(m_psX, v.pointX);
    readField(m_psY, v.pointY);
    readField(m_psZ, v.pointZ);
    v.polylineMode = m_lineCheck->currentIndex();
    v.closed = m_locked->isChecked();
    v.planeMode = m_ploskCheck->currentIndex();
    readField(m_plD, v.planeD);
    readField(m_funcX1, v.bounds.xFrom);
    readField(m_funcX2, v.bounds.xTo);
    readField(m_funcY1, v.bounds.yFrom);
    readField(m_funcY2, v.bounds.yTo);
    v.partCount = m_partCount;
    v.generatrixType = m_rotType->currentIndex();
    v.axis = m_oRot->currentIndex();
    readField(m_leftA, v.rangeFrom);
    readField(m_rightA, v.rangeTo);
    v.func1 = m_func1->text().toStdString();
    v.func2 = m_func2->text().toStdString();
    readField(m_nX, v.shiftX);
    readField(m_nY, v.shiftY);
    readField(m_nZ, v.shiftZ);
    return v;
}

// ---- page commands -------------------------------------------------------------------------

void TPirEnter::polylineModeChanged() {
    m_lineTitle->setText(q(
        msg(m_lineCheck->currentIndex() == 1 ? lang::msg::kPointAndVectors : lang::msg::kPoints)));
    changed();
}

void TPirEnter::planeModeChanged() {
    const int mode = m_ploskCheck->currentIndex();
    static const char* const threePoints[9] = {
        "x1=", "y1=", "z1=", "x2=", "y2=", "z2=", "x3=", "y3=", "z3="};
    for (int k = 0; k < 9; ++k) {
        QString caption = QString::fromLatin1(threePoints[k]);
        if (mode == 1 && k >= 3 && k < 6) caption = QStringLiteral("n") + caption.left(1) + '=';
        if (mode == 2 && k < 3) caption = QString(QChar('A' + k)) + '=';
        const bool shown = mode == 0 || (mode == 1 && k < 6) || (mode == 2 && k < 3);
        m_plLabel[k]->setText(caption);
        m_plLabel[k]->setVisible(shown);
        m_pl[k]->setVisible(shown);
    }
    m_plDLabel->setVisible(mode == 2);
    m_plD->setVisible(mode == 2);
    changed();
}

void TPirEnter::rotTypeChanged(bool rename) {
    const int type = m_rotType->currentIndex();
    const bool parametric = type == static_cast<int>(GeneratrixType::Parametric);
    const bool polyline = type == static_cast<int>(GeneratrixType::Polyline);
    m_funcBox->setVisible(!polyline);
    m_curveBox->setVisible(polyline);
    m_func2->setVisible(parametric);
    m_func2Label->setVisible(parametric);
    const QString letter = parametric ? QStringLiteral(" t=") : QStringLiteral(" x=");
    m_leftLabel->setText(q(msg(lang::msg::kFrom)) + letter);
    m_rightLabel->setText(q(msg(lang::msg::kTo)) + letter);
    if (rename && !polyline) {
        const QString f = m_func1->text();
        m_func1->setText(parametric ? RenameVariable(f, 'X', 'T') : RenameVariable(f, 'T', 'X'));
        m_func1->setRed(false);
    }
    changed();
}

void TPirEnter::axesCountChanged(int n) {
    if (m_filling) return;
    entry().vertexCount = static_cast<std::int16_t>(n);
    m_objectGrid->setRows(n);
    for (QComboBox* top : m_top) {
        const int keep = top->currentIndex();
        top->clear();
        for (int i = 1; i <= n; ++i)
            top->addItem(QString::number(i));
        top->setCurrentIndex(keep < n ? keep : -1);
    }
    faceChosen();
    changed();
}

void TPirEnter::ploskCountChanged(int n) {
    if (m_filling) return;
    core::SceneObject& o = entry();
    for (int f = o.faceCount + 1; f <= n; ++f)
        o.face(f) = {};
    o.faceCount = static_cast<std::int16_t>(n);
    fillFaceList(m_ploskList->currentRow());
    changed();
}

void TPirEnter::faceChosen() {
    const int f = m_ploskList->currentRow() + 1;
    const core::SceneObject& o = entry();
    const bool have = f >= 1 && f <= o.faceCount;
    const std::int16_t numbers[3] = {have ? o.face(f).vertex1 : std::int16_t(0),
                                     have ? o.face(f).vertex2 : std::int16_t(0),
                                     have ? o.face(f).vertex3 : std::int16_t(0)};
    for (int k = 0; k < 3; ++k) {
        const QSignalBlocker block(m_top[k]);
        m_top[k]->setCurrentIndex(
            numbers[k] >= 1 && numbers[k] <= m_top[k]->count() ? numbers[k] - 1 : -1);
        m_top[k]->setEnabled(have);
    }
}

void TPirEnter::topChanged() {
    const int f = m_ploskList->currentRow() + 1;
    core::SceneObject& o = entry();
    if (f < 1 || f > o.faceCount) return;
    o.face(f).vertex1 = static_cast<std::int16_t>(m_top[0]->currentIndex() + 1);
    o.face(f).vertex2 = static_cast<std::int16_t>(m_top[1]->currentIndex() + 1);
    o.face(f).vertex3 = static_cast<std::int16_t>(m_top[2]->currentIndex() + 1);
    changed();
}

void TPirEnter::formConvexFaces() {
    // A failed hull leaves a partial mesh; the entered points and faces come back instead.
    const auto before = std::make_unique<core::SceneObject>(entry());
    bool fromHull = false;
    if (!poly::FormConvexFaces(m_env, core::kScratchSlot, &fromHull)) {
        entry() = *before;
        m_env.host.showMessage(core::BoxKind::Error, msg(lang::msg::kCannotFormPolyhedron));
    } else {
        if (fromHull) m_env.host.addReportLine(msg(lang::msg::kFacesFromHull));
        fillPolyhedron();
    }
    changed();
}

void TPirEnter::addPart() {
    if (m_partCount >= kMaxParts) return;
    core::SceneObject& o = entry();
    for (int k = m_partCount; k >= m_part; --k)
        o.part(k + 1) = o.part(k);
    core::ObjectPart& p = o.part(m_part);
    std::memset(static_cast<void*>(&p), 0, sizeof p);
    p.domainKind = 1;
    ++m_partCount;
    refreshPartList();
    showPart(m_part);
}

void TPirEnter::deletePart() {
    if (m_partCount <= 1) return;
    core::SceneObject& o = entry();
    for (int k = m_part; k < m_partCount; ++k)
        o.part(k) = o.part(k + 1);
    std::memset(static_cast<void*>(&o.part(m_partCount)), 0, sizeof(core::ObjectPart));
    --m_partCount;
    m_part = std::min(m_part, m_partCount);
    refreshPartList();
    showPart(m_part);
}

void TPirEnter::regionKindChanged(int page) {
    if (m_filling) return;
    core::ObjectPart& p = entry().part(m_part);
    std::memset(static_cast<void*>(&p.area), 0, sizeof p.area);
    m_filling = true;
    if (page == 1) {
        p.domainKind = 0;
        p.area.polygon.pointCount = 3;
        m_qGrid->setValues({{0, 0}, {0, 0}, {0, 0}});
    } else {
        p.domainKind = 1;
        m_qFunc->setText({});
        m_qFunc->setRed(false);
    }
    m_filling = false;
    refreshPartList();
    changed();
}

void TPirEnter::gridChanged(EntryGrid* grid) {
    if (m_filling) return;
    const auto rows = static_cast<std::uint8_t>(std::min(grid->rowCount(), core::kMaxPartPoints));
    if (grid == m_qGrid && entry().part(m_part).domainKind == 0)
        entry().part(m_part).area.polygon.pointCount = rows;
    if (grid == m_curveGrid) entry().part(3).area.polygon.pointCount = rows;
    changed();
    if (grid == m_qGrid) refreshPartList();
}

void TPirEnter::drawRegion() {
    if (!m_polyFrm) return;
    core::ObjectPart& p = entry().part(m_part);
    if (p.domainKind != 0) return;
    const bool readable = m_entryError != entry_error::BadSymbol;
    m_polyFrm->setup(readable ? partPoints(p) : std::vector<PolyPoint>{}, kMaxRegionPoints, true,
                     true, 'x', 'y', q(msg(lang::msg::kEntryDrawPolygon)));
    m_polyFrm->presetRange();
    if (!m_polyFrm->run()) return;
    setPartPoints(p, m_polyFrm->points());
    m_filling = true;
    fillPartGrid(m_qGrid, p);
    m_filling = false;
    refreshPartList();
    changed();
}

void TPirEnter::drawCurve() {
    if (!m_polyFrm) return;
    core::ObjectPart& curve = entry().part(3);
    const bool readable = m_entryError != entry_error::BadSymbol;
    m_polyFrm->setup(readable ? partPoints(curve) : std::vector<PolyPoint>{}, curveCapacity(), true,
                     false, 'x', 'y', q(msg(lang::msg::kEntryDrawPolyline)));
    m_polyFrm->presetRange();
    if (!m_polyFrm->run()) return;
    setPartPoints(curve, m_polyFrm->points());
    m_filling = true;
    fillPartGrid(m_curveGrid, curve);
    m_filling = false;
    changed();
}

} // namespace vorn::entry
