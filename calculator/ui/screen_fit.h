// Keeping windows and pages within the screen they are on, at any scale: a scroll area that asks
// for its whole content but may be made smaller, and the moves that keep a window on its screen.
#pragma once

#include <QScrollArea>

class QWidget;

namespace gearsheet {

// A frameless scroll area that asks for room for its whole content (where a plain scroll area asks
// for a fixed share of the screen) and shows scroll bars only when it gets less.
class FittingScrollArea final : public QScrollArea {
  public:
    // Holds `content`, named `name`.
    FittingScrollArea(const char* name, QWidget* content, QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    // A content that wants another size makes this area want it too, up to the window.
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The free area of the screen the window `w` is on (the one holding its centre, else the primary).
QRect AvailableArea(const QWidget& w);

// Moves the top-level window `w` (and shrinks it where it is larger) so that its frame lies within
// AvailableArea; a window already inside stays where it is.
void KeepOnScreen(QWidget& w);

// Grows the top-level window `w` towards its size hint as far as AvailableArea allows, then keeps
// it on the screen; never shrinks it.
void GrowWithinScreen(QWidget& w);

}  // namespace gearsheet
