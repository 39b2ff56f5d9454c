// What poppler's command-line tools read from a PDF file the suite wrote: its text, laid
// out as on the page, and the images in it coarser than the paper should get.
#pragma once

#include <QProcess>
#include <QStringList>

#include <optional>

namespace relperm::testing {

// What `tool` writes to its standard output; nothing when it cannot run or fails.
inline std::optional<QString> popplerOutput(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline std::optional<QString> pdfText(const QString& pdf) {
    return popplerOutput("pdftotext", {"-layout", pdf, "-"});
}

// Each image (or transparency mask) of fewer than `pixelsPerInch` on paper, described.
inline std::optional<QStringList> pdfImagesCoarserThan(const QString& pdf, int pixelsPerInch) {
    const std::optional<QString> list = popplerOutput("pdfimages", {"-list", pdf});
    if (!list)
        return std::nullopt;
    // Under two heading lines: page num type width height color comp bpc enc interp object
    // ID x-ppi y-ppi size ratio.
    QStringList coarse;
    for (const QString& line : list->split('\n', Qt::SkipEmptyParts).mid(2)) {
        const QStringList f = line.split(' ', Qt::SkipEmptyParts);
        if (f.size() < 14 || f[12].toInt() < pixelsPerInch || f[13].toInt() < pixelsPerInch)
            coarse << QString("%1 %2x%3 at %4/%5 ppi")
                          .arg(f.value(2), f.value(3), f.value(4), f.value(12), f.value(13));
    }
    return coarse;
}

} // namespace relperm::testing
