// qel-probe: lists the units the library sees, opens one, asks for its name (command 0)
// and prints the status and the reply. Uses only the public header and libqelio32.so.
//
//   qel-probe [PORT]          port number, 1 by default
//
// Environment: QELIO32_DRIVER (serial, sim), QELIO32_PORTS, QELIO32_TRACE (see README).
#include <qelio32/qelio32.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

void PrintLastError() {
    char text[256];
    if (QIO_LastError(text, sizeof text) >= 0) {
        for (char* c = text; *c; ++c) {
            if (*c == '\n' || *c == '\r') *c = ' ';
        }
        std::printf("  last error: %s\n", text);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int32_t port = argc > 1 ? std::atoi(argv[1]) : 1;
    char version[16];
    QIO_Version(version, sizeof version);
    std::printf("qelio32 %s\n", version);

    const int32_t count = QIO_PortCount();
    if (count < 0) {
        std::printf("port count failed: %d\n", count);
        PrintLastError();
        return 1;
    }
    std::printf("%d port(s)\n", count);
    for (int32_t i = 1; i <= count; ++i) {
        char name[80];
        const int32_t r = QIO_PortName(i, name, sizeof name);
        if (r >= 0) {
            std::printf("  %d: %s\n", i, name);
        } else {
            std::printf("  %d: name failed: %d\n", i, r);
            PrintLastError();
        }
    }
    if (count < port) {
        std::printf("no port %d to open\n", port);
        return count == 0 ? 0 : 1;
    }

    int32_t r = QIO_OpenPort(port);
    if (r < 0) {
        std::printf("open port %d failed: %d\n", port, r);
        PrintLastError();
        return 1;
    }
    std::printf("port %d open\n", port);

    uint8_t buffer[QIO_COMMAND_BUFFER] = {0x00};  // command 0: the unit's name
    int32_t length = 1;
    const int32_t status = QIO_Command(buffer, &length);
    if (status < 0) {
        std::printf("command 0 failed: %d\n", status);
        PrintLastError();
    } else {
        std::printf("command 0: status %d, %d byte(s):", status, length);
        for (int32_t i = 0; i < length; ++i)
            std::printf(" %02X", buffer[i]);
        std::printf("  \"");
        for (int32_t i = 0; i < length; ++i) {
            std::putchar(std::isprint(buffer[i]) ? buffer[i] : '.');
        }
        std::printf("\"\n");
    }
    QIO_FreePort();
    return status < 0 ? 1 : 0;
}
