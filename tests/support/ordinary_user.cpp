#include "support/ordinary_user.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QDirIterator>
#include <QFile>
#include <cstdio>

namespace testing_support {

namespace {

// Debian's "nobody" and "nogroup" where the databases do not name them.
constexpr uid_t FallbackUid = 65534;
constexpr gid_t FallbackGid = 65534;

bool Chown(const QString& path) {
    return ::lchown(QFile::encodeName(path).constData(), OrdinaryUserId(), OrdinaryGroupId()) == 0;
}

}  // namespace

uid_t OrdinaryUserId() {
    const passwd* user = ::getpwnam("nobody");
    return user != nullptr ? user->pw_uid : FallbackUid;
}

gid_t OrdinaryGroupId() {
    const passwd* user = ::getpwnam("nobody");
    return user != nullptr ? user->pw_gid : FallbackGid;
}

bool HandOverToOrdinaryUser(const QString& path) {
    if (::geteuid() != 0) {
        return true;
    }
    bool ok = Chown(path);
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        ok = Chown(it.next()) && ok;
    }
    return ok;
}

void RunAsOrdinaryUser(const std::function<void()>& body, const QStringList& handOver) {
    if (::geteuid() != 0) {
        body();
        return;
    }
    for (const QString& path : handOver) {
        ASSERT_TRUE(HandOverToOrdinaryUser(path)) << path.toStdString();
    }
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0) << "fork failed";
    if (child == 0) {
        const gid_t gid = OrdinaryGroupId();
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(OrdinaryUserId()) != 0 ||
            ::geteuid() == 0) {
            std::fprintf(stderr, "cannot become the user nobody\n");
            ::_exit(2);
        }
        body();
        std::fflush(stdout);
        std::fflush(stderr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the part run as the user nobody failed (see above); status " << status;
}

}  // namespace testing_support
