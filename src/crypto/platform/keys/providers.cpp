#include "crypto/platform/keys/providers.h"

#include <algorithm>
#include <utility>

namespace velmora::platform {
namespace {

// PP_VERSION of the built-in providers: 5.0.
constexpr std::uint32_t kBuiltInVersion = 0x0500;

thread_local std::vector<ProviderDescription> registered_providers;

std::vector<ProviderDescription> BuiltInProviders() {
    ProviderDescription gost2001;
    gost2001.name = kCryptoPro2001Name;
    gost2001.type = kProvGost2001;
    gost2001.family = KeyFamily::Gost2001;
    gost2001.version = kBuiltInVersion;
    ProviderDescription gost2012 = gost2001;
    gost2012.name = kCryptoPro2012Name;
    gost2012.type = kProvGost2012;
    gost2012.family = KeyFamily::Gost2012_256;
    return {std::move(gost2001), std::move(gost2012)};
}

}  // namespace

std::vector<ProviderDescription> Providers() {
    std::vector<ProviderDescription> all = BuiltInProviders();
    all.insert(all.end(), registered_providers.begin(), registered_providers.end());
    return all;
}

std::optional<ProviderDescription> FindProvider(const std::string& name, std::uint32_t type) {
    for (ProviderDescription& provider : Providers()) {
        if (provider.type == type && (name.empty() || provider.name == name)) {
            return std::move(provider);
        }
    }
    return std::nullopt;
}

bool ProviderHandles(const ProviderDescription& provider, KeyFamily family) {
    return family == provider.family ||
           (provider.family == KeyFamily::Gost2012_256 && family == KeyFamily::Gost2001);
}

ScopedProviderRegistration::ScopedProviderRegistration(ProviderDescription provider)
    : name_(provider.name), type_(provider.type) {
    registered_providers.push_back(std::move(provider));
}

ScopedProviderRegistration::~ScopedProviderRegistration() {
    const auto found = std::find_if(registered_providers.rbegin(), registered_providers.rend(),
                                    [this](const ProviderDescription& provider) {
                                        return provider.name == name_ && provider.type == type_;
                                    });
    if (found != registered_providers.rend()) {
        registered_providers.erase(std::next(found).base());
    }
}

}  // namespace velmora::platform
