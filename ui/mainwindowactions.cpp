#include "mainwindowactions.h"

#include "icons.h"

#include <QAction>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kOperations = u"Операции"_s;
const QString kSettings = u"Настройки"_s;
const QString kHelp = u"Помощь"_s;

// The icons come from the desktop's theme by their freedesktop names, or else from the program's own copies.
QAction* command(QObject* owner, const QString& name, const QString& caption, const QString& hint,
                 const QString& category, const char* iconName) {
    auto* action = new QAction(iconName ? tarvexIcon(iconName) : QIcon(), caption, owner);
    action->setObjectName(name);
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    action->setProperty("category", category);
    return action;
}

} // namespace

MainWindowActions MainWindowActions::create(QObject* owner) {
    MainWindowActions a{};
    a.addAirline = command(owner, u"acAddAirComp"_s, u"Добавить авиакомпанию"_s, u"Добавить авиакомпанию"_s,
                           kOperations, "list-add");
    a.editAirline = command(owner, u"acEditRules"_s, u"Редактировать правила"_s, u"Редактировать правила"_s,
                            kOperations, "document-edit");
    a.deleteAirline = command(owner, u"acDelAirComp"_s, u"Удалить авиакомпанию"_s, u"Удалить авиакомпанию"_s,
                              kOperations, "list-remove");
    a.createSmartFlow = command(owner, u"acCreateSmartFlow"_s, u"Скрипт для &Amadeus SellConnect"_s,
                                u"Сформировать правила"_s, kOperations, "text-x-script");
    a.createSmartKey = command(owner, u"acCreateRules"_s, u"Скрипт для A&madeus Vista"_s, u"Сформировать правила"_s,
                               kOperations, "text-x-script");
    a.createSmartKey->setVisible(false);
    a.createWorkbook = command(owner, u"acCreateExcell"_s, u"Сформировать &Excel"_s, u"Сформировать Excel"_s,
                               kOperations, "x-office-spreadsheet");
    a.exportAirlines = command(owner, u"acExportAir"_s, u"Экспорт списка авиакомпаний"_s,
                               u"Экспорт списка авиакомпаний"_s, kOperations, "text-x-generic");
    a.createAll = command(owner, u"acCreateAll"_s, u"Генерировать всё"_s,
                          u"Генерировать все объекты: указанные в настройках"_s, kOperations, "system-run");
    a.showFindings = command(owner, u"acShowFindings"_s, u"Только с замечаниями"_s,
                             u"Показать только авиакомпании, тексты которых скрипты не передадут как задумано"_s,
                             kOperations, nullptr);
    a.showFindings->setCheckable(true);
    a.showEnding = command(owner, u"acShowEnding"_s, u"Только с истекающими сроками"_s,
                           u"Показать только авиакомпании, у которых договор или условие скоро кончится или уже "
                           u"кончилось"_s,
                           kOperations, nullptr);
    a.showEnding->setCheckable(true);
    a.openCreateMenu =
        command(owner, u"acCreateOpen"_s, u"Сформировать"_s, u"Сформировать"_s, kOperations, "document-save");
    a.settings = command(owner, u"acSettings"_s, u"Настройки"_s, u"Настройки"_s, kSettings, "preferences-system");
    a.help = command(owner, u"acHelp"_s, u"Помощь"_s, QString(), kHelp, "help-contents");
    a.about = command(owner, u"acAbout"_s, u"О программе"_s, u"О программе"_s, kHelp, "help-about");
    a.exit = command(owner, u"acExit"_s, u"Выход"_s, u"Выход"_s, QString(), "application-exit");
    return a;
}

QAction* standIn(QAction* command, const QString& caption, QMenu* menu) {
    auto* shown = menu->addAction(command->icon(), caption);
    shown->setToolTip(command->toolTip());
    shown->setStatusTip(command->statusTip());
    shown->setVisible(command->isVisible());
    shown->setEnabled(command->isEnabled());
    QObject::connect(shown, &QAction::triggered, command, &QAction::trigger);
    QObject::connect(command, &QAction::changed, shown, [command, shown] {
        shown->setVisible(command->isVisible());
        shown->setEnabled(command->isEnabled());
    });
    return shown;
}

} // namespace tarvex
