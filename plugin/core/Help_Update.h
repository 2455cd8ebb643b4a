// Asks the maker's update server which plugin version is the latest, stores what it
// answers ("Latest_" + key for every key=value pair of the reply), and tells the person
// whether a newer plugin can be downloaded. One request per opening, plain HTTP/1.1.
#pragma once

#include "core/ClosingDialog.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QPointer>
#include <QString>

class QLabel;
class QTcpSocket;
class QTimer;

namespace qel {

class SYS_Status;

class Help_Update : public ClosingDialog {
    Q_OBJECT
  public:
    inline static const QString kName = QStringLiteral("Help_Update");

    explicit Help_Update(QWidget* parent = nullptr);

    // Judges the stored latest version against this plugin's and shows the outcome.
    void Evaluate();

    // How long the server has, from the connect, to answer in full (15 s).
    static void SetAnswerTime(int milliseconds);

  protected:
    void Initialise() override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Connected();
    void DataArrived();
    void Disconnected();
    void SocketError(QAbstractSocket::SocketError error);
    void OutOfTime();
    // The server will send nothing more: what it sent is read, or the check failed.
    void NoMoreData(bool serverClosed, QAbstractSocket::SocketError error,
                    const QString& description);
    // Ends the check: whatever the socket hears later is ignored.
    void StopCheck();
    // Reads the reply collected so far; the socket is closed at once.
    void Handle(bool serverClosed);
    // The check failed on the way: host not found keeps the window with its advice,
    // anything else closes it and says why.
    void Failed(QAbstractSocket::SocketError error, const QString& description);
    // The window's own system-status object, made when first needed.
    SYS_Status& System();

    QPointer<QObject> device_;  // the opener's device status, kept as handed over
    SYS_Status* system_ = nullptr;
    QString remoteHost_;
    QLabel* title_ = nullptr;
    QLabel* advice_ = nullptr;
    QLabel* link_ = nullptr;
    QTcpSocket* socket_ = nullptr;
    QTimer* deadline_ = nullptr;
    QByteArray received_;
    bool done_ = false;
};

}  // namespace qel
