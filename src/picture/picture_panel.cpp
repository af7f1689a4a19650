// The picture field `Place` with its two rotation scroll bars: the window side of the picture.
#include "picture/picture_panel.h"

#include "picture/picture_canvas.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <functional>
#include <optional>

namespace vorn::pic {

namespace {

const char* const kPlaceHint = "Поле зображення";
const char* const kScrollHint = "Смуга повороту зображення";

// Shows the bitmap and hands its mouse and size events to the panel.
class PlaceWidget : public QWidget {
  public:
    PlaceWidget(PictureCanvas& canvas, QWidget* parent) : QWidget(parent), m_canvas(canvas) {
        setObjectName(QStringLiteral("Place"));
        setToolTip(QString::fromUtf8(kPlaceHint));
        setStatusTip(QString::fromUtf8(kPlaceHint));
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus); // keyboard picking
        setCursor(Qt::CrossCursor);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(16, 16);
    }

    std::function<void(QResizeEvent*)> onResize;
    std::function<void()> onPixelRatio;
    std::function<void(QMouseEvent*)> onMove, onPress, onRelease, onDouble;
    std::function<void(QWheelEvent*)> onWheel;
    PicturePanel::KeyHandler onKey;

  protected:
    // Seen before QWidget::event, which would take Tab and Shift+Tab for the focus chain.
    bool event(QEvent* e) override {
        if (e->type() == QEvent::KeyPress && onKey) {
            const auto* k = static_cast<QKeyEvent*>(e);
            if (onKey(k->key(), k->modifiers())) {
                e->accept();
                return true;
            }
        }
        return QWidget::event(e);
    }
    void paintEvent(QPaintEvent*) override {
        // Shown on a screen of other pixels: a bitmap for them first, never a scaled picture.
        if (m_canvas.pixelRatio() != BitmapPixelRatio(devicePixelRatioF())) onPixelRatio();
        QPainter painter(this);
        painter.drawImage(0, 0, m_canvas.image());
    }
    void resizeEvent(QResizeEvent* e) override { onResize(e); }
    void mouseMoveEvent(QMouseEvent* e) override { onMove(e); }
    void mousePressEvent(QMouseEvent* e) override { onPress(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { onRelease(e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { onDouble(e); }
    void wheelEvent(QWheelEvent* e) override { onWheel(e); }

  private:
    PictureCanvas& m_canvas;
};

QScrollBar* MakeScrollBar(Qt::Orientation orientation, const char* name, int value,
                          QWidget* parent) {
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, kTurnSteps - 1);
    bar->setPageStep(kTurnLargeStep);
    bar->setSingleStep(1);
    bar->setValue(value);
    bar->setToolTip(QString::fromUtf8(kScrollHint));
    bar->setStatusTip(QString::fromUtf8(kScrollHint));
    return bar;
}

} // namespace

struct PicturePanel::Impl {
    explicit Impl(core::Env& env) : canvas(env) {}
    PictureCanvas canvas;
    PlaceWidget* place = nullptr;
    QScrollBar* hor = nullptr;
    QScrollBar* ver = nullptr;
    std::function<bool()> turnGate;
    std::optional<TurnDrag> turn;
    int wheelRest = 0;
};

PicturePanel::PicturePanel(core::Env& env, QWidget* parent) : QWidget(parent), d(new Impl(env)) {
    ViewState& v = d->canvas.view();
    d->place = new PlaceWidget(d->canvas, this);
    d->hor = MakeScrollBar(Qt::Horizontal, "ScrollBarHor", v.turnHorizontal(), this);
    d->ver = MakeScrollBar(Qt::Vertical, "ScrollBarVer", v.turnVertical(), this);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(d->place, 0, 0);
    grid->addWidget(d->ver, 0, 1);
    grid->addWidget(d->hor, 1, 0);

    const auto turned = [this] {
        d->canvas.view().setTurn(d->hor->value(), d->ver->value());
        redrawPicture();
    };
    connect(d->hor, &QScrollBar::valueChanged, this, turned);
    connect(d->ver, &QScrollBar::valueChanged, this, turned);

    d->place->onResize = [this](QResizeEvent* e) {
        d->canvas.resize(e->size().width(), e->size().height(), d->place->devicePixelRatioF());
        redrawPicture();
    };
    d->place->onPixelRatio = [this] {
        d->canvas.resize(d->place->width(), d->place->height(), d->place->devicePixelRatioF());
        redrawPicture();
    };
    d->place->onMove = [this](QMouseEvent* e) {
        if (d->canvas.engine().busy()) return;
        const QPoint p = e->position().toPoint();
        if (followTurn(p, e->buttons())) return;
        Q_EMIT placeMouseMoved(p.x(), p.y(), e->buttons(), e->modifiers());
        interactivePass(p.x(), p.y());
    };
    d->place->onPress = [this](QMouseEvent* e) {
        const QPoint p = e->position().toPoint();
        // Asked before the press is handled: a click that ends an operation starts no turn.
        const bool turn = mayTurn(e);
        Q_EMIT placeMousePressed(p.x(), p.y(), e->button(), e->modifiers());
        if (turn) beginTurn(p);
    };
    d->place->onRelease = [this](QMouseEvent* e) {
        const QPoint p = e->position().toPoint();
        if (e->button() == Qt::LeftButton) endTurn();
        Q_EMIT placeMouseReleased(p.x(), p.y(), e->button(), e->modifiers());
    };
    d->place->onWheel = [this](QWheelEvent* e) { wheelEvent(e); };
    d->place->onDouble = [this](QMouseEvent* e) {
        const QPoint p = e->position().toPoint();
        Q_EMIT placeDoubleClicked(p.x(), p.y());
    };
}

PicturePanel::~PicturePanel() {
    delete d;
}

ViewState& PicturePanel::view() {
    return d->canvas.view();
}
const ViewState& PicturePanel::view() const {
    return d->canvas.engine().view();
}

void PicturePanel::setReady(bool ready) {
    d->canvas.engine().setReady(ready);
}

void PicturePanel::redrawPicture() {
    redrawPicture(false, 0, 0);
}

void PicturePanel::redrawPicture(bool interactive, int mx, int my) {
    switch (d->canvas.redraw(interactive, {mx, my})) {
    case RedrawResult::Drawn:
        d->place->update();
        break;
    case RedrawResult::HalfTone:
        Q_EMIT viewChanged();
        break;
    case RedrawResult::NotReady:
    case RedrawResult::Busy:
        break;
    }
}

void PicturePanel::interactivePass(int x, int y) {
    if (d->canvas.interactivePass({x, y}) == RedrawResult::Drawn) d->place->update();
}

void PicturePanel::pickPass(const PickTarget& target) {
    if (d->canvas.pickPass(target) == RedrawResult::Drawn) d->place->update();
}

void PicturePanel::setKeyHandler(KeyHandler handler) {
    d->place->onKey = std::move(handler);
}

bool PicturePanel::busy() const {
    return d->canvas.engine().busy();
}

void PicturePanel::setPassHooks(PassHooks* hooks) {
    d->canvas.engine().setHooks(hooks);
}

PictureCanvas& PicturePanel::canvas() {
    return d->canvas;
}

void PicturePanel::setTurnGate(std::function<bool()> gate) {
    d->turnGate = std::move(gate);
}

bool PicturePanel::turning() const {
    return d->turn.has_value();
}

bool PicturePanel::mayTurn(const QMouseEvent* e) const {
    if (e->button() != Qt::LeftButton) return false;
    return d->turnGate ? d->turnGate() : degenerateAxis() == 0;
}

void PicturePanel::beginTurn(QPoint p) {
    const ViewState& v = view();
    d->turn = TurnDrag{p.x(), p.y(), v.turnHorizontal(), v.turnVertical()};
}

bool PicturePanel::followTurn(QPoint p, Qt::MouseButtons buttons) {
    if (!d->turn) return false;
    // A release lost outside the window ends the turn at the next move.
    if (!(buttons & Qt::LeftButton)) {
        endTurn();
        return false;
    }
    const TurnPreset t = TurnAfterDrag(*d->turn, p.x(), p.y());
    if (t.horizontal != d->hor->value() || t.vertical != d->ver->value()) {
        d->canvas.engine().setHiddenPassDeferred(true);
        setTurnAngles(t.horizontal, t.vertical);
    }
    return true;
}

void PicturePanel::endTurn() {
    d->turn.reset();
    WireFrame& engine = d->canvas.engine();
    if (!engine.hiddenPassDeferred()) return;
    engine.setHiddenPassDeferred(false);
    if (engine.hiddenMode() != core::kHiddenSolid) redrawPicture();
}

void PicturePanel::wheelEvent(QWheelEvent* e) {
    const int steps = WheelZoomSteps(d->wheelRest, e->angleDelta().y());
    e->accept();
    if (steps == 0) return;
    ZoomSteps(view(), steps);
    redrawPicture();
}

void PicturePanel::mousePressEvent(QMouseEvent* e) {
    if (!mayTurn(e)) {
        e->ignore();
        return;
    }
    beginTurn(e->position().toPoint());
}

void PicturePanel::mouseMoveEvent(QMouseEvent* e) {
    if (!followTurn(e->position().toPoint(), e->buttons())) e->ignore();
}

void PicturePanel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && d->turn) {
        endTurn();
        return;
    }
    e->ignore();
}

void PicturePanel::fitPicture() {
    d->canvas.engine().fit();
}

void PicturePanel::viewCommand(int tag) {
    if (const auto preset = AxisPreset(tag)) {
        setTurnAngles(preset->horizontal, preset->vertical);
        return;
    }
    switch (tag) {
    case 5:
        ZoomIn(view());
        break;
    case 6:
        ZoomOut(view());
        break;
    case 7:
        fitPicture();
        break;
    default:
        return; // the list-panel splitters share this handler and change nothing
    }
    redrawPicture();
}

void PicturePanel::setTurnAngles(int horizontal, int vertical) {
    // Both bars move before the one redraw that a change of either brings.
    {
        const QSignalBlocker blockHor(d->hor);
        const QSignalBlocker blockVer(d->ver);
        d->hor->setValue(horizontal);
        d->ver->setValue(vertical);
    }
    d->canvas.view().setTurn(d->hor->value(), d->ver->value());
    redrawPicture();
}

int PicturePanel::degenerateAxis() const {
    return d->canvas.engine().degenerateAxis();
}

QWidget* PicturePanel::place() const {
    return d->place;
}
QScrollBar* PicturePanel::scrollBarHor() const {
    return d->hor;
}
QScrollBar* PicturePanel::scrollBarVer() const {
    return d->ver;
}
const QImage& PicturePanel::image() const {
    return d->canvas.image();
}

} // namespace vorn::pic
