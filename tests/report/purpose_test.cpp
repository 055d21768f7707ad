#include "report/purposes/certificate_purpose.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

std::string Purpose(const std::string& oid, std::string previous = "до") {
    CertificatePurpose(oid, previous);
    return previous;
}

TEST(CertificatePurpose, SentencesOfTheTreasurySystems) {
    const std::string asfk =
        "Сертификат предназначен для ППО \"АСФК\"(1.2.643.3.61.1.1.6.502710.3.4.1.1)";
    // The whole ASFK group cites its first OID.
    EXPECT_EQ(Purpose("1.2.643.3.61.1.1.6.502710.3.4.1.1"), asfk);
    EXPECT_EQ(Purpose("1.2.643.3.61.1.1.6.502710.3.4.1.7"), asfk);
    EXPECT_EQ(Purpose("1.2.643.3.61.1.1.6.502710.3.4.1.14"), asfk);
    EXPECT_EQ(Purpose("1.2.643.3.61.502710.1.6.3.5.2"), "Работа с ГМУ(1.3.6.1.5.5.7.3.2)");
    EXPECT_EQ(Purpose("1.2.643.3.61.502710.1.6.3.4.5.1"),
              "Сертификат предназначен для АРМ обмена электронными документами с официальным "
              "сайтом.(1.3.6.1.5.5.7.3.2)");
    EXPECT_EQ(Purpose("1.2.643.3.61.502710.1.6.3.3"),
              "Сертификат предназначен для Landocs (1.2.643.3.61.502710.1.6.3.3)");
    EXPECT_EQ(Purpose("1.2.643.3.61.506160.1.4.1.1"),
              "Сертификат предназначен для СПТО(1.2.643.3.61.506160.1.4.1.1;"
              "1.2.643.3.61.506160.1.4.1.2)");
    EXPECT_EQ(Purpose("1.3.6.1.5.5.7.3.2"),
              "Используется при установлении защищенного соединения по протоколу TLS для "
              "подтверждения подлинности клиента(1.3.6.1.5.5.7.3.2)");
}

TEST(CertificatePurpose, OidsOutsideTheTableLeaveTheTextAsPassed) {
    for (const char* oid :
         {"1.2.643.3.61.1.1.6.502710.3.4.1.15", "1.2.643.3.61.1.1.6.502710.3.4.1.0",
          "1.2.643.3.61.1.1.6.502710.3.4.1.01", "1.2.643.3.61.502710.1.6.3.4.1.5",
          "1.2.643.2.1.6.8.5", "1.2.643.3.61.506160.1.4.1.2", " 1.3.6.1.5.5.7.3.2",
          "1.3.6.1.5.5.7.3.2 ", ""}) {
        EXPECT_EQ(Purpose(oid), "до") << oid;
        EXPECT_EQ(Purpose(oid, ""), "") << oid;
    }
}

}  // namespace
}  // namespace velmora
