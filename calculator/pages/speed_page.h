// The "Speed Calculation" page: the table of road speeds per gear and engine speed.
#pragma once

#include <QWidget>

class QTableWidget;

namespace gearsheet {

class SpeedPage : public QWidget {
    Q_OBJECT
  public:
    explicit SpeedPage(QWidget* parent = nullptr);

    // Writes the text of cell (row 1 … 16, gear 1 … 6); a shaded cell gets the shading colour.
    void PlaceSpeed(int row, int gear, const QString& text, bool shaded);
    // The unit of the speeds, shown in the heading corner.
    void SetUnitHeading(const QString& unit);
    // Makes the heading corner the current cell, as after a complete table.
    void ResetCurrentCell();

    static const QColor kShading;

  private:
    QTableWidget* grdMain_;
};

}  // namespace gearsheet
