#include "report/build/report_names.h"

#include "report/names/attribute_label.h"

namespace velmora {

namespace {

void Label(ReportView& view, std::string_view text, int size) {
    AddReportLine(view, text, kBlack, FontStyle::Regular, size);
}

void Value(ReportView& view, std::string_view text, int size) {
    AppendReportText(view, text, kBlack, FontStyle::Bold, size);
}

std::string EntryValueText(const TOidValue& entry) {
    if (entry.Oid == "1.2.840.113549.1.9.2") {
        return AttributeLabelWithOid(entry.Value, true);
    }
    if (entry.Oid == "1.2.372.980001.8.4.1") {
        return OgrnSnilsInnText(entry.Value);
    }
    return entry.Value;
}

}  // namespace

void ReportNameList(ReportView& view, const TDataOidsValue& list, int size) {
    for (auto it = list.Items.rbegin(); it != list.Items.rend(); ++it) {
        Label(view, it->Label + ": ", size);
        Value(view, EntryValueText(*it), size);
    }
}

void ReportAltNames(ReportView& view, const TALTERNATE_NAMES& names, int size) {
    for (const TALTERNATE_NAME& name : names.Items) {
        switch (name.Choice) {
            case AltNameChoice::kOtherName:
                Label(view, name.OtherNameLabel, size);
                AppendReportText(view, "(" + name.OtherNameOid + "): ", kBlack, FontStyle::Regular,
                                 size);
                Value(view, name.OtherNameValue, size);
                break;
            case AltNameChoice::kRfc822Name:
                Label(view, "email = ", size);
                Value(view, name.Email, size);
                break;
            case AltNameChoice::kDnsName:
                Label(view, "DNS = ", size);
                Value(view, name.DnsName, size);
                break;
            case AltNameChoice::kDirectoryName:
                ReportNameList(view, name.DirectoryName, size);
                break;
            case AltNameChoice::kUrl:
                Label(view, "URL = ", size);
                Value(view, name.Url, size);
                break;
            case AltNameChoice::kIpAddress:
                Label(view, "IP = ", size);
                Value(view, name.IpAddress, size);
                break;
            case AltNameChoice::kRegisteredId:
                Label(view, "RegisteredID = ", size);
                Value(view, name.RegisteredId, size);
                break;
            case AltNameChoice::kX400Address:
            case AltNameChoice::kEdiPartyName:
                break;
        }
    }
}

}  // namespace velmora
