// The splash window: the program's name, its version and a wire-frame solid.
#include "app/pres_frm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace vorn::app {

TPresFrm::TPresFrm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("PresFrm");
    setWindowTitle(QStringLiteral("VORN-3D"));
    setFixedSize(420, 260);
    auto* name = new QLabel(QStringLiteral("VORN-3D"), this);
    name->setObjectName("NameLabel");
    QFont big(QStringLiteral("Arial"), 30, QFont::Bold);
    name->setFont(big);
    auto* version = new QLabel(QStringLiteral("Версія 1.0"), this);
    version->setObjectName("VersionLabel");
    version->setFont(QFont(QStringLiteral("Arial"), 12));
    for (QLabel* l : {name, version}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(255, 255, 128));
        l->setPalette(p);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(190, 60, 20, 40);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addStretch(1);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TPresFrm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(64, 0, 128));
    p.setPen(QPen(QColor(255, 255, 255), 2));
    // A cube in the program's starting view, with a dashed hidden corner.
    const QPointF a(40, 200), b(130, 215), c(170, 175), d(80, 160);
    const QPointF up(0, -100);
    p.drawPolyline(QPolygonF({a, b, c}));
    p.drawPolygon(QPolygonF({a + up, b + up, c + up, d + up}));
    p.drawLine(a, a + up);
    p.drawLine(b, b + up);
    p.drawLine(c, c + up);
    p.setPen(QPen(QColor(255, 255, 255), 1, Qt::DashLine));
    p.drawPolyline(QPolygonF({a, d, c}));
    p.drawLine(d, d + up);
    p.setPen(QPen(QColor(255, 255, 128), 2));
    p.drawLine(a, c + up);
}

} // namespace vorn::app
