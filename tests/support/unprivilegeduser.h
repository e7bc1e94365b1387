#pragma once

#include <sys/types.h>
#include <unistd.h>

namespace tarvex::testing {

// Runs the rest of the scope as the user nobody when the tests run as root, for whom permission bits do not
// count: a file without read or write permission then fails as it does for the program's real users.
class UnprivilegedUser {
public:
    UnprivilegedUser() {
        if (::geteuid() == 0)
            m_switched = ::seteuid(kNobody) == 0;
    }
    ~UnprivilegedUser() {
        if (m_switched)
            (void)::seteuid(0);
    }
    UnprivilegedUser(const UnprivilegedUser&) = delete;
    UnprivilegedUser& operator=(const UnprivilegedUser&) = delete;

    // False when running as root and the switch failed: permission bits would not count.
    bool isUnprivileged() const { return m_switched || ::geteuid() != 0; }

private:
    static constexpr uid_t kNobody = 65534;
    bool m_switched = false;
};

} // namespace tarvex::testing
