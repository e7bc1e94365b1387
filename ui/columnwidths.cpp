#include "columnwidths.h"

#include <numeric>

namespace tarvex {

QList<int> proportionalWidths(const QList<int>& designWidths, int total) {
    QList<int> widths;
    const qint64 designTotal = std::accumulate(designWidths.begin(), designWidths.end(), qint64(0));
    if (designWidths.isEmpty() || designTotal <= 0)
        return widths;
    int used = 0;
    for (int i = 0; i + 1 < designWidths.size(); ++i) {
        const int width = int((qint64(designWidths[i]) * total + designTotal / 2) / designTotal);
        widths << width;
        used += width;
    }
    widths << std::max(0, total - used);
    return widths;
}

} // namespace tarvex
