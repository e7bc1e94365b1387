#pragma once

#include "sheet.h"
#include "style.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

namespace tarvex::xlsx {

// A workbook of sheets sharing one style table.
class Workbook {
public:
    Workbook();
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    int sheetCount() const { return int(m_sheets.size()); }
    void setSheetCount(int count);
    // nullptr outside 0 to sheetCount() - 1.
    Sheet* sheet(int index);
    const Sheet* sheet(int index) const;

    // Makes the title valid and unique among the sheets before storing it: trimmed,
    // at most 31 characters, none of \ / * [ ] ? :, "Лист1" when blank, and " (2)",
    // " (3)"... appended while another sheet has it (ignoring case).
    void setSheetTitle(int index, const QString& title);

    StyleTable& styles() { return m_styles; }
    const StyleTable& styles() const { return m_styles; }

    // The local time at which the workbook was created; settable for reproducible files.
    QDateTime creationTime() const { return m_creationTime; }
    void setCreationTime(const QDateTime& time) { m_creationTime = time; }

private:
    bool titleTaken(const QString& title, int exceptIndex) const;

    std::vector<std::unique_ptr<Sheet>> m_sheets;
    StyleTable m_styles;
    QDateTime m_creationTime;
};

} // namespace tarvex::xlsx
