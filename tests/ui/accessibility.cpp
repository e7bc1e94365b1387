#include "accessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace tarvex::testing {

namespace {

// A date box walks its day, month and year before it lets go.
constexpr int kPressesOneControlMayKeep = 3;

QString shownText(const QLabel& label) {
    QString text = label.text();
    if (label.textFormat() == Qt::RichText || (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument page;
        page.setHtml(text);
        text = page.toPlainText();
    }
    return text.remove(u'&');
}

QString describe(const QWidget* widget) {
    if (!widget)
        return u"(nothing)"_s;
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

} // namespace

QString spokenName(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

QStringList labelsNotReadAsShown(const QWidget* window) {
    QStringList wrong;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->window() != window)
            continue;
        const QString shown = shownText(*label);
        if (shown.isEmpty() && !label->pixmap().isNull())
            continue;
        const QString read = spokenName(label);
        if (read != shown)
            wrong << u"%1: «%2» for «%3»"_s.arg(describe(label), read, shown);
    }
    return wrong;
}

QStringList columnTitlesRead(QWidget* view) {
    QStringList titles;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(view);
    QAccessibleTableInterface* table = face ? face->tableInterface() : nullptr;
    for (int column = 0; table && column < table->columnCount(); ++column)
        titles << table->columnDescription(column);
    return titles;
}

QList<QWidget*> tabStops(QWidget* window) {
    QList<QWidget*> stops;
    for (QWidget* widget = window->nextInFocusChain(); widget != window; widget = widget->nextInFocusChain()) {
        if (widget->window() == window && widget->isVisible() && widget->isEnabled() && !widget->focusProxy() &&
            (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus)
            stops << widget;
    }
    return stops;
}

QString focusWalkFault(QWidget* window, bool forward) {
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return u"the window does not become active"_s;
    const QList<QWidget*> stops = tabStops(window);
    if (stops.size() < 2)
        return {}; // nowhere to go
    if (!window->focusWidget())
        stops.first()->setFocus(Qt::TabFocusReason);
    QWidget* start = window->focusWidget();
    if (!start)
        return u"nothing takes the focus"_s;
    QList<QWidget*> reached{start};
    QWidget* at = start;
    int kept = 0;
    for (int presses = 0; presses < kPressesOneControlMayKeep * (stops.size() + 1); ++presses) {
        QTest::keyClick(at, Qt::Key_Tab, forward ? Qt::NoModifier : Qt::ShiftModifier);
        QWidget* next = window->focusWidget();
        if (next == at) {
            if (++kept == kPressesOneControlMayKeep)
                return u"%1 keeps the focus"_s.arg(describe(at));
            continue;
        }
        kept = 0;
        at = next;
        if (at == start)
            break;
        reached << at;
    }
    if (at != start)
        return u"the focus never comes back to %1"_s.arg(describe(start));
    QStringList missed;
    for (QWidget* stop : stops) {
        if (!reached.contains(stop))
            missed << describe(stop);
    }
    return missed.isEmpty() ? QString() : u"never reached: "_s + missed.join(u", "_s);
}

} // namespace tarvex::testing
