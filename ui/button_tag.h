#pragma once
// A button's Tag: a 32-bit integer it carries for its handler (0 closed / 1
// open for the archive buttons, the next conversion's direction for the
// converter buttons). It lives as a property on the button itself, so the
// state and its caption cannot drift apart into a second variable.

#include <QObject>
#include <QVariant>

namespace wright::ui {

inline qint32 tag(const QObject* button) {
    return button->property("wrightTag").value<qint32>();
}

inline void setTag(QObject* button, qint32 value) {
    button->setProperty("wrightTag", QVariant::fromValue(value));
}

}  // namespace wright::ui
