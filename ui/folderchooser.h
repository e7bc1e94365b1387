#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace tarvex {

// Asks the user for a folder; tests replace it.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // The folder picked, starting in startFolder; empty when the user cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& startFolder) = 0;
};

// The desktop's folder dialog.
class FolderDialogChooser : public FolderChooser {
public:
    QString chooseFolder(QWidget* parent, const QString& startFolder) override;
};

// Lets the user pick a folder for a folder box, starting in the folder the box names (a relative one taken from
// the app folder). A picked folder replaces the box's text; a cancelled choice leaves it as it is.
void browseFolderInto(FolderChooser& chooser, QLineEdit& folderBox, const QString& appDir);

} // namespace tarvex
