// A device-interface library for tests: records every request and answers each
// command from a script of (status, reply) pairs.
#pragma once

#include "core/LibraryBinding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace qel::test {

struct Exchange {
    int32_t status = 0;
    QByteArray reply;
};

class ScriptedLibrary : public LibraryBinding {
  public:
    // Installs itself as the active library for its lifetime (then restores the one
    // before).
    ScriptedLibrary();
    ~ScriptedLibrary() override;

    int32_t PortCount() override;
    int32_t PortName(int32_t port, char* buffer, int32_t size) override;
    int32_t OpenPort(int32_t port) override;
    int32_t FreePort() override;
    int32_t Command(uint8_t* buffer, int32_t* length) override;
    int32_t LastError(char* buffer, int32_t size) override;
    int32_t Version(char* buffer, int32_t size) override;
    int32_t Reprogram(const char* path) override;
    int32_t ProgState() override;

    // Answers to the next commands, in order; a command with none left fails the test.
    std::deque<Exchange> exchanges;
    // Runs before each command is answered (a nested command may be issued here).
    std::function<void(const QByteArray& request)> onCommand;
    std::vector<QByteArray> requests;

    // Results of the other exports (a negative result is a failure code).
    QStringList portNames;
    int32_t portCountResult = -1;  // below 0 and not a failure: the number of portNames
    int32_t portNameResult = 0;    // 0: the name's length
    int32_t openResult = 0;
    int32_t freeResult = 0;
    int32_t reprogramResult = 0;
    int32_t progState = 0;
    QString version = QStringLiteral("1.00");
    int32_t versionResult = 0;  // 0: the text's length
    QString lastError;
    std::vector<int32_t> opened;
    int freed = 0;
    std::vector<QByteArray> reprogrammed;

  private:
    LibraryBinding* const previous_;
    static int32_t CopyText(const QString& text, char* buffer, int32_t size);
};

}  // namespace qel::test
