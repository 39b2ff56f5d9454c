// The PNG icons the build renders for the hicolor theme, as a desktop without SVG shows them
// in its menu and task bar: every size there, square, drawn, and the program's own picture.
#include "support/program_icons.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QtTest>

using namespace relperm::testing;

namespace {

const int themeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QString pngOf(const QString& program, int size) {
    return QString("%1/%2x%2/apps/%3.png").arg(ICON_THEME_DIR).arg(size).arg(program);
}

// Opaque pixels of mostly one colour of the curves, blended with at most a little of the
// background or a neighbouring stroke, as a stroke one pixel wide at 16 pixels comes out.
int opaquePixelsLike(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 255 && std::abs(pixel.red() - colour.red()) < 96 &&
                std::abs(pixel.green() - colour.green()) < 96 &&
                std::abs(pixel.blue() - colour.blue()) < 96)
                ++count;
        }
    return count;
}

} // namespace

class ThemeIconsTest : public QObject {
    Q_OBJECT

  private slots:
    void everySizeIsASquareWithTheCurvesOnARoundedFrame_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("size");
        for (const char* program : {"vomar", "pellam", "ostilo"})
            for (int size : themeSizes)
                QTest::addRow("%s %d", program, size) << QString(program) << size;
    }

    void everySizeIsASquareWithTheCurvesOnARoundedFrame() {
        QFETCH(QString, program);
        QFETCH(int, size);
        QImage image(pngOf(program, size));
        QVERIFY2(!image.isNull(), qPrintable(pngOf(program, size) + " is missing or not a PNG"));
        QCOMPARE(image.size(), QSize(size, size));
        image = image.convertToFormat(QImage::Format_ARGB32);
        // The frame's corners are rounded off, so the theme's picture is not a square tile.
        QVERIFY2(image.pixelColor(0, 0).alpha() < 128, "the top left corner is filled");
        QVERIFY2(image.pixelColor(size - 1, size - 1).alpha() < 128,
                 "the bottom right corner is filled");
        QCOMPARE(image.pixelColor(size / 2, 0).alpha(), 255);
        QVERIFY2(opaquePixelsLike(image, QColor(0, 0, 255)) > 0, "no water curve");
        QVERIFY2(opaquePixelsLike(image, QColor(255, 0, 0)) > 0, "no oil curve");
        QVERIFY2(opaquePixelsLike(image, QColor(0, 0, 0)) > 0, "nothing drawn in black");
    }

    // A theme icon made from another program's SVG, or windows showing another picture than
    // the menu's, is told apart here; the three are also told apart from one another.
    void theThemesPicturesAreTheWindowsIcons() {
        for (const char* program : {"vomar", "pellam", "ostilo"}) {
            QIcon theme;
            for (int size : themeSizes)
                theme.addFile(pngOf(program, size), QSize(size, size));
            QCOMPARE(programOfIcon(theme), QString(program));
        }
    }
};

QTEST_MAIN(ThemeIconsTest)
#include "theme_icons_test.moc"
