// velmora_bench: the speed goals of the program, measured against the openssl
// command on the same input. Each section is one function below; a section
// that needs an input the run does not provide says so and is skipped.
//
//   velmora_bench --crl FILE [--big-crl FILE] [--certs DIR] [--cli PATH] [--runs N]
//                                            all sections
//   velmora_bench --child-crl-listing FILE   (internal) one listing, measured by the parent

#include "bench_sections.h"

#include <algorithm>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace velmora::bench {
namespace {

struct Section {
    const char* name;
    int (*run)(const Options&);
};

// The sections, in the order they run. A new goal is one more function and
// one more line here.
constexpr Section kSections[] = {
    {"Certificate reports in one process vs d2i_X509 + X509_print_ex", RunReportBench},
    {"velmora-cli report vs openssl x509 -text, per process; many files in one process",
     RunCliBench},
    {"CRL listing vs openssl crl -text", RunCrlListingBench},
    {"Listing 1,000 key containers vs OpenSSL reading their files", RunContainerListingBench},
    {"Store listing vs read + d2i_X509", RunStoreBench},
    {"Loading a 100,000-line OID.csv into the request builder's tree", RunCatalogueBench},
};

int Usage() {
    std::cerr << "usage: velmora_bench --crl FILE [--big-crl FILE] [--certs DIR] [--cli PATH] "
                 "[--runs N]\n";
    return 2;
}

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv) {
    using namespace velmora::bench;
    if (argc == 3 && std::strcmp(argv[1], "--child-crl-listing") == 0) {
        return ChildCrlListing(argv[2]);
    }
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--crl" && i + 1 < argc) {
            options.crl = argv[++i];
        } else if (arg == "--big-crl" && i + 1 < argc) {
            options.bigCrl = argv[++i];
        } else if (arg == "--cli" && i + 1 < argc) {
            options.cli = argv[++i];
        } else if (arg == "--certs" && i + 1 < argc) {
            options.certificates = argv[++i];
        } else if (arg == "--runs" && i + 1 < argc) {
            options.runs = std::max(1, std::atoi(argv[++i]));
        } else {
            return Usage();
        }
    }
    int failures = 0;
    for (const Section& section : kSections) {
        std::cout << "== " << section.name << "\n";
        failures += section.run(options) != 0 ? 1 : 0;
        std::cout << "\n";
    }
    return failures == 0 ? 0 : 1;
}
