// Whether a value holds a live object.
#pragma once

#include <QObject>
#include <QPointer>
#include <QVariant>

#include <memory>

namespace qel {

template <typename T>
bool IsObjectSet(const T* object) {
    return object != nullptr;
}

template <typename T>
bool IsObjectSet(const QPointer<T>& object) {
    return !object.isNull();
}

template <typename T>
bool IsObjectSet(const std::shared_ptr<T>& object) {
    return object != nullptr;
}

// True for a QVariant that holds a pointer to a QObject (of any class) that is not null;
// false for an empty variant, a value that is no object, and a null pointer.
inline bool IsObjectSet(const QVariant& value) {
    if (!value.isValid() || !(value.metaType().flags() & QMetaType::PointerToQObject)) {
        return false;
    }
    return value.value<QObject*>() != nullptr;
}

}  // namespace qel
