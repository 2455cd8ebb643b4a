#include "core/VersionText.h"

#include "core/PluginError.h"

#include <QStringList>

namespace qel {
namespace {

int Part(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return 0;
    bool number = false;
    const qlonglong value = trimmed.toLongLong(&number);
    if (!number) throw RunTimeError(kErrTypeMismatch);
    if (value < -32768 || value > 32767) throw RunTimeError(kErrOverflow);
    return static_cast<int>(value);
}

}  // namespace

std::array<int, 3> VersionParts(const QString& version) {
    const QStringList parts = version.split(QLatin1Char('.'));
    std::array<int, 3> result{};
    for (int i = 0; i < 3; ++i)
        result[i] = i < parts.size() ? Part(parts[i]) : 0;
    return result;
}

bool IsNewerVersion(const QString& latest, const QString& current) {
    const auto l = VersionParts(latest);
    const auto c = VersionParts(current);
    for (int i = 0; i < 3; ++i) {
        if (l[i] > c[i]) return true;
        if (c[i] > l[i]) return false;
    }
    return false;
}

}  // namespace qel
