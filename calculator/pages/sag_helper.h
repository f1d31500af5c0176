// The Circuit Database page's sag helper: three lengths measured at the front or the rear (topped
// out, on the bike's own weight, with the rider on) give the static and loaded sag, which go into
// that column's "Static Sag:" and "Loaded Sag:" cells. Its widgets are made when it is first
// shown, so that start-up does not pay for them.
#pragma once

#include <QGroupBox>
#include <memory>

#include "window/form_context.h"

class QTableWidget;

namespace gearsheet {

class SagHelper final : public QGroupBox {
  public:
    // `grid` is the page's suspension table (rows 1 and 2 the sags, columns 1 and 2 front and
    // rear).
    SagHelper(FormContext& context, QTableWidget* grid, QWidget* parent = nullptr);
    ~SagHelper() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct Widgets;
    void Build();
    void cmdPutSag_Click();

    FormContext& context_;
    QTableWidget* grid_;
    std::unique_ptr<Widgets> ui_;
};

}  // namespace gearsheet
