#include "platform/media/video_display.h"

#include <QPainter>

namespace tavelio {

VideoDisplay::VideoDisplay(QWidget* form, const char* name) : WindowControl(form, name) {
    // Frames cover what they cover; the rest keeps the window's own background.
    setAutoFillBackground(true);
}

void VideoDisplay::ShowFrame(const QImage& frame) {
    const bool sameSize = frame.size() == frame_.size();
    frame_ = frame;
    ++frameCount_;
    // A frame of the same size covers the same rectangle; what lies beside it stays as it is.
    if (sameSize) {
        update(FrameRect());
    } else {
        update();
    }
}

void VideoDisplay::ClearFrame() {
    frame_ = QImage();
    update();
}

void VideoDisplay::paintEvent(QPaintEvent*) {
    if (frame_.isNull() || width() <= 0 || height() <= 0) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(FrameRect(), frame_);
}

QRect VideoDisplay::FrameRect() const {
    const QSize fitted = frame_.size().scaled(size(), Qt::KeepAspectRatio);
    return {QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted};
}

nlohmann::json VideoDisplay::Describe() const {
    nlohmann::json description = DescribeWindowControl("videoDisplay");
    description["frameWidth"] = frame_.width();
    description["frameHeight"] = frame_.height();
    return description;
}

} // namespace tavelio
