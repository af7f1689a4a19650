// Small pictograms for the tool buttons: a few strokes each, in the program's palette colours.
#include "app/icons.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cstring>

namespace vorn::app {

namespace {

constexpr int kSize = 24;

const QColor kInk(0, 0, 0);
const QColor kBlue(0, 0, 192);
const QColor kRed(192, 0, 0);
const QColor kGreen(0, 128, 0);

void cube(QPainter& p, QColor c) {
    p.setPen(QPen(c, 1.5));
    p.drawRect(QRectF(4, 9, 11, 11));
    p.drawPolyline(QPolygonF(
        {QPointF(4, 9), QPointF(9, 4), QPointF(20, 4), QPointF(20, 15), QPointF(15, 20)}));
    p.drawLine(QPointF(15, 9), QPointF(20, 4));
}

void letters(QPainter& p, const QString& text, QRectF box, QColor c, int size = 9) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(size);
    f.setBold(true);
    p.setFont(f);
    p.setPen(c);
    p.drawText(box, Qt::AlignCenter, text);
}

void axes(QPainter& p, const char* end) {
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(5, 19), QPointF(5, 5));
    p.drawLine(QPointF(5, 19), QPointF(19, 19));
    p.setBrush(kRed);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(5, 19), 2.5, 2.5);
    letters(p, QString::fromLatin1(end), QRectF(8, 3, 16, 12), kBlue, 10);
}

void magnifier(QPainter& p, const char* sign) {
    p.setPen(QPen(kInk, 2));
    p.drawEllipse(QPointF(10, 10), 6, 6);
    p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
    letters(p, QString::fromUtf8(sign), QRectF(4, 4, 12, 12), kBlue, 11);
}

void measure(QPainter& p, bool angle, const QString& tagText) {
    p.setPen(QPen(kInk, 1.5));
    if (angle) {
        p.drawLine(QPointF(3, 20), QPointF(21, 20));
        p.drawLine(QPointF(3, 20), QPointF(17, 6));
        p.setPen(QPen(kRed, 1.2));
        p.drawArc(QRectF(-5, 12, 16, 16), 0, 45 * 16);
    } else {
        p.drawLine(QPointF(3, 19), QPointF(21, 19));
        p.drawLine(QPointF(3, 15), QPointF(3, 22));
        p.drawLine(QPointF(21, 15), QPointF(21, 22));
    }
    letters(p, tagText, QRectF(2, 0, 22, 12), kBlue, 8);
}

void arrowHead(QPainter& p, QPointF tip, QPointF dir) {
    const QPointF n(-dir.y(), dir.x());
    p.drawPolygon(QPolygonF({tip, tip - dir * 4 + n * 3, tip - dir * 4 - n * 3}));
}

void newFile(QPainter& p, const QString&) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF(
        {QPointF(5, 2), QPointF(15, 2), QPointF(19, 6), QPointF(19, 22), QPointF(5, 22)}));
    p.drawLine(QPointF(15, 2), QPointF(15, 6));
    p.drawLine(QPointF(15, 6), QPointF(19, 6));
}

void folder(QPainter& p, const QString&) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(240, 200, 80));
    p.drawPolygon(QPolygonF({QPointF(2, 7), QPointF(9, 7), QPointF(11, 9), QPointF(21, 9),
                             QPointF(21, 20), QPointF(2, 20)}));
}

void diskette(QPainter& p, const QString&) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(60, 90, 200));
    p.drawRect(QRectF(3, 3, 18, 18));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 3, 10, 7));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(6, 14, 12, 7));
}

void cancel(QPainter& p, const QString&) {
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(QRectF(3, 3, 18, 18));
    p.setPen(QPen(Qt::white, 2.5));
    p.drawLine(QPointF(8, 8), QPointF(16, 16));
    p.drawLine(QPointF(16, 8), QPointF(8, 16));
}

void cross(QPainter& p, const QString&) {
    p.setPen(QPen(kRed, 3));
    p.drawLine(QPointF(5, 5), QPointF(19, 19));
    p.drawLine(QPointF(19, 5), QPointF(5, 19));
}

void pencil(QPainter& p, const QString&) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(240, 200, 80));
    p.drawPolygon(QPolygonF(
        {QPointF(4, 20), QPointF(5, 15), QPointF(16, 4), QPointF(20, 8), QPointF(9, 19)}));
}

// A bent arrow turning back (undo) or forward (redo): the redo picture is the undo one mirrored.
void turnArrow(QPainter& p, bool back) {
    if (!back) p.setTransform(QTransform(-1, 0, 0, 1, kSize, 0));
    QPainterPath path(QPointF(20, 19));
    path.cubicTo(QPointF(21, 10), QPointF(14, 7), QPointF(7, 9));
    p.setPen(QPen(kBlue, 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({QPointF(3, 9.5), QPointF(9, 4), QPointF(10, 14)}));
}

void shadedBall(QPainter& p, const QString&) {
    QRadialGradient g(QPointF(9, 9), 12);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(0, 0, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QRectF(2, 2, 20, 20));
}

void isometry(QPainter& p, const QString&) {
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(12, 13), QPointF(12, 2));
    p.drawLine(QPointF(12, 13), QPointF(3, 20));
    p.drawLine(QPointF(12, 13), QPointF(21, 20));
}

