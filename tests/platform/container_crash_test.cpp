// A container write cut off at any of its steps (the process killed there)
// leaves the container as it was or as it was to become, never in between.
#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/keys/container_store.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"
#include "platform/decode_test_util.h"
#include "support/key_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace velmora::platform {
namespace {

using velmora::testing::ScopedKeyFolder;

constexpr const char* kProvider = kCryptoPro2012Name;

// Runs the work in a child process that kills itself at its n-th write step.
// True when it was killed there, false when the work ended before that step.
bool KilledAtStep(int n, const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        int steps = 0;
        ScopedContainerWriteObserver observer([&](std::string_view) {
            if (++steps == n) {
                ::raise(SIGKILL);
            }
        });
        work();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// What a container holds, as far as the tests care.
enum class State { Absent, Empty, WithKey, WithKeyAndCertificate };

// The container's state, failing the test when it is broken: a container
// file that does not read, a key that does not unlock or does not match its
// public key, a certificate that is not the key's.
State StateOf(const std::string& name) {
    CryptProvider context;
    if (!AcquireContext(context, name, kProvider, kProvGost2012, 0)) {
        EXPECT_EQ(GetLastError(), error::kBadKeyset) << LastErrorText();
        return State::Absent;
    }
    auto key = GetUserKey(context, kAtKeyExchange);
    if (!key) {
        EXPECT_EQ(GetLastError(), error::kNoKey) << LastErrorText();
        return State::Empty;
    }
    EXPECT_TRUE(SignAndEncode(context, kAtKeyExchange, testing::Hex("3000"),
                              AlgorithmIdentifier{"1.2.643.7.1.1.3.2", {}}))
        << LastErrorText();
    const auto certificate = GetKeyParam(*key, kKpCertificate);
    if (!certificate) {
        EXPECT_EQ(GetLastError(), error::kNoSuchCertificate);
        return State::WithKey;
    }
    const CertContext parsed = CreateCertificateContext(*certificate);
    EXPECT_TRUE(parsed && ComparePublicKeyInfo(parsed->Info().publicKey,
                                               *ExportPublicKeyInfo(context, kAtKeyExchange)));
    return State::WithKeyAndCertificate;
}

struct Scenario {
    const char* what;
    std::function<void()> prepare;
    std::function<void()> work;
    State before;
    State after;
};

const Bytes& Ee256Key() {
    static const Bytes key = testing::ReadFixture("keys/ee-256.key");
    return key;
}

const CertContext& Ee256Certificate() {
    static const CertContext certificate =
        CreateCertificateContext(testing::ReadFixture("ee-256.cer"));
    return certificate;
}

void ImportWithoutCertificate() {
    ASSERT_TRUE(ImportContainerKey("ключ", kProvider, kProvGost2012, Ee256Key(), nullptr, true));
}

std::vector<Scenario> Scenarios() {
    return {
        {"create and generate", [] {},
         [] {
             CryptProvider context;
             AcquireContext(context, "ключ", kProvider, kProvGost2012, kCryptNewKeyset);
             GenKey(context, kAtKeyExchange, 0);
         },
         State::Absent, State::WithKey},
        {"import with certificate", [] {},
         [] {
             ImportContainerKey("ключ", kProvider, kProvGost2012, Ee256Key(), Ee256Certificate(),
                                true);
         },
         State::Absent, State::WithKeyAndCertificate},
        {"bind certificate", ImportWithoutCertificate,
         [] {
             CryptProvider context;
             AcquireContext(context, "ключ", kProvider, kProvGost2012, 0);
             auto key = GetUserKey(context, kAtKeyExchange);
             SetKeyParam(*key, kKpCertificate, Ee256Certificate()->Encoded());
         },
         State::WithKey, State::WithKeyAndCertificate},
        {"delete", ImportWithoutCertificate,
         [] {
             CryptProvider context;
             AcquireContext(context, "ключ", kProvider, kProvGost2012, kCryptDeleteKeyset);
         },
         State::WithKey, State::Absent},
    };
}

TEST(ContainerCrashTest, EveryStepLeavesTheOldOrTheNewContainer) {
    for (const Scenario& scenario : Scenarios()) {
        int steps = 0;
        for (int n = 1;; ++n) {
            ScopedKeyFolder folder;
            scenario.prepare();
            ASSERT_EQ(StateOf("ключ"), scenario.before) << scenario.what;
            const bool killed = KilledAtStep(n, scenario.work);
            const State state = StateOf("ключ");
            EXPECT_TRUE(state == scenario.before || state == scenario.after ||
                        (scenario.after == State::WithKey && state == State::Empty))
                << scenario.what << ", killed at step " << n;
            if (!killed) {
                EXPECT_EQ(state, scenario.after) << scenario.what;
                break;
            }
            ++steps;
            // What a cut-off write left behind does not stand in the way.
            CryptProvider verify;
            ASSERT_TRUE(AcquireContext(verify, "", kProvider, kProvGost2012, kCryptVerifyContext));
            const auto listed = GetProvParam(verify, kPpEnumContainers, kCryptFirst);
            EXPECT_EQ(listed.has_value(), state != State::Absent) << scenario.what;
        }
        EXPECT_GE(steps, 2) << scenario.what;
    }
}

}  // namespace
}  // namespace velmora::platform
