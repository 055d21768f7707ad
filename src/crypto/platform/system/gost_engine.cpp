// The ENGINE interface is deprecated in OpenSSL 3, but the GOST engine is
// only reachable through it; this is the one file that uses it.
#define OPENSSL_API_COMPAT 10101
#define OPENSSL_SUPPRESS_DEPRECATED

#include "crypto/platform/system/gost_engine.h"

#include "crypto/platform/system/last_error.h"

#include <openssl/crypto.h>
#include <openssl/engine.h>
#include <openssl/err.h>

namespace velmora::platform {
namespace {

struct EngineState {
    bool ready = false;
    std::string failure;
};

// Our own references are dropped as soon as the engine is registered: the
// default-method tables hold references of their own, and OpenSSL releases
// those at exit. Holding ours until static destruction would run after
// OpenSSL's own cleanup.
struct EngineRef {
    ENGINE* engine = nullptr;
    bool initialised = false;
    ~EngineRef() {
        if (engine != nullptr) {
            if (initialised) {
                ENGINE_finish(engine);
            }
            ENGINE_free(engine);
        }
    }
};

EngineState Start() {
    EngineState state;
    EngineRef ref;
    ENGINE_load_builtin_engines();
    ref.engine = ENGINE_by_id("gost");
    if (ref.engine == nullptr) {
        ERR_clear_error();
        state.failure =
            "Не найден криптографический модуль ГОСТ (OpenSSL engine \"gost\"). "
            "Установите пакет libengine-gost-openssl.";
        return state;
    }
    if (ENGINE_init(ref.engine) != 1) {
        ERR_clear_error();
        state.failure = "Криптографический модуль ГОСТ (OpenSSL engine \"gost\") не запускается.";
        return state;
    }
    ref.initialised = true;
    if (ENGINE_set_default(ref.engine, ENGINE_METHOD_ALL) != 1) {
        ERR_clear_error();
        state.failure =
            "Криптографический модуль ГОСТ (OpenSSL engine \"gost\") не удалось зарегистрировать.";
        return state;
    }
    state.ready = true;
    return state;
}

const EngineState& State() {
    static const EngineState state = Start();
    return state;
}

}  // namespace

bool StartGostEngine() {
    const EngineState& state = State();
    if (!state.ready) {
        SetLastError(error::kProviderDllFail);
    }
    return state.ready;
}

std::string GostEngineFailureText() {
    return State().failure;
}

std::string OpenSslVersionText() {
    return OpenSSL_version(OPENSSL_VERSION_STRING);
}

}  // namespace velmora::platform
