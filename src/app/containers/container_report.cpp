#include "app/containers/container_report.h"

#include "crypto/keys/container_operations.h"
#include "report/build/build_report.h"

namespace velmora {
namespace {

void AddLine(ReportView& view, const std::string& text) {
    AddReportLine(view, text, kBlack, FontStyle::Regular, 12);
}

}  // namespace

void ShowContainerInformation(ReportView& view, TRCstruct& record, const ContainerChoice& container,
                              bool certificate_present, Dialogs& dialogs) {
    view.Clear();
    record = TRCstruct();
    AddLine(view, "Информация о контейнере КЭП:");
    AddLine(view, "Уникальное имя:" + container.containerName);
    for (const std::string& line : ContainerKeyInfo(container.providerName, container.providerType,
                                                    container.containerName, record, dialogs)) {
        AddLine(view, line);
    }
    if (certificate_present) {
        AddLine(view, "");
        AddLine(view, "Информация о сертификате в контейнере:");
        BuildReport(record, view);
    } else {
        // The first letter is a Latin C, as the program has always written it.
        AddLine(view, "Cертификата в контейнере нет.");
    }
}

}  // namespace velmora
