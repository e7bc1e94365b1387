#pragma once

#include <QDialog>

#include <memory>

namespace tarvex {

namespace Ui {
class AboutDialog;
}

// "О программе Tarvex": the program's name, purpose and version.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void showVersion();

    std::unique_ptr<Ui::AboutDialog> m_ui;
};

} // namespace tarvex
