#include "findingmarks.h"

#include "generation/findingtext.h"

#include <QStringList>
#include <QStyle>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kMarkStyle = u"*[finding=\"error\"] { border: 2px solid #d01010; }"
                           u"*[finding=\"warning\"] { border: 2px solid #f08000; }"_s;

void mark(QWidget* box, const QString& finding, const QString& toolTip) {
    box->setToolTip(toolTip);
    if (box->property("finding").toString() == finding)
        return;
    box->setProperty("finding", finding);
    // The sheet goes only on a marked box, so unmarked ones keep their look. Changing it
    // puts back the palettes the box and its parts (the text field of a spin box) had when
    // a sheet was first set, so the colours the window has given the box since (switched
    // on or off) are set again and its parts follow them.
    const QPalette colours = box->palette();
    box->setStyleSheet(finding.isEmpty() ? QString() : kMarkStyle);
    box->style()->unpolish(box);
    box->style()->polish(box);
    box->setPalette(colours);
    for (QWidget* part : box->findChildren<QWidget*>())
        part->setPalette(QPalette());
}

} // namespace

void FindingMarks::watch(const QString& field, QWidget* box) {
    m_boxes.insert(field, {box, box->toolTip()});
}

void FindingMarks::show(const ScriptFindings& findings) {
    const ScriptFindings ordered = errorsFirst(findings);
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
        QWidget* box = it->box;
        if (!box)
            continue;
        QStringList reasons;
        bool error = false;
        // What a switched-off box holds is not used, and a frame would hide that it is off.
        const bool switchedOff = !box->isEnabledTo(box->window());
        for (const ScriptFinding& finding : ordered) {
            if (switchedOff || finding.field != it.key())
                continue;
            error = error || finding.kind == FindingKind::Error;
            reasons << findingKindText(finding.kind) + u": "_s + finding.effect;
        }
        if (reasons.isEmpty()) {
            mark(box, {}, it->normalToolTip);
            continue;
        }
        if (!it->normalToolTip.isEmpty())
            reasons << QString() << it->normalToolTip;
        mark(box, error ? u"error"_s : u"warning"_s, reasons.join(u'\n'));
    }
}

} // namespace tarvex
