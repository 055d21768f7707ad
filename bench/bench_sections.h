// The sections of velmora_bench and what they share.
#pragma once

#include <filesystem>

namespace velmora::bench {

struct Options {
    std::filesystem::path crl;  // a large CRL (DER); empty: not given
    std::filesystem::path certificates = VELMORA_BENCH_CERTIFICATES;  // folder of certificates
    int runs = 5;
};

// Lists the CRL with the program's export and with `openssl crl -noout
// -text`, several times each in child processes, and prints time and peak
// memory of both against the goals: less than half openssl's time, less
// than three times the CRL's size in memory. Non-zero when a goal is missed.
int RunCrlListingBench(const Options& options);

// Reports per second of the certificates in the folder (DER .cer files), in
// one process, against `openssl x509 -text` run on each of them.
int RunReportBench(const Options& options);

// Lists 1,000 containers (each with its key and certificate) with the
// container manager's operation, against OpenSSL reading and parsing the same
// files in this process; prints both times and their ratio.
int RunContainerListingBench(const Options& options);

// The child side: one export of the CRL file (in the folder it is in).
int ChildCrlListing(const char* crlFile);

}  // namespace velmora::bench
