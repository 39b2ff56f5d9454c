#include "ui/drawingsurface.h"
#include "ui/printing.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QSvgGenerator>
#include <QtTest>

using namespace relperm;

class DrawingSurfaceTest : public QObject {
    Q_OBJECT

    static Scene redDotAtOrigin() {
        Scene scene;
        scene.coordinates = krPlotCoordinates;
        scene.add(SceneDot{0, 0, Rgb{255, 0, 0}, 3});
        return scene;
    }

    static bool isRed(QRgb pixel) {
        return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
    }

  private slots:
    void mapsUserCoordinatesOntoTheTarget() {
        // (0, 0) lies 25/135 of the width from the left and 110/130 of the height from the
        // top, since x runs from -25 over 135 units and y from 110 down over 130.
        QImage image(270, 260, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        ui::renderScene(painter, redDotAtOrigin(), QRectF(0, 0, 270, 260));
        painter.end();
        QVERIFY(isRed(image.pixel(50, 220)));
        QVERIFY(!isRed(image.pixel(60, 220)));
    }

    void keepsTheDrawingUntilCleared() {
        ui::DrawingSurface surface;
        surface.resize(272, 262);
        surface.draw(redDotAtOrigin());
        QCOMPARE(surface.scenes().size(), std::size_t{1});
        QVERIFY(isRed(surface.grab().toImage().pixel(51, 221)));
        surface.clear();
        QVERIFY(surface.scenes().empty());
        QVERIFY(!isRed(surface.grab().toImage().pixel(51, 221)));
    }

    void fixedBackgroundStaysUntilTheNextClear() {
        ui::DrawingSurface surface;
        surface.resize(272, 262);
        surface.draw(redDotAtOrigin());
        surface.fixIntoBackground();
        QVERIFY(surface.hasBackgroundPicture());
        QVERIFY(isRed(surface.grab().toImage().pixel(51, 221)));
        surface.clear();
        QVERIFY(!surface.hasBackgroundPicture());
        QVERIFY(!isRed(surface.grab().toImage().pixel(51, 221)));
    }

    void dashedLinesLeaveGaps() {
        Scene scene;
        scene.coordinates = UserCoordinates{0, 0, 100, 10};
        scene.add(SceneLine{0, 5, 100, 5, Rgb{255, 0, 0}, 1, LineStyle::Dashed});
        QImage image(100, 10, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        ui::renderScene(painter, scene, QRectF(0, 0, 100, 10));
        painter.end();
        int red = 0;
        for (int x = 0; x < 100; ++x)
            red += isRed(image.pixel(x, 5)) ? 1 : 0;
        QVERIFY2(red > 30 && red < 90, qPrintable(QString::number(red)));
    }

    void aPrintedPlotHoldsEachTextOnce() {
        ui::DrawingSurface surface;
        surface.resize(272, 262);
        Scene scene = redDotAtOrigin();
        scene.add(SceneText{10, 50, "krow", Rgb{0, 0, 0}});
        surface.draw(scene);
        surface.fixIntoBackground(); // as Print does, before the page is painted
        surface.setVectorPainting(true);
        QByteArray svg;
        QBuffer buffer(&svg);
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(surface.size());
        QPainter painter(&generator);
        surface.render(&painter);
        painter.end();
        QCOMPARE(svg.count(">krow<"), 1);
    }

    void thePrintPreviewShowsThePage() {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("unused.pdf"));
        const ui::Page page{"Plot", QSize(400, 300), [](QPainter& painter, const QRectF& target) {
                                painter.fillRect(target, Qt::red);
                            }};
        ui::PrintPreview preview(printer, page, nullptr);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        QTRY_VERIFY([&] {
            const QImage shown = preview.grab().toImage();
            int red = 0;
            for (int y = 0; y < shown.height(); y += 4)
                for (int x = 0; x < shown.width(); x += 4)
                    red += isRed(shown.pixel(x, y)) ? 1 : 0;
            return red > 500;
        }());
    }
};

QTEST_MAIN(DrawingSurfaceTest)
#include "drawingsurface_test.moc"
