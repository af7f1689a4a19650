// Golden pictures: a drawn bitmap compared pixel for pixel with one stored under golden/.
#pragma once

#include <QDir>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

namespace vorn::test {

// Compares with a stored picture; VORN_UPDATE_GOLDEN=1 stores the new one instead. A mismatch
// leaves the picture and a difference image beside the build.
inline void ExpectGolden(const QImage& actual, const QString& name) {
    const QString golden = QStringLiteral(VORN_GOLDEN_DIR "/") + name;
    if (qEnvironmentVariableIntValue("VORN_UPDATE_GOLDEN") == 1) {
        QDir().mkpath(QStringLiteral(VORN_GOLDEN_DIR));
        ASSERT_TRUE(actual.save(golden));
        return;
    }
    QImage expected(golden);
    ASSERT_FALSE(expected.isNull()) << golden.toStdString() << " missing";
    expected = expected.convertToFormat(QImage::Format_RGB32);
    const QImage got = actual.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(expected.size(), got.size());
    QImage diff(got.size(), QImage::Format_RGB32);
    diff.fill(Qt::white);
    int differing = 0;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            if (got.pixel(x, y) != expected.pixel(x, y)) {
                ++differing;
                diff.setPixel(x, y, qRgb(255, 0, 255));
            }
    if (differing) {
        QDir().mkpath(QStringLiteral(VORN_GOLDEN_OUT));
        got.save(QStringLiteral(VORN_GOLDEN_OUT "/") + name);
        diff.save(QStringLiteral(VORN_GOLDEN_OUT "/diff-") + name);
    }
    EXPECT_EQ(differing, 0) << name.toStdString();
}

} // namespace vorn::test
