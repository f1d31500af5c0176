#include "pages/details_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "gearing/gear_data.h"
#include "gearing/tyre_size.h"
#include "pages/numeric_boxes.h"
#include "pages/record_names.h"
#include "settings/settings_file.h"
#include "settings/tyres.h"
#include "ui/artwork.h"
#include "ui/dialogs.h"
#include "ui/locale_numbers.h"
#include "ui/page_layout.h"
#include "window/settings_store.h"
#include "window/setup_model.h"

namespace gearsheet {
namespace {

// An item's tag is the circumference as the store returned it (a number, or text), kept in the
// text form it is shown in.
QVariant TagOf(const qfstore::Variant& value) {
    return ValueText(value);
}

}  // namespace

DetailsPage::DetailsPage(FormContext& context, SetupModel& setup, QWidget* parent)
    : QWidget(parent), context_(context), setup_(setup) {
    setObjectName(QStringLiteral("DetailsPage"));

    cboTyreTypes_ = NameList("cboTyreTypes", this);
    txtCircumferance_ = InputBox("txtCircumferance", QStringLiteral("0"), 975, this);
    txtFrontSprocket_ = InputBox("txtFrontSprocket", QStringLiteral("16"), 735, this);
    txtRearSproket_ = InputBox("txtRearSproket", QStringLiteral("48"), 735, this);
    auto* cmdAddTyre = new QPushButton(QStringLiteral("Add"), this);
    cmdAddTyre->setObjectName(QStringLiteral("cmdAddTyre"));
    auto* cmdDeteTyreType = new QPushButton(QStringLiteral("Delete"), this);
    cmdDeteTyreType->setObjectName(QStringLiteral("cmdDeteTyreType"));
    for (QPushButton* b : {cmdAddTyre, cmdDeteTyreType}) b->setMinimumWidth(TwipsWide(this, 975));
    auto* cmdFromSize = new QPushButton(QStringLiteral("From Size"), this);
    cmdFromSize->setObjectName(QStringLiteral("cmdFromSize"));
    lblInitalReduction_ = new QLabel(this);
    lblInitalReduction_->setObjectName(QStringLiteral("lblInitalReduction"));

    // Rows top to bottom; columns: caption, input, unit, then the two buttons.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);
    grid->addWidget(PlainLabel(QStringLiteral("TyreType:"), this), 0, 0);
    grid->addWidget(cboTyreTypes_, 0, 1, 1, 5);
    grid->addWidget(PlainLabel(QStringLiteral("Circumferance:"), this), 1, 0);
    grid->addWidget(txtCircumferance_, 1, 1);
    grid->addWidget(PlainLabel(QStringLiteral("\""), this), 1, 2);
    grid->addWidget(cmdFromSize, 1, 3, Qt::AlignLeft);
    grid->addWidget(cmdAddTyre, 1, 4);
    grid->addWidget(cmdDeteTyreType, 1, 5);
    grid->addWidget(PlainLabel(QStringLiteral("Initial Reduction:"), this), 2, 0);
    grid->addWidget(lblInitalReduction_, 2, 1, 1, 2);
    grid->addWidget(PlainLabel(QStringLiteral("Front Sproket:"), this), 3, 0);
    grid->addWidget(txtFrontSprocket_, 3, 1);
    grid->addWidget(PlainLabel(QStringLiteral("teeth"), this), 3, 2);
    grid->addWidget(PlainLabel(QStringLiteral("Rear Sproket:"), this), 4, 0);
    grid->addWidget(txtRearSproket_, 4, 1);
    grid->addWidget(PlainLabel(QStringLiteral("teeth"), this), 4, 2);
    grid->setColumnStretch(3, 1);

    auto* page = new QVBoxLayout(this);
    page->addWidget(PageHeading("Label2", QStringLiteral("Details"), this));
    page->addWidget(SeparatorLine(this));
    page->addLayout(grid);
    page->addWidget(SeparatorLine(this));
    page->addWidget(new PictureBox(this), 0, Qt::AlignHCenter);
    page->addStretch(1);

    connect(cboTyreTypes_, &QComboBox::activated, this, [this] { cboTyreTypes_Click(); });
    connect(cmdAddTyre, &QPushButton::clicked, this, [this] { cmdAddTyre_Click(); });
    connect(cmdDeteTyreType, &QPushButton::clicked, this, [this] { cmdDeteTyreType_Click(); });
    connect(cmdFromSize, &QPushButton::clicked, this, [this] { cmdFromSize_Click(); });
    auto* numeric = new NumericBoxes(context_, this);
    const auto refused = NumericBoxes::Empty::kRefused;
    numeric->Watch(txtCircumferance_, ".txtCircumferance_LostFocus", refused);
    numeric->Watch(txtFrontSprocket_, ".txtFrontSprocket_LostFocus", refused);
    numeric->Watch(txtRearSproket_, ".txtRearSproket_LostFocus", refused);
    ConnectSetup();
}

void DetailsPage::ConnectSetup() {
    setup_.SetSprockets(txtFrontSprocket_->text(), txtRearSproket_->text());
    setup_.SetCircumferenceText(txtCircumferance_->text());
    connect(txtFrontSprocket_, &QLineEdit::textChanged, &setup_, &SetupModel::SetFrontText);
    connect(txtRearSproket_, &QLineEdit::textChanged, &setup_, &SetupModel::SetRearText);
    connect(txtCircumferance_, &QLineEdit::textChanged, &setup_, &SetupModel::SetCircumferenceText);
    connect(cboTyreTypes_, &QComboBox::currentTextChanged, &setup_, &SetupModel::SetTyre);
    connect(&setup_, &SetupModel::setupChanged, this, [this] { ShowSetup(); });
}

void DetailsPage::SetInitialReductionText(const QString& text) {
    lblInitalReduction_->setText(text);
}

void DetailsPage::ShowSetup() {
    const auto show = [](QLineEdit* box, const QString& text) {
        if (box->text() != text)
            box->setText(text);
    };
    show(txtFrontSprocket_, setup_.FrontText());
    show(txtRearSproket_, setup_.RearText());
    const QString& tyre = setup_.Tyre();
    if (cboTyreTypes_->currentText() != tyre) {
        if (const int listed = cboTyreTypes_->findText(tyre, Qt::MatchExactly); listed >= 0) {
            cboTyreTypes_->setCurrentIndex(listed);
            cboTyreTypes_->setEditText(tyre);
        }
    }
    show(txtCircumferance_, setup_.CircumferenceText());
}

void DetailsPage::PublishTyres() {
    std::vector<ListedTyre> tyres;
    for (int i = 0; i < cboTyreTypes_->count(); ++i)
        tyres.push_back({cboTyreTypes_->itemText(i), cboTyreTypes_->itemData(i).toString()});
    setup_.SetTyres(std::move(tyres));
}

void DetailsPage::RefreshTyreCombo() {
    Handled(context_.errors, ".RefreshTyreCombo", [&] {
        qfstore::QfINIFileHandler& store = context_.store.Get();
        std::optional<qfstore::Error> unread;
        FillNameList(
            *cboTyreTypes_,
            [&] {
                std::vector<ListedName> names;
                for (const StoredTyre& tyre : ReadTyres(store, unread))
                    names.push_back({QString::fromStdString(tyre.name), TagOf(tyre.circumference)});
                return names;
            },
            txtCircumferance_);
        // The tyres that read are listed; the first that did not is reported.
        if (unread)
            throw *unread;
    });
    PublishTyres();
}

void DetailsPage::cboTyreTypes_Click() {
    Handled(context_.errors, ".cboTyreTypes_Click", [&] {
        const int chosen = cboTyreTypes_->currentIndex();
        if (chosen < 0)
            throw qfstore::Error::Runtime(qfstore::kErrObjectNotSet, kComponentName);
        txtCircumferance_->setText(cboTyreTypes_->itemData(chosen).toString());
    });
}

void DetailsPage::cmdAddTyre_Click() {
    Handled(context_.errors, ".cmdAddTyre_Click", [&] {
        const QString name = cboTyreTypes_->currentText();
        if (auto problem = NameProblem(name, QStringLiteral("tyre type"))) {
            context_.dialogs.Message(window(), *problem, kProgramTitle, MessageIcon::Exclamation);
            return;
        }
        AddTyre(context_.store.Get(), name.toStdString(), txtCircumferance_->text().toStdString());
        RefreshTyreCombo();
        // The tyre just saved stays the chosen one, so the next calculation keeps its
        // circumference.
        ChooseListed(*cboTyreTypes_, name, txtCircumferance_);
    });
}

void DetailsPage::cmdDeteTyreType_Click() {
    Handled(context_.errors, ".cmdDeteTyreType_Click", [&] {
        qfstore::QfINIFileHandler& store = context_.store.Get();
        const int chosen = ShownItem(*cboTyreTypes_);
        if (chosen < 0)
            throw qfstore::Error::Runtime(qfstore::kErrObjectNotSet, kComponentName);
        DeleteTyre(store, cboTyreTypes_->itemText(chosen).toStdString());
        cboTyreTypes_->removeItem(chosen);
        // No other tyre becomes the chosen one.
        cboTyreTypes_->setCurrentIndex(-1);
        cboTyreTypes_->setEditText(QString());
        txtCircumferance_->setText(QString());
        PublishTyres();
    });
}

void DetailsPage::cmdFromSize_Click() {
    const auto size = FindTyreSize(cboTyreTypes_->currentText().toStdString());
    if (!size) {
        context_.dialogs.Message(
            window(),
            QStringLiteral("The tyre name holds no tyre size. Write the size as width/aspect "
                           "ratio, construction and rim diameter, for example 180/55ZR17, "
                           "190/50 R17 or 120/70-17: a width of %1 to %2 mm, an aspect ratio of "
                           "%3 to %4 % and a rim of %5 to %6 in.")
                .arg(TyreSize::kWidthsMm.low)
                .arg(TyreSize::kWidthsMm.high)
                .arg(TyreSize::kAspects.low)
                .arg(TyreSize::kAspects.high)
                .arg(TyreSize::kRimsInches.low)
                .arg(TyreSize::kRimsInches.high),
            kProgramTitle, MessageIcon::Information);
        return;
    }
    txtCircumferance_->setText(LocaleNumberText(CircumferenceInches(*size)));
}

}  // namespace gearsheet
