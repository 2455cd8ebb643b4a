#include "core/AUF_Registry.h"

#include "core/AppInfo.h"
#include "core/PluginError.h"
#include "core/RegistryFile.h"
#include "core/Text.h"
#include "core/UiServices.h"

#include <QFileInfo>
#include <QSettings>

#include <limits>
#include <memory>
#include <optional>

namespace qel::AUF_Registry {
namespace {

using detail::Failure;

constexpr int64_t kIntegerMax = std::numeric_limits<int32_t>::max();

const QString kText = QStringLiteral("sz");
const QString kInteger = QStringLiteral("dword");
const QString kBoolean = QStringLiteral("binary");

void Report(const QString& text) {
    Ui().messageBox({}, text, MsgIcon::Critical, MsgButtons::Ok);
}

QString CleanName(const QString& name) {
    const QString trimmed = name.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("Default") : trimmed;
}

std::unique_ptr<QSettings> OpenStore() {
    return std::make_unique<QSettings>(RegistryFile::Format(), QSettings::UserScope,
                                       AppInfo::kCompanyName, AppInfo::kAppTitle);
}

// Value names do not depend on case: the stored spelling of `name`, or `name`.
QString StoredName(const QSettings& store, const QString& name) {
    if (store.contains(name)) return name;
    const QStringList keys = store.allKeys();
    for (const QString& key : keys) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) return key;
    }
    return name;
}

// The type names people know from the settings of old.
QString TypeName(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::UnknownType:
            return QStringLiteral("Empty");
        case QMetaType::Double:
            return QStringLiteral("Double");
        case QMetaType::Float:
            return QStringLiteral("Single");
        case QMetaType::QDate:
        case QMetaType::QTime:
        case QMetaType::QDateTime:
            return QStringLiteral("Date");
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return QStringLiteral("Byte");
        case QMetaType::QByteArray:
            return QStringLiteral("Byte()");
        case QMetaType::QStringList:
            return QStringLiteral("String()");
        case QMetaType::QObjectStar:
            return QStringLiteral("Object");
        default:
            return QString::fromLatin1(value.typeName());
    }
}

bool IsInteger(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return true;
        default:
            return false;
    }
}

QString Encode(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) return kText + QLatin1Char(':') + value.toString();
    if (value.typeId() == QMetaType::Bool) {
        return kBoolean + (value.toBool() ? QStringLiteral(":01") : QStringLiteral(":00"));
    }
    if (IsInteger(value)) {
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        const bool unsignedTooBig = value.typeId() == QMetaType::ULongLong &&
                                    value.toULongLong() > static_cast<qulonglong>(kIntegerMax);
        if (!ok || unsignedTooBig || n < 0 || n > kIntegerMax) {
            throw Failure{RunTimeDescription(kErrOverflow)};
        }
        return kInteger + QLatin1Char(':') + QString::number(n);
    }
    throw Failure{QStringLiteral("Data type ") + Quote(TypeName(value)) +
                  QStringLiteral(" not handled")};
}

bool AllDigits(const QString& text) {
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    }
    return true;
}

// Nothing: the value is empty and reads as the default.
std::optional<QVariant> Decode(const QString& stored) {
    const qsizetype colon = stored.indexOf(QLatin1Char(':'));
    const QString kind = stored.left(colon);
    const QString data = colon < 0 ? QString() : stored.mid(colon + 1);
    if (colon < 0) throw Failure{QStringLiteral("Registry Data type not handled")};
    if (data.isEmpty()) return std::nullopt;
    if (kind == kText) return QVariant(data);
    if (kind == kInteger) {
        if (!AllDigits(data)) throw Failure{RunTimeDescription(kErrTypeMismatch)};
        qsizetype first = 0;
        while (first + 1 < data.size() && data[first] == QLatin1Char('0'))
            ++first;
        const QString digits = data.mid(first);
        if (digits.size() > 10 || digits.toLongLong() > kIntegerMax) {
            throw Failure{RunTimeDescription(kErrOverflow)};
        }
        return QVariant(static_cast<int>(digits.toLongLong()));
    }
    if (kind == kBoolean) {
        bool ok = false;
        const int first = data.left(2).toInt(&ok, 16);
        if (!ok || data.size() % 2 != 0) throw Failure{RunTimeDescription(kErrTypeMismatch)};
        return QVariant(first != 0);
    }
    throw Failure{QStringLiteral("Registry Data type not handled")};
}

}  // namespace

