#include "app/ScanCommand.h"

#include "app/KorvaneApplication.h"
#include "contract/StandardError.h"
#include "driver/DriverBinding.h"

#include <cstdio>

int ScanBus()
{
    // Offscreen: the library's channels need an application, never a display.
    KorvaneApplication application("korvane", "offscreen");
    driver::DriverBinding binding;
    uint32_t count = 0;
    std::string csv;
    if (!binding.ReadConfiguration(driver::ConfigurationRegistryPath) || !binding.Find_Modules(count, csv)) {
        contract::ReportLine("the bus cannot be searched: " + binding.LastReason());
        return 2;
    }
    std::fputs(csv.c_str(), stdout);
    return count > 0 ? 0 : 1;
}
