#include "pages/sag_helper.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <variant>

#include "gearing/sag.h"
#include "ui/dialogs.h"
#include "ui/locale_numbers.h"

namespace gearsheet {
namespace {

constexpr int kStaticSagRow = 1;
constexpr int kLoadedSagRow = 2;

QLineEdit* LengthBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setPlaceholderText(QStringLiteral("mm"));
    return box;
}

}  // namespace

struct SagHelper::Widgets {
    QComboBox* end;
    QLineEdit* toppedOut;
    QLineEdit* ownWeight;
    QLineEdit* riderOn;
};

SagHelper::SagHelper(FormContext& context, QTableWidget* grid, QWidget* parent)
    : QGroupBox(QStringLiteral("Sag helper"), parent), context_(context), grid_(grid) {
    setObjectName(QStringLiteral("grpSagHelper"));
}

SagHelper::~SagHelper() = default;

void SagHelper::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    if (!ui_)
        Build();
}

void SagHelper::Build() {
    ui_ = std::make_unique<Widgets>();
    Widgets& w = *ui_;
    w.end = new QComboBox(this);
    w.end->setObjectName(QStringLiteral("cboSagEnd"));
    w.end->addItems({QStringLiteral("FRONT"), QStringLiteral("REAR")});
    w.toppedOut = LengthBox("txtSagToppedOut", this);
    w.ownWeight = LengthBox("txtSagOwnWeight", this);
    w.riderOn = LengthBox("txtSagRiderOn", this);
    auto* put = new QPushButton(QStringLiteral("Put into the table"), this);
    put->setObjectName(QStringLiteral("cmdPutSag"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Measured at:"), w.end);
    form->addRow(QStringLiteral("Topped out (mm):"), w.toppedOut);
    form->addRow(QStringLiteral("Bike's own weight (mm):"), w.ownWeight);
    form->addRow(QStringLiteral("Rider on (mm):"), w.riderOn);
    form->addRow(put);
    connect(put, &QPushButton::clicked, this, [this] {
        Handled(context_.errors, ".cmdPutSag_Click", [this] { cmdPutSag_Click(); });
    });
}

void SagHelper::cmdPutSag_Click() {
    Widgets& w = *ui_;
    const std::pair<QLineEdit*, const char*> boxes[] = {
        {w.toppedOut, "Topped out"}, {w.ownWeight, "Bike's own weight"}, {w.riderOn, "Rider on"}};
    double lengths[3] = {};
    for (int i = 0; i < 3; ++i) {
        const std::optional<double> value = ParseLocaleNumber(boxes[i].first->text());
        if (!value) {
            context_.dialogs.Message(window(),
                                     QStringLiteral("%1: type the length in mm, such as 612.5.")
                                         .arg(QString::fromLatin1(boxes[i].second)),
                                     kProgramTitle, MessageIcon::Exclamation);
            boxes[i].first->setFocus();
            return;
        }
        lengths[i] = *value;
    }
    const auto sag = ComputeSag({lengths[0], lengths[1], lengths[2]});
    if (const auto* problem = std::get_if<std::string>(&sag)) {
        context_.dialogs.Message(window(), QString::fromStdString(*problem), kProgramTitle,
                                 MessageIcon::Exclamation);
        return;
    }
    const int column = w.end->currentIndex() + 1;
    const Sag& s = std::get<Sag>(sag);
    grid_->item(kStaticSagRow, column)
        ->setText(LocaleNumberText(s.staticSag) + QStringLiteral(" mm"));
    grid_->item(kLoadedSagRow, column)
        ->setText(LocaleNumberText(s.loadedSag) + QStringLiteral(" mm"));
}

}  // namespace gearsheet
