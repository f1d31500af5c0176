#include "ui/screen_fit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace gearsheet {
namespace {

// The frame's extra size around the window's own area (title bar and borders).
QSize FrameExtra(const QWidget& w) {
    return w.frameGeometry().size() - w.geometry().size();
}

}  // namespace

FittingScrollArea::FittingScrollArea(const char* name, QWidget* content, QWidget* parent)
    : QScrollArea(parent) {
    setObjectName(QString::fromLatin1(name));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);  // the keys stay with the page's own widgets
    setWidgetResizable(true);
    setWidget(content);
}

QSize FittingScrollArea::sizeHint() const {
    const QWidget* content = widget();
    if (!content)
        return QScrollArea::sizeHint();
    return content->sizeHint().expandedTo(content->minimumSizeHint()) +
           QSize(2 * frameWidth(), 2 * frameWidth());
}

bool FittingScrollArea::eventFilter(QObject* watched, QEvent* event) {
    // A plain scroll area only fits its scroll bars to a content whose layout changed; its own
    // size hint changes with it, which the layout holding the area must learn.
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}

QRect AvailableArea(const QWidget& w) {
    const QScreen* screen = QGuiApplication::screenAt(w.frameGeometry().center());
    if (!screen)
        screen = w.screen() ? w.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void KeepOnScreen(QWidget& w) {
    const QRect area = AvailableArea(w);
    if (area.isEmpty())
        return;
    const QSize extra = FrameExtra(w);
    const QSize most = area.size() - extra;
    if (w.width() > most.width() || w.height() > most.height())
        w.resize(w.size().boundedTo(most).expandedTo(w.minimumSize()));
    const QRect frame = w.frameGeometry();
    const int left = std::clamp(frame.left(), area.left(),
                                std::max(area.left(), area.right() + 1 - frame.width()));
    const int top = std::clamp(frame.top(), area.top(),
                               std::max(area.top(), area.bottom() + 1 - frame.height()));
    if (left != frame.left() || top != frame.top())
        w.move(left, top);
}

void GrowWithinScreen(QWidget& w) {
    const QRect area = AvailableArea(w);
    if (area.isEmpty())
        return;
    const QSize most = area.size() - FrameExtra(w);
    const QSize wanted = w.size().expandedTo(w.sizeHint().boundedTo(most));
    if (wanted != w.size())
        w.resize(wanted);
    KeepOnScreen(w);
}

}  // namespace gearsheet
