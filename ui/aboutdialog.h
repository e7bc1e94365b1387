#pragma once

#include <QDialog>

#include <memory>

namespace tarvex {

namespace Ui {
class AboutDialog;
}

// "О программе Tarvex": the program's name, purpose and version, and the app folder in use.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // appDir is the app folder with its trailing "/".
    explicit AboutDialog(const QString& appDir, QWidget* parent = nullptr);
    ~AboutDialog() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void showVersion();
    void showAppFolder(const QString& appDir);

    std::unique_ptr<Ui::AboutDialog> m_ui;
};

} // namespace tarvex
