// The update check as a person sees it, against an HTTP server on loopback that the test
// starts and that answers as each case scripts it (well, badly, or not at all).
#include "core/Help_Update.h"
#include "core/AUF_Registry.h"
#include "core/AppInfo.h"
#include "core/ErrTrap.h"
#include "core/RegistryFile.h"
#include "core/SYS_Status.h"
#include "core/UpdateRequest.h"
#include "core/UpdateServer.h"
#include "core/WebPages.h"
#include "forms/HCF_Data.h"
#include "forms/HCF_Form.h"
#include "support/GTestQt.h"
#include "support/OpenedLinks.h"
#include "support/ScriptedUi.h"
#include "support/ViewSession.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace qel {
namespace {

using test::Find;
using test::OpenModal;

// An update server on loopback. Each connection's request is kept; the answer follows
// the script once the request's empty line has arrived.
class ScriptedServer : public QObject {
  public:
    enum class Answer {
        Reply,    // `reply`, in `pieces` parts `pauseMs` apart, then close (or not)
        Silent,   // accept and never answer
        HangUp,   // close without a word
        Endless,  // data for as long as the other side reads
    };

    ScriptedServer() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* peer = server_.nextPendingConnection()) {
                peer->setParent(this);
                QObject::connect(peer, &QTcpSocket::readyRead, this, [this, peer] { Read(peer); });
            }
        });
    }
    uint16_t port() const { return server_.serverPort(); }
    QString address() const { return QStringLiteral("127.0.0.1:") + QString::number(port()); }

    Answer answer = Answer::Reply;
    QByteArray reply;
    int pieces = 1;
    int pauseMs = 0;
    bool closeAfter = true;
    QList<QByteArray> requests;
    qint64 endlessSent = 0;

  private:
    void Read(QTcpSocket* peer) {
        QByteArray& got = received_[peer];
        got += peer->readAll();
        if (!got.endsWith("\r\n\r\n") || answered_.contains(peer)) return;
        answered_.insert(peer);
        requests << got;
        switch (answer) {
            case Answer::Reply:
                Send(peer, 0);
                break;
            case Answer::Silent:
                break;
            case Answer::HangUp:
                peer->disconnectFromHost();
                break;
            case Answer::Endless:
                QObject::connect(peer, &QTcpSocket::bytesWritten, this, [this, peer] {
                    if (peer->bytesToWrite() < 65536 && endlessSent < (64 << 20)) Flood(peer);
                });
                Flood(peer);
                break;
        }
    }
    void Send(QPointer<QTcpSocket> peer, int piece) {
        if (!peer) return;
        const qsizetype size = (reply.size() + pieces - 1) / pieces;
        peer->write(reply.mid(piece * size, size));
        if (piece + 1 < pieces) {
            QTimer::singleShot(pauseMs, this, [this, peer, piece] { Send(peer, piece + 1); });
        } else if (closeAfter) {
            peer->disconnectFromHost();
        }
    }
    void Flood(QTcpSocket* peer) {
        const QByteArray block(65536, 'x');
        if (endlessSent == 0) peer->write("HTTP/1.1 200 OK\r\n\r\nSoftware=");
        peer->write(block);
        endlessSent += block.size();
    }

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> received_;
    QSet<QTcpSocket*> answered_;
};

QByteArray Ok(const QByteArray& body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// Every name in the settings store.
QStringList StoredNames() {
    QSettings store(AUF_Registry::FilePath(), RegistryFile::Format());
    return store.allKeys();
}

class Stranger : public QObject, public HCF_Data {
  public:
    explicit Stranger(QString cls) : cls_(std::move(cls)) {}
    QString DataClass() const override { return cls_; }

  private:
    QString cls_;
};

class HelpUpdateTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { HCF_Form::RegisterView<Help_Update>(Help_Update::kName); }

    void SetUp() override {
        setenv(kUpdateServerVariable, server.address().toLatin1().constData(), 1);
        AUF_Registry::SaveValue("Latest_Software", QStringLiteral("1.0.71"));
        Help_Update::SetAnswerTime(15000);
    }
    void TearDown() override { unsetenv(kUpdateServerVariable); }

    // Opens the window, waits until the check is over (the busy pointer is gone), and
    // looks at it; `then` may act on the window before it is closed.
    struct Seen {
        QString title, advice;
        bool linkVisible = false;
        bool open = false;  // still open once the check was over
    };
    Seen Check(QObject* data = nullptr, const std::function<void(QWidget&)>& then = {}) {
        Seen seen;
        OpenModal("Help_Update", data, [&](QWidget& view) {
            QPointer<QWidget> alive(&view);
            // The check began with the busy pointer; a server on loopback may have
            // answered already by the time the window is first looked at.
            EXPECT_FALSE(ui.pointerChanges.empty() || !ui.pointerChanges.front());
            (void)QTest::qWaitFor([&] { return !alive || !ui.busyPointer(); }, 20000);
            if (!alive) return;
            seen.open = true;
            seen.title = Find<QLabel>(view, "Label_Title")->text();
            seen.advice = Find<QLabel>(view, "Label_Advice")->text();
            seen.linkVisible = Find<QLabel>(view, "Label_WebLink")->isVisible();
            if (then) then(view);
            if (alive) QTest::mouseClick(Find<QPushButton>(view, "Button_Exit"), Qt::LeftButton);
        });
        EXPECT_FALSE(ui.busyPointer());
        return seen;
    }

    test::ScriptedUi ui;
    test::OpenedLinks links;
    ScriptedServer server;
};

