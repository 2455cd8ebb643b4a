// The first argument of every signal a spy caught, in order.
#pragma once

#include <QList>
#include <QSignalSpy>
#include <QVariant>

template <typename T>
QList<T> FirstArguments(const QSignalSpy& spy) {
    QList<T> values;
    for (const QList<QVariant>& call : spy)
        values << call.at(0).value<T>();
    return values;
}
