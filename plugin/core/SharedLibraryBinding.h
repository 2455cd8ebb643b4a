// Binds each export of libqelio32.so by name at its first call. The library is looked
// for beside the module that holds the plugin's code, then on the library path. A
// missing library or export fails that call with a plugin error; nothing crashes.
#pragma once

#include "core/LibraryBinding.h"

#include <QString>

namespace qel {

// Shows one of the library's own messages (a locked port being cleared, a handle the
// driver rejected) in a message box with OK. The binding installs it as the library's
// message hook when the library offers one.
void ShowLibraryMessage(const char* caption, const char* text, void* context);

class SharedLibraryBinding : public LibraryBinding {
  public:
    SharedLibraryBinding() = default;
    // A library file of one's own choosing, for tests of the binding itself.
    explicit SharedLibraryBinding(QString path);
    ~SharedLibraryBinding() override;
    SharedLibraryBinding(const SharedLibraryBinding&) = delete;
    SharedLibraryBinding& operator=(const SharedLibraryBinding&) = delete;

    int32_t PortCount() override;
    int32_t PortName(int32_t port, char* buffer, int32_t size) override;
    int32_t OpenPort(int32_t port) override;
    int32_t FreePort() override;
    int32_t Command(uint8_t* buffer, int32_t* length) override;
    int32_t LastError(char* buffer, int32_t size) override;
    int32_t Version(char* buffer, int32_t size) override;
    int32_t Reprogram(const char* path) override;
    int32_t ProgState() override;

    static constexpr const char* kFileName = "libqelio32.so";

  private:
    void* handle();
    void* symbol(void*& slot, const char* name);

    template <typename Fn>
    Fn bind(void*& slot, const char* name) {
        return reinterpret_cast<Fn>(symbol(slot, name));
    }

    QString path_;
    void* handle_ = nullptr;
    void* portCount_ = nullptr;
    void* portName_ = nullptr;
    void* openPort_ = nullptr;
    void* freePort_ = nullptr;
    void* command_ = nullptr;
    void* lastError_ = nullptr;
    void* version_ = nullptr;
    void* reprogram_ = nullptr;
    void* progState_ = nullptr;
};

}  // namespace qel