const QString kNewer =
    QStringLiteral("A more recent version of Norvane DMX-QEL Plugin is available for download.");
const QString kUpToDate =
    QStringLiteral("Norvane DMX-QEL Plugin is up to date. No updates are currently available.");
const QString kWaiting =
    QStringLiteral("Please wait while the server is contacted for the latest updates");

TEST_F(HelpUpdateTest, TheRequestAsSent) {
    server.reply = Ok("Software=1.0.71");
    const Seen seen = Check();
    EXPECT_EQ(seen.title, QStringLiteral("Norvane-QEL.out Updates"));
    ASSERT_EQ(server.requests.size(), 1);
    SYS_Status system;
    UpdateRequestFacts facts{system.AppVersion(), system.ProductCode(), system.LongName(),
                             system.WinVersion(), system.ServicePack(), system.Language(),
                             system.Country()};
    EXPECT_EQ(server.requests[0], BuildUpdateRequest(server.address(), facts));
    EXPECT_TRUE(server.requests[0].startsWith(
        "GET /support/updates.php?current=1.0.71&software=203&firmware=1 HTTP/1.1\r\n"
        "Host: 127.0.0.1:" +
        QByteArray::number(server.port()) +
        "\r\n"
        "User-Agent: Norvane Ltd Norvane-QEL.out ("))
        << server.requests[0].toStdString();
    EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));
}

TEST_F(HelpUpdateTest, NewerAndOlderVersions) {
    struct Row {
        const char* body;
        const char* stored;  // "Latest_Software" afterwards
        bool newer;
    };
    const Row rows[] = {
        {"Software=1.0.72&Firmware=0.3.012", "1.0.72", true},
        {"Software=1.2", "1.2", true},  // read as 1.2.0
        {"Software=2", "2", true},
        {"Software=1.0.71", "1.0.71", false},
        {"Software=1.0.5", "1.0.5", false},
        {"Software=0.9.99", "0.9.99", false},
        {"Firmware=0.3.013", "1.0.71", false},  // nothing new about the plugin
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.body);
        AUF_Registry::SaveValue("Latest_Software", QStringLiteral("1.0.71"));
        ui.messages.clear();
        ui.answers = {MsgAnswer::No};
        server.reply = Ok(row.body);
        const Seen seen = Check();
        EXPECT_TRUE(seen.open);
        EXPECT_EQ(AUF_Registry::LoadText("Latest_Software"), QString::fromLatin1(row.stored));
        if (row.newer) {
            EXPECT_EQ(seen.advice, kNewer);
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].title, QStringLiteral("Norvane DMX-QEL Plugin Update"));
            EXPECT_EQ(ui.messages[0].text, QStringLiteral("Would you like to downnload version ") +
                                               QString::fromLatin1(row.stored) +
                                               QStringLiteral(" now"));
            EXPECT_EQ(ui.messages[0].icon, MsgIcon::Question);
            EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNo);
        } else {
            EXPECT_EQ(seen.advice, kUpToDate);
            EXPECT_TRUE(ui.messages.empty());
        }
    }
    EXPECT_EQ(AUF_Registry::LoadText("Latest_Firmware"), QStringLiteral("0.3.013"));
    EXPECT_TRUE(links.opened.isEmpty());
}

TEST_F(HelpUpdateTest, YesOpensTheSupportPage) {
    server.reply = Ok("Software=1.0.72");
    ui.answers = {MsgAnswer::Yes};
    Check();
    EXPECT_EQ(links.opened, QStringList{WebPages::Support()});
}

