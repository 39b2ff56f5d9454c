// Drives a window the way a user does, for the window tests: a widget found by its
// objectName, a list entry picked as the drop-down reports a click on it, text typed into
// a box, and the bytes of a file the window wrote.
#pragma once

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QtTest>

namespace relperm::testing {

template <class T = QWidget> T* child(QObject& window, const char* name) {
    T* object = window.findChild<T*>(name);
    if (!object)
        qFatal("nothing named %s", name);
    return object;
}

inline void pickEntry(QObject& window, const char* list, const QString& entry) {
    auto* combo = child<QComboBox>(window, list);
    const int index = combo->findText(entry, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(entry));
    combo->setCurrentIndex(index);
    emit combo->activated(index); // as the drop-down reports a click on the entry
}

inline void typeText(QObject& window, const char* box, const QString& text) {
    auto* edit = child<QLineEdit>(window, box);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

inline QByteArray fileBytes(const QString& file) {
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace relperm::testing
