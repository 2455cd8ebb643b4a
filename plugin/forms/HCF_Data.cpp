#include "forms/HCF_Data.h"

#include <QObject>
#include <QVariant>

namespace qel {

QString DataClassOf(const QObject* data) {
    if (!data) return QStringLiteral("Not Stated");
    if (const auto* d = dynamic_cast<const HCF_Data*>(data)) return d->DataClass();
    const QVariant property = data->property("DataClass");
    if (property.isValid()) return property.toString();
    return QString::fromLatin1(data->metaObject()->className());
}

}  // namespace qel
