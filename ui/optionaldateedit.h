#pragma once

#include <QDateEdit>

namespace tarvex {

// A date box with a drop-down calendar whose weeks begin on Monday, which may also be
// left empty: Delete or Backspace over the whole text empties it.
class OptionalDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit OptionalDateEdit(QWidget* parent = nullptr);

    // An invalid date when the box is empty. Setting it shows a stored date: no edit signal.
    QDate optionalDate() const;
    void setOptionalDate(const QDate& date);
    bool isEmpty() const { return date() == minimumDate(); }

signals:
    // The user chose a date or emptied the box.
    void optionalDateEdited(const QDate& date);

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace tarvex
