#include "qf_error_form.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "dialogs.h"
#include "error_report.h"
#include "platform/profile.h"
#include "twips.h"

namespace gearsheet {
namespace {

// Texts keep CR LF as the report holds them; Qt widgets show LF line breaks.
QString Shown(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// Design positions of the controls in twips: left, top, width, height.
struct Rect {
    int left, top, width, height;
};
constexpr Rect kOkCollapsed{2520, 840, 1335, 375};
constexpr Rect kOkExpanded{4080, 4200, 1335, 375};

}  // namespace

QfErrorForm::QfErrorForm(Dialogs& dialogs, QString programName, std::string logFolder,
                         QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      programName_(std::move(programName)),
      logFolder_(std::move(logFolder)) {
    setObjectName(QStringLiteral("QfErrorForm"));
    setWindowTitle(QStringLiteral("Error"));
    setModal(true);
    // The design measures suit a font with 13-pixel lines; a larger font enlarges the whole
    // dialog alike, as dialog units do.
    fontScale_ = std::max(1.0, fontMetrics().height() / 13.0);

    Image1_ = new QLabel(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    Image1_->setAlignment(Qt::AlignCenter);

    lblMessage_ = new QLabel(QStringLiteral("An error has occured in "), this);
    lblMessage_->setObjectName(QStringLiteral("lblMessage"));
    lblMessage_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdOK_ = new QPushButton(QStringLiteral("Ok"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdDetails_ = new QPushButton(QStringLiteral("Details >>"), this);
    cmdDetails_->setObjectName(QStringLiteral("cmdDetails"));
    cmdDetails_->setAutoDefault(false);

    Frame1_ = new QFrame(this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setFrameShape(QFrame::HLine);
    Frame1_->setFrameShadow(QFrame::Sunken);

    auto heading = [this](const char* name, const char* text) {
        auto* h = new QLineEdit(QString::fromLatin1(text), this);
        h->setObjectName(QString::fromLatin1(name));
        h->setReadOnly(true);
        h->setFrame(false);
        h->setFocusPolicy(Qt::NoFocus);
        QFont bold = h->font();
        bold.setBold(true);
        h->setFont(bold);
        QPalette p = h->palette();
        p.setColor(QPalette::Base, Qt::transparent);
        h->setPalette(p);
        return h;
    };
    auto display = [this](const char* name) {
        auto* box = new QPlainTextEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setReadOnly(true);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->document()->setDocumentMargin(2);
        return box;
    };
    txtLable_ = heading("txtLable", "Error Details...");
    txtDescription_ = display("txtDescription");
    Text2_ = heading("Text2", "Call Stack Information...");
    txtCallStack_ = display("txtCallStack");
    chkSaveToLog_ = new QCheckBox(QStringLiteral("Save Error To 'error.log'"), this);
    chkSaveToLog_->setObjectName(QStringLiteral("chkSaveToLog"));

    Place(Image1_, 360, 240, 480, 480);
    Place(lblMessage_, 960, 240, 4335, 375);
    Place(cmdOK_, kOkCollapsed.left, kOkCollapsed.top, kOkCollapsed.width, kOkCollapsed.height);
    Place(cmdDetails_, 4080, 840, 1335, 375);
    Place(Frame1_, 120, 1440, 5295, 15);
    Place(txtLable_, 120, 1680, 5295, 255);
    Place(txtDescription_, 120, 1920, 5295, 705);
    Place(Text2_, 120, 2760, 5295, 255);
    Place(txtCallStack_, 120, 3000, 5295, 1095);
    Place(chkSaveToLog_, 120, 4200, 2055, 255);

    connect(cmdDetails_, &QPushButton::clicked, this, [this] { cmdDetails_Click(); });
    connect(cmdOK_, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

int QfErrorForm::Px(int twips, bool vertical) const {
    return TwipsToPixels(twips * fontScale_, vertical ? logicalDpiY() : logicalDpiX());
}

void QfErrorForm::Place(QWidget* w, int left, int top, int width, int height) {
    // One-line controls get at least the room their text needs.
    int h = Px(height, true);
    int wide = Px(width, false);
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPushButton*>(w) ||
        qobject_cast<QCheckBox*>(w)) {
        h = std::max(h, w->sizeHint().height());
        wide = std::max(wide, w->sizeHint().width());
    }
    w->setGeometry(Px(left, false), Px(top, true), wide, h);
}

void QfErrorForm::SetHeightTwips(int twips) {
    setFixedSize(Px(kWidthTwips, false), Px(twips, true));
}

void QfErrorForm::Form_Load() {
    // Each report starts from the design state: collapsed, "Details >>" available, "Ok" beside it.
    expanded_ = false;
    cmdDetails_->setEnabled(true);
    Place(cmdOK_, kOkCollapsed.left, kOkCollapsed.top, kOkCollapsed.width, kOkCollapsed.height);
    for (QWidget* w : {static_cast<QWidget*>(Frame1_), static_cast<QWidget*>(txtLable_),
                       static_cast<QWidget*>(txtDescription_), static_cast<QWidget*>(Text2_),
                       static_cast<QWidget*>(txtCallStack_), static_cast<QWidget*>(chkSaveToLog_)})
        w->setVisible(false);
    SetHeightTwips(kCollapsedHeightTwips);
    dialogs_.Beep();
}

void QfErrorForm::ShowError(const qfstore::Error& oErr, const std::string& sSourceName,
                            bool bSaveLog) {
    Form_Load();
    sourceName_ = sSourceName;
    errorNumber_ = oErr.Number();
    errorDescription_ = oErr.Description();
    callStack_ = BuildCallStack(oErr.Source());
    descriptionText_ = BuildDescription(errorNumber_, errorDescription_, sourceName_);
    txtDescription_->setPlainText(Shown(descriptionText_));
    txtCallStack_->setPlainText(Shown(callStack_));
    chkSaveToLog_->setChecked(bSaveLog);
    lblMessage_->setText(
        Shown("An error has occurred during runtime.\r\nClick the 'Details' button for more "
              "information."));
    setWindowTitle(programName_ + QStringLiteral(" - Error Warning"));
    cmdOK_->setFocus();
    dialogs_.Exec(*this);
}

void QfErrorForm::cmdDetails_Click() {
    SetHeightTwips(kExpandedHeightTwips);
    for (QWidget* w : {static_cast<QWidget*>(Frame1_), static_cast<QWidget*>(txtLable_),
                       static_cast<QWidget*>(txtDescription_), static_cast<QWidget*>(Text2_),
                       static_cast<QWidget*>(txtCallStack_), static_cast<QWidget*>(chkSaveToLog_)})
        w->setVisible(true);
    cmdDetails_->setEnabled(false);
    Place(cmdOK_, kOkExpanded.left, kOkExpanded.top, kOkExpanded.width, kOkExpanded.height);
    cmdOK_->setFocus();
    expanded_ = true;
}

void QfErrorForm::cmdOK_Click() {
    accept();
}

void QfErrorForm::done(int result) {
    Form_QueryUnload();
    QDialog::done(result);
}

void QfErrorForm::Form_QueryUnload() {
    // A failed write of the log is reported; the dialog closes anyway.
    const std::string stamp = LogTimestamp(clock_(), QLocale::system());
    if (!chkSaveToLog_->isChecked())
        return;
    std::string section = "Error Occurred:" + stamp;
    try {
        section = UniqueSectionName(section, platform::profile::SectionNames(LogPath()));
    } catch (...) {
    }
    const std::string values[][2] = {
        {"Trapped In", sourceName_},
        {"Error Number", std::to_string(errorNumber_)},
        {"Error Description", errorDescription_},
        {"CalStack ", std::string(51, '=') + "\r\n" + callStack_},
    };
    // The call stack's lines end as the log's own lines do.
    std::string eol = "\n";
    try {
        eol = FileLineEnding(LogPath());
    } catch (...) {
    }
    for (const auto& [key, value] : values) {
        const platform::Status status =
            platform::profile::WriteValue(LogPath(), section, key, WithLineEnding(value, eol));
        if (!status) {
            // One message is enough: the remaining keys would fail alike.
            const QString reason = QString::fromLocal8Bit(std::strerror(
                status.code == platform::Status::Code::kNameRefused ? EINVAL
                                                                    : status.failure.systemError));
            dialogs_.Message(this,
                             QStringLiteral("The error report could not be saved to '%1': %2")
                                 .arg(QString::fromStdString(LogPath()), reason),
                             programName_, MessageIcon::Exclamation);
            return;
        }
    }
}

}  // namespace gearsheet
