#pragma once

#include <QIcon>
#include <QPixmap>

namespace tarvex {

// An icon by its freedesktop name, from the desktop's icon theme, or else the program's
// own 24 x 24 copy. The program ships copies of: application-exit, dialog-ok,
// document-edit, document-new, document-open, document-save, edit-clear (a grey cross),
// edit-copy, edit-delete, folder-open, go-down, go-up, help-about, help-contents,
// list-add, list-remove, preferences-system, system-run, text-x-generic, text-x-script,
// x-office-spreadsheet.
QIcon tarvexIcon(const char* freedesktopName);

// The program's own icon, for its windows.
QIcon programIcon();

// The 16 x 16 mark of the BSP column: a ticked box for a BSP member, a dash otherwise.
QPixmap bspMark(bool member);

} // namespace tarvex
