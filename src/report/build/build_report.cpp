#include "report/build/build_report.h"

#include "encoding/hex_lines.h"
#include "encoding/text_words.h"
#include "report/build/report_names.h"
#include "report/extensions/key_usage.h"
#include "report/names/attribute_label.h"

#include <string>

namespace velmora {

namespace {

constexpr int kHeadingSize = 12;
constexpr int kBodySize = 10;
constexpr int kSeparatorSize = 8;

void Line(ReportView& view, std::string_view text, FontStyle style, int size = kBodySize) {
    AddReportLine(view, text, kBlack, style, size);
}

void Append(ReportView& view, std::string_view text, FontStyle style, int size = kBodySize) {
    AppendReportText(view, text, kBlack, style, size);
}

// A label line with its value in bold.
void LabelValue(ReportView& view, std::string_view label, std::string_view value) {
    Line(view, label, FontStyle::Regular);
    Append(view, value, FontStyle::Bold);
}

// A line holding one blank.
void Separator(ReportView& view) {
    Line(view, " ", FontStyle::Regular, kSeparatorSize);
}

void SeparatorIfNeeded(ReportView& view) {
    if (view.LastLineText() != " ") {
        Separator(view);
    }
}

// The bounds of a key's usage period, each after its bold label.
void ReportPeriod(ReportView& view, std::string_view notBefore, std::string_view notAfter) {
    Line(view, "Не ранее: ", FontStyle::Bold);
    Append(view, notBefore, FontStyle::Regular);
    Line(view, "Не позднее: ", FontStyle::Bold);
    Append(view, notAfter, FontStyle::Regular);
}

// Policies and purposes: the label, then the OID in parentheses.
void ReportOidList(ReportView& view, const TDataOidsValue& list) {
    for (const TOidValue& entry : list.Items) {
        Line(view, entry.Label, FontStyle::Regular);
        Append(view, "(" + entry.Oid + ")", FontStyle::Regular);
    }
}

void ReportKeyAttributes(ReportView& view, const CERT_KEY_ATTRIBUTES_INFO_STR& attributes) {
    Line(view, "Идентификатор ключа", FontStyle::Bold);
    Line(view, attributes.KeyId, FontStyle::Regular);
    Line(view, "Использование ключа", FontStyle::Bold);
    Line(view, KeyUsageText(attributes.KeyUsage), FontStyle::Regular);
    ReportPeriod(view, attributes.NotBefore, attributes.NotAfter);
}

void ReportBasicConstraints(ReportView& view, const TBASIC_CONSTRAINTS& constraints) {
    LabelValue(view, "Сертификат CA = ", YesNoOfBool(constraints.IsCa != 0));
    if (constraints.IsCa == 0) {
        return;
    }
    LabelValue(view, "Установлено ограничение на максимальное количество сертификатов в цепочке = ",
               YesNoOfBool(constraints.PathLenPresent != 0));
    if (constraints.PathLenPresent != 0) {
        LabelValue(view, "максимальное количество сертификатов в цепочке = ",
                   std::to_string(constraints.MaxPathLen));
    }
}

void ReportDistPoints(ReportView& view, const TCRL_DIST_POINTS& points) {
    Line(view, "Точек (CRL)[" + std::to_string(points.Count()) + "]:", FontStyle::Regular);
    int j = 0;
    for (const TCRL_DIST_POINT& point : points.Items) {
        const std::string number = "[" + std::to_string(++j) + "]";
        if (point.CrlIssuer.Count() != 0) {
            Line(view, number + "CRLIssuer:", FontStyle::Regular);
            ReportAltNames(view, point.CrlIssuer, kBodySize);
        }
        if (point.FullName.Count() != 0) {
            Line(view, number + ":Полное имя", FontStyle::Regular);
            ReportAltNames(view, point.FullName, kBodySize);
        }
        if (!point.ReasonFlags.empty()) {
            Line(view, number + "ReasonFlags:", FontStyle::Regular);
            Append(view, point.ReasonFlags, FontStyle::Bold);
        }
    }
}

}  // namespace

void ReportExtension(ReportView& view, const TCERT_EXTENSION_STR& extension) {
    switch (extension.Kind) {
        case ExtensionKind::kPolicies:
            ReportOidList(view, extension.Policies);
            break;
        case ExtensionKind::kSubjectAltName:
            ReportAltNames(view, extension.AltNames, kBodySize);
            break;
        case ExtensionKind::kKeyAttributes:
            ReportKeyAttributes(view, extension.KeyAttributes);
            break;
        case ExtensionKind::kKeyUsage:
            Line(view, KeyUsageText(extension.KeyUsage), FontStyle::Regular);
            break;
        case ExtensionKind::kExtendedKeyUsage:
            ReportOidList(view, extension.Purposes);
            break;
        case ExtensionKind::kSubjectSignTool:
            LabelValue(view,
                       "Наименования используемого владельцем квалифицированного сертификата "
                       "средства ЭП: ",
                       extension.SubjectToolText);
            break;
        case ExtensionKind::kIssuerSignTools:
            LabelValue(view, "Наименование средства электронной подписи: ", extension.SignToolName);
            LabelValue(view,
                       "Реквизиты заключения о подтверждении соответствия средства электронной "
                       "подписи: ",
                       extension.SignToolCertificate);
            LabelValue(view,
                       "Наименование средства удостоверяющего центра: ", extension.CaToolName);
            LabelValue(view,
                       "Реквизиты заключения о подтверждении соответствия средства "
                       "удостоверяющего центра: ",
                       extension.CaToolCertificate);
            break;
        case ExtensionKind::kUnknown:
            LabelValue(view, "Неизвестное значение: ", extension.ValueHex);
            AddReportLines(view, extension.Asn1Dump, kBlack, FontStyle::Bold, kBodySize);
            break;
        case ExtensionKind::kBasicConstraints:
            ReportBasicConstraints(view, extension.BasicConstraints);
            break;
        case ExtensionKind::kPrivateKeyPeriod:
            ReportPeriod(view, extension.UsagePeriod.NotBefore, extension.UsagePeriod.NotAfter);
            break;
        case ExtensionKind::kAuthorityKeyId:
            LabelValue(view, "Серийный номер сертификата: ", extension.AuthorityKeyId.SerialNumber);
            LabelValue(view, "Идентификатор ключа: ", extension.AuthorityKeyId.KeyId);
            Line(view, "Поставщик: ", FontStyle::Regular);
            ReportAltNames(view, extension.AuthorityKeyId.Issuer, kBodySize);
            break;
        case ExtensionKind::kSubjectKeyId:
            LabelValue(view, "Значение: ", extension.SubjectKeyIdText);
            break;
        case ExtensionKind::kCrlDistPoints:
            ReportDistPoints(view, extension.DistPoints);
            break;
        case ExtensionKind::kCaVersion:
            LabelValue(view, "Значение: ", extension.CaVersionText);
            break;
        case ExtensionKind::kPreviousCaHash:
            LabelValue(view, "Значение: ", extension.PreviousCaHashText);
            break;
    }
}

void BuildReport(const TRCstruct& record, ReportView& view) {
    const bool isCertificate = record.Kind == "CERT";
    if (isCertificate) {
        if (!record.ContainerName.empty()) {
            Line(view, "Привязан закрытый ключ, в контейнере - " + record.ContainerName,
                 FontStyle::Regular, kHeadingSize);
        }
        Line(view,
             record.Qualified ? "Квалифицированный сертификат" : "Неквалифицированный сертификат",
             FontStyle::Regular, kHeadingSize);
        LabelValue(view, "Серийный номер: ", record.SerialNumber);
        LabelValue(view, "Отпечаток сертификата SHA1: ", record.Thumbprint);
        LabelValue(view, "Действителен: с ", record.NotBefore);
        Append(view, " по ", FontStyle::Regular);
        Append(view, record.NotAfter, FontStyle::Bold);
    } else {
        Line(view,
             record.Qualified ? "Запрос на квалифицированный сертификат"
                              : "Запрос на неквалифицированный сертификат",
             FontStyle::Regular, kHeadingSize);
    }
    Separator(view);

    Line(view, "Субъект: ", FontStyle::Bold, kHeadingSize);
    ReportNameList(view, record.Subject, kBodySize);
    if (view.LastLineText() != " ") {
        AddPlainLine(view, "");
    }

    const CERT_EXTENSIONS_STR& extensions = record.Extensions;
    if (extensions.Count() != 0) {
        if (extensions.HeaderOid.empty()) {
            Line(view, "Расширения сертификатов:[" + std::to_string(extensions.Count()) + "]",
                 FontStyle::Bold, kHeadingSize);
        } else {
            Line(view, extensions.HeaderName + "(" + extensions.HeaderOid + ")", FontStyle::Bold);
        }
        for (std::size_t i = 0; i < extensions.Items.size(); ++i) {
            const TCERT_EXTENSION_STR& extension = extensions.Items[i];
            SeparatorIfNeeded(view);
            Line(view,
                 "[" + std::to_string(i + 1) + "]" + AttributeLabelWithOid(extension.Oid, true) +
                     ": ",
                 FontStyle::Bold);
            ReportExtension(view, extension);
        }
    }
    SeparatorIfNeeded(view);

    if (isCertificate) {
        Line(view, "Информация об издателе: ", FontStyle::Bold, kHeadingSize);
        ReportNameList(view, record.Issuer, kBodySize);
    }

    SeparatorIfNeeded(view);
    Line(view, "Открытый ключ: ", FontStyle::Bold, kHeadingSize);
    LabelValue(view, "Алгоритм открытого ключа: ",
               record.PublicKey.AlgorithmName + "(" + record.PublicKey.AlgorithmOid +
                   ") Parametrs:" + record.PublicKey.Parameters);
    Line(view, "Значение открытого ключа: ", FontStyle::Regular);
    AddReportLines(view, SplitHexLines(record.PublicKey.Value), kBlack, FontStyle::Bold, kBodySize);
    SeparatorIfNeeded(view);
    Line(view, "Штамп открытого ключа по алгоритму ГОСТ Р 34.11-94: ", FontStyle::Regular);
    Line(view, record.GostKeyHash, FontStyle::Bold);

    SeparatorIfNeeded(view);
    LabelValue(view, "Алгоритм подписи : ",
               record.Signature.AlgorithmName + "(" + record.Signature.AlgorithmOid +
                   ") Parametrs:" + record.Signature.Parameters);
    Line(view, "Распечатка значения подписи : ", FontStyle::Regular);
    AddReportLines(view, SplitHexLines(record.Signature.Value), kBlack, FontStyle::Bold, kBodySize);
    Line(view, record.SignatureCheck, FontStyle::Bold);
    view.ScrollToTop();
}

}  // namespace velmora
