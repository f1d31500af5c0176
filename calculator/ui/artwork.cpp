#include "ui/artwork.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>
#include <algorithm>

namespace gearsheet {
namespace {

const QColor kSteel(70, 86, 110);
const QColor kAccent(202, 215, 230);

// A sprocket of `teeth` teeth around `centre`, as one closed outline with a hub hole.
QPainterPath Sprocket(QPointF centre, qreal outer, qreal inner, int teeth) {
    QPainterPath path;
    const int points = teeth * 4;
    for (int i = 0; i <= points; ++i) {
        const qreal angle = 2 * M_PI * i / points;
        const qreal r = (i % 4 == 1 || i % 4 == 2) ? outer : inner;
        const QPointF p(centre.x() + r * qCos(angle), centre.y() + r * qSin(angle));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.addEllipse(centre, inner * 0.38, inner * 0.38);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

QPixmap IconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal c = size / 2.0;
    const int teeth = size < 24 ? 8 : 12;
    p.setPen(Qt::NoPen);
    p.setBrush(kSteel);
    p.drawPath(Sprocket({c, c}, size * 0.49, size * 0.39, teeth));
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(c, c), size * 0.12, size * 0.12);
    return pixmap;
}

// Paints each size when it is first asked for, so that start-up pays for none it doesn't show.
class SprocketIconEngine final : public QIconEngine {
  public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->drawPixmap(rect, IconPixmap(std::min(rect.width(), rect.height())));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        return IconPixmap(std::max(1, std::min(size.width(), size.height())));
    }
    QIconEngine* clone() const override { return new SprocketIconEngine; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    }
};

}  // namespace

QIcon AppIcon() {
    return QIcon(new SprocketIconEngine);
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture1"));
    setFixedSize(243, 138);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();
    p.fillRect(area, kAccent);

    // Rear wheel with tyre, the big sprocket on it, a small front sprocket and the chain.
    const QPointF wheel(area.width() * 0.66, area.height() * 0.5);
    const QPointF front(area.width() * 0.18, area.height() * 0.56);
    const qreal tyre = area.height() * 0.44;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 44));
    p.drawEllipse(wheel, tyre, tyre);
    p.setBrush(QColor(150, 156, 166));
    p.drawEllipse(wheel, tyre * 0.72, tyre * 0.72);
    p.setBrush(kSteel);
    p.drawPath(Sprocket(wheel, tyre * 0.62, tyre * 0.54, 24));
    p.drawPath(Sprocket(front, tyre * 0.26, tyre * 0.2, 10));

    QPen chain(QColor(30, 30, 34), 3);
    chain.setCapStyle(Qt::RoundCap);
    p.setPen(chain);
    const qreal rw = tyre * 0.58, rf = tyre * 0.23;
    p.drawLine(QPointF(front.x(), front.y() - rf), QPointF(wheel.x(), wheel.y() - rw));
    p.drawLine(QPointF(front.x(), front.y() + rf), QPointF(wheel.x(), wheel.y() + rw));
}

}  // namespace gearsheet