TEST_F(HelpUpdateTest, TheSupportLinkAndTheExitButton) {
    server.reply = Ok("Software=1.0.71");
    bool stayed = false;
    const Seen seen = Check(nullptr, [&](QWidget& view) {
        auto* link = Find<QLabel>(view, "Label_WebLink");
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, link->height() / 2));
        stayed = HCF_Form::LoadedView("Help_Update") != nullptr;
        EXPECT_EQ(Find<QPushButton>(view, "Button_Exit")->toolTip(), "Close the window");
        test::SaveShot(view, "core", "Help_Update_UpToDate");
    });
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(seen.linkVisible);
    EXPECT_EQ(links.opened, QStringList{WebPages::SupportFolder()});
    EXPECT_EQ(HCF_Form::LoadedView("Help_Update"), nullptr);
}

TEST_F(HelpUpdateTest, ServerErrorStoresNothing) {
    server.reply = "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nSoftware=9.9.9";
    const Seen seen = Check();
    EXPECT_TRUE(seen.open);
    EXPECT_EQ(seen.advice, kWaiting);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Checking for Updates"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Error Code 404 returned from server"));
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(AUF_Registry::LoadText("Latest_Software"), QStringLiteral("1.0.71"));
}

TEST_F(HelpUpdateTest, EmptyBodyJudgesWhatWasStoredBefore) {
    AUF_Registry::SaveValue("Latest_Software", QStringLiteral("1.0.80"));
    server.reply = Ok("");
    ui.answers = {MsgAnswer::No};
    const Seen seen = Check();
    EXPECT_EQ(seen.advice, kNewer);
    EXPECT_EQ(AUF_Registry::LoadText("Latest_Software"), QStringLiteral("1.0.80"));
}

TEST_F(HelpUpdateTest, AVersionThatIsNoVersion) {
    for (const char* latest : {"1.x.0", "1.70000.0"}) {
        SCOPED_TRACE(latest);
        ui.messages.clear();
        server.reply = Ok(QByteArray("Software=") + latest);
        Check();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, QStringLiteral("Update Information"));
        EXPECT_EQ(ui.messages[0].text,
                  QStringLiteral("Server Data Error\r\n[") + QString::fromLatin1(latest) + "]");
        EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
    }
}

TEST_F(HelpUpdateTest, AReplyInPieces) {
    server.reply = Ok("Software=1.0.72&Firmware=0.3.012");
    server.pieces = 4;
    server.pauseMs = 60;
    server.closeAfter = false;  // the length tells where the reply ends
    ui.answers = {MsgAnswer::No};
    const Seen seen = Check();
    EXPECT_EQ(seen.advice, kNewer);
    EXPECT_EQ(AUF_Registry::LoadText("Latest_Software"), QStringLiteral("1.0.72"));
}

TEST_F(HelpUpdateTest, HostileReplies) {
    const QString unreadable = QStringLiteral("The reply from the server could not be read: ");
    struct Row {
        const char* what;
        ScriptedServer::Answer answer;
        QByteArray reply;
        QString message;  // empty: none
        QString stored;   // "Latest_Software" afterwards
    };
    const Row rows[] = {
        {"no second field on the status line", ScriptedServer::Answer::Reply,
         "HTTP/1.1\r\n\r\nSoftware=9.9.9", unreadable + "the server sent no status code", "1.0.71"},
        {"parts without '=' and keys outside the values", ScriptedServer::Answer::Reply,
         Ok("junk&Software=1.0.70&../Evil=1&General/Evil=2&=3&Bad\x01Key=4&Evil\\x=5"), QString(),
         "1.0.70"},
        {"chunked body", ScriptedServer::Answer::Reply,
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nf\r\nSoftware=1.0.70\r\n0\r\n\r\n",
         QString(), "1.0.70"},
        {"broken chunks", ScriptedServer::Answer::Reply,
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nSoftware=9.9.9\r\n0\r\n\r\n",
         unreadable + "a chunk of the reply is broken", "1.0.71"},
        {"huge reply", ScriptedServer::Answer::Reply,
         "HTTP/1.1 200 OK\r\n\r\nSoftware=9.9.9&Pad=" + QByteArray(1 << 20, 'p'),
         unreadable + "the reply is too long", "1.0.71"},
        {"endless reply",
         ScriptedServer::Answer::Endless,
         {},
         unreadable + "the reply is too long",
         "1.0.71"},
    };
    const QStringList before = StoredNames();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ui.messages.clear();
        server.answer = row.answer;
        server.reply = row.reply;
        const Seen seen = Check();
        EXPECT_TRUE(seen.open);
        if (row.message.isEmpty()) {
            EXPECT_TRUE(ui.messages.empty());
            EXPECT_EQ(seen.advice, kUpToDate);
        } else {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].title, QStringLiteral("Checking for Updates"));
            EXPECT_EQ(ui.messages[0].text, row.message);
        }
        EXPECT_EQ(AUF_Registry::LoadText("Latest_Software"), row.stored);
        AUF_Registry::SaveValue("Latest_Software", QStringLiteral("1.0.71"));
    }
    // Nothing was stored but the values the check may keep.
    EXPECT_EQ(StoredNames(), before);
    EXPECT_LT(server.endlessSent, 64 << 20) << "the endless reply was read to the end";
}

