// The sections of velmora_bench and what they share.
#pragma once

#include "encoding/bytes.h"

#include <filesystem>
#include <vector>

namespace velmora::bench {

struct Options {
    std::filesystem::path crl;     // a large CRL (DER); empty: not given
    std::filesystem::path bigCrl;  // a very large CRL for the memory goal; empty: not given
    std::filesystem::path certificates = VELMORA_BENCH_CERTIFICATES;  // folder of certificates
    std::filesystem::path cli = VELMORA_BENCH_CLI;                    // velmora-cli
    int runs = 5;
};

// The DER certificates (.cer files) of a folder, with their bytes.
struct CertFile {
    std::filesystem::path path;
    Bytes bytes;
};
std::vector<CertFile> DerCertificates(const std::filesystem::path& folder);

// Lists the CRL with the program's export and with `openssl crl -noout
// -text`, several times each in child processes, and prints time and peak
// memory of both against the goals: at most 0.15 of openssl's time, and
// less than 20 MiB for the very large CRL whatever its size. Non-zero when a
// goal is missed.
int RunCrlListingBench(const Options& options);

// Reports per second of each certificate in the folder, in one process,
// against a loop of d2i_X509 and X509_print_ex in one process.
int RunReportBench(const Options& options);

// Lists 1,000 containers (each with its key and certificate) with the
// container manager's operation, against OpenSSL reading and parsing the same
// files in this process; prints both times and their ratio.
int RunContainerListingBench(const Options& options);

// velmora-cli against the openssl command, one process per report; and
// 1,000 files reported by one velmora-cli against one process per file.
int RunCliBench(const Options& options);

// Lists a store of 10,000 certificates (made in a temporary folder) and
// reads the same files with d2i_X509, in this process; prints both times and
// their ratio.
int RunStoreBench(const Options& options);

// Reads and checks a 100,000-line "OID.csv" (a deep and a flat one) and
// builds the request builder's tree of it; goal: under a second each.
int RunCatalogueBench(const Options& options);

// The child side: one export of the CRL file (in the folder it is in).
int ChildCrlListing(const char* crlFile);

}  // namespace velmora::bench
