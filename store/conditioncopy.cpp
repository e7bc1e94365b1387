#include "conditioncopy.h"

#include "storeerror.h"
#include "tablecursor.h"

using namespace Qt::StringLiterals;

namespace tarvex {

void duplicateCurrentCondition(TableCursor& conditions) {
    if (conditions.currentRow() < 0)
        throw StoreError(u"Нет условия для копирования"_s);
    const QList<ColumnDef>& columns = conditions.table().columns;
    QVariantList values;
    for (int c = 1; c < columns.size(); ++c)
        values << conditions.value(c);
    conditions.insert();
    try {
        for (int c = 1; c < columns.size(); ++c)
            conditions.setValue(columns[c].name, values[c - 1]);
        conditions.post();
    } catch (const StoreError&) {
        conditions.cancel(); // the copy was not stored: leave no half-made row behind
        throw;
    }
}

} // namespace tarvex