void zoomFit(QPainter& p, const QString&) {
    p.setPen(QPen(kInk, 1.5));
    p.drawRect(QRectF(3, 3, 18, 18));
    p.setPen(QPen(kBlue, 1.5));
    p.setBrush(kBlue);
    p.drawLine(QPointF(7, 7), QPointF(17, 17));
    arrowHead(p, QPointF(6, 6), QPointF(-0.7, -0.7));
    arrowHead(p, QPointF(18, 18), QPointF(0.7, 0.7));
}

void sides(QPainter& p, const QString&) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(120, 200, 120));
    p.drawPolygon(QPolygonF({QPointF(3, 20), QPointF(12, 3), QPointF(21, 20)}));
    letters(p, QStringLiteral("S"), QRectF(6, 9, 12, 11), kInk, 10);
}

void calculator(QPainter& p, const QString&) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(5, 2, 14, 20));
    letters(p, QStringLiteral("f(x)"), QRectF(4, 7, 16, 12), kBlue, 7);
}

void transform(QPainter& p, const QString&) {
    letters(p, QStringLiteral("xyz"), QRectF(0, 4, 24, 16), kBlue, 10);
}

// The four picture modes share a green pen.
void modePen(QPainter& p) {
    p.setPen(QPen(kGreen, 2));
    p.setBrush(Qt::NoBrush);
}

void modeMove(QPainter& p, const QString&) {
    modePen(p);
    p.setBrush(kGreen);
    p.drawLine(QPointF(4, 12), QPointF(18, 12));
    arrowHead(p, QPointF(21, 12), QPointF(1, 0));
}

void modeTurn(QPainter& p, const QString&) {
    modePen(p);
    p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 270 * 16);
    p.setBrush(kGreen);
    arrowHead(p, QPointF(19, 7), QPointF(0.5, -0.9));
}

void modeScale(QPainter& p, const QString&) {
    modePen(p);
    p.drawRect(QRectF(3, 11, 8, 8));
    p.drawRect(QRectF(3, 5, 14, 14));
    p.setBrush(kGreen);
    arrowHead(p, QPointF(21, 2), QPointF(0.7, -0.7));
}

void modeFree(QPainter& p, const QString&) {
    modePen(p);
    p.drawPolyline(QPolygonF({QPointF(3, 20), QPointF(8, 6), QPointF(14, 16), QPointF(21, 4)}));
}

void cut(QPainter& p, const QString&) {
    cube(p, kInk);
    p.setPen(QPen(kRed, 1.5));
    p.setBrush(QColor(255, 0, 0, 70));
    p.drawPolygon(QPolygonF({QPointF(4, 15), QPointF(15, 12), QPointF(20, 8), QPointF(9, 11)}));
}

void point(QPainter& p, const QString&) {
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(QPointF(12, 12), 4, 4);
}

void polyline(QPainter& p, const QString&) {
    p.setPen(QPen(kBlue, 1.8));
    p.drawPolyline(QPolygonF({QPointF(3, 19), QPointF(9, 6), QPointF(15, 16), QPointF(21, 5)}));
}

void plane(QPainter& p, const QString&) {
    p.setPen(QPen(kBlue, 1.2));
    p.setBrush(QColor(0, 160, 220, 110));
    p.drawPolygon(QPolygonF({QPointF(2, 17), QPointF(8, 7), QPointF(22, 7), QPointF(16, 17)}));
}

void polyhedron(QPainter& p, const QString&) {
    p.setPen(QPen(kBlue, 1.3));
    p.drawPolygon(QPolygonF({QPointF(3, 19), QPointF(12, 3), QPointF(21, 19)}));
    p.drawLine(QPointF(12, 3), QPointF(14, 15));
    p.drawLine(QPointF(3, 19), QPointF(14, 15));
    p.drawLine(QPointF(21, 19), QPointF(14, 15));
}

void surface(QPainter& p, const QString&) {
    QPainterPath path(QPointF(2, 14));
    path.cubicTo(QPointF(8, 2), QPointF(14, 24), QPointF(22, 10));
    p.setPen(QPen(kBlue, 1.8));
    p.drawPath(path);
    p.drawPath(path.translated(0, 6));
}

void revolution(QPainter& p, const QString&) {
    p.setPen(QPen(kBlue, 1.5));
    p.drawEllipse(QRectF(4, 3, 16, 6));
    p.drawEllipse(QRectF(7, 17, 10, 4));
    p.drawLine(QPointF(4, 6), QPointF(7, 19));
    p.drawLine(QPointF(20, 6), QPointF(17, 19));
}

