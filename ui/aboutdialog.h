#pragma once

#include <QDialog>

namespace tarvex {

// "О программе Tarvex": the program's name, purpose and version.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace tarvex
