#include "findingmarks.h"

#include "findingtext.h"

#include <QStringList>
#include <QStyle>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kMarkStyle = u"*[finding=\"error\"] { border: 2px solid #d01010; }"
                           u"*[finding=\"warning\"] { border: 2px solid #f08000; }"_s;

void mark(QWidget* box, const QString& finding, const QString& toolTip) {
    box->setProperty("finding", finding);
    // The sheet goes only on a marked box, so unmarked ones keep their palette and look.
    box->setStyleSheet(finding.isEmpty() ? QString() : kMarkStyle);
    box->style()->unpolish(box);
    box->style()->polish(box);
    box->setToolTip(toolTip);
}

} // namespace

void FindingMarks::watch(const QString& field, QWidget* box) {
    m_boxes.insert(field, {box, box->toolTip()});
}

void FindingMarks::show(const ScriptFindings& findings) {
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
        QWidget* box = it->box;
        if (!box)
            continue;
        QStringList reasons;
        bool error = false;
        for (const ScriptFinding& finding : findings) {
            if (finding.field != it.key())
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
