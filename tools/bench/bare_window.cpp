// tavelio-bench-bare-window: the least a Qt Widgets program does to show something, the yardstick
// of the reader's start. It maps one empty window and runs until the window is closed; the
// benchmark's probe stamps its first frame and closes it.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setObjectName(QStringLiteral("Bare"));
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
