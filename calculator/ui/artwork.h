// The program's decoration: its window icon and the picture on the Details page, drawn in code so
// that they stay sharp at every scale.
#pragma once

#include <QIcon>
#include <QWidget>

namespace gearsheet {

// A sprocket, at the usual icon sizes from 16 × 16 up.
QIcon AppIcon();

// A 243 × 138 picture of a rear wheel with its sprocket and chain.
class PictureBox : public QWidget {
  public:
    explicit PictureBox(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {243, 138}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace gearsheet
