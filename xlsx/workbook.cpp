#include "workbook.h"

#include "common/trim.h"

namespace tarvex::xlsx {

namespace {

constexpr int kMaxTitleLength = 31;

} // namespace

Workbook::Workbook()
    : m_creationTime(QDateTime::currentDateTime()) {}

Workbook::~Workbook() = default;

void Workbook::setSheetCount(int count) {
    count = std::max(count, 0);
    while (int(m_sheets.size()) > count)
        m_sheets.pop_back();
    while (int(m_sheets.size()) < count)
        m_sheets.push_back(std::make_unique<Sheet>());
}

Sheet* Workbook::sheet(int index) {
    return index >= 0 && index < sheetCount() ? m_sheets[index].get() : nullptr;
}

const Sheet* Workbook::sheet(int index) const {
    return index >= 0 && index < sheetCount() ? m_sheets[index].get() : nullptr;
}

bool Workbook::titleTaken(const QString& title, int exceptIndex) const {
    for (int i = 0; i < sheetCount(); ++i) {
        if (i != exceptIndex && m_sheets[i]->m_title.compare(title, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void Workbook::setSheetTitle(int index, const QString& title) {
    Sheet* target = sheet(index);
    if (!target)
        return;
    QString corrected = trimBlanksAndControls(title).toString();
    if (corrected.size() > kMaxTitleLength)
        corrected.truncate(kMaxTitleLength);
    for (QChar& c : corrected) {
        if (QStringView(u"\\/*[]?:").contains(c))
            c = u' ';
    }
    if (corrected.trimmed().isEmpty())
        corrected = QStringLiteral("Лист1");

    QString unique = corrected;
    for (int number = 2; titleTaken(unique, index); ++number) {
        const QString suffix = QStringLiteral(" (%1)").arg(number);
        unique = corrected.left(kMaxTitleLength - suffix.size()) + suffix;
    }
    target->m_title = unique;
}

} // namespace tarvex::xlsx
