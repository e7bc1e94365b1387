#include "layoutcheck.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace tarvex::testing {

namespace {

// The space a label's text keeps from the control beside it.
constexpr int kGap = 2;

QString nameOf(const QWidget* widget) {
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

bool shown(const QWidget* widget, const QWidget* window) {
    return widget->window() == window && widget->isVisibleTo(window);
}

// Where a one-line, left-aligned label draws its text.
QRect textArea(const QLabel& label) {
    const int width =
        label.fontMetrics().horizontalAdvance(label.text()) + 2 * label.margin() + std::max(label.indent(), 0);
    return {label.geometry().topLeft(), QSize(width, label.height())};
}

// The control, beside or below the label in the same parent, that the label's text runs into.
const QWidget* neighbourTouched(const QLabel& label) {
    if (label.wordWrap() || !(label.alignment() & Qt::AlignLeft) || label.text().contains(u'\n'))
        return nullptr;
    const QRect text = textArea(label).adjusted(0, 0, kGap, 0);
    for (const QObject* object : label.parent()->children()) {
        const auto* sibling = qobject_cast<const QWidget*>(object);
        if (sibling && sibling != &label && sibling->isVisibleTo(label.window()) &&
            sibling->geometry().intersects(text) && !sibling->geometry().contains(label.geometry()))
            return sibling;
    }
    return nullptr;
}

bool showsText(const QAbstractButton& button) {
    const auto* tool = qobject_cast<const QToolButton*>(&button);
    return !tool || tool->toolButtonStyle() != Qt::ToolButtonIconOnly || tool->icon().isNull();
}

// A push button's frame, icon and text; any other button's own size hint, which is just that.
int widthNeeded(const QAbstractButton& button) {
    const auto* push = qobject_cast<const QPushButton*>(&button);
    if (!push)
        return button.sizeHint().width();
    QStyleOptionButton option;
    option.initFrom(push);
    option.text = push->text();
    option.icon = push->icon();
    option.iconSize = push->iconSize();
    const QRect inside = push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push);
    const int icon = push->icon().isNull() ? 0 : push->iconSize().width() + 4; // the style's gap after an icon
    const int text = push->fontMetrics().horizontalAdvance(QString(push->text()).remove(u'&'));
    return push->width() - inside.width() + icon + text;
}

} // namespace

QStringList textsNotShownWhole(const QWidget* window) {
    QStringList faults;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (!shown(label, window) || label->text().isEmpty() || label->wordWrap())
            continue;
        if (label->sizeHint().width() > label->width())
            faults << u"%1 «%2» is %3 pixels wide, needs %4"_s.arg(nameOf(label), label->text())
                          .arg(label->width())
                          .arg(label->sizeHint().width());
        else if (const QWidget* touched = neighbourTouched(*label))
            faults << u"%1 «%2» runs into %3"_s.arg(nameOf(label), label->text(), nameOf(touched));
    }
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!shown(button, window) || button->text().isEmpty() || !showsText(*button))
            continue;
        const int needed = widthNeeded(*button);
        if (needed > button->width())
            faults << u"%1 «%2» is %3 pixels wide, needs %4"_s.arg(nameOf(button), button->text())
                          .arg(button->width())
                          .arg(needed);
    }
    for (const QGroupBox* group : window->findChildren<QGroupBox*>()) {
        if (!shown(group, window) || group->title().isEmpty())
            continue;
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect title =
            group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        if (title.right() >= group->width())
            faults << u"%1 «%2» is %3 pixels wide, its title needs %4"_s.arg(nameOf(group), group->title())
                          .arg(group->width())
                          .arg(title.right() + 1);
    }
    return faults;
}

} // namespace tarvex::testing