// Creation on the screen: the same picture with a small pointer.
void pointer(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(14, 12), QPointF(14, 23), QPointF(17, 20), QPointF(20, 23),
                             QPointF(21, 22), QPointF(18, 19), QPointF(22, 19)}));
}

using Painter = void (*)(QPainter&, const QString& letters);

// The picture of each command; a name ending in '*' stands for every command it begins.
struct Picture {
    const char* name;
    Painter paint;
};

const Picture kPictures[] = {
    {"NewFile", newFile},
    {"LoadFile", folder},
    {"LoadSel", folder},
    {"SaveFile", diskette},
    {"SaveAs", diskette},
    {"Cancel", cancel},
    {"Delete", cross},
    {"Edit", pencil},
    {"Undo", [](QPainter& p, const QString&) { turnArrow(p, true); }},
    {"Redo", [](QPainter& p, const QString&) { turnArrow(p, false); }},
    {"HalfTone", shadedBall},
    {"Osi_OZ", [](QPainter& p, const QString&) { axes(p, "Oz"); }},
    {"Osi_OY", [](QPainter& p, const QString&) { axes(p, "Oy"); }},
    {"Osi_OX", [](QPainter& p, const QString&) { axes(p, "Ox"); }},
    {"Osi_3", isometry},
    {"ZoomIn", [](QPainter& p, const QString&) { magnifier(p, "+"); }},
    {"ZoomOut", [](QPainter& p, const QString&) { magnifier(p, "\xe2\x88\x92"); }},
    {"ZoomFit", zoomFit},
    {"Ugol*", [](QPainter& p, const QString& text) { measure(p, true, text); }},
    {"Distance*", [](QPainter& p, const QString& text) { measure(p, false, text); }},
    {"Sides", sides},
    {"Calculator", calculator},
    {"Transform", transform},
    {"mode1", modeMove},
    {"mode2", modeTurn},
    {"mode3", modeScale},
    {"mode4", modeFree},
    {"MakeCut", cut},
    {"StandObj", [](QPainter& p, const QString&) { cube(p, kBlue); }},
    {"CrPoint", point},
    {"ScrPoint", point},
    {"CrPolyline", polyline},
    {"ScrPolyline", polyline},
    {"CrPlane", plane},
    {"ScrPlane", plane},
    {"CrPolyhedron", polyhedron},
    {"CrSurface", surface},
    {"CrRevolution", revolution},
};

bool Matches(const char* pattern, const char* name) {
    const std::size_t n = std::strlen(pattern);
    return pattern[n - 1] == '*' ? std::strncmp(pattern, name, n - 1) == 0
                                 : std::strcmp(pattern, name) == 0;
}

void draw(QPainter& p, const char* n, const QString& tagText) {
    p.setRenderHint(QPainter::Antialiasing);
    for (const Picture& picture : kPictures)
        if (Matches(picture.name, n)) {
            picture.paint(p, tagText);
            break;
        }
    if (std::strncmp(n, "Scr", 3) == 0) pointer(p);
}

} // namespace

QIcon CommandIcon(const char* name) {
    return CommandIcon(name, DefaultIconLetters(name));
}

QIcon CommandIcon(const char* name, const QString& letters) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    draw(painter, name, letters);
    painter.end();
    return QIcon(pixmap);
}

QString DefaultIconLetters(const char* name) {
    // т point, п line (пряма), пл plane.
    struct Code {
        const char* name;
        const char* text;
    };
    static constexpr Code kCodes[] = {{"Ugol3p", "3т"},      {"UgolLPL", "п,пл"},
                                      {"Ugol2PL", "пл,пл"},  {"Distance2P", "т,т"},
                                      {"DistancePL", "т,п"}, {"DistancePPL", "т,пл"},
                                      {"Distance2L", "п,п"}, {"DistanceLPL", "п,пл"}};
    for (const Code& k : kCodes)
        if (std::strcmp(k.name, name) == 0) return QString::fromUtf8(k.text);
    return {};
}

namespace {

const char* const kLettersProperty = "vornIconLetters";

// The command's name from its menu item's name.
QByteArray CommandName(const QAction* action) {
    QByteArray name = action->objectName().toLatin1();
    if (name.startsWith("m_")) name.remove(0, 2);
    return name;
}

} // namespace

bool HasIconLetters(const QAction* action) {
    return !DefaultIconLetters(CommandName(action).constData()).isEmpty();
}

QString IconLetters(const QAction* action) {
    const QVariant stored = action->property(kLettersProperty);
    return stored.isValid() ? stored.toString()
                            : DefaultIconLetters(CommandName(action).constData());
}

void SetIconLetters(QAction* action, const QString& letters) {
    action->setProperty(kLettersProperty, letters);
    action->setIcon(CommandIcon(CommandName(action).constData(), letters));
}

} // namespace vorn::app
