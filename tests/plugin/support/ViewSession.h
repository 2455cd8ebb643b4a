// Driving a view as a person does: open it by name through a form controller, act on it
// once it is on screen (the modal showing runs meanwhile), type into its fields, and
// keep a picture of it for a person to look at.
#pragma once

#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

class QObject;

namespace qel::test {

class ScriptedUi;

// Opens `name` modally (with `data`) from an opener view, as the main window opens its
// views, runs `step` as soon as the view is on screen, and returns when the view has
// closed: the number of the error the opener's OpenForm raised then (the code the view
// closed with, for one), 0 for none. A view still open after `limitMs` is closed and the
// test fails.
int32_t OpenModal(const QString& name, QObject* data,
                  const std::function<void(QWidget& view)>& step, int limitMs = 20000);

// The view's control of that object name; fails the test when there is none.
template <class T>
T* Find(const QWidget& view, const QString& name) {
    T* control = view.findChild<T*>(name);
    if (!control) ADD_FAILURE() << "no control " << name.toStdString();
    return control;
}

// Exactly one message was shown, titled `title`; none at all when `title` is null.
void ExpectShownOnce(const ScriptedUi& ui, const char* title);

// Moves into the field, types `keys`, and moves on with Tab, which finishes the entry.
void TypeInto(QLineEdit* field, const QString& keys);

// Lets window events run for `ms` milliseconds.
void Pause(int ms);

// Saves what the widget shows as build/test-png/<folder>/<name>.png; the path, or empty.
QString SaveShot(QWidget& widget, const QString& folder, const QString& name);

}  // namespace qel::test
