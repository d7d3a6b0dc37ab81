// Default user-interface services and the hook that replaces them.
#include "foundation/ui_services.h"

#include <cstdio>

#include "foundation/service_slot.h"

void UiServices::ShowAlert(const char* text)
{
    std::fprintf(stderr, "%s\n", text ? text : "");
}

namespace {
UiServices gDefaultServices;
ServiceSlot<UiServices> gServices(&gDefaultServices);
}  // namespace

UiServices* InstallUiServices(UiServices* services)
{
    return gServices.Install(services);
}

UiServices& CurrentUiServices()
{
    return gServices.Current();
}
