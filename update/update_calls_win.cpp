#include "update/update_calls.h"

namespace qorva {

UpdateCalls ServiceUpdateCalls() {
    UpdateCalls calls;
    calls.checkForUpdate = &UpdateService::CheckForUpdate;
    calls.defaultInstallerDownloadPath = &UpdateService::GetDefaultInstallerDownloadPath;
    calls.downloadInstaller = &UpdateService::DownloadInstaller;
    calls.launchInstaller = &UpdateService::LaunchInstaller;
    calls.dismissVersion = &UpdateService::DismissVersion;
    calls.launchOfficialUpdateFlow = &UpdateService::LaunchOfficialUpdateFlow;
    return calls;
}

UpdateCalls& UpdateCallsInUse() {
    static UpdateCalls calls = ServiceUpdateCalls();
    return calls;
}

}  // namespace qorva
