#include "optionaldateedit.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// The lowest date the box holds stands for "no date"; no contract ends on it.
const QDate kEmptyDate(1752, 9, 14);

} // namespace

OptionalDateEdit::OptionalDateEdit(QWidget* parent)
    : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(u"dd.MM.yyyy"_s);
    setMinimumDate(kEmptyDate);
    setSpecialValueText(u" "_s); // shown instead of the lowest date
    calendarWidget()->setFirstDayOfWeek(Qt::Monday);
    setOptionalDate({});
    connect(this, &QDateEdit::dateChanged, this, [this] { emit optionalDateEdited(optionalDate()); });
}

QDate OptionalDateEdit::optionalDate() const {
    return isEmpty() ? QDate() : date();
}

void OptionalDateEdit::setOptionalDate(const QDate& date) {
    const QSignalBlocker quiet(this); // showing a stored date is no edit
    setDate(date.isValid() ? date : minimumDate());
}

// An empty box has no day, month and year to step through: Tab and Shift+Tab leave it at once.
bool OptionalDateEdit::focusNextPrevChild(bool next) {
    return isEmpty() ? QWidget::focusNextPrevChild(next) : QDateEdit::focusNextPrevChild(next);
}

void OptionalDateEdit::keyPressEvent(QKeyEvent* event) {
    const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (erase && !isEmpty() && lineEdit()->selectedText() == lineEdit()->text()) {
        setDate(minimumDate());
        return;
    }
    // Typing or stepping in an empty box starts from today, not from the date that stands for empty.
    const bool steps = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || event->key() == Qt::Key_PageUp ||
                       event->key() == Qt::Key_PageDown;
    const bool typesDigit = !event->text().isEmpty() && event->text().front().isDigit();
    if (isEmpty() && (steps || typesDigit)) {
        setDate(QDate::currentDate());
        setSelectedSection(QDateTimeEdit::DaySection);
        if (steps)
            return; // today is the first step
    }
    QDateEdit::keyPressEvent(event);
}

void OptionalDateEdit::mousePressEvent(QMouseEvent* event) {
    QDateEdit::mousePressEvent(event);
    // An empty box opens its calendar on today's month, not on the date that stands for empty.
    if (isEmpty())
        calendarWidget()->setCurrentPage(QDate::currentDate().year(), QDate::currentDate().month());
}

} // namespace tarvex
