#include "core/ModuleFolder.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace qel {

QString ModuleFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

}  // namespace qel
