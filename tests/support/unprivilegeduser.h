#pragma once

#include <grp.h>
#include <sys/types.h>
#include <unistd.h>

#include <vector>

namespace tarvex::testing {

// Runs the rest of the scope as the user and group nobody, without supplementary groups, when the tests run as
// root, for whom permission bits do not count: a file without read or write permission then fails as it does for
// the program's real users.
class UnprivilegedUser {
public:
    UnprivilegedUser() {
        m_wasRoot = ::geteuid() == 0;
        if (!m_wasRoot)
            return;
        m_group = ::getegid();
        m_groups.resize(::getgroups(0, nullptr));
        ::getgroups(int(m_groups.size()), m_groups.data());
        m_switched = ::setgroups(0, nullptr) == 0 && ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
    }
    ~UnprivilegedUser() {
        if (!m_wasRoot)
            return;
        (void)::seteuid(0);
        (void)::setegid(m_group);
        (void)::setgroups(m_groups.size(), m_groups.data());
    }
    UnprivilegedUser(const UnprivilegedUser&) = delete;
    UnprivilegedUser& operator=(const UnprivilegedUser&) = delete;

    // False when running as root and the switch failed: permission bits would not count.
    bool isUnprivileged() const { return m_switched || ::geteuid() != 0; }

private:
    static constexpr uid_t kNobody = 65534;
    bool m_wasRoot = false;
    gid_t m_group = 0;
    std::vector<gid_t> m_groups;
    bool m_switched = false;
};

} // namespace tarvex::testing
