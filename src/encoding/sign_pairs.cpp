#include "encoding/sign_pairs.h"

#include "encoding/text_words.h"

#include <deque>
#include <unordered_map>

namespace velmora {

namespace {

// Position of the dot that starts the extension of the last path component.
std::size_t ExtensionDot(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    const std::size_t slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return std::string::npos;
    }
    return dot;
}

}  // namespace

void BuildSignaturePairs(TListSignFiles& pairs, std::vector<std::string>& files) {
    // The list keeps its order while names are taken out of it, so "the first
    // remaining entry that matches ignoring case" is the lowest index, not yet
    // taken, among the entries with the same upper-cased name.
    std::vector<bool> taken(files.size(), false);
    std::unordered_map<std::string, std::deque<std::size_t>> byUpperName;
    for (std::size_t k = 0; k < files.size(); ++k) {
        byUpperName[UpperCaseCyr(files[k])].push_back(k);
    }
    // Takes the matching entry out of the list and puts its own name in
    // `name`: names match ignoring case, but on a file system that tells case
    // apart only the listed name is the file that exists.
    const auto takeMatch = [&](std::string& name) {
        const auto found = byUpperName.find(UpperCaseCyr(name));
        if (found == byUpperName.end()) {
            return false;
        }
        auto& indexes = found->second;
        while (!indexes.empty() && taken[indexes.front()]) {
            indexes.pop_front();
        }
        if (indexes.empty()) {
            return false;
        }
        taken[indexes.front()] = true;
        name = files[indexes.front()];
        indexes.pop_front();
        return true;
    };

    for (std::size_t k = 0; k < files.size(); ++k) {
        if (taken[k]) {
            continue;
        }
        taken[k] = true;
        const std::string& file = files[k];
        const std::size_t dot = ExtensionDot(file);
        const std::string extension = dot == std::string::npos ? std::string() : file.substr(dot);
        TzSignFile pair;
        if (CompareTexts(extension, ".SIG") == TextMatch::Different) {
            pair.dataFile = file;
            pair.signatureFile = file + ".sig";
            pair.state = takeMatch(pair.signatureFile) ? PairState::Both : PairState::DataOnly;
        } else {
            pair.signatureFile = file;
            pair.dataFile = file.substr(0, dot);
            pair.state = takeMatch(pair.dataFile) ? PairState::Both : PairState::SignatureOnly;
        }
        pairs.Add(std::move(pair));
    }
    files.clear();
}

}  // namespace velmora
