#pragma once

#include "generation/scriptcheck.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace tarvex {

// Marks the boxes of an editor whose text a script would not carry as meant: a red
// frame for an error, an orange one for a warning (the dynamic property "finding" holds
// "error" or "warning"), and the tooltip starts with the reasons, errors first. A clean
// box gets its own tooltip back, and so does a switched-off (disabled) one: the window
// calls show() again after switching boxes on or off.
class FindingMarks {
public:
    // The box that shows a register column (the finding's field).
    void watch(const QString& field, QWidget* box);

    // Marks the boxes named by the findings and clears the others.
    void show(const ScriptFindings& findings);

private:
    struct Watched {
        QPointer<QWidget> box;
        QString normalToolTip;
    };
    QHash<QString, Watched> m_boxes;
};

} // namespace tarvex