TEST_F(HelpUpdateTest, AServerThatDoesNotAnswer) {
    struct Row {
        ScriptedServer::Answer answer;
        QString description;
    };
    const Row rows[] = {
        {ScriptedServer::Answer::Silent, "The update server did not answer in time"},
        {ScriptedServer::Answer::HangUp,
         "The update server closed the connection without answering"},
    };
    Help_Update::SetAnswerTime(400);
    for (const Row& row : rows) {
        ui.messages.clear();
        server.answer = row.answer;
        const Seen seen = Check();
        EXPECT_FALSE(seen.open);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, QStringLiteral("Server Connection Error"));
        EXPECT_EQ(ui.messages[0].text, row.description);
        EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
    }
}

TEST_F(HelpUpdateTest, NoServerListening) {
    uint16_t unused = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        unused = probe.serverPort();
    }
    setenv(kUpdateServerVariable, ("127.0.0.1:" + QByteArray::number(unused)).constData(), 1);
    const Seen seen = Check();
    EXPECT_FALSE(seen.open);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Server Connection Error"));
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
}

TEST_F(HelpUpdateTest, HostNotFoundKeepsTheWindowWithItsAdvice) {
    setenv(kUpdateServerVariable, "no-such-host.invalid:80", 1);
    const Seen seen = Check(
        nullptr, [](QWidget& view) { test::SaveShot(view, "core", "Help_Update_HostNotFound"); });
    EXPECT_TRUE(seen.open);
    EXPECT_EQ(seen.advice,
              QStringLiteral("Server could not be contacted. Please check you internet "
                             "connection and try again."));
    EXPECT_FALSE(seen.linkVisible);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(HelpUpdateTest, AnUnreadableServerAddressEndsTheCheckAsFailed) {
    setenv(kUpdateServerVariable, "127.0.0.1:none", 1);
    Seen seen;
    OpenModal("Help_Update", nullptr, [&](QWidget& view) {
        seen.open = true;
        seen.advice = Find<QLabel>(view, "Label_Advice")->text();
        seen.linkVisible = Find<QLabel>(view, "Label_WebLink")->isVisible();
        EXPECT_FALSE(ui.busyPointer());
        view.close();
    });
    EXPECT_TRUE(seen.open);
    EXPECT_EQ(seen.advice,
              QStringLiteral("Server could not be contacted. Please check you internet "
                             "connection and try again."));
    EXPECT_FALSE(seen.linkVisible);
    EXPECT_FALSE(ui.busyPointer());
    EXPECT_TRUE(server.requests.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Help_Update.Initialise"));
    EXPECT_EQ(ui.messages[0].text,
              QStringLiteral("The update server address \"127.0.0.1:none\" is not valid"));
}

TEST_F(HelpUpdateTest, DataObjects) {
    server.reply = Ok("Software=1.0.71");
    Stranger device("DEV_Status");
    EXPECT_EQ(Check(&device).advice, kUpToDate);
    EXPECT_TRUE(ui.messages.empty());

    Stranger other("RDM_SubDev");
    OpenModal("Help_Update", &other, [](QWidget& view) { view.close(); });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Help_Update.Control (Set)"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Class object \"RDM_SubDev\" not handled"));
}

TEST_F(HelpUpdateTest, WhileTheServerIsAsked) {
    server.answer = ScriptedServer::Answer::Silent;
    Help_Update::SetAnswerTime(800);
    OpenModal("Help_Update", nullptr, [&](QWidget& view) {
        test::Pause(100);
        EXPECT_TRUE(ui.busyPointer());
        EXPECT_EQ(Find<QLabel>(view, "Label_Advice")->text(), kWaiting);
        test::SaveShot(view, "core", "Help_Update_Checking");
        QTest::mouseClick(Find<QPushButton>(view, "Button_Exit"), Qt::LeftButton);
    });
    // Closed before any answer: no message afterwards.
    test::Pause(1000);
    for (const auto& m : ui.messages)
        ADD_FAILURE() << m.title.toStdString() << ": " << m.text.toStdString();
    EXPECT_FALSE(ui.busyPointer());
}

}  // namespace
}  // namespace qel
