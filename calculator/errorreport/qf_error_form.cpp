#include "errorreport/qf_error_form.h"

#include <QBoxLayout>
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

#include <cerrno>
#include <cstring>

#include "errorreport/error_report.h"
#include "platform/profile.h"
#include "ui/dialogs.h"

namespace gearsheet {
namespace {

// Texts keep CR LF as the report holds them; Qt widgets show LF line breaks.
QString Shown(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// A bold heading that reads like a label but can be selected and copied.
QLineEdit* HeadingBox(const char* name, const char* text, QWidget* parent) {
    auto* h = new QLineEdit(QString::fromLatin1(text), parent);
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
}

// A read-only text of whole lines.
QPlainTextEdit* TextDisplay(const char* name, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->document()->setDocumentMargin(2);
    return box;
}

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

    details_ = new QWidget(this);
    details_->setObjectName(QStringLiteral("fraDetails"));
    Frame1_ = new QFrame(details_);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setFrameShape(QFrame::HLine);
    Frame1_->setFrameShadow(QFrame::Sunken);

    txtLable_ = HeadingBox("txtLable", "Error Details...", details_);
    txtDescription_ = TextDisplay("txtDescription", details_);
    Text2_ = HeadingBox("Text2", "Call Stack Information...", details_);
    txtCallStack_ = TextDisplay("txtCallStack", details_);
    chkSaveToLog_ = new QCheckBox(QStringLiteral("Save Error To 'error.log'"), details_);
    chkSaveToLog_->setObjectName(QStringLiteral("chkSaveToLog"));

    // The texts are sized in lines and characters of the dialog's font: three lines for the
    // description, five for the call stack, some sixty characters wide.
    const QFontMetrics metrics = fontMetrics();
    const int textWidth = metrics.averageCharWidth() * 60;
    txtDescription_->setFixedHeight(metrics.lineSpacing() * 3 + 12);
    txtCallStack_->setFixedHeight(metrics.lineSpacing() * 5 + 12);
    lblMessage_->setMinimumWidth(textWidth * 3 / 4);
    details_->setMinimumWidth(textWidth);
    LayOut();

    connect(cmdDetails_, &QPushButton::clicked, this, [this] { cmdDetails_Click(); });
    connect(cmdOK_, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

void QfErrorForm::LayOut() {
    auto* top = new QHBoxLayout;
    top->addWidget(Image1_, 0, Qt::AlignTop);
    top->addWidget(lblMessage_, 1);
    buttonRow_ = new QHBoxLayout;
    buttonRow_->addStretch(1);
    buttonRow_->addWidget(cmdOK_);
    buttonRow_->addWidget(cmdDetails_);

    auto* inDetails = new QVBoxLayout(details_);
    inDetails->setContentsMargins(0, 0, 0, 0);
    inDetails->addWidget(Frame1_);
    inDetails->addWidget(txtLable_);
    inDetails->addWidget(txtDescription_);
    inDetails->addWidget(Text2_);
    inDetails->addWidget(txtCallStack_);
    logRow_ = new QHBoxLayout;
    logRow_->addWidget(chkSaveToLog_);
    logRow_->addStretch(1);
    inDetails->addLayout(logRow_);

    auto* whole = new QVBoxLayout(this);
    whole->addLayout(top);
    whole->addLayout(buttonRow_);
    whole->addWidget(details_);
    // The dialog takes the size its visible rows need, collapsed or expanded.
    whole->setSizeConstraint(QLayout::SetFixedSize);
}

void QfErrorForm::ShowDetails(bool shown) {
    if (shown) {
        buttonRow_->removeWidget(cmdOK_);
        logRow_->addWidget(cmdOK_);
    } else {
        logRow_->removeWidget(cmdOK_);
        buttonRow_->insertWidget(1, cmdOK_);
    }
    // Added to the other row's layout, "Ok" moves to that row's widget; it stays shown.
    cmdOK_->show();
    details_->setVisible(shown);
    layout()->activate();
}

void QfErrorForm::Form_Load() {
    // Each report starts from the design state: collapsed, "Details >>" available, "Ok" beside it.
    expanded_ = false;
    cmdDetails_->setEnabled(true);
    ShowDetails(false);
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
    ShowDetails(true);
    cmdDetails_->setEnabled(false);
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
