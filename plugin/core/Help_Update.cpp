#include "core/Help_Update.h"

#include "core/AUF_Registry.h"
#include "core/AUF_WebLink.h"
#include "core/AppInfo.h"
#include "core/ErrHandler.h"
#include "core/SYS_Status.h"
#include "core/Text.h"
#include "core/UiServices.h"
#include "core/UpdateReply.h"
#include "core/UpdateRequest.h"
#include "core/UpdateServer.h"
#include "core/VersionText.h"
#include "core/WebPages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTcpSocket>
#include <QTimer>
#include <QVBoxLayout>

namespace qel {
namespace {

int answerTimeMs = 15000;

const QString kCheckTitle = QStringLiteral("Checking for Updates");

}  // namespace

void Help_Update::SetAnswerTime(int milliseconds) {
    answerTimeMs = milliseconds;
}

Help_Update::Help_Update(QWidget* parent) : ClosingDialog(parent) {
    setWindowTitle(QStringLiteral("Plugin Updates"));

    title_ = new QLabel;
    title_->setObjectName(QStringLiteral("Label_Title"));
    QFont bold = title_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    title_->setFont(bold);

    advice_ = new QLabel(
        QStringLiteral("Please wait while the server is contacted for the latest updates"));
    advice_->setObjectName(QStringLiteral("Label_Advice"));
    advice_->setWordWrap(true);
    advice_->setMinimumHeight(48);
    advice_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    link_ = new QLabel(
        QStringLiteral("<a href=\"%1\">Click here for support</a>").arg(WebPages::SupportFolder()));
    link_->setObjectName(QStringLiteral("Label_WebLink"));
    link_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    link_->setCursor(Qt::PointingHandCursor);
    connect(link_, &QLabel::linkActivated, this,
            [this](const QString& address) { OpenWebLink(this, address); });

    auto* exit = new QPushButton(QStringLiteral("Close"));
    exit->setObjectName(QStringLiteral("Button_Exit"));
    exit->setToolTip(QStringLiteral("Close the window"));
    exit->setAutoDefault(false);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);

    socket_ = new QTcpSocket(this);
    socket_->setObjectName(QStringLiteral("Winsock"));
    connect(socket_, &QTcpSocket::connected, this, &Help_Update::Connected);
    connect(socket_, &QTcpSocket::readyRead, this, &Help_Update::DataArrived);
    connect(socket_, &QTcpSocket::disconnected, this, &Help_Update::Disconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this, &Help_Update::SocketError);

    deadline_ = new QTimer(this);
    deadline_->setSingleShot(true);
    connect(deadline_, &QTimer::timeout, this, &Help_Update::OutOfTime);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(link_, 1);
    bottom->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(advice_, 1);
    layout->addLayout(bottom);
    setMinimumWidth(420);
}

void Help_Update::Initialise() {
    if (Form() && Form()->DataIsSet()) {
        if (Form()->DataClass() != QStringLiteral("DEV_Status"))
            ErrTrap::LocalError(QStringLiteral("Class object ") + Quote(Form()->DataClass()) +
                                QStringLiteral(" not handled"));
        device_ = Form()->DataObject();
    }
    // A check that cannot start (the server's address is unreadable) is told, and ends as
    // a failed one does: the window must not go on waiting for nothing.
    ErrTrap::Handler h{
        kName + QStringLiteral(".Initialise"),
        {ErrTrap::On(ErrTrap::ErrSYS_Local).show().then([this](const PluginError& e) {
            Failed(QAbstractSocket::HostNotFoundError, e.description());
        })}};
    h.run([&] {
        title_->setText(AppInfo::kAppTitle + QStringLiteral(" Updates"));
        System();
        const ServerAddress server = UpdateServer();
        remoteHost_ = HostLine(server);
        socket_->abort();
        received_.clear();
        done_ = false;
        socket_->connectToHost(server.host, server.port);
        deadline_->start(answerTimeMs);
        Ui().setBusyPointer(true);
    });
}

void Help_Update::closeEvent(QCloseEvent* event) {
    // The check goes with the window: nothing the server does later may reach the person.
    StopCheck();
    ClosingDialog::closeEvent(event);
}

void Help_Update::Connected() {
    UpdateRequestFacts facts;
    facts.appVersion = System().AppVersion();
    facts.productCode = System().ProductCode();
    facts.longName = System().LongName();
    facts.winVersion = System().WinVersion();
    facts.servicePack = System().ServicePack();
    facts.language = System().Language();
    facts.country = System().Country();
    const QByteArray request = BuildUpdateRequest(remoteHost_, facts);
    if (socket_->write(request) != request.size()) {
        Ui().messageBox(QStringLiteral("Winsock Connect"), socket_->errorString(), MsgIcon::None,
                        MsgButtons::Ok);
    }
}

