#pragma once

#include <QLabel>

namespace tarvex {

// A one-line caption drawn raised from the page: a light edge above and left of the
// letters and a shadow below and right of them.
class RaisedLabel : public QLabel {
    Q_OBJECT
public:
    explicit RaisedLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tarvex
