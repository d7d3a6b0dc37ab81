// The installed region work routines.
#include "draw/region_work_services.h"

#include "foundation/service_slot.h"

namespace {
RegionWorkServices gNoRegionWork;
ServiceSlot<RegionWorkServices> gRegionWork(&gNoRegionWork);
}  // namespace

RegionWorkServices* InstallRegionWorkServices(RegionWorkServices* services)
{
    return gRegionWork.Install(services);
}

RegionWorkServices& CurrentRegionWorkServices()
{
    return gRegionWork.Current();
}
