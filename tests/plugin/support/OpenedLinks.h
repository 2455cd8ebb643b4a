// Catches the web pages the plugin asks the desktop to open, so that no browser starts.
#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace qel::test {

class OpenedLinks : public QObject {
    Q_OBJECT
  public:
    OpenedLinks() {
        for (const char* scheme : {"http", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~OpenedLinks() override {
        for (const char* scheme : {"http", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    QStringList opened;

  public slots:
    void open(const QUrl& url) { opened << url.toString(); }
};

}  // namespace qel::test
