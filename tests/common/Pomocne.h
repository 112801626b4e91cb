// Shared helpers of the app tests: finding controls by name, typing, and
// working with a modal dialog from inside its own event loop.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

template <class T> T* Prvek(const QObject* okno, const char* jmeno) {
    T* prvek = okno->findChild<T*>(QLatin1String(jmeno));
    EXPECT_NE(prvek, nullptr) << jmeno;
    return prvek;
}

// Replaces the text of an edit by typing, as the operator would.
inline void Napis(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

inline void Klikni(const QObject* okno, const char* tlacitko) {
    QTest::mouseClick(Prvek<QPushButton>(okno, tlacitko), Qt::LeftButton);
}

inline QString Text(const QObject* okno, const char* jmeno) {
    if (auto* label = okno->findChild<QLabel*>(QLatin1String(jmeno))) return label->text();
    if (auto* edit = okno->findChild<QLineEdit*>(QLatin1String(jmeno))) return edit->text();
    ADD_FAILURE() << "no label or edit " << jmeno;
    return {};
}

// As soon as the event loop of the next modal dialog runs, hands the dialog
// to `akce` and then closes it (if `akce` did not). Returns a flag that tells
// whether a dialog was found.
inline std::shared_ptr<bool> PriModalnim(std::function<void(QDialog*)> akce) {
    auto nalezen = std::make_shared<bool>(false);
    QTimer::singleShot(0, [akce, nalezen] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        *nalezen = true;
        akce(dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    return nalezen;
}
