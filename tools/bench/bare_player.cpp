// tavelio-bench-bare-player: the least a program does to play the narration, the yardstick of
// the reader's memory. It maps one empty Qt Widgets window and plays the sound file it is given
// through a GStreamer playbin into the output the reader would choose (the system's, else the same
// silent one). It runs until its window is closed; the benchmark's probe closes it.
#include "platform/media/gst_outputs.h"

#include <QApplication>
#include <QFileInfo>
#include <QUrl>
#include <QWidget>
#include <cstdio>
#include <gst/gst.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavelio-bench-bare-player SOUND-FILE\n");
        return 2;
    }
    gst_init(&argc, &argv);
    QApplication application(argc, argv);
    QWidget window;
    window.setObjectName(QStringLiteral("Bare"));
    window.resize(640, 480);
    window.show();

    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (playbin == nullptr) {
        std::fprintf(stderr, "tavelio-bench-bare-player: GStreamer has no playbin\n");
        return 1;
    }
    const QByteArray uri =
        QUrl::fromLocalFile(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath())
            .toEncoded();
    g_object_set(playbin, "uri", uri.constData(), nullptr);
    if (!tavelio::DefaultAudioOutputWorks()) {
        g_object_set(playbin, "audio-sink", tavelio::MakeSilentAudioOutput({}), nullptr);
    }
    gst_element_set_state(playbin, GST_STATE_PLAYING);
    const int status = QApplication::exec();
    gst_element_set_state(playbin, GST_STATE_NULL);
    gst_object_unref(playbin);
    return status;
}
