#include "folderchooser.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace tarvex {

QString FolderDialogChooser::chooseFolder(QWidget* parent, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(parent, u"Выбор папки"_s, startFolder);
}

void browseFolderInto(FolderChooser& chooser, QLineEdit& folderBox, const QString& appDir) {
    const QString typed = folderBox.text();
    const QString startFolder = typed.isEmpty() ? appDir : QDir(appDir).absoluteFilePath(typed);
    const QString picked = chooser.chooseFolder(folderBox.window(), startFolder);
    if (!picked.isEmpty())
        folderBox.setText(picked);
}

} // namespace tarvex
