// Loading a 100,000-line "OID.csv" into the request builder's tree, as
// showing the window does: reading and checking the file, then adding every
// line's path. Goal: under a second. Two shapes: a deep catalogue (groups,
// subgroups, leaves) and a flat one of 100,000 roots.
#include "app/request/oid_catalogue.h"
#include "bench_sections.h"
#include "encoding/atomic_file.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

namespace velmora::bench {
namespace {

constexpr int kLines = 100000;
constexpr double kGoalSeconds = 1.0;

std::string DeepCatalogue() {
    std::string text;
    for (int line = 0; line < kLines; ++line) {
        text += "Группа назначений " + std::to_string(line / 1000) + "|Подгруппа " +
                std::to_string(line / 10 % 100) + "|Назначение сертификата " +
                std::to_string(line) + "|1.2.643.3.61.502710.1.6.3." + std::to_string(line) +
                "|\r\n";
    }
    return text;
}

std::string FlatCatalogue() {
    std::string text;
    for (int line = 0; line < kLines; ++line) {
        text +=
            "Назначение " + std::to_string(line) + "|1.2.643.100." + std::to_string(line) + "|\n";
    }
    return text;
}

// The median time of loading the file into a fresh tree.
double LoadSeconds(const std::filesystem::path& file, int runs, std::size_t& nodes) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        std::string error;
        const auto lines = ReadCatalogue(file, error);
        CatalogueTree tree;
        if (lines) {
            tree.AddLines(*lines);
        }
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        nodes = tree.NodeCount();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int RunCatalogueBench(const Options& options) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("velmora-catalogue-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    int failures = 0;
    for (const auto& [name, text] :
         {std::pair{"deep", DeepCatalogue()}, std::pair{"flat", FlatCatalogue()}}) {
        const std::filesystem::path file = folder / "OID.csv";
        WriteFileAtomic(file,
                        ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        std::size_t nodes = 0;
        const double seconds = LoadSeconds(file, options.runs, nodes);
        std::printf("%s: %d lines (%.1f MB), %zu nodes: %.3f s (goal < %.1f s)%s\n", name, kLines,
                    text.size() / 1e6, nodes, seconds, kGoalSeconds,
                    seconds < kGoalSeconds ? "" : "  MISSED");
        failures += seconds < kGoalSeconds ? 0 : 1;
    }
    std::filesystem::remove_all(folder);
    return failures;
}

}  // namespace velmora::bench
