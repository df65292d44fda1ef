#include "support/golden.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace quillon::test {

double DifferingShare(const QImage &a, const QImage &b)
{
    long differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *pb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (std::abs(qRed(pa[x]) - qRed(pb[x])) > 2 || std::abs(qGreen(pa[x]) - qGreen(pb[x])) > 2 ||
                std::abs(qBlue(pa[x]) - qBlue(pb[x])) > 2)
                ++differing;
    }
    return double(differing) / (double(a.width()) * a.height());
}

void ExpectLikeGolden(const QImage &picture, const std::string &dir, const std::string &name, double allowedShare)
{
    const QImage actual = picture.convertToFormat(QImage::Format_RGB32);
    const QString path = QString::fromStdString(std::string(QUILLON_SOURCE_DIR) + "/" + dir + "/" + name + ".png");
    if (qEnvironmentVariableIntValue("UPDATE_GOLDEN") == 1) {
        QDir().mkpath(path.section('/', 0, -2));
        ASSERT_TRUE(actual.save(path, "PNG")) << path.toStdString();
        std::printf("wrote %s\n", path.toStdString().c_str());
        return;
    }
    const QImage expected = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << path.toStdString() << " is missing: run with UPDATE_GOLDEN=1 and look at it";
    const QString actualPath =
        QCoreApplication::applicationDirPath() + "/" + QString::fromStdString(name) + ".actual.png";
    if (actual.size() != expected.size()) {
        actual.save(actualPath, "PNG");
        FAIL() << name << " has another size; see " << actualPath.toStdString();
    }
    const double share = DifferingShare(actual, expected);
    if (share > allowedShare)
        actual.save(actualPath, "PNG");
    EXPECT_LE(share, allowedShare) << name << " differs; see " << actualPath.toStdString();
}

} // namespace quillon::test
