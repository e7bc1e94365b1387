#include "serveraddress.h"

using namespace Qt::StringLiterals;

namespace tarvex {

const QStringList& ServerAddress::sslModes() {
    static const QStringList modes{u"disable"_s, u"allow"_s,     u"prefer"_s,
                                   u"require"_s, u"verify-ca"_s, u"verify-full"_s};
    return modes;
}

std::optional<QString> ServerAddress::problem() const {
    if (port < 0 || port > 65535)
        return u"порт %1 вне диапазона 1…65535"_s.arg(port);
    if (!sslMode.isEmpty() && !sslModes().contains(sslMode))
        return u"sslmode «%1» не из допустимых: %2"_s.arg(sslMode, sslModes().join(u", "_s));
    // libpq takes its parameters as C strings: a character 0 would cut the value short.
    for (const QString* value : {&host, &name, &user}) {
        if (value->contains(QChar(0)))
            return u"значение «%1» содержит символ с кодом 0"_s.arg(QString(*value).remove(QChar(0)));
    }
    return std::nullopt;
}

} // namespace tarvex