QString detail::SettingsKey(const QString& company, const QString& title) {
    if (company.isEmpty()) throw Failure{QStringLiteral("Application Company Name not set")};
    if (title.isEmpty()) throw Failure{QStringLiteral("Application Title is not set")};
    return QStringLiteral("Software\\") + company + QLatin1Char('\\') + title;
}

QString SettingsKey() {
    try {
        return detail::SettingsKey(AppInfo::kCompanyName, AppInfo::kAppTitle);
    } catch (const Failure& f) {
        Report(f.text);
        return {};
    }
}

QString FilePath() {
    return OpenStore()->fileName();
}

bool SaveValue(const QString& name, const QVariant& value) {
    try {
        const QString key = detail::SettingsKey(AppInfo::kCompanyName, AppInfo::kAppTitle);
        const QString stored = Encode(value);
        const QString cleanName = CleanName(name);
        auto store = OpenStore();
        if (store->status() != QSettings::NoError || !store->isWritable()) {
            throw Failure{QStringLiteral("Could not open/create registry section ") + Quote(key)};
        }
        store->setValue(StoredName(*store, cleanName), stored);
        store->sync();
        if (store->status() != QSettings::NoError) {
            throw Failure{QStringLiteral("Registry Value ") + Quote(cleanName) +
                          QStringLiteral(" update failed")};
        }
        return true;
    } catch (const Failure& f) {
        Report(f.text);
        return false;
    }
}

QVariant LoadValue(const QString& name, const QVariant& defaultValue) {
    try {
        detail::SettingsKey(AppInfo::kCompanyName, AppInfo::kAppTitle);
        const QString cleanName = CleanName(name);
        auto store = OpenStore();
        if (!QFileInfo::exists(store->fileName())) return defaultValue;
        if (store->status() != QSettings::NoError) {
            throw Failure{QStringLiteral("Could not open registry section")};
        }
        const QString storedName = StoredName(*store, cleanName);
        if (!store->contains(storedName)) return defaultValue;
        return Decode(store->value(storedName).toString()).value_or(defaultValue);
    } catch (const Failure& f) {
        Report(f.text);
        return defaultValue;
    }
}

namespace {

template <typename T, typename Convert>
T LoadAs(const QString& name, const T& defaultValue, Convert convert) {
    const QVariant stored = LoadValue(name, QVariant());
    if (!stored.isValid()) return defaultValue;
    if (std::optional<T> converted = convert(stored)) return *converted;
    Report(RunTimeDescription(kErrTypeMismatch));
    return defaultValue;
}

}  // namespace

QString LoadText(const QString& name, const QString& defaultValue) {
    return LoadAs<QString>(name, defaultValue, [](const QVariant& v) -> std::optional<QString> {
        if (v.typeId() == QMetaType::Bool) {
            return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        }
        return v.toString();
    });
}

int LoadInt(const QString& name, int defaultValue) {
    return LoadAs<int>(name, defaultValue, [](const QVariant& v) -> std::optional<int> {
        if (v.typeId() == QMetaType::Int) return v.toInt();
        if (v.typeId() == QMetaType::QString) {
            bool ok = false;
            const int n = v.toString().trimmed().toInt(&ok);
            if (ok) return n;
        }
        return std::nullopt;
    });
}

bool LoadBool(const QString& name, bool defaultValue) {
    return LoadAs<bool>(name, defaultValue, [](const QVariant& v) -> std::optional<bool> {
        if (v.typeId() == QMetaType::Bool) return v.toBool();
        if (v.typeId() == QMetaType::Int) return v.toInt() != 0;
        const QString text = v.toString().trimmed();
        if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) return true;
        if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0) return false;
        return std::nullopt;
    });
}

}  // namespace qel::AUF_Registry
