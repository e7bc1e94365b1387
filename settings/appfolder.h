#pragma once

#include <QString>

namespace tarvex {

// The app folder holds options.ini, DB/Tarvex.mdb and Files/. Both the desktop program and
// tarvex-cli name it the same way: absolute, with a trailing "/".
QString appFolder(const QString& directory);

// How the app folder was found.
enum class AppFolderKind {
    Portable, // the executable's own folder: it holds DB/ or options.ini
    UserData, // "tarvex" in the user's data folder, where an installed program keeps its data
    Given,    // named on the command line
};

struct AppFolder {
    QString path; // as appFolder() gives it
    AppFolderKind kind;
};

// Where a program keeps its data when nobody names the folder: a folder holding the executable
// and DB/ or options.ini is a copied program folder and keeps its own data; an installed
// program uses $XDG_DATA_HOME/tarvex, or ~/.local/share/tarvex when XDG_DATA_HOME is empty
// or not absolute (a relative one is ignored, as the XDG base directory rules say).
AppFolder locateAppFolder(const QString& executableFolder, const QString& xdgDataHome, const QString& homeFolder);

// The same for the running executable, its environment and the user's home folder.
AppFolder locateAppFolder();

// Makes Files/, where the outputs go unless the settings name another folder, when it is
// missing. Throws TarvexError when it cannot be made.
void createOutputFolder(const QString& appDir);

// The help page Tarvex_Help.html: beside the executable in a copied program folder, otherwise
// where the installation put it (share/tarvex of the installation prefix). When neither exists,
// the path beside the executable, which the help command then reports missing.
QString helpPagePath(const QString& executableFolder);

// The same for the running executable.
QString helpPagePath();

} // namespace tarvex
