#include "platform/media/video_display.h"

#include <QPainter>

namespace tavelio {

VideoDisplay::VideoDisplay(QWidget* form, const char* name) : WindowControl(form, name) {
    // Frames cover what they cover; the rest keeps the window's own background.
    setAutoFillBackground(true);
}

void VideoDisplay::ShowFrame(const QImage& frame) {
    frame_ = frame;
    ++frameCount_;
    update();
}

void VideoDisplay::ClearFrame() {
    frame_ = QImage();
    update();
}

void VideoDisplay::paintEvent(QPaintEvent*) {
    if (frame_.isNull() || width() <= 0 || height() <= 0) {
        return;
    }
    const QSize fitted = frame_.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, frame_);
}

nlohmann::json VideoDisplay::Describe() const {
    nlohmann::json description = DescribeWindowControl("videoDisplay");
    description["frameWidth"] = frame_.width();
    description["frameHeight"] = frame_.height();
    return description;
}

} // namespace tavelio
