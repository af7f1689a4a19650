// The picture panel: its widgets, the view commands, the scroll bars, resizing and the mouse.
#include "picture_fixture.h"
#include "qt_app.h"

#include "picture/picture_canvas.h"
#include "picture/picture_panel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace vorn::pic {
namespace {

struct Panel : test::PictureScene {
    std::unique_ptr<PicturePanel> panel;
    Panel() {
        test::EnsureQtApp();
        panel = std::make_unique<PicturePanel>(env);
        panel->resize(520, 430);
        panel->show();
        QApplication::processEvents();
        panel->setReady(true);
        panel->fitPicture();
        panel->redrawPicture();
    }
};

TEST(PicturePanel, WidgetsCarryTheirNamesRangesAndHints) {
    Panel p;
    EXPECT_EQ(p.panel->place()->objectName(), QStringLiteral("Place"));
    EXPECT_EQ(p.panel->place()->toolTip(), QStringLiteral("Поле зображення"));
    for (QScrollBar* bar : {p.panel->scrollBarHor(), p.panel->scrollBarVer()}) {
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 71);
        EXPECT_EQ(bar->pageStep(), 5);
        EXPECT_EQ(bar->singleStep(), 1);
        EXPECT_EQ(bar->toolTip(), QStringLiteral("Смуга повороту зображення"));
    }
    EXPECT_EQ(p.panel->scrollBarHor()->objectName(), QStringLiteral("ScrollBarHor"));
    EXPECT_EQ(p.panel->scrollBarVer()->objectName(), QStringLiteral("ScrollBarVer"));
    EXPECT_EQ(p.panel->scrollBarHor()->value(), 27);
    EXPECT_EQ(p.panel->scrollBarVer()->value(), 49);
    EXPECT_EQ(p.panel->scrollBarHor()->orientation(), Qt::Horizontal);
}

TEST(PicturePanel, ResizeRefreshesFitBaseAndBitmapButDoesNotRefit) {
    Panel p;
    const QSize size = p.panel->place()->size();
    EXPECT_EQ(p.panel->image().size(), size);
    EXPECT_DOUBLE_EQ(p.panel->view().fitBase, std::min(size.width(), size.height()));
    const float zoom = p.panel->view().zoomX();
    // The unit cube of an empty scene reaches sqrt(3) from the centre.
    EXPECT_FLOAT_EQ(zoom, std::min(size.width(), size.height()) / (2 * std::sqrt(3.0f)));
    p.panel->resize(300, 600);
    QApplication::processEvents();
    const QSize smaller = p.panel->place()->size();
    EXPECT_EQ(p.panel->image().size(), smaller);
    EXPECT_DOUBLE_EQ(p.panel->view().fitBase, std::min(smaller.width(), smaller.height()));
    EXPECT_FLOAT_EQ(p.panel->view().zoomX(), zoom);
    EXPECT_EQ(p.panel->view().halfWidth, smaller.width() / 2);
}

TEST(PicturePanel, ViewCommandsByTag) {
    Panel p;
    const int expected[5][3] = {{0, 0, 0}, {0, 36, 3}, {0, 54, 2}, {18, 54, 1}, {27, 49, 0}};
    for (int tag : {1, 2, 3, 4}) {
        p.panel->viewCommand(tag);
        EXPECT_EQ(p.panel->scrollBarHor()->value(), expected[tag][0]);
        EXPECT_EQ(p.panel->scrollBarVer()->value(), expected[tag][1]);
        EXPECT_EQ(p.scene.header.turnHorizontal, expected[tag][0]);
        EXPECT_EQ(p.scene.header.turnVertical, expected[tag][1]);
        EXPECT_EQ(p.panel->degenerateAxis(), expected[tag][2]) << "tag " << tag;
    }
    const float zoom = p.panel->view().zoomX();
    p.panel->viewCommand(5);
    EXPECT_FLOAT_EQ(p.panel->view().zoomZ(), zoom * 1.1f);
    p.panel->viewCommand(6);
    EXPECT_FLOAT_EQ(p.panel->view().zoomZ(), zoom);
    p.panel->view().setZoom(3, 3, 3);
    p.panel->viewCommand(7);
    EXPECT_FLOAT_EQ(p.panel->view().zoomY(), zoom);
    const QImage before = p.panel->image();
    p.panel->viewCommand(0); // the splitters' tag: nothing changes
    EXPECT_EQ(p.panel->image(), before);
}

TEST(PicturePanel, ScrollBarsTurnTheViewAndRedraw) {
    Panel p;
    const QImage before = p.panel->image();
    p.panel->scrollBarHor()->setValue(40);
    EXPECT_EQ(p.scene.header.turnHorizontal, 40);
    EXPECT_EQ(p.scene.header.turnVertical, 49);
    EXPECT_NE(p.panel->image(), before);
    p.panel->setTurnAngles(80, -3); // out of range: the bars hold their limits
    EXPECT_EQ(p.panel->scrollBarHor()->value(), 71);
    EXPECT_EQ(p.scene.header.turnVertical, 0);
}

TEST(PicturePanel, MouseMoveReportsAndShowsNodes) {
    Panel p;
    const int line = p.addPolyline(4);
    p.panel->view().setZoom(50, 50, 50);
    p.panel->redrawPicture();
    const ScreenPoint v = p.panel->canvas().engine().screen(line, 2);
    ASSERT_TRUE(p.panel->image().rect().adjusted(2, 2, -2, -2).contains(v.x, v.y));
    const QRgb nodeFill = qRgb(255, 255, 255), nodeOutline = qRgb(0, 0, 255);
    EXPECT_NE(p.panel->image().pixel(v.x - 2, v.y - 2) | 0xFF000000u, nodeOutline);
    int moves = 0, mx = 0;
    QObject::connect(p.panel.get(), &PicturePanel::placeMouseMoved,
                     [&](int x, int, Qt::MouseButtons, Qt::KeyboardModifiers) {
                         ++moves;
                         mx = x;
                     });
    QMouseEvent move(QEvent::MouseMove, QPointF(17, 23), QPointF(17, 23), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(p.panel->place(), &move);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(mx, 17);
    EXPECT_EQ(p.panel->image().pixel(v.x - 2, v.y - 2) | 0xFF000000u, nodeOutline);
    EXPECT_EQ(p.panel->image().pixel(v.x, v.y) | 0xFF000000u, nodeFill);
}

} // namespace
} // namespace vorn::pic
