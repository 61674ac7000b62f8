// tavelio-metafile: draws an SVG picture as a metafile, for books and tests that need pictures in
// the metafile formats. Usage: tavelio-metafile IN.svg OUT.wmf|OUT.emf
//
// Qt's SVG renderer paints the picture at its own size (the SVG's width and height in pixels)
// onto a ShapeRecorder, and its shapes are written in the format the output's extension names.
// The picture must use solid colours only (transparency is mixed in); text is written as the
// outlines of its glyphs, so the metafile needs no fonts.
#include "metafile/metafile_writer.h"
#include "metafile/shape_recorder.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPainter>
#include <QSvgRenderer>
#include <exception>
#include <iostream>
#include <string>

namespace {

int Convert(const std::string& in, const std::string& out) {
    using namespace tavelio::metafile;
    QSvgRenderer renderer(QString::fromStdString(in));
    if (!renderer.isValid()) {
        std::cerr << in << ": not a picture Qt's SVG renderer can draw\n";
        return 1;
    }
    ShapeRecorder recording(renderer.defaultSize());
    QPainter painter(&recording);
    renderer.render(&painter);
    painter.end();
    if (!recording.Unsupported().empty()) {
        std::cerr << in << ": holds " << recording.Unsupported()
                  << ", which has no solid-colour shape in a metafile\n";
        return 1;
    }
    if (out.ends_with(".wmf")) {
        WriteWmf(out, recording);
    } else if (out.ends_with(".emf")) {
        WriteEmf(out, recording);
    } else {
        std::cerr << out << ": the name must end in .wmf or .emf\n";
        return 2;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tavelio-metafile IN.svg OUT.wmf|OUT.emf\n";
        return 2;
    }
    // No window is shown; the offscreen platform gives the renderer its fonts.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    // The renderer's remarks on what it skips (definitions a picture never uses, mostly) are not
    // this tool's business: what it can't write, it reports itself.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.svg.warning=false"));
    try {
        return Convert(argv[1], argv[2]);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
}
