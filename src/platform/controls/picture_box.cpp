#include "platform/controls/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace tavelio {

PictureBox::PictureBox(QWidget* form, const char* name, int left, int top, int width, int height,
                       Drawing drawing, EventDispatcher& dispatcher)
    : WindowControl(form, name), dispatcher_(dispatcher), drawing_(drawing) {
    setGeometry(left, top, width, height);
}

void PictureBox::LoadFromFile(const std::string& path, PicturesAhead& pictures) {
    SetPicture(pictures.Load(path));
}

void PictureBox::SetPicture(const QImage& picture) {
    picture_ = picture;
    detailed_ = QImage();
    update();
}

void PictureBox::SetDetailedPicture(const std::function<QImage()>& decode) {
    if (devicePixelRatioF() <= 1) {
        return;
    }
    const QImage detailed = decode();
    detailed_ = detailed;
    if (!picture_.isNull()) {
        detailed_.setDevicePixelRatio(qreal(detailed.width()) / picture_.width());
    }
    update();
}

void PictureBox::SetDrawing(Drawing drawing) {
    drawing_ = drawing;
    update();
}

void PictureBox::DeliverClick() {
    if (isVisible() && isEnabled() && onClick_) {
        dispatcher_.Run(onClick_);
    }
}

void PictureBox::SetIgnoresMouse(bool ignores) {
    setAttribute(Qt::WA_TransparentForMouseEvents, ignores);
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) {
        return;
    }
    const bool detailed = devicePixelRatioF() > 1 && !detailed_.isNull();
    const QImage& shown = detailed ? detailed_ : picture_;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    switch (drawing_) {
    case Drawing::Natural:
        painter.drawImage(0, 0, shown);
        break;
    case Drawing::Centred:
        // Halves rounded toward zero, as the form's own centring does.
        painter.drawImage((width() - picture_.width()) / 2, (height() - picture_.height()) / 2,
                          shown);
        break;
    case Drawing::Stretched:
        painter.drawImage(rect(), shown);
        break;
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) {
        DeliverClick();
    }
}

nlohmann::json PictureBox::Describe() const {
    nlohmann::json description = DescribeWindowControl("picture");
    switch (drawing_) {
    case Drawing::Natural:
        description["drawing"] = "natural";
        break;
    case Drawing::Centred:
        description["drawing"] = "centred";
        break;
    case Drawing::Stretched:
        description["drawing"] = "stretched";
        break;
    }
    description["picture"] = picture_.isNull() ? nlohmann::json(nullptr)
                                               : nlohmann::json{{"width", picture_.width()},
                                                                {"height", picture_.height()}};
    return description;
}

} // namespace tavelio