void Help_Update::DataArrived() {
    if (done_) return;
    // One byte past the block tells that the reply went on beyond it.
    received_.append(socket_->read(kUpdateReplyBlock + 1 - received_.size()));
    if (received_.size() > kUpdateReplyBlock || UpdateReplyComplete(received_)) Handle(false);
}

void Help_Update::Disconnected() {
    if (done_) return;
    NoMoreData(true, QAbstractSocket::RemoteHostClosedError,
               QStringLiteral("The update server closed the connection without answering"));
}

void Help_Update::SocketError(QAbstractSocket::SocketError error) {
    if (done_) return;
    // A server that ends its reply by closing is answering, not failing.
    if (error == QAbstractSocket::RemoteHostClosedError) {
        Disconnected();
        return;
    }
    Failed(error, socket_->errorString());
}

void Help_Update::OutOfTime() {
    if (done_) return;
    NoMoreData(false, QAbstractSocket::SocketTimeoutError,
               QStringLiteral("The update server did not answer in time"));
}

void Help_Update::NoMoreData(bool serverClosed, QAbstractSocket::SocketError error,
                             const QString& description) {
    if (received_.isEmpty()) {
        Failed(error, description);
    } else {
        Handle(serverClosed);
    }
}

void Help_Update::StopCheck() {
    done_ = true;
    deadline_->stop();
    socket_->abort();
}

void Help_Update::Handle(bool serverClosed) {
    StopCheck();
    const UpdateReply reply = ParseUpdateReply(received_, serverClosed);
    Ui().setBusyPointer(false);
    switch (reply.outcome) {
        case UpdateReply::Outcome::ServerError:
            Ui().messageBox(kCheckTitle,
                            QStringLiteral("Error Code ") + reply.status +
                                QStringLiteral(" returned from server"),
                            MsgIcon::Exclamation, MsgButtons::Ok);
            return;
        case UpdateReply::Outcome::Unreadable:
            Ui().messageBox(
                kCheckTitle,
                QStringLiteral("The reply from the server could not be read: ") + reply.problem,
                MsgIcon::Exclamation, MsgButtons::Ok);
            return;
        case UpdateReply::Outcome::Ok:
            break;
    }
    for (const UpdatePair& pair : reply.pairs) {
        AUF_Registry::SaveValue(QStringLiteral("Latest_") + pair.key, pair.value);
    }
    Evaluate();
}

void Help_Update::Failed(QAbstractSocket::SocketError error, const QString& description) {
    StopCheck();
    Ui().setBusyPointer(false);
    link_->hide();
    if (error == QAbstractSocket::HostNotFoundError) {
        advice_->setText(
            QStringLiteral("Server could not be contacted. Please check you internet connection "
                           "and try again."));
        return;
    }
    close();
    Ui().messageBox(QStringLiteral("Server Connection Error"), description, MsgIcon::Exclamation,
                    MsgButtons::Ok);
}

SYS_Status& Help_Update::System() {
    if (!system_) system_ = new SYS_Status(this);
    return *system_;
}

void Help_Update::Evaluate() {
    const QString latest = AUF_Registry::LoadText(QStringLiteral("Latest_Software"));
    bool newer = false;
    try {
        newer = !latest.isEmpty() && IsNewerVersion(latest, System().AppVersion());
    } catch (const PluginError&) {
        Ui().messageBox(QStringLiteral("Update Information"),
                        QStringLiteral("Server Data Error") + QStringLiteral("\r\n") +
                            QStringLiteral("[") + latest + QStringLiteral("]"),
                        MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    if (!newer) {
        advice_->setText(AppInfo::kProductName +
                         QStringLiteral(" is up to date. No updates are currently available."));
        return;
    }
    advice_->setText(QStringLiteral("A more recent version of ") + AppInfo::kProductName +
                     QStringLiteral(" is available for download."));
    const MsgAnswer answer = Ui().messageBox(
        AppInfo::kProductName + QStringLiteral(" Update"),
        QStringLiteral("Would you like to downnload version ") + latest + QStringLiteral(" now"),
        MsgIcon::Question, MsgButtons::YesNo);
    if (answer == MsgAnswer::Yes) OpenWebLink(this, WebPages::Support());
}

}  // namespace qel
